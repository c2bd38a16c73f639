#include "ui/CTQReportGrid.h"

#include "ui/UiNumbers.h"

#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QStyledItemDelegate>
#include <QValidator>

#include <algorithm>
#include <cmath>

namespace {

constexpr int kNumberRole = Qt::UserRole + 1;

// Accepts what ParseNumber reads, within min..max; whole numbers only for an
// integer column, and a leading minus sign only where min is negative.
// Texts that may still become valid are intermediate: a positive number
// below min may grow into range with more digits, a negative one above max
// likewise; one beyond the bound on its own side of zero never will.
class NumberValidator final : public QValidator {
public:
    NumberValidator(const CTQGridColumn& column, QObject* parent) : QValidator(parent), m_column(column) {}

    State validate(QString& input, int&) const override {
        const QString text = input.trimmed();
        const bool allowNegative = m_column.min < 0;
        if (text.isEmpty() || (allowNegative && text == QLatin1String("-"))) {
            return Intermediate;
        }
        for (qsizetype i = 0; i < text.size(); ++i) {
            const QChar c = text[i];
            const bool digit = c >= QLatin1Char('0') && c <= QLatin1Char('9');
            const bool leadingMinus = i == 0 && allowNegative && c == QLatin1Char('-');
            const bool decimalChar = c == QLatin1Char('.') || c == QLatin1Char('e') || c == QLatin1Char('E') ||
                                     c == QLatin1Char('+') || c == QLatin1Char('-');
            if (!digit && !leadingMinus && !(decimalChar && m_column.kind == CTQGridColumn::Kind::Decimal)) {
                return Invalid;
            }
        }
        const std::optional<double> value = tqrvn::ui::ParseNumber(text, allowNegative);
        if (!value) {
            return Intermediate;
        }
        if (*value > m_column.max) {
            return *value > 0 ? Invalid : Intermediate;
        }
        if (*value < m_column.min) {
            return *value < 0 ? Invalid : Intermediate;
        }
        return Acceptable;
    }

private:
    CTQGridColumn m_column;
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
        auto* edit = new QLineEdit(parent);
        edit->setFrame(false);
        edit->setValidator(new NumberValidator(*column, edit));
        return edit;
    }

    void setEditorData(QWidget* editor, const QModelIndex& index) const override {
        const CTQGridColumn* column = Column(index);
        if (column && column->kind != CTQGridColumn::Kind::Text) {
            if (auto* edit = dynamic_cast<QLineEdit*>(editor)) {
                edit->setText(tqrvn::ui::ExactText(index.data(kNumberRole).toDouble()));
                edit->selectAll();
            }
            return;
        }
        QStyledItemDelegate::setEditorData(editor, index);
    }

    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override {
        const CTQGridColumn* column = Column(index);
        if (column && column->kind != CTQGridColumn::Kind::Text) {
            auto* edit = dynamic_cast<QLineEdit*>(editor);
            if (!edit) {
                return;
            }
            QString text = edit->text();
            int pos = 0;
            const std::optional<double> value = tqrvn::ui::ParseNumber(text, column->min < 0);
            if (!value || edit->validator()->validate(text, pos) != QValidator::Acceptable) {
                QApplication::beep();  // the cell keeps its value
                return;
            }
            if (QTreeWidgetItem* row = m_grid->itemFromIndex(index)) {
                if (row->data(index.column(), kNumberRole).toDouble() != *value ||
                    !row->data(index.column(), kNumberRole).isValid()) {
                    m_grid->SetNumber(row, index.column(), *value);
                }
            }
            return;
        }
        QStyledItemDelegate::setModelData(editor, model, index);
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

} // namespace

// ---- CTQGridRow ------------------------------------------------------------------

CTQGridRow::CTQGridRow() : QTreeWidgetItem(QTreeWidgetItem::UserType) {}

CTQGridRow::~CTQGridRow() = default;

double CTQGridRow::Number(int column) const { return data(column, kNumberRole).toDouble(); }

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
    connect(this, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* current, QTreeWidgetItem* previous) {
        if (onFocusChanged) {
            onFocusChanged(dynamic_cast<CTQGridRow*>(current), dynamic_cast<CTQGridRow*>(previous));
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
    std::sort(rows.begin(), rows.end(),
              [](const CTQGridRow* a, const CTQGridRow* b) { return a->AddedOrder() < b->AddedOrder(); });
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

CTQGridRow* CTQReportGrid::FocusedRow() const { return dynamic_cast<CTQGridRow*>(currentItem()); }

bool CTQReportGrid::FocusRow(int index) {
    QTreeWidgetItem* item = topLevelItem(index);
    if (!item) {
        return false;
    }
    setCurrentItem(item);
    scrollToItem(item);
    return true;
}

CTQGridRow* CTQReportGrid::RowAt(int index) const { return dynamic_cast<CTQGridRow*>(topLevelItem(index)); }

void CTQReportGrid::EndEdit() {
    if (state() != QAbstractItemView::EditingState) {
        return;
    }
    if (QWidget* editor = indexWidget(currentIndex())) {
        commitData(editor);
        closeEditor(editor, QAbstractItemDelegate::NoHint);
    }
}

void CTQReportGrid::SortByColumn(int column, Qt::SortOrder order) {
    if (column < 0 || column >= columnCount()) {
        return;
    }
    EndEdit();
    m_sortColumn = column;
    m_sortOrder = order;
    header()->setSortIndicatorShown(true);
    header()->setSortIndicator(column, order);
    sortItems(column, order);
    if (onRowsReordered) {
        onRowsReordered();
    }
}

void CTQReportGrid::FitColumns() {
    int total = 0;
    for (const CTQGridColumn& c : m_columns) {
        total += std::max(c.relativeWidth, 0);
    }
    if (total <= 0 || m_columns.empty()) {
        return;
    }
    const int available = std::max(viewport()->width(), 1);
    int used = 0;
    for (std::size_t i = 0; i < m_columns.size(); ++i) {
        const int c = static_cast<int>(i);
        int width = available * std::max(m_columns[i].relativeWidth, 0) / total;
        if (i + 1 == m_columns.size()) {
            width = available - used;
        }
        header()->resizeSection(c, std::max(width, 1));
        used += width;
    }
}

void CTQReportGrid::resizeEvent(QResizeEvent* event) {
    QTreeWidget::resizeEvent(event);
    FitColumns();
}
