// CTQPropertyGrid: a two-column property grid (name, value) of categories
// holding whole-number items, with a description pane below the list that
// shows the caption and the description of the current item.
//
// A value is edited in place with a spin box limited to 0..999, and values
// set by code are held to the same range: the dialogs use the values as
// counts that are expanded into arrays of records, so an unbounded count
// could exhaust memory.  When the user commits a changed value (Enter,
// leaving the editor, or a step of the spin buttons or arrow keys) the grid
// sends its value-changed notice; values set by code send none.
#pragma once

#include "TQRVNBaseExport.h"

#include <QFont>
#include <QString>
#include <QTreeWidgetItem>
#include <QWidget>

#include <functional>
#include <vector>

class CTQPipeValve;
class CTQPropertyCategory;
class CTQPropertyGrid;
class QLabel;
class QSpinBox;
class QTreeWidget;

/// A whole-number item of a category: a caption, a value within
/// CTQPropertyGrid::kMinValue..kMaxValue, an identifier, a description (shown
/// in the grid's description pane), a tooltip and the record it stands for.
class TQRVNBASEUI_API CTQPropertyItem : public QTreeWidgetItem {
public:
    CTQPropertyItem(const QString& caption, int value, long id);
    ~CTQPropertyItem() override;

    QString Caption() const { return text(0); }

    int Value() const { return m_value; }
    /// Sets the value, held to kMinValue..kMaxValue; sends no notice.
    void SetValue(int value);

    long ID() const { return m_id; }

    const QString& Description() const { return m_description; }
    void SetDescription(const QString& text);

    QString ToolTip() const { return toolTip(0); }
    /// The tooltip of both cells of the item.
    void SetToolTip(const QString& text);

    /// The record the item stands for (not owned; may be null).
    const CTQPipeValve* Valve() const { return m_valve; }
    void SetValve(const CTQPipeValve* valve) { m_valve = valve; }

    /// The category holding the item, or null before it is added to one.
    CTQPropertyCategory* Category() const;

private:
    int m_value = 0;
    long m_id = 0;
    QString m_description;
    const CTQPipeValve* m_valve = nullptr;
};

/// A captioned group of items, shown expanded.
class TQRVNBASEUI_API CTQPropertyCategory : public QTreeWidgetItem {
public:
    explicit CTQPropertyCategory(const QString& caption);
    ~CTQPropertyCategory() override;

    QString Caption() const { return text(0); }

    /// Appends a whole-number item (value held to the grid's range).
    CTQPropertyItem* AddInteger(const QString& caption, int value, long id = 0);
    int ItemCount() const { return childCount(); }
    /// The item at a position, or null.
    CTQPropertyItem* Item(int index) const;
    /// The items in display order.
    std::vector<CTQPropertyItem*> Items() const;
    /// The first item with exactly this caption, or null.
    CTQPropertyItem* FindItem(const QString& caption) const;
};

class TQRVNBASEUI_API CTQPropertyGrid : public QWidget {
public:
    /// The range of item values.
    static constexpr int kMinValue = 0;
    static constexpr int kMaxValue = 999;

    explicit CTQPropertyGrid(QWidget* parent = nullptr);
    ~CTQPropertyGrid() override;

    /// Appends a category (the grid owns it), expanded.
    CTQPropertyCategory* AddCategory(const QString& caption);
    int CategoryCount() const;
    CTQPropertyCategory* Category(int index) const;
    /// The first category with exactly this caption, or null.
    CTQPropertyCategory* FindCategory(const QString& caption) const;

    /// The current item (null when none or a category is current).
    CTQPropertyItem* CurrentItem() const;
    void SetCurrentItem(QTreeWidgetItem* item);

    /// Opens the value editor of an item; false when it cannot be edited.
    bool EditItem(CTQPropertyItem* item);
    /// The open value editor, or null.
    QSpinBox* Editor() const;
    /// Commits and closes the open value editor, if any.
    void EndEdit();

    /// What the description pane shows: the current row's caption and
    /// description (empty for a category).
    QString DescriptionCaption() const;
    QString DescriptionText() const;

    /// A value held to kMinValue..kMaxValue.
    static int ClampValue(long long value);

    /// The width of the count column: the largest count with its editor's
    /// buttons.  The names take what is left, so counts are always seen.
    int CountColumnWidth() const;
    /// The width of the name column at which every name reads in full.
    int NamesWidth() const;
    /// The width at which every name and count reads in full.
    int NeededWidth() const;
    /// The font of a description: fixed-pitch when it is a table of
    /// columns (several lines), so the columns line up; else the grid's.
    QFont DescriptionFont(const QString& description) const;

    /// Sent after the user committed a changed value of an item.
    std::function<void(CTQPropertyItem* item)> onValueChanged;

    /// Stores a value committed by the editor and sends the notice when it
    /// differs from the item's value.
    void CommitValue(CTQPropertyItem* item, int value);
    /// Shows the current row in the description pane.
    void UpdateDescription();

protected:
    void changeEvent(QEvent* event) override;

private:
    class TreeView;
    class Delegate;

    void UpdatePaneFonts();
    /// The grid's font in bold, for category rows and the pane caption.
    QFont BoldFont() const;

    TreeView* m_tree = nullptr;
    QLabel* m_paneCaption = nullptr;
    QLabel* m_paneText = nullptr;
};
