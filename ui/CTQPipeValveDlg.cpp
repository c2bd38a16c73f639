#include "ui/CTQPipeValveDlg.h"

#include "ui/CTQPropertyGrid.h"
#include "ui/RVNDialogs.h"
#include "ui/UiNumbers.h"

#include "calc/RVNCalc.h"
#include "catalog/RVNDataBase.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

using tqrvn::ui::FixedText;
using tqrvn::ui::GeneralText;

namespace {

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

} // namespace

const QString CTQPipeValveDlg::kCategoryCaption = QStringLiteral("阀件个数");

CTQPipeValveDlg::CTQPipeValveDlg(CADODatabase* db, int kind, int showDnDependent, int dn,
                                 const CTQArray<CTQPipeValve>& valves, QWidget* parent)
    : CTQCatalogDlg(db, parent), m_kind(kind), m_showDnDependent(showDnDependent), m_dn(dn),
      m_valves(valves) {}

CTQPipeValveDlg::~CTQPipeValveDlg() {
    // The grids outlive this part of the object; their notices must not come back here.
    for (CTQPropertyGrid* grid : {m_gridLeft, m_gridRight}) {
        if (grid) {
            grid->onValueChanged = nullptr;
        }
    }
}

// ---- texts ----------------------------------------------------------------------

QString CTQPipeValveDlg::CoefText(double coef) {
    if (!std::isfinite(coef)) {
        return FixedText(coef, 2);
    }
    // The shortest decimal text that reads back as this value, so that a
    // coefficient stored as 0.125 rounds up as its decimal form says, not
    // as the nearest binary value (exactly 0.125, a tie, or 2.67499... for
    // 2.675) would under round-half-to-even.  Enough room for the longest
    // fixed form of a double (about 330 characters).
    char buf[400];
    const auto r = std::to_chars(buf, buf + sizeof buf, std::fabs(coef), std::chars_format::fixed);
    if (r.ec != std::errc()) {
        return FixedText(coef, 2);
    }
    const std::string text(buf, r.ptr);
    const std::size_t dot = text.find('.');
    std::string digits = dot == std::string::npos ? text : text.substr(0, dot);
    std::string fraction = dot == std::string::npos ? std::string() : text.substr(dot + 1);
    const bool roundUp = fraction.size() > 2 && fraction[2] >= '5';
    fraction.resize(2, '0');
    digits += fraction;
    if (roundUp) {
        std::size_t i = digits.size();
        while (i > 0 && digits[i - 1] == '9') {
            digits[--i] = '0';
        }
        if (i == 0) {
            digits.insert(digits.begin(), '1');
        } else {
            ++digits[i - 1];
        }
    }
    const bool zero = digits.find_first_not_of('0') == std::string::npos;
    std::string out = (coef < 0 && !zero) ? "-" : "";
    out += digits.substr(0, digits.size() - 2);
    out += '.';
    out += digits.substr(digits.size() - 2);
    return QString::fromLatin1(out.data(), static_cast<qsizetype>(out.size()));
}

QString CTQPipeValveDlg::Description(const CTQPipeValve& valve) {
    if (!valve.Variable) {
        return QStringLiteral("局阻系数为 ") + GeneralText(valve.Coef);
    }
    std::vector<std::pair<int, double>> table;
    for (POSITION pos = valve.DnCoef.GetStartPosition(); pos != nullptr;) {
        int dn = 0;
        double coef = 0.0;
        valve.DnCoef.GetNextAssoc(pos, dn, coef);
        table.emplace_back(dn, coef);
    }
    std::sort(table.begin(), table.end());
    // One column per DN: the shorter of its two texts padded to the longer
    // one, two blanks after each, so the lines line up in a fixed-pitch font.
    QString dns;
    QString coefs;
    for (const auto& [dn, coef] : table) {
        const QString dnText = QString::number(dn);
        const QString coefText = CoefText(coef);
        const qsizetype width = std::max(dnText.size(), coefText.size());
        dns += dnText.leftJustified(width) + QStringLiteral("  ");
        coefs += coefText.leftJustified(width) + QStringLiteral("  ");
    }
    return dns + QStringLiteral("\n") + coefs;
}

// ---- layout and initialisation ---------------------------------------------------

void CTQPipeValveDlg::CreateControls() {
    CTQCatalogDlg::CreateControls();

    const bool right = m_showDnDependent != 0;
    m_labelLeft = CreatePaneLabel(IDC_LABEL_LEFT, QStringLiteral("管径无关"), LeftFrameRect(), 80);
    if (right) {
        m_labelRight =
            CreatePaneLabel(IDC_LABEL_RIGHT, QStringLiteral("管径相关"), RightFrameRect(), 80);
    }

    // The panes give up 20 pixels at the bottom to the coefficient lines.
    SetLeftFrameRect(LeftFrameRect().adjusted(0, 0, 0, -20));
    SetRightFrameRect(RightFrameRect().adjusted(0, 0, 0, -20));
    const QRect left = LeftFrameRect();
    const QRect rightFrame = RightFrameRect();

    auto makeGrid = [this](int id, QRect rect) {
        auto* grid = new CTQPropertyGrid(this);
        grid->setObjectName(QString::number(id));
        grid->setGeometry(rect);
        grid->setFocusPolicy(Qt::StrongFocus);
        grid->setFont(font());
        grid->AddCategory(kCategoryCaption);
        grid->onValueChanged = [this](CTQPropertyItem*) { Guarded([this] { OnCountChanged(); }); };
        grid->show();
        return grid;
    };
    if (right) {
        m_gridLeft = makeGrid(IDC_GRID_LEFT, left);
        m_gridRight = makeGrid(IDC_GRID_RIGHT, rightFrame);
    } else {
        m_gridLeft = makeGrid(IDC_GRID_LEFT, QRect(left.topLeft(), rightFrame.bottomRight()));
    }

    // A label 10 pixels under a frame and, from 85 pixels right of the
    // label's left edge and 3 pixels higher, an edit up to the frame's right edge.
    auto makeLine = [this](int labelId, const QString& caption, int editId, QRect frame,
                           QLabel*& label, QLineEdit*& edit) {
        const int top = frame.top() + frame.height() + 10;
        label = new QLabel(caption, this);
        label->setObjectName(QString::number(labelId));
        label->setGeometry(frame.left(), top, 80, 20);
        label->setFont(font());
        label->show();
        edit = new QLineEdit(this);
        edit->setObjectName(QString::number(editId));
        const int editLeft = frame.left() + 85;
        edit->setGeometry(editLeft, top - 3, std::max(frame.left() + frame.width() - editLeft, 0),
                          20);
        edit->setFrame(true);
        edit->setFont(font());
        edit->show();
    };
    makeLine(IDC_LABEL_OTHER, QStringLiteral("其它局阻系数:"), IDC_EDIT_OTHER, left, m_labelOther,
             m_editOther);
    makeLine(IDC_LABEL_TOTAL, QStringLiteral("总的局阻系数:"), IDC_EDIT_TOTAL, rightFrame,
             m_labelTotal, m_editTotal);
    m_editTotal->setReadOnly(true);

    connect(m_editOther, &QLineEdit::textChanged, this,
            [this](const QString& text) { Guarded([this, &text] { OnOtherChanged(text); }); });

    setTabOrder(m_gridLeft, m_gridRight ? static_cast<QWidget*>(m_gridRight) : m_editOther);
    if (m_gridRight) {
        setTabOrder(m_gridRight, m_editOther);
    }
    setTabOrder(m_editOther, m_editTotal);
    setTabOrder(m_editTotal, m_ok);
}

CTQPropertyItem* CTQPipeValveDlg::AddItem(CTQPropertyGrid* grid, const CTQPipeValve& valve,
                                          int count) {
    CTQPropertyItem* item =
        grid->Category(0)->AddInteger(Q(valve.ValveName), count, valve.ID > 0 ? valve.ID : 0);
    item->SetValve(&valve);
    const QString description = Description(valve);
    item->SetDescription(description);
    if (!valve.Variable) {
        item->SetToolTip(description);
    }
    return item;
}

void CTQPipeValveDlg::CountInput(const CTQPipeValve& input) {
    if (input.ValveName.empty()) {
        m_other += input.Coef;
        return;
    }
    CTQPipeValve valve(input);
    if (valve.ID == -1 && Database()) {
        // Completed from the catalog; a name the catalog does not know keeps
        // the values it came with.
        CTQPipeValve stored(valve);
        if (stored.UpdateData(valve.ValveName, true, Database())) {
            valve = stored;
        }
    }
    const QString name = Q(valve.ValveName);
    if (!m_gridRight || !valve.Variable) {
        if (CTQPropertyItem* item = m_gridLeft->Category(0)->FindItem(name)) {
            item->SetValue(item->Value() + 1);
        } else {
            m_extra.push_back(valve);
            AddItem(m_gridLeft, m_extra.back(), 1);
        }
    } else if (CTQPropertyItem* item = m_gridRight->Category(0)->FindItem(name)) {
        item->SetValue(item->Value() + 1);
    } else {
        m_other += valve.Coef;
    }
}

bool CTQPipeValveDlg::OnInitDialog() {
    CTQCatalogDlg::OnInitDialog();

    if (Database()) {
        CTQPipeValveManager::GetAllValve(m_catalog, m_kind, Database());
        for (const CTQPipeValve& valve : m_catalog) {
            if (!valve.Variable) {
                AddItem(m_gridLeft, valve, 0);
            } else if (m_gridRight) {
                AddItem(m_gridRight, valve, 0);
            }
        }
    }
    for (const CTQPipeValve& input : m_valves) {
        CountInput(input);
    }

    m_total = PaneTotal(m_gridRight) + PaneTotal(m_gridLeft);
    // The text change takes the other coefficient back from its two-decimal
    // text and shows the total.
    m_editOther->setText(FixedText(m_other, 2));
    UpdateTotalDisplay();

    SetAnchor(m_labelLeft, QPointF(0, 0), QPointF(0, 0));
    SetAnchor(m_labelOther, QPointF(0, 1), QPointF(0, 1));
    SetAnchor(m_labelTotal, QPointF(0.5, 1), QPointF(0.5, 1));
    SetAnchor(m_editOther, QPointF(0, 1), QPointF(0.5, 1));
    SetAnchor(m_editTotal, QPointF(0.5, 1), QPointF(1, 1));
    if (m_gridRight) {
        SetAnchor(m_gridLeft, QPointF(0, 0), QPointF(0.5, 1));
        SetAnchor(m_labelRight, QPointF(0.5, 0), QPointF(0.5, 0));
        SetAnchor(m_gridRight, QPointF(0.5, 0), QPointF(1, 1));
    } else {
        SetAnchor(m_gridLeft, QPointF(0, 0), QPointF(1, 1));
    }

    setWindowTitle(QStringLiteral("局阻系数"));
    SetPlacementKey(QStringLiteral("TQRVNPipeValveDlg"));
    return true;
}

// ---- totals -----------------------------------------------------------------------

double CTQPipeValveDlg::ItemValue(const CTQPropertyItem* item, int dn) {
    if (!item || !item->Valve() || item->Value() < 1) {
        return 0.0;
    }
    return item->Value() * item->Valve()->GetValue(dn);
}

double CTQPipeValveDlg::PaneTotal(const CTQPropertyGrid* grid) const {
    double total = 0.0;
    if (grid) {
        for (int c = 0; c < grid->CategoryCount(); ++c) {
            for (const CTQPropertyItem* item : grid->Category(c)->Items()) {
                total += ItemValue(item, m_dn);
            }
        }
    }
    return total;
}

void CTQPipeValveDlg::OnCountChanged() {
    m_edited = true;
    m_total = PaneTotal(m_gridLeft) + PaneTotal(m_gridRight);
    UpdateTotalDisplay();
}

void CTQPipeValveDlg::OnOtherChanged(const QString& text) {
    // A negative extra is kept: the fittings counted here may include
    // converging tees, whose coefficient can be below zero.
    m_other = tqrvn::ui::ReadNumber(text).value_or(0.0);
    m_edited = m_edited || m_editOther->isModified();
    UpdateTotalDisplay();
}

void CTQPipeValveDlg::UpdateTotalDisplay() {
    if (m_editTotal) {
        m_editTotal->setText(FixedText(m_total + m_other, 2));
    }
}

// ---- OK -------------------------------------------------------------------------------

void CTQPipeValveDlg::CollectPane(const CTQPropertyGrid* grid, CTQArray<CTQPipeValve>& out) const {
    if (!grid) {
        return;
    }
    for (int c = 0; c < grid->CategoryCount(); ++c) {
        for (const CTQPropertyItem* item : grid->Category(c)->Items()) {
            if (!item->Valve()) {
                continue;
            }
            for (int i = 0; i < item->Value(); ++i) {
                out.Add(*item->Valve());
            }
        }
    }
}

void CTQPipeValveDlg::OnOK() {
    m_gridLeft->EndEdit();
    if (m_gridRight) {
        m_gridRight->EndEdit();
    }
    CTQArray<CTQPipeValve> left;
    CTQArray<CTQPipeValve> right;
    CollectPane(m_gridLeft, left);
    CollectPane(m_gridRight, right);

    CTQArray<CTQPipeValve> result;
    if (!RVN::IsZero(m_other)) {
        CTQPipeValve unnamed;
        unnamed.Coef = m_other;
        result.Add(unnamed);
    }
    result.Append(left);
    result.Append(right);
    m_valves = std::move(result);
    EndOK();
}

// ---- export ----------------------------------------------------------------------------

namespace RVN {

double ShowPipeValveDlg(CTQArray<CTQPipeValve>& valves, int dn, int kind, int showDnDependent,
                        CADODatabase* db) {
    if (!EnsureDialogApplication()) {
        return -1.0;
    }
    if (!db) {
        db = GetRVNBaseDataBase();
    }
    try {
        CTQPipeValveDlg dlg(db, kind, showDnDependent, dn, valves, QApplication::activeWindow());
        if (dlg.DoModal() != CTQCatalogDlg::IDOK) {
            return -1.0;
        }
        // Copied first, then moved in: a failed copy leaves the caller's array as it was.
        CTQArray<CTQPipeValve> result(dlg.Result());
        valves = std::move(result);
        return dlg.Total() + dlg.OtherCoef();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "TQRVNBaseUI: %s\n", e.what());
        return -1.0;
    }
}

} // namespace RVN
