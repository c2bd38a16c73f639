#include "ui/CTQPropertyGrid.h"

#include <QEvent>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFrame>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPointer>
#include <QResizeEvent>
#include <QSpinBox>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// Item types, so that a row can be told apart without a cast.
constexpr int kCategoryType = QTreeWidgetItem::UserType + 1;
constexpr int kItemType = QTreeWidgetItem::UserType + 2;

constexpr int kNameColumn = 0;
constexpr int kValueColumn = 1;

} // namespace

// ---- CTQPropertyItem -----------------------------------------------------------------

CTQPropertyItem::CTQPropertyItem(const QString& caption, int value, long id)
    : QTreeWidgetItem(kItemType), m_id(id) {
    setText(kNameColumn, caption);
    setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsEditable);
    setTextAlignment(kValueColumn, Qt::AlignRight | Qt::AlignVCenter);
    m_value = CTQPropertyGrid::ClampValue(value);
    setText(kValueColumn, QString::number(m_value));
}

CTQPropertyItem::~CTQPropertyItem() = default;

void CTQPropertyItem::SetValue(int value) {
    const int v = CTQPropertyGrid::ClampValue(value);
    if (v == m_value) {
        return;
    }
    m_value = v;
    setText(kValueColumn, QString::number(m_value));
}

void CTQPropertyItem::SetDescription(const QString& text) {
    m_description = text;
    if (auto* tree = treeWidget(); tree && tree->currentItem() == this) {
        if (auto* grid = dynamic_cast<CTQPropertyGrid*>(tree->parentWidget())) {
            grid->UpdateDescription();
        }
    }
}

void CTQPropertyItem::SetToolTip(const QString& text) {
    setToolTip(kNameColumn, text);
    setToolTip(kValueColumn, text);
}

CTQPropertyCategory* CTQPropertyItem::Category() const {
    QTreeWidgetItem* p = parent();
    return p && p->type() == kCategoryType ? static_cast<CTQPropertyCategory*>(p) : nullptr;
}

// ---- CTQPropertyCategory -----------------------------------------------------------

CTQPropertyCategory::CTQPropertyCategory(const QString& caption) : QTreeWidgetItem(kCategoryType) {
    setText(kNameColumn, caption);
    setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
}

CTQPropertyCategory::~CTQPropertyCategory() = default;

CTQPropertyItem* CTQPropertyCategory::AddInteger(const QString& caption, int value, long id) {
    auto* item = new CTQPropertyItem(caption, value, id);
    addChild(item);
    return item;
}

CTQPropertyItem* CTQPropertyCategory::Item(int index) const {
    QTreeWidgetItem* c = child(index);
    return c && c->type() == kItemType ? static_cast<CTQPropertyItem*>(c) : nullptr;
}

std::vector<CTQPropertyItem*> CTQPropertyCategory::Items() const {
    std::vector<CTQPropertyItem*> items;
    items.reserve(static_cast<std::size_t>(childCount()));
    for (int i = 0; i < childCount(); ++i) {
        if (CTQPropertyItem* item = Item(i)) {
            items.push_back(item);
        }
    }
    return items;
}

CTQPropertyItem* CTQPropertyCategory::FindItem(const QString& caption) const {
    for (int i = 0; i < childCount(); ++i) {
        CTQPropertyItem* item = Item(i);
        if (item && item->Caption() == caption) {
            return item;
        }
    }
    return nullptr;
}

// ---- the list and its editor ----------------------------------------------------------

class CTQPropertyGrid::TreeView final : public QTreeWidget {
public:
    explicit TreeView(QWidget* parent) : QTreeWidget(parent) {}

    bool IsEditing() const { return state() == QAbstractItemView::EditingState; }

    void EndEdit(QWidget* editor) {
        if (!IsEditing() || !editor) {
            return;
        }
        commitData(editor);
        closeEditor(editor, QAbstractItemDelegate::NoHint);
    }

protected:
    // Editing a row always edits its value, whichever cell was hit.
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override {
        if (index.isValid() && index.column() != kValueColumn) {
            QTreeWidgetItem* item = itemFromIndex(index);
            if (item && item->type() == kItemType) {
                return QTreeWidget::edit(index.siblingAtColumn(kValueColumn), trigger, event);
            }
        }
        return QTreeWidget::edit(index, trigger, event);
    }

    void resizeEvent(QResizeEvent* event) override {
        QTreeWidget::resizeEvent(event);
        FitColumns();
    }

public:
    // The names take the larger share, but never the room of the counts.
    void FitColumns() {
        const auto* grid = static_cast<const CTQPropertyGrid*>(parentWidget());
        const int width = viewport()->width();
        const int names =
            std::min(std::max(width * 3 / 5, grid->NamesWidth()), width - grid->CountColumnWidth());
        header()->resizeSection(kNameColumn, std::max(names, 1));
        header()->resizeSection(kValueColumn, std::max(width - names, 1));
    }
};

class CTQPropertyGrid::Delegate final : public QStyledItemDelegate {
public:
    Delegate(CTQPropertyGrid* grid, TreeView* tree)
        : QStyledItemDelegate(tree), m_grid(grid), m_tree(tree) {}

    QSpinBox* OpenEditor() const { return m_tree->IsEditing() ? m_editor.data() : nullptr; }

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&,
                          const QModelIndex& index) const override {
        CTQPropertyItem* item = ItemOf(index);
        if (!item || index.column() != kValueColumn) {
            return nullptr;
        }
        auto* spin = new QSpinBox(parent);
        spin->setRange(kMinValue, kMaxValue);
        spin->setFrame(false);
        spin->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        // valueChanged then comes with Enter, focus loss and each step of the
        // buttons or arrow keys, not with every digit typed.
        spin->setKeyboardTracking(false);
        const QPersistentModelIndex at(index);
        connect(spin, &QSpinBox::valueChanged, m_grid, [grid = m_grid, at, this](int value) {
            if (CTQPropertyItem* row = ItemOf(at)) {
                grid->CommitValue(row, value);
            }
        });
        m_editor = spin;
        return spin;
    }

    void setEditorData(QWidget* editor, const QModelIndex& index) const override {
        auto* spin = qobject_cast<QSpinBox*>(editor);
        CTQPropertyItem* item = ItemOf(index);
        if (!spin || !item) {
            return;
        }
        const bool blocked = spin->blockSignals(true);
        spin->setValue(item->Value());
        spin->blockSignals(blocked);
        spin->selectAll();
    }

    void setModelData(QWidget* editor, QAbstractItemModel*,
                      const QModelIndex& index) const override {
        auto* spin = qobject_cast<QSpinBox*>(editor);
        CTQPropertyItem* item = ItemOf(index);
        if (!spin || !item) {
            return;
        }
        spin->interpretText(); // text typed but not yet taken; commits through valueChanged
        m_grid->CommitValue(item, spin->value());
    }

    // Escape drops what was typed: the editor's own commit on losing focus
    // must not take it after all.
    bool eventFilter(QObject* object, QEvent* event) override {
        if (event->type() == QEvent::KeyPress &&
            static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
            if (auto* spin = qobject_cast<QSpinBox*>(object)) {
                QObject::disconnect(spin, &QSpinBox::valueChanged, m_grid, nullptr);
            }
        }
        return QStyledItemDelegate::eventFilter(object, event);
    }

private:
    CTQPropertyItem* ItemOf(const QModelIndex& index) const {
        QTreeWidgetItem* item = index.isValid() ? m_tree->itemFromIndex(index) : nullptr;
        return item && item->type() == kItemType ? static_cast<CTQPropertyItem*>(item) : nullptr;
    }

    CTQPropertyGrid* m_grid;
    TreeView* m_tree;
    mutable QPointer<QSpinBox> m_editor;
};

// ---- CTQPropertyGrid -------------------------------------------------------------------

CTQPropertyGrid::CTQPropertyGrid(QWidget* parent) : QWidget(parent) {
    m_tree = new TreeView(this);
    m_tree->setColumnCount(2);
    m_tree->setHeaderHidden(true);
    m_tree->setRootIsDecorated(true);
    m_tree->setUniformRowHeights(true);
    m_tree->setAllColumnsShowFocus(true);
    m_tree->setSelectionMode(QAbstractItemView::SingleSelection);
    m_tree->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_tree->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked |
                            QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
    m_tree->setItemDelegate(new Delegate(this, m_tree));
    // The columns are sized by the grid itself (FitColumns): a stretched last
    // section keeps a minimum width of its own and can reach past the pane.
    m_tree->header()->setStretchLastSection(false);
    m_tree->header()->setMinimumSectionSize(8);
    m_tree->setFrameShape(QFrame::NoFrame);

    auto* pane = new QFrame(this);
    pane->setFrameShape(QFrame::StyledPanel);
    pane->setFrameShadow(QFrame::Sunken);
    m_paneCaption = new QLabel(pane);
    m_paneText = new QLabel(pane);
    m_paneText->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_paneText->setTextFormat(Qt::PlainText);
    m_paneCaption->setTextFormat(Qt::PlainText);
    auto* paneLayout = new QVBoxLayout(pane);
    paneLayout->setContentsMargins(4, 2, 4, 2);
    paneLayout->setSpacing(2);
    paneLayout->addWidget(m_paneCaption);
    paneLayout->addWidget(m_paneText, 1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(m_tree, 1);
    layout->addWidget(pane);

    setFocusProxy(m_tree);
    UpdatePaneFonts();

    connect(m_tree, &QTreeWidget::currentItemChanged, this, [this] { UpdateDescription(); });
}

CTQPropertyGrid::~CTQPropertyGrid() {
    // Pending editor signals must not reach a half-destroyed grid.
    onValueChanged = nullptr;
}

CTQPropertyCategory* CTQPropertyGrid::AddCategory(const QString& caption) {
    auto* category = new CTQPropertyCategory(caption);
    m_tree->addTopLevelItem(category);
    category->setFont(kNameColumn, BoldFont());
    category->setFirstColumnSpanned(true);
    category->setExpanded(true);
    return category;
}

int CTQPropertyGrid::CategoryCount() const {
    return m_tree->topLevelItemCount();
}

CTQPropertyCategory* CTQPropertyGrid::Category(int index) const {
    QTreeWidgetItem* item = m_tree->topLevelItem(index);
    return item && item->type() == kCategoryType ? static_cast<CTQPropertyCategory*>(item)
                                                 : nullptr;
}

CTQPropertyCategory* CTQPropertyGrid::FindCategory(const QString& caption) const {
    for (int i = 0; i < CategoryCount(); ++i) {
        CTQPropertyCategory* c = Category(i);
        if (c && c->Caption() == caption) {
            return c;
        }
    }
    return nullptr;
}

CTQPropertyItem* CTQPropertyGrid::CurrentItem() const {
    QTreeWidgetItem* item = m_tree->currentItem();
    return item && item->type() == kItemType ? static_cast<CTQPropertyItem*>(item) : nullptr;
}

void CTQPropertyGrid::SetCurrentItem(QTreeWidgetItem* item) {
    if (!item || item->treeWidget() == m_tree) {
        m_tree->setCurrentItem(item);
    }
}

bool CTQPropertyGrid::EditItem(CTQPropertyItem* item) {
    if (!item || item->treeWidget() != m_tree || !item->flags().testFlag(Qt::ItemIsEditable)) {
        return false;
    }
    EndEdit();
    m_tree->setCurrentItem(item, kValueColumn);
    m_tree->editItem(item, kValueColumn);
    return Editor() != nullptr;
}

QSpinBox* CTQPropertyGrid::Editor() const {
    return static_cast<Delegate*>(m_tree->itemDelegate())->OpenEditor();
}

void CTQPropertyGrid::EndEdit() {
    m_tree->EndEdit(Editor());
}

QString CTQPropertyGrid::DescriptionCaption() const {
    return m_paneCaption->text();
}

QString CTQPropertyGrid::DescriptionText() const {
    return m_paneText->text();
}

int CTQPropertyGrid::CountColumnWidth() const {
    const QFontMetrics metrics(m_tree->font());
    const int spin = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    return metrics.horizontalAdvance(QString::number(kMaxValue)) + spin + 16;
}

int CTQPropertyGrid::NamesWidth() const {
    const QFontMetrics metrics(m_tree->font());
    const QFontMetrics bold(BoldFont());
    int names = 0;
    for (int c = 0; c < CategoryCount(); ++c) {
        CTQPropertyCategory* category = Category(c);
        names =
            std::max(names, m_tree->indentation() + bold.horizontalAdvance(category->Caption()));
        for (const CTQPropertyItem* item : category->Items()) {
            // Items sit two levels in: below the root decoration and their category.
            names = std::max(names, 2 * m_tree->indentation() +
                                        metrics.horizontalAdvance(item->Caption()));
        }
    }
    return names + 16;
}

int CTQPropertyGrid::NeededWidth() const {
    const int chrome =
        2 * m_tree->frameWidth() + style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    return NamesWidth() + CountColumnWidth() + chrome;
}

QFont CTQPropertyGrid::DescriptionFont(const QString& description) const {
    if (!description.contains(QLatin1Char('\n'))) {
        return font();
    }
    QFont fixed(QStringLiteral("Noto Sans Mono CJK SC"));
    fixed.setStyleHint(QFont::TypeWriter);
    fixed.setFixedPitch(true);
    fixed.setPointSizeF(font().pointSizeF());
    if (!QFontInfo(fixed).fixedPitch()) {
        fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
        fixed.setPointSizeF(font().pointSizeF());
    }
    return fixed;
}

int CTQPropertyGrid::ClampValue(long long value) {
    return static_cast<int>(std::clamp<long long>(value, kMinValue, kMaxValue));
}

void CTQPropertyGrid::CommitValue(CTQPropertyItem* item, int value) {
    if (!item) {
        return;
    }
    const int before = item->Value();
    item->SetValue(value); // held to the grid's range
    if (item->Value() != before && onValueChanged) {
        onValueChanged(item);
    }
}

void CTQPropertyGrid::UpdateDescription() {
    QTreeWidgetItem* current = m_tree->currentItem();
    if (CTQPropertyItem* item = CurrentItem()) {
        m_paneCaption->setText(item->Caption());
        m_paneText->setFont(DescriptionFont(item->Description()));
        m_paneText->setText(item->Description());
    } else {
        m_paneCaption->setText(current ? current->text(kNameColumn) : QString());
        m_paneText->clear();
    }
}

void CTQPropertyGrid::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        UpdatePaneFonts();
    }
}

QFont CTQPropertyGrid::BoldFont() const {
    QFont bold = font();
    bold.setBold(true);
    return bold;
}

void CTQPropertyGrid::UpdatePaneFonts() {
    m_paneCaption->setFont(BoldFont());
    m_paneText->setFont(font());
    // Room for the caption and two lines of description (a DN table).
    const QFontMetrics metrics(font());
    m_paneCaption->parentWidget()->setFixedHeight(metrics.lineSpacing() * 3 + 12);
    for (int i = 0; i < CategoryCount(); ++i) {
        if (CTQPropertyCategory* c = Category(i)) {
            c->setFont(kNameColumn, BoldFont());
        }
    }
}
