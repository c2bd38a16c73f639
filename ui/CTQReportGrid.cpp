#include "ui/CTQReportGrid.h"

#include "ui/UiNumbers.h"

#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPointer>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTimer>
#include <QToolTip>

#include <algorithm>
#include <cmath>

namespace {

constexpr int kNumberRole = Qt::UserRole + 1;

// The look of a number editor whose text the column does not take.
const char* const kInvalidStyle = "QLineEdit { background: #ffd6d6; color: #a00000; }";

// A number cell's editor: it shows exactly what was typed, never drops a
// keystroke, and marks text the column does not take (red, with the reason
// as its tooltip).  The grid refuses to close it while it is marked.
class NumberEditor final : public QLineEdit {
public:
    NumberEditor(const CTQGridColumn& column, QWidget* parent)
        : QLineEdit(parent), m_column(column) {
        setObjectName(QStringLiteral("cellEditor"));
        setFrame(false);
        connect(this, &QLineEdit::textChanged, this, [this] { Check(); });
    }

    /// Why the text cannot be taken, or "" when it can.
    const QString& Problem() const { return m_problem; }
    std::optional<double> Value() const { return m_value; }

private:
    void Check() {
        m_problem = CTQReportGrid::CheckNumber(m_column, text(), &m_value);
        const bool invalid = !m_problem.isEmpty();
        if (invalid != property("invalid").toBool()) {
            setProperty("invalid", invalid);
            setStyleSheet(invalid ? QString::fromLatin1(kInvalidStyle) : QString());
        }
        setToolTip(m_problem);
    }

    CTQGridColumn m_column;
    QString m_problem;
    std::optional<double> m_value;
};

class GridDelegate final : public QStyledItemDelegate {
public:
    explicit GridDelegate(CTQReportGrid* grid) : QStyledItemDelegate(grid), m_grid(grid) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override {
        const CTQGridColumn* column = Column(index);
        if (!m_grid->AllowEdit() || !column || !column->editable) {
            return nullptr;
        }
        if (column->kind == CTQGridColumn::Kind::Text) {
            return QStyledItemDelegate::createEditor(parent, option, index);
        }
        return new NumberEditor(*column, parent);
    }

    void setEditorData(QWidget* editor, const QModelIndex& index) const override {
        if (auto* edit = dynamic_cast<NumberEditor*>(editor)) {
            // Opened by a key press the editor then receives that key as typed text.
            edit->setText(tqrvn::ui::ExactText(index.data(kNumberRole).toDouble()));
            edit->selectAll();
            return;
        }
        QStyledItemDelegate::setEditorData(editor, index);
    }

    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override {
        auto* edit = dynamic_cast<NumberEditor*>(editor);
        if (!edit) {
            QStyledItemDelegate::setModelData(editor, model, index);
            return;
        }
        // The grid never commits marked text; an unchanged value sends no notice.
        const std::optional<double> value = edit->Value();
        QTreeWidgetItem* row = m_grid->itemFromIndex(index);
        if (!value || !edit->Problem().isEmpty() || !row) {
            return;
        }
        const QVariant before = row->data(index.column(), kNumberRole);
        if (!before.isValid() || before.toDouble() != *value) {
            m_grid->SetNumber(row, index.column(), *value);
        }
    }

private:
    const CTQGridColumn* Column(const QModelIndex& index) const {
        const auto& columns = m_grid->Columns();
        if (index.column() < 0 || index.column() >= static_cast<int>(columns.size())) {
            return nullptr;
        }
        return &columns[static_cast<std::size_t>(index.column())];
    }

    CTQReportGrid* m_grid;
};

QString Limit(const CTQGridColumn& column, double value) {
    return column.kind == CTQGridColumn::Kind::Integer
               ? QString::number(static_cast<long long>(value))
               : tqrvn::ui::GeneralText(value);
}

} // namespace

// ---- CTQGridRow ------------------------------------------------------------------

CTQGridRow::CTQGridRow() : QTreeWidgetItem(QTreeWidgetItem::UserType) {}

CTQGridRow::~CTQGridRow() = default;

double CTQGridRow::Number(int column) const {
    return data(column, kNumberRole).toDouble();
}

bool CTQGridRow::operator<(const QTreeWidgetItem& other) const {
    const int column = treeWidget() ? treeWidget()->sortColumn() : 0;
    const QVariant a = data(column, kNumberRole);
    const QVariant b = other.data(column, kNumberRole);
    if (a.isValid() && b.isValid()) {
        return a.toDouble() < b.toDouble();
    }
    return text(column).localeAwareCompare(other.text(column)) < 0;
}

// ---- CTQReportGrid ---------------------------------------------------------------

CTQReportGrid::CTQReportGrid(QWidget* parent) : QTreeWidget(parent) {
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setItemDelegate(new GridDelegate(this));
    setFrameShape(QFrame::StyledPanel);
    setFrameShadow(QFrame::Plain);
    header()->setStretchLastSection(false);
    header()->setSectionsClickable(true);
    header()->setSectionsMovable(false);
    header()->setSectionResizeMode(QHeaderView::Interactive);
    // Narrow relative widths must not push the columns past the visible width.
    header()->setMinimumSectionSize(8);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    SetAllowEdit(false);

    connect(header(), &QHeaderView::sectionClicked, this, [this](int column) {
        const Qt::SortOrder order = column == m_sortColumn && m_sortOrder == Qt::AscendingOrder
                                        ? Qt::DescendingOrder
                                        : Qt::AscendingOrder;
        SortByColumn(column, order);
    });
    connect(this, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* current, QTreeWidgetItem* previous) {
                if (onFocusChanged) {
                    onFocusChanged(dynamic_cast<CTQGridRow*>(current),
                                   dynamic_cast<CTQGridRow*>(previous));
                }
            });
    connect(this, &QTreeWidget::itemSelectionChanged, this, [this] {
        if (onSelectionChanged) {
            onSelectionChanged();
        }
    });
    connect(this, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* item, int column) {
        if (onValueChanged) {
            onValueChanged(dynamic_cast<CTQGridRow*>(item), column);
        }
    });
}

CTQReportGrid::~CTQReportGrid() = default;

void CTQReportGrid::SetColumns(std::vector<CTQGridColumn> columns) {
    m_columns = std::move(columns);
    setColumnCount(static_cast<int>(m_columns.size()));
    QTreeWidgetItem* head = headerItem();
    for (std::size_t i = 0; i < m_columns.size(); ++i) {
        const int c = static_cast<int>(i);
        head->setText(c, m_columns[i].caption);
        // Captions keep their texts as given; a tooltip shows its lines
        // with Qt's own line break.
        QString tip = m_columns[i].tooltip;
        tip.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        head->setToolTip(c, tip);
        head->setTextAlignment(c, Qt::AlignLeft | Qt::AlignVCenter);
    }
    FitColumns();
}

void CTQReportGrid::SetAllowEdit(bool allow) {
    m_allowEdit = allow;
    setEditTriggers(allow ? (QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked |
                             QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed)
                          : QAbstractItemView::NoEditTriggers);
}

void CTQReportGrid::AddRow(CTQGridRow* row) {
    row->m_order = m_nextOrder++;
    row->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsEditable);
    addTopLevelItem(row);
}

void CTQReportGrid::SetNumber(QTreeWidgetItem* row, int column, double value) {
    if (!row || column < 0 || column >= static_cast<int>(m_columns.size())) {
        return;
    }
    const CTQGridColumn& c = m_columns[static_cast<std::size_t>(column)];
    const QString text = c.kind == CTQGridColumn::Kind::Decimal
                             ? tqrvn::ui::FixedText(value, c.decimals)
                             : tqrvn::ui::FixedText(std::trunc(value), 0);
    // The value first, then the text: the change notice then sees both.
    const bool blocked = blockSignals(true);
    row->setData(column, kNumberRole, value);
    blockSignals(blocked);
    row->setData(column, Qt::DisplayRole, text);
    row->setTextAlignment(column, Qt::AlignRight | Qt::AlignVCenter);
}

void CTQReportGrid::SetText(QTreeWidgetItem* row, int column, const QString& text) {
    if (row) {
        row->setText(column, text);
    }
}

std::vector<CTQGridRow*> CTQReportGrid::Rows() const {
    std::vector<CTQGridRow*> rows;
    rows.reserve(static_cast<std::size_t>(topLevelItemCount()));
    for (int i = 0; i < topLevelItemCount(); ++i) {
        if (auto* row = dynamic_cast<CTQGridRow*>(topLevelItem(i))) {
            rows.push_back(row);
        }
    }
    return rows;
}

std::vector<CTQGridRow*> CTQReportGrid::RowsInAddedOrder() const {
    std::vector<CTQGridRow*> rows = Rows();
    std::sort(rows.begin(), rows.end(), [](const CTQGridRow* a, const CTQGridRow* b) {
        return a->AddedOrder() < b->AddedOrder();
    });
    return rows;
}

std::vector<CTQGridRow*> CTQReportGrid::SelectedRows() const {
    std::vector<CTQGridRow*> rows;
    for (CTQGridRow* row : Rows()) {
        if (row->isSelected()) {
            rows.push_back(row);
        }
    }
    return rows;
}

CTQGridRow* CTQReportGrid::FocusedRow() const {
    return dynamic_cast<CTQGridRow*>(currentItem());
}

bool CTQReportGrid::FocusRow(int index) {
    QTreeWidgetItem* item = topLevelItem(index);
    if (!item) {
        return false;
    }
    setCurrentItem(item);
    scrollToItem(item);
    return true;
}

CTQGridRow* CTQReportGrid::RowAt(int index) const {
    return dynamic_cast<CTQGridRow*>(topLevelItem(index));
}

QWidget* CTQReportGrid::RefusingEditor() const {
    if (state() != QAbstractItemView::EditingState) {
        return nullptr;
    }
    auto* edit = dynamic_cast<NumberEditor*>(indexWidget(currentIndex()));
    return edit && !edit->Problem().isEmpty() ? edit : nullptr;
}

void CTQReportGrid::HoldEditor(QWidget* editor) const {
    const QPointer<QWidget> held(editor);
    QTimer::singleShot(0, editor, [held] {
        if (held) {
            held->setFocus(Qt::OtherFocusReason);
        }
    });
    if (isVisible()) {
        QToolTip::showText(editor->mapToGlobal(QPoint(0, editor->height())), EditProblem(), editor);
    }
}

QString CTQReportGrid::CheckNumber(const CTQGridColumn& column, const QString& text,
                                   std::optional<double>* value) {
    const std::optional<double> v = tqrvn::ui::ReadNumber(text);
    if (value) {
        *value = v;
    }
    const bool whole = column.kind == CTQGridColumn::Kind::Integer;
    if (!v) {
        return text.trimmed().isEmpty() ? QStringLiteral("请输入数值")
                                        : QStringLiteral("“%1”不是数值").arg(text);
    }
    if (whole && std::trunc(*v) != *v) {
        return QStringLiteral("“%1”不是整数").arg(text);
    }
    if (*v < column.min || *v > column.max) {
        return QStringLiteral("%1 超出范围 %2 至 %3")
            .arg(text.trimmed(), Limit(column, column.min), Limit(column, column.max));
    }
    return QString();
}

QString CTQReportGrid::EditProblem() const {
    auto* edit = dynamic_cast<NumberEditor*>(RefusingEditor());
    if (!edit) {
        return QString();
    }
    const QModelIndex at = currentIndex();
    const std::size_t c = static_cast<std::size_t>(at.column());
    const QString caption = c < m_columns.size() ? m_columns[c].caption : QString();
    return QStringLiteral("第 %1 行“%2”：%3").arg(at.row() + 1).arg(caption, edit->Problem());
}

bool CTQReportGrid::EndEdit() {
    if (state() != QAbstractItemView::EditingState) {
        return true;
    }
    if (QWidget* refusing = RefusingEditor()) {
        HoldEditor(refusing);
        return false;
    }
    if (QWidget* editor = indexWidget(currentIndex())) {
        commitData(editor);
        closeEditor(editor, QAbstractItemDelegate::NoHint);
    }
    return true;
}

void CTQReportGrid::CancelEdit() {
    if (state() != QAbstractItemView::EditingState) {
        return;
    }
    if (QWidget* editor = indexWidget(currentIndex())) {
        QTreeWidget::closeEditor(editor, QAbstractItemDelegate::RevertModelCache);
    }
}

void CTQReportGrid::commitData(QWidget* editor) {
    if (editor == RefusingEditor()) {
        return; // marked text is never stored
    }
    QTreeWidget::commitData(editor);
}

void CTQReportGrid::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) {
    // Escape reverts the cell; anything else must not leave marked text behind.
    if (hint != QAbstractItemDelegate::RevertModelCache && editor == RefusingEditor()) {
        HoldEditor(editor);
        return;
    }
    QTreeWidget::closeEditor(editor, hint);
}

void CTQReportGrid::mousePressEvent(QMouseEvent* event) {
    if (QWidget* refusing = RefusingEditor()) {
        HoldEditor(refusing);
        event->accept();
        return;
    }
    QTreeWidget::mousePressEvent(event);
}

void CTQReportGrid::mouseDoubleClickEvent(QMouseEvent* event) {
    if (QWidget* refusing = RefusingEditor()) {
        HoldEditor(refusing);
        event->accept();
        return;
    }
    QTreeWidget::mouseDoubleClickEvent(event);
}

void CTQReportGrid::keyPressEvent(QKeyEvent* event) {
    if (state() != QAbstractItemView::EditingState && m_allowEdit &&
        event->modifiers() == Qt::NoModifier) {
        if (event->key() == Qt::Key_Insert && onInsertKey) {
            onInsertKey();
            return;
        }
        if (event->key() == Qt::Key_Delete && onDeleteKey) {
            onDeleteKey();
            return;
        }
    }
    QTreeWidget::keyPressEvent(event);
}

void CTQReportGrid::SortByColumn(int column, Qt::SortOrder order) {
    if (column < 0 || column >= columnCount() || !EndEdit()) {
        return;
    }
    m_sortColumn = column;
    m_sortOrder = order;
    header()->setSortIndicatorShown(true);
    header()->setSortIndicator(column, order);
    sortItems(column, order);
    if (onRowsReordered) {
        onRowsReordered();
    }
}

int CTQReportGrid::ContentWidth(int column) const {
    // Cell texts with the item view's margins on both sides and a little air.
    const int margin =
        2 * (style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1) + 6;
    const QFontMetrics metrics(font());
    int width = header()->sectionSizeHint(column);
    for (int i = 0; i < topLevelItemCount(); ++i) {
        width = std::max(width, metrics.horizontalAdvance(topLevelItem(i)->text(column)) + margin);
    }
    return width;
}

int CTQReportGrid::NeededWidth() const {
    int width = 2 * frameWidth() + style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    for (int c = 0; c < columnCount(); ++c) {
        width += ContentWidth(c);
    }
    return width;
}

void CTQReportGrid::FitColumns() {
    int total = 0;
    for (const CTQGridColumn& c : m_columns) {
        total += std::max(c.relativeWidth, 0);
    }
    if (total <= 0 || m_columns.empty()) {
        return;
    }
    std::vector<int> widths(m_columns.size());
    int needed = 0;
    for (std::size_t i = 0; i < m_columns.size(); ++i) {
        widths[i] = ContentWidth(static_cast<int>(i));
        needed += widths[i];
    }
    // What is left beyond the content widths goes by the relative widths; a
    // grid too narrow for its content scrolls instead of cutting a column.
    const int spare = std::max(viewport()->width() - needed, 0);
    int given = 0;
    for (std::size_t i = 0; i < m_columns.size(); ++i) {
        int extra = spare * std::max(m_columns[i].relativeWidth, 0) / total;
        if (i + 1 == m_columns.size()) {
            extra = spare - given;
        }
        given += extra;
        header()->resizeSection(static_cast<int>(i), widths[i] + extra);
    }
}

void CTQReportGrid::resizeEvent(QResizeEvent* event) {
    QTreeWidget::resizeEvent(event);
    FitColumns();
}
