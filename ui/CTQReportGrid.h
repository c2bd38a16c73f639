// The report grid of the catalog dialogs: rows of records under captioned
// columns with relative widths and header tooltips, number cells shown in a
// fixed form, in-place editing when allowed, and sorting by a click on a
// column header (the grid's "rows re-ordered" notice).
//
// A number cell's editor keeps exactly what was typed.  Text the column does
// not take (not a number, out of range, a fraction in a whole-number column)
// is marked in the editor, and the editor cannot be left with it: Enter, Tab,
// a click elsewhere and EndEdit keep it open; Escape restores the cell.
//
// Columns are never narrower than their caption and the widest text of
// their cells; the width left over is shared by the relative widths.
// Insert and Delete (while no cell is edited) are passed to the dialog.
#pragma once

#include "TQRVNBaseExport.h"

#include <QString>
#include <QTreeWidget>
#include <QTreeWidgetItem>

#include <functional>
#include <optional>
#include <vector>

/// How a column shows and edits its cells.
struct TQRVNBASEUI_API CTQGridColumn {
    enum class Kind {
        Text,    ///< free text
        Integer, ///< whole numbers min..max, shown without decimals
        Decimal  ///< finite numbers min..max, shown with `decimals` digits
    };
    QString caption;
    int relativeWidth = 1;
    QString tooltip;
    Kind kind = Kind::Text;
    double min = 0.0;
    double max = 0.0;
    int decimals = 2;
    bool editable = true;
};

/// A row of a report grid; concrete dialogs derive their rows from it to
/// carry their record.
class TQRVNBASEUI_API CTQGridRow : public QTreeWidgetItem {
public:
    CTQGridRow();
    ~CTQGridRow() override;

    /// The value of a number cell (0 when it holds none).
    double Number(int column) const;
    /// The position of this row among the rows in the order they were added.
    quint64 AddedOrder() const { return m_order; }

    bool operator<(const QTreeWidgetItem& other) const override;

private:
    friend class CTQReportGrid;
    quint64 m_order = 0;
};

class TQRVNBASEUI_API CTQReportGrid : public QTreeWidget {
public:
    explicit CTQReportGrid(QWidget* parent = nullptr);
    ~CTQReportGrid() override;

    /// Replaces the columns.
    void SetColumns(std::vector<CTQGridColumn> columns);
    const std::vector<CTQGridColumn>& Columns() const { return m_columns; }

    /// In-place editing on or off (the dialogs allow it with a connection).
    void SetAllowEdit(bool allow);
    bool AllowEdit() const { return m_allowEdit; }

    /// Appends a row (the grid takes ownership).
    void AddRow(CTQGridRow* row);
    /// Sets a number cell: its value and its text in the column's form.
    void SetNumber(QTreeWidgetItem* row, int column, double value);
    /// Sets a text cell.
    void SetText(QTreeWidgetItem* row, int column, const QString& text);

    /// Rows in display order.
    std::vector<CTQGridRow*> Rows() const;
    /// Rows in the order they were added.
    std::vector<CTQGridRow*> RowsInAddedOrder() const;
    /// Selected rows in display order.
    std::vector<CTQGridRow*> SelectedRows() const;
    /// The focused row, or null.
    CTQGridRow* FocusedRow() const;
    /// Focuses (and selects) the row at a display position; false when there is none.
    bool FocusRow(int index);
    CTQGridRow* RowAt(int index) const;
    int RowCount() const { return topLevelItemCount(); }

    /// Commits the cell being edited, if any.  False when its text cannot be
    /// taken: the editor then stays open with the focus, its reason shown.
    bool EndEdit();
    /// Closes the cell editor, if any, leaving the cell as it was.
    void CancelEdit();
    /// Why the open editor's text cannot be taken, naming the row (display
    /// position from 1) and the column's caption; "" when it can or none is open.
    QString EditProblem() const;
    /// Why a text cannot be a cell of the column, or "" when it can (its
    /// value then in *value when given).
    static QString CheckNumber(const CTQGridColumn& column, const QString& text,
                               std::optional<double>* value);

    /// Sorts by a column, as a click on its header does, and sends the
    /// rows-re-ordered notice.
    void SortByColumn(int column, Qt::SortOrder order);

    /// Notices to the dialog.
    std::function<void()> onRowsReordered;
    std::function<void(CTQGridRow* current, CTQGridRow* previous)> onFocusChanged;
    std::function<void(CTQGridRow* row, int column)> onValueChanged;
    /// The set of selected rows changed.
    std::function<void()> onSelectionChanged;
    /// Insert or Delete pressed while no cell is edited.
    std::function<void()> onInsertKey;
    std::function<void()> onDeleteKey;

    /// Distributes the visible width over the columns: each its content
    /// width first, the rest by their relative widths.
    void FitColumns();
    /// The width a column needs to show its caption and every cell in full.
    int ContentWidth(int column) const;
    /// The width of the whole grid at which every column reads in full.
    int NeededWidth() const;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void commitData(QWidget* editor) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    /// The open number editor when its text cannot be taken, else null.
    QWidget* RefusingEditor() const;
    /// Keeps the focus in a refusing editor and shows why.
    void HoldEditor(QWidget* editor) const;

    std::vector<CTQGridColumn> m_columns;
    bool m_allowEdit = false;
    quint64 m_nextOrder = 0;
    int m_sortColumn = -1;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
};
