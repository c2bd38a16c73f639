// CTQCatalogDlg: the resizable two-pane modal dialog every catalog dialog
// derives from.  It owns the pane frames, the caption labels, the four
// Add/Delete icon buttons and OK/Cancel, routes the buttons to virtual
// hooks, resizes its controls by their anchors, keeps the window placement
// under a key, and gives every grid the common set-up.
//
// Controls carry their dialog ids as object names ("14008", "10001", OK is
// "1" and Cancel "2"), so hosts and tests can find them.
//
// Provider errors a handler lets through never reach the event loop: each
// handler catches them and shows the error text.
#pragma once

#include "TQRVNBaseExport.h"

#include <QDialog>
#include <QFrame>
#include <QLabel>
#include <QPointF>
#include <QPointer>
#include <QPushButton>
#include <QRect>
#include <QSize>
#include <QString>
#include <QToolButton>

#include <functional>
#include <initializer_list>
#include <vector>

class CADODatabase;
class CTQReportGrid;

/// Moves and sizes controls by fractions of the growth of their dialog:
/// each control's top-left corner moves by (x, y) shares of the width and
/// height change, its bottom-right corner by its own shares.
class TQRVNBASEUI_API CTQAnchors {
public:
    /// The size the recorded geometries belong to.
    void SetBaseSize(QSize size) { m_base = size; }
    QSize BaseSize() const { return m_base; }
    /// Records a control's present geometry with its anchors (replacing an earlier entry).
    void Add(QWidget* widget, QPointF topLeft, QPointF bottomRight);
    /// Places every recorded control for a dialog of this size.
    void Apply(QSize size) const;
    /// The smallest growth of the width at which each recorded control is
    /// at least as wide as `needed` says (0 for controls it does not know).
    int WidthGrowthFor(const std::function<int(QWidget*)>& needed) const;
    /// The geometry a recorded geometry takes for a dialog of this size.
    static QRect Place(QRect initial, QSize base, QSize size, QPointF topLeft, QPointF bottomRight);

private:
    struct Entry {
        QPointer<QWidget> widget;
        QRect initial;
        QPointF topLeft;
        QPointF bottomRight;
    };
    QSize m_base;
    std::vector<Entry> m_entries;
};

class TQRVNBASEUI_API CTQCatalogDlg : public QDialog {
public:
    enum { IDD = 14000, IDOK = 1, IDCANCEL = 2 };
    enum ControlId {
        IDC_LABEL_LEFT = 14003,
        IDC_LABEL_RIGHT = 14004,
        IDC_FRAME_LEFT = 14005,
        IDC_FRAME_RIGHT = 14006,
        IDC_DELETE_LEFT = 14007,
        IDC_ADD_LEFT = 14008,
        IDC_DELETE_RIGHT = 14009,
        IDC_ADD_RIGHT = 14010,
        IDC_GRID_LEFT = 10001,
        IDC_GRID_RIGHT = 10002
    };

    /// Stores the connection (may be null); no controls exist yet.
    explicit CTQCatalogDlg(CADODatabase* db, QWidget* parent = nullptr);
    ~CTQCatalogDlg() override;

    CADODatabase* Database() const { return m_db; }

    /// Runs the dialog initialisation now; it runs by itself before the
    /// dialog is first shown.
    void Initialise();
    bool IsInitialised() const { return m_initialised; }

    /// Runs the dialog modally: IDOK or IDCANCEL.
    int DoModal();

    /// The client size of the dialog template.
    static QSize TemplateSize();
    /// The font family the dialogs use ("宋体" where installed, else a CJK family).
    static QString DialogFontFamily();

    void setVisible(bool visible) override;
    void accept() override;
    void reject() override;
    void done(int result) override;

protected:
    // Dialog operations.
    /// Base initialisation; concrete dialogs call it first from their own.
    virtual bool OnInitDialog();
    /// OK: the default closes with OK.
    virtual void OnOK();
    /// Cancel: the default closes with Cancel.
    virtual void OnCancel();

    // Hooks, in this order.
    /// Layout: the default creates OK and Cancel.
    virtual void CreateControls();
    virtual void OnAddLeft();
    virtual void OnDeleteLeft();
    virtual void OnAddRight();
    virtual void OnDeleteRight();

    /// OK and Cancel, 70 x 25, Cancel 10 pixels inside the bottom-right corner,
    /// OK `okOffset` pixels to the left of Cancel.
    void CreateOkCancel(int okOffset);
    /// The caption labels and the Add/Delete buttons above the two frames.
    void CreatePaneControls(const QString& leftCaption, const QString& rightCaption);
    /// A caption label `width` x 20 pixels whose top-left corner is a
    /// frame's top-left corner moved by (+5, -20), in the dialog's font.
    QLabel* CreatePaneLabel(int id, const QString& text, QRect frame, int width);
    /// The Add and Delete buttons of the left (false) or right (true) pane:
    /// Delete 22 x 20 with its bottom-right corner at the frame's top-right
    /// corner moved by (-5, -2), Add directly to its left.
    void CreatePaneButtons(bool right);
    /// The common grid set-up: visible, tab stop, editing exactly with a
    /// connection, the dialog's font.
    void SetupGrid(CTQReportGrid* grid);
    /// Creates a report grid filling a frame rectangle, with the common set-up.
    CTQReportGrid* CreateGrid(int id, QRect frame);
    /// Insert and Delete in a grid do what the Add and Delete buttons of the
    /// left (false) or right (true) pane do.
    void BindPaneKeys(CTQReportGrid* grid, bool right);
    /// Ends the cell edits of the grids.  False when a cell holds text it
    /// cannot take: its editor keeps the focus and, when `explain`, a message
    /// names the row and the column.
    bool EndGridEdits(std::initializer_list<CTQReportGrid*> grids, bool explain);

    /// Whether the user changed anything that OK would store (or hand back).
    /// Cancel, Esc and the close button ask before such edits are dropped.
    virtual bool HasUnsavedEdits() const { return false; }

    /// Widens the dialog from the template size until every anchored grid
    /// can show all its columns (and a property grid its counts) in full.
    void FitOpeningSize();

    void SetAnchor(QWidget* widget, QPointF topLeft, QPointF bottomRight);
    /// Key under which the window placement is saved and restored.
    void SetPlacementKey(const QString& key) { m_placementKey = key; }
    QString PlacementKey() const { return m_placementKey; }

    /// Closes with OK (after the concrete dialog's OK work).
    void EndOK();

    /// Runs a handler; a provider error or other exception it throws is
    /// shown to the user.  True when it ran through.
    bool Guarded(const std::function<void()>& handler);
    /// Runs the writes of an OK in one transaction on the connection.
    /// `writes` returns an empty text when every write succeeded, else the
    /// reason, naming the row.  On a reason or a provider error the
    /// transaction is rolled back and `error` tells why and that nothing was
    /// saved; true after the commit.
    bool WriteInTransaction(const std::function<QString()>& writes, QString& error);
    /// The connection's last recorded error as a line of its own, or "".
    QString LastDbError() const;

    /// Error and notice helpers through the installed prompter.
    void ShowError(const QString& text);
    bool Confirm(const QString& text);

    void resizeEvent(QResizeEvent* event) override;

    QRect LeftFrameRect() const;
    QRect RightFrameRect() const;
    void SetLeftFrameRect(QRect rect);
    void SetRightFrameRect(QRect rect);

    // Members in order: labels and frames, the six buttons.
    QLabel* m_labelLeft = nullptr;
    QFrame* m_frameLeft = nullptr;
    QLabel* m_labelRight = nullptr;
    QFrame* m_frameRight = nullptr;
    QToolButton* m_addLeft = nullptr;
    QToolButton* m_deleteLeft = nullptr;
    QToolButton* m_addRight = nullptr;
    QToolButton* m_deleteRight = nullptr;
    QPushButton* m_ok = nullptr;
    QPushButton* m_cancel = nullptr;

private:
    void RestorePlacement();
    void SavePlacement();

    CADODatabase* m_db;
    CTQAnchors m_anchors;
    QString m_placementKey;
    bool m_initialised = false;
    bool m_initialising = false;
    bool m_cancelClicked = false;
};

namespace RVN {
/// Makes sure a widget application runs for the dialogs: the host's
/// QApplication, or one created on first use (and kept for the process)
/// when a display can be opened.  QT_QPA_PLATFORM is honoured when set;
/// otherwise DISPLAY or WAYLAND_DISPLAY must name a display that opens.
/// Without one it writes a line to standard error and returns false; it
/// never lets Qt abort the host and never falls back to an off-screen
/// platform by itself.
TQRVNBASEUI_API bool EnsureDialogApplication();
} // namespace RVN
