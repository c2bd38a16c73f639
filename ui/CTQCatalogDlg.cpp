#include "ui/CTQCatalogDlg.h"

#include "ui/CTQPrompter.h"
#include "ui/CTQPropertyGrid.h"
#include "ui/CTQReportGrid.h"

#include "db/ADODatabase.h"
#include "db/provider/RVNADOTypes.h"

#include <QFontDatabase>
#include <QFrame>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QResizeEvent>
#include <QSettings>
#include <QToolButton>

#include <cmath>
#include <exception>
#include <new>

namespace {

// Dialog-unit conversion of the template font ("宋体" 9 pt at 96 dpi: base
// units 6 x 12 pixels), rounded as the platform rounds.
int DluX(int x) {
    return static_cast<int>(std::lround(x * 6 / 4.0));
}
int DluY(int y) {
    return static_cast<int>(std::lround(y * 12 / 8.0));
}
QRect DluRect(int x, int y, int cx, int cy) {
    const int left = DluX(x);
    const int top = DluY(y);
    return QRect(QPoint(left, top), QPoint(DluX(x + cx) - 1, DluY(y + cy) - 1));
}

QString IdName(int id) {
    return QString::number(id);
}

// The two 14 x 12 glyphs of the pane buttons: a green plus and a red cross.
QPixmap Glyph(bool add) {
    QPixmap pixmap(14, 12);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing, false);
    if (add) {
        const QColor green(0, 128, 0);
        p.fillRect(QRect(6, 1, 2, 10), green);
        p.fillRect(QRect(2, 5, 10, 2), green);
    } else {
        QPen pen(QColor(192, 0, 0), 2);
        p.setPen(pen);
        p.drawLine(3, 2, 10, 9);
        p.drawLine(10, 2, 3, 9);
    }
    return pixmap;
}

// The dialogs' large icon: a pipe section.
QIcon DialogIcon() {
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QPen(QColor(30, 70, 140), 2));
    p.setBrush(QColor(90, 150, 220));
    p.drawRect(QRectF(3, 11, 26, 10));
    p.setBrush(QColor(220, 235, 250));
    p.drawEllipse(QRectF(23, 9, 7, 14));
    return QIcon(pixmap);
}

QSettings PlacementSettings() {
    return QSettings(QStringLiteral("TQRVNBase"), QStringLiteral("TQRVNBase"));
}

} // namespace

// ---- CTQAnchors --------------------------------------------------------------------

void CTQAnchors::Add(QWidget* widget, QPointF topLeft, QPointF bottomRight) {
    if (!widget) {
        return;
    }
    for (Entry& e : m_entries) {
        if (e.widget == widget) {
            e = Entry{widget, widget->geometry(), topLeft, bottomRight};
            return;
        }
    }
    m_entries.push_back(Entry{widget, widget->geometry(), topLeft, bottomRight});
}

QRect CTQAnchors::Place(QRect initial, QSize base, QSize size, QPointF topLeft,
                        QPointF bottomRight) {
    const double dx = size.width() - base.width();
    const double dy = size.height() - base.height();
    // Corners as exclusive coordinates, so a control that moves by the same
    // shares at both corners keeps its size exactly.
    const int left = initial.left() + static_cast<int>(std::lround(topLeft.x() * dx));
    const int top = initial.top() + static_cast<int>(std::lround(topLeft.y() * dy));
    const int right =
        initial.left() + initial.width() + static_cast<int>(std::lround(bottomRight.x() * dx));
    const int bottom =
        initial.top() + initial.height() + static_cast<int>(std::lround(bottomRight.y() * dy));
    return QRect(left, top, std::max(right - left, 0), std::max(bottom - top, 0));
}

int CTQAnchors::WidthGrowthFor(const std::function<int(QWidget*)>& needed) const {
    int growth = 0;
    for (const Entry& e : m_entries) {
        const double share = e.bottomRight.x() - e.topLeft.x();
        const int want = e.widget ? needed(e.widget) : 0;
        if (share > 0 && want > e.initial.width()) {
            growth =
                std::max(growth, static_cast<int>(std::ceil((want - e.initial.width()) / share)));
        }
    }
    return growth;
}

void CTQAnchors::Apply(QSize size) const {
    if (!m_base.isValid()) {
        return;
    }
    for (const Entry& e : m_entries) {
        if (e.widget) {
            e.widget->setGeometry(Place(e.initial, m_base, size, e.topLeft, e.bottomRight));
        }
    }
}

// ---- CTQCatalogDlg -------------------------------------------------------------------

CTQCatalogDlg::CTQCatalogDlg(CADODatabase* db, QWidget* parent) : QDialog(parent), m_db(db) {
    setObjectName(IdName(IDD));
    setModal(true);
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint);
    setSizeGripEnabled(true);
    QFont font(DialogFontFamily());
    font.setPointSize(9);
    setFont(font);
    resize(TemplateSize());

    // The two hidden pane frames of the template.
    m_frameLeft = new QFrame(this);
    m_frameLeft->setObjectName(IdName(IDC_FRAME_LEFT));
    m_frameLeft->setGeometry(DluRect(7, 20, 136, 207));
    m_frameLeft->hide();
    m_frameRight = new QFrame(this);
    m_frameRight->setObjectName(IdName(IDC_FRAME_RIGHT));
    m_frameRight->setGeometry(DluRect(145, 20, 136, 207));
    m_frameRight->hide();
}

CTQCatalogDlg::~CTQCatalogDlg() = default;

QSize CTQCatalogDlg::TemplateSize() {
    return QSize(DluX(288), DluY(263));
}

QString CTQCatalogDlg::DialogFontFamily() {
    const QStringList families = QFontDatabase::families();
    for (const QString& name :
         {QStringLiteral("宋体"), QStringLiteral("SimSun"), QStringLiteral("NSimSun"),
          QStringLiteral("Noto Sans CJK SC"), QStringLiteral("Noto Serif CJK SC"),
          QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Noto Sans CJK JP")}) {
        if (families.contains(name, Qt::CaseInsensitive)) {
            return name;
        }
    }
    return QFont().family();
}

QRect CTQCatalogDlg::LeftFrameRect() const {
    return m_frameLeft->geometry();
}
QRect CTQCatalogDlg::RightFrameRect() const {
    return m_frameRight->geometry();
}
void CTQCatalogDlg::SetLeftFrameRect(QRect rect) {
    m_frameLeft->setGeometry(rect);
}
void CTQCatalogDlg::SetRightFrameRect(QRect rect) {
    m_frameRight->setGeometry(rect);
}

void CTQCatalogDlg::Initialise() {
    if (m_initialised || m_initialising) {
        return;
    }
    m_initialising = true;
    Guarded([this] { OnInitDialog(); });
    m_initialising = false;
    m_initialised = true;
    FitOpeningSize();
    RestorePlacement();
    m_anchors.Apply(size());
}

void CTQCatalogDlg::setVisible(bool visible) {
    if (visible && !m_initialised) {
        Initialise();
    }
    QDialog::setVisible(visible);
}

int CTQCatalogDlg::DoModal() {
    Initialise();
    return exec() == QDialog::Accepted ? IDOK : IDCANCEL;
}

bool CTQCatalogDlg::OnInitDialog() {
    m_anchors.SetBaseSize(size());
    // The template's size is the smallest the controls are laid out for.
    setMinimumSize(size());
    setWindowIcon(DialogIcon());
    CreateControls();

    const QIcon addIcon(Glyph(true));
    const QIcon deleteIcon(Glyph(false));
    for (QToolButton* b : {m_addLeft, m_addRight}) {
        if (b) {
            b->setIcon(addIcon);
            b->setToolTip(QStringLiteral("添加"));
        }
    }
    for (QToolButton* b : {m_deleteLeft, m_deleteRight}) {
        if (b) {
            b->setIcon(deleteIcon);
            b->setToolTip(QStringLiteral("删除"));
        }
    }
    if (!m_db) {
        for (QToolButton* b : {m_addLeft, m_deleteLeft, m_addRight, m_deleteRight}) {
            if (b) {
                b->hide();
            }
        }
    }
    SetAnchor(m_ok, QPointF(1, 1), QPointF(1, 1));
    SetAnchor(m_cancel, QPointF(1, 1), QPointF(1, 1));
    return true;
}

void CTQCatalogDlg::CreateControls() {
    CreateOkCancel(75);
}

void CTQCatalogDlg::FitOpeningSize() {
    const int growth = m_anchors.WidthGrowthFor([](QWidget* w) {
        if (auto* grid = dynamic_cast<CTQReportGrid*>(w)) {
            return grid->NeededWidth();
        }
        if (auto* grid = dynamic_cast<CTQPropertyGrid*>(w)) {
            return grid->NeededWidth();
        }
        return 0;
    });
    if (growth > 0) {
        resize(size() + QSize(growth, 0));
        m_anchors.Apply(size());
    }
}

void CTQCatalogDlg::BindPaneKeys(CTQReportGrid* grid, bool right) {
    if (!grid) {
        return;
    }
    grid->onInsertKey = [this, right] {
        Guarded([this, right] { right ? OnAddRight() : OnAddLeft(); });
    };
    grid->onDeleteKey = [this, right] {
        Guarded([this, right] { right ? OnDeleteRight() : OnDeleteLeft(); });
    };
}

bool CTQCatalogDlg::EndGridEdits(std::initializer_list<CTQReportGrid*> grids, bool explain) {
    for (CTQReportGrid* grid : grids) {
        if (grid && !grid->EndEdit()) {
            if (explain) {
                ShowError(grid->EditProblem());
            }
            return false;
        }
    }
    return true;
}

void CTQCatalogDlg::OnAddLeft() {}
void CTQCatalogDlg::OnDeleteLeft() {}
void CTQCatalogDlg::OnAddRight() {}
void CTQCatalogDlg::OnDeleteRight() {}

void CTQCatalogDlg::CreateOkCancel(int okOffset) {
    const QSize client = size();
    const QRect cancel(client.width() - 10 - 70, client.height() - 10 - 25, 70, 25);
    m_cancel = new QPushButton(QStringLiteral("取消"), this);
    m_cancel->setObjectName(IdName(IDCANCEL));
    m_cancel->setGeometry(cancel);
    m_cancel->setAutoDefault(false);
    m_ok = new QPushButton(QStringLiteral("确定"), this);
    m_ok->setObjectName(IdName(IDOK));
    m_ok->setGeometry(cancel.translated(-okOffset, 0));
    m_ok->setDefault(true);
    // Tab order: OK before Cancel.
    setTabOrder(m_ok, m_cancel);
    connect(m_ok, &QPushButton::clicked, this, [this] { accept(); });
    // The Cancel button is an answer of its own; Esc and the close button ask
    // first when edits would be lost.
    connect(m_cancel, &QPushButton::clicked, this, [this] {
        m_cancelClicked = true;
        reject();
        m_cancelClicked = false;
    });
}

void CTQCatalogDlg::CreatePaneControls(const QString& leftCaption, const QString& rightCaption) {
    m_labelLeft = CreatePaneLabel(IDC_LABEL_LEFT, leftCaption, LeftFrameRect(), 160);
    m_labelRight = CreatePaneLabel(IDC_LABEL_RIGHT, rightCaption, RightFrameRect(), 160);
    CreatePaneButtons(false);
    CreatePaneButtons(true);
}

QLabel* CTQCatalogDlg::CreatePaneLabel(int id, const QString& text, QRect frame, int width) {
    auto* l = new QLabel(text, this);
    l->setObjectName(IdName(id));
    l->setGeometry(frame.left() + 5, frame.top() - 20, width, 20);
    l->setFont(font());
    l->show();
    return l;
}

void CTQCatalogDlg::CreatePaneButtons(bool right) {
    auto button = [this](int id, QRect geometry, void (CTQCatalogDlg::*hook)()) {
        auto* b = new QToolButton(this);
        b->setObjectName(IdName(id));
        b->setGeometry(geometry);
        b->setAutoRaise(true);
        b->setIconSize(QSize(14, 12));
        // Reached with Tab, and a visible frame shows where the focus is.
        b->setFocusPolicy(Qt::TabFocus);
        b->setStyleSheet(QStringLiteral("QToolButton:focus { border: 1px dotted palette(highlight);"
                                        " background: palette(alternate-base); }"));
        connect(b, &QToolButton::clicked, this,
                [this, hook] { Guarded([this, hook] { (this->*hook)(); }); });
        return b;
    };
    const QRect frame = right ? RightFrameRect() : LeftFrameRect();
    const int edge = frame.left() + frame.width() - 5;
    const int bottom = frame.top() - 2;
    const QRect deleteRect(edge - 22, bottom - 20, 22, 20);
    if (right) {
        m_addRight =
            button(IDC_ADD_RIGHT, deleteRect.translated(-22, 0), &CTQCatalogDlg::OnAddRight);
        m_deleteRight = button(IDC_DELETE_RIGHT, deleteRect, &CTQCatalogDlg::OnDeleteRight);
    } else {
        m_addLeft = button(IDC_ADD_LEFT, deleteRect.translated(-22, 0), &CTQCatalogDlg::OnAddLeft);
        m_deleteLeft = button(IDC_DELETE_LEFT, deleteRect, &CTQCatalogDlg::OnDeleteLeft);
    }
}

void CTQCatalogDlg::SetupGrid(CTQReportGrid* grid) {
    if (!grid) {
        return;
    }
    grid->setFocusPolicy(Qt::StrongFocus);
    grid->setFrameShape(QFrame::StyledPanel);
    grid->setFrameShadow(QFrame::Plain);
    grid->SetAllowEdit(m_db != nullptr);
    grid->setFont(font());
    grid->show();
}

CTQReportGrid* CTQCatalogDlg::CreateGrid(int id, QRect frame) {
    auto* grid = new CTQReportGrid(this);
    grid->setObjectName(IdName(id));
    grid->setGeometry(frame);
    SetupGrid(grid);
    return grid;
}

void CTQCatalogDlg::SetAnchor(QWidget* widget, QPointF topLeft, QPointF bottomRight) {
    m_anchors.Add(widget, topLeft, bottomRight);
}

void CTQCatalogDlg::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    m_anchors.Apply(event->size());
}

void CTQCatalogDlg::accept() {
    Guarded([this] { OnOK(); });
}

void CTQCatalogDlg::reject() {
    Guarded([this] { OnCancel(); });
}

void CTQCatalogDlg::OnOK() {
    EndOK();
}

void CTQCatalogDlg::OnCancel() {
    if (!m_cancelClicked && HasUnsavedEdits() &&
        !Confirm(QStringLiteral("所做的修改尚未保存，确定放弃这些修改吗？"))) {
        return;
    }
    QDialog::reject();
}

void CTQCatalogDlg::EndOK() {
    QDialog::accept();
}

void CTQCatalogDlg::done(int result) {
    SavePlacement();
    QDialog::done(result);
}

void CTQCatalogDlg::RestorePlacement() {
    if (m_placementKey.isEmpty()) {
        return;
    }
    QSettings settings = PlacementSettings();
    const QByteArray geometry =
        settings.value(m_placementKey + QStringLiteral("/Placement")).toByteArray();
    if (!geometry.isEmpty()) {
        // The saved place and size, but never narrower than the content needs.
        const QSize opening = size();
        restoreGeometry(geometry);
        if (width() < opening.width()) {
            resize(opening.width(), height());
        }
    }
}

void CTQCatalogDlg::SavePlacement() {
    if (m_placementKey.isEmpty() || !m_initialised) {
        return;
    }
    QSettings settings = PlacementSettings();
    settings.setValue(m_placementKey + QStringLiteral("/Placement"), saveGeometry());
}

bool CTQCatalogDlg::Guarded(const std::function<void()>& handler) {
    try {
        handler();
        return true;
    } catch (const RVNADO::ComError& e) {
        QString text = QString::fromStdString(e.Description());
        if (text.isEmpty()) {
            text = QString::fromStdString(e.what());
        }
        ShowError(QStringLiteral("数据库操作失败：\n") + text);
    } catch (const std::bad_alloc&) {
        ShowError(QStringLiteral("内存不足。"));
    } catch (const std::exception& e) {
        ShowError(QString::fromStdString(e.what()));
    }
    return false;
}

bool CTQCatalogDlg::WriteInTransaction(const std::function<QString()>& writes, QString& error) {
    CADODatabase* db = m_db;
    if (!db) {
        error = QStringLiteral("没有打开的目录数据库，未保存任何修改。");
        return false;
    }
    bool inTransaction = false;
    try {
        db->BeginTransaction();
        inTransaction = true;
        const QString reason = writes();
        if (!reason.isEmpty()) {
            error = reason + QStringLiteral("\n所有修改均未保存。");
            inTransaction = false;
            db->RollbackTransaction();
            return false;
        }
        db->CommitTransaction();
        return true;
    } catch (const RVNADO::ComError& e) {
        if (inTransaction) {
            try {
                db->RollbackTransaction();
            } catch (const RVNADO::ComError&) {
                // the connection is gone: nothing was committed
            }
        }
        error = QStringLiteral("数据库操作失败，所有修改均未保存：\n") +
                QString::fromStdString(e.Description().empty() ? e.what() : e.Description());
        return false;
    }
}

QString CTQCatalogDlg::LastDbError() const {
    const std::string text = m_db ? m_db->GetLastErrorString() : std::string();
    return text.empty() ? QString() : QStringLiteral("\n") + QString::fromStdString(text);
}

void CTQCatalogDlg::ShowError(const QString& text) {
    RVN::Prompter().Tell(this, text, RVN::PromptCaption(), CTQPrompter::Icon::Error);
}

bool CTQCatalogDlg::Confirm(const QString& text) {
    return RVN::Prompter().Confirm(this, text, RVN::PromptCaption());
}
