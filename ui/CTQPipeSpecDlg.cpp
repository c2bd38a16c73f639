#include "ui/CTQPipeSpecDlg.h"
#include "ui/PipeSpecRowsInternal.h"

#include "ui/CTQPrompter.h"
#include "ui/CTQReportGrid.h"
#include "ui/RVNDialogs.h"

#include "catalog/CatalogChecks.h"
#include "catalog/RVNDataBase.h"
#include "db/ADODatabase.h"
#include "design/DesignTypes.h"

#include <QApplication>
#include <QLabel>
#include <QToolButton>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <set>
#include <system_error>

#include <stdlib.h>
#include <unistd.h>

namespace {

// New materials are named "管材<n>" from this counter; it runs for the whole
// process and is never reset.
std::int32_t g_matlCounter = 0;

enum SizeColumn { kNo, kDN, kInsD, kThickness, kMinV, kMaxV, kMinR, kMaxR };

constexpr double kMaxDecimal = 1.0e6;

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

} // namespace

CTQPipeSpecDlg::CTQPipeSpecDlg(int kind, CADODatabase* db, QWidget* parent)
    : CTQCatalogDlg(db, parent), m_kind(kind) {}

CTQPipeSpecDlg::~CTQPipeSpecDlg() {
    // The grids outlive this part of the dialog: their notices must not
    // reach it while they destroy their rows.
    m_focusedMatl = nullptr;
    for (CTQReportGrid* grid : {m_gridLeft, m_gridRight}) {
        if (grid) {
            grid->onFocusChanged = nullptr;
            grid->onValueChanged = nullptr;
            grid->onRowsReordered = nullptr;
        }
    }
}

QString CTQPipeSpecDlg::TitleForKind(int kind) {
    // The library names the kinds; any other kind lists every material.
    const QString name = QString::fromUtf8(RVN::CategoryTitleChinese(kind));
    return (name.isEmpty() ? QStringLiteral("管道") : name) + QStringLiteral("规格");
}

std::string CTQPipeSpecDlg::BufferFileOf(const CTQGridRow* materialRow) {
    const auto* row = dynamic_cast<const MatlRow*>(materialRow);
    return row ? row->file : std::string();
}

const CTQPipeMatl* CTQPipeSpecDlg::MaterialOf(const CTQGridRow* materialRow) {
    const auto* row = dynamic_cast<const MatlRow*>(materialRow);
    return row ? &row->matl : nullptr;
}

void CTQPipeSpecDlg::CreateControls() {
    m_tempFolder = tqrvn::ui::ComputeTempFolder();
    CreateOkCancel(82);

    // The size grid is the wider one: the left frame gives a quarter of the
    // right frame's width to it.
    QRect l = LeftFrameRect();
    QRect r = RightFrameRect();
    const int shift = r.width() / 4;
    l.setRight(l.right() - shift);
    r.setLeft(r.left() - shift);
    SetLeftFrameRect(l);
    SetRightFrameRect(r);

    CreatePaneControls(QStringLiteral("材料"), QStringLiteral("规格"));
    m_gridLeft = CreateGrid(IDC_GRID_LEFT, l);
    m_gridRight = CreateGrid(IDC_GRID_RIGHT, r);
    setTabOrder(m_gridLeft, m_gridRight);
    setTabOrder(m_gridRight, m_ok);

    m_gridLeft->onFocusChanged = [this](CTQGridRow*, CTQGridRow*) {
        Guarded([this] { MaterialFocusChanged(); });
    };
    m_gridLeft->onValueChanged = [this](CTQGridRow*, int) { m_edited = true; };
    m_gridRight->onValueChanged = [this](CTQGridRow*, int) { m_sizesChanged = true; };
    BindPaneKeys(m_gridLeft, false);
    BindPaneKeys(m_gridRight, true);
    m_gridRight->onRowsReordered = [this] { Renumber(); };
}

void CTQPipeSpecDlg::CreateSizeColumns() {
    using Kind = CTQGridColumn::Kind;
    auto number = [](QString caption, int width, QString tooltip) {
        return CTQGridColumn{std::move(caption),
                             width,
                             std::move(tooltip),
                             Kind::Decimal,
                             0.0,
                             kMaxDecimal,
                             2,
                             true};
    };
    std::vector<CTQGridColumn> columns;
    columns.push_back(
        CTQGridColumn{QStringLiteral("序号"), 35, QString(), Kind::Integer, 0, 1e9, 0, false});
    columns.push_back(CTQGridColumn{m_kind == 2 ? QStringLiteral("公称外径") : QStringLiteral("DN"),
                                    35, QStringLiteral("公称直径"), Kind::Integer, 1, 10000, 0,
                                    true});
    columns.push_back(number(QStringLiteral("内径(mm)"), 60, QString()));
    columns.push_back(number(QStringLiteral("壁厚(mm)"), 50, QStringLiteral("壁厚\r\n单位mm")));
    columns.push_back(number(QStringLiteral("minV"), 50, QStringLiteral("最小流速\r\n单位m/s")));
    columns.push_back(number(QStringLiteral("maxV"), 50, QStringLiteral("最大流速\r\n单位m/s")));
    columns.push_back(number(QStringLiteral("minR"), 50, QStringLiteral("最小比摩阻\r\n单位Pa/m")));
    columns.push_back(number(QStringLiteral("maxR"), 50, QStringLiteral("最大比摩阻\r\n单位Pa/m")));
    m_gridRight->SetColumns(std::move(columns));
}

bool CTQPipeSpecDlg::OnInitDialog() {
    CTQCatalogDlg::OnInitDialog();

    SetAnchor(m_labelLeft, QPointF(0, 0), QPointF(0, 0));
    for (QWidget* w : {static_cast<QWidget*>(m_addLeft), static_cast<QWidget*>(m_deleteLeft),
                       static_cast<QWidget*>(m_labelRight)}) {
        SetAnchor(w, QPointF(0.25, 0), QPointF(0.25, 0));
    }
    SetAnchor(m_addRight, QPointF(1, 0), QPointF(1, 0));
    SetAnchor(m_deleteRight, QPointF(1, 0), QPointF(1, 0));
    SetAnchor(m_gridLeft, QPointF(0, 0), QPointF(0.25, 1));
    SetAnchor(m_gridRight, QPointF(0.25, 0), QPointF(1, 1));

    m_gridLeft->SetColumns({CTQGridColumn{QStringLiteral("名称"), 20, QString(),
                                          CTQGridColumn::Kind::Text, 0, 0, 0, true},
                            CTQGridColumn{QStringLiteral("符号"), 12, QString(),
                                          CTQGridColumn::Kind::Text, 0, 0, 0, true}});
    if (Database()) {
        CTQPipeMatlManager::GetAllMatl(m_matls, m_kind, Database());
    }
    {
        const bool blocked = m_gridLeft->blockSignals(true);
        for (const CTQPipeMatl& m : m_matls) {
            AddMaterialRow(m);
        }
        m_gridLeft->blockSignals(blocked);
    }
    CreateSizeColumns();
    if (!m_matls.IsEmpty()) {
        m_focusedMatl = nullptr;
        m_gridLeft->FocusRow(0);
        MaterialFocusChanged();
    }
    setWindowTitle(TitleForKind(m_kind));
    SetPlacementKey(QStringLiteral("TQRVNPipeSpecDlg"));
    return true;
}

CTQPipeSpecDlg::MatlRow* CTQPipeSpecDlg::AddMaterialRow(const CTQPipeMatl& matl) {
    auto* row = new MatlRow(matl);
    m_gridLeft->AddRow(row);
    const bool blocked = m_gridLeft->blockSignals(true);
    row->setText(0, Q(matl.Name));
    row->setText(1, Q(matl.Mark));
    m_gridLeft->blockSignals(blocked);
    return row;
}

CTQArray<CTQPipeSpec> CTQPipeSpecDlg::ReadSizeRows() const {
    CTQArray<CTQPipeSpec> specs;
    for (CTQGridRow* r : m_gridRight->Rows()) {
        auto* row = static_cast<SpecRow*>(r);
        CTQPipeSpec spec = row->spec;
        // The editors keep DN within 1..10000, so the conversion is exact.
        spec.DN = static_cast<int>(std::trunc(row->Number(kDN)));
        spec.InsD = row->Number(kInsD);
        spec.Thickness = row->Number(kThickness);
        spec.MinV = row->Number(kMinV);
        spec.MaxV = row->Number(kMaxV);
        spec.MinR = row->Number(kMinR);
        spec.MaxR = row->Number(kMaxR);
        specs.Add(spec);
    }
    return specs;
}

bool CTQPipeSpecDlg::BufferSizes(MatlRow* row, CTQArray<CTQPipeSpec>& specs) {
    // An empty list is buffered like any other: deleting every size of a
    // material must not bring them back.
    bool saved = row->EnsureFile(m_tempFolder) &&
                 CTQPipeMatlManager::SaveMatlToXML(row->matl, specs, row->file.c_str());
    row->buffered = saved;
    if (saved) {
        row->held = false;
        row->heldSizes.RemoveAll();
        return true;
    }
    // The edits stay in memory; the user learns that the buffer file failed.
    row->held = true;
    row->heldSizes = specs;
    ShowError(QStringLiteral("材料“%1”的规格未能写入临时文件%2，修改已保留在内存中。")
                  .arg(Q(row->matl.Name),
                       row->file.empty() ? QString() : QStringLiteral(" ") + Q(row->file)));
    return false;
}

bool CTQPipeSpecDlg::BufferedSizes(MatlRow* row, CTQArray<CTQPipeSpec>& specs) {
    if (row->held) {
        specs = row->heldSizes;
        return true;
    }
    if (row->buffered) {
        CTQPipeMatl copy;
        if (CTQPipeMatlManager::LoadMatlFromXML(copy, specs, row->file.c_str())) {
            return true;
        }
        ShowError(QStringLiteral("材料“%1”的规格无法从临时文件 %2 读回。")
                      .arg(Q(row->matl.Name), Q(row->file)));
    }
    return false;
}

void CTQPipeSpecDlg::MaterialFocusChanged() {
    auto* current = dynamic_cast<MatlRow*>(m_gridLeft->FocusedRow());
    if (current == m_focusedMatl && current) {
        return;
    }
    if (m_focusedMatl && !m_gridRight->EndEdit()) {
        // A size cell holds text it cannot take: the focus stays with its material.
        const bool blocked = m_gridLeft->blockSignals(true);
        m_gridLeft->setCurrentItem(m_focusedMatl);
        m_gridLeft->blockSignals(blocked);
        return;
    }
    if (Database() && m_focusedMatl && m_sizesChanged) {
        m_edited = true;
        CTQArray<CTQPipeSpec> specs = ReadSizeRows();
        BufferSizes(m_focusedMatl, specs);
    }
    m_sizesChanged = false;
    m_focusedMatl = current;
    ShowSizes(current);
}

void CTQPipeSpecDlg::ShowSizes(MatlRow* row) {
    CTQArray<CTQPipeSpec> specs;
    if (row && Database()) {
        if (!BufferedSizes(row, specs)) {
            CTQPipeMatlManager::GetAllSpec(specs, row->matl.ID, Database());
        }
    }
    const bool blocked = m_gridRight->blockSignals(true);
    m_gridRight->clear();
    int number = 1;
    for (const CTQPipeSpec& s : specs) {
        AddSizeRow(s, number++);
    }
    m_gridRight->blockSignals(blocked);
}

void CTQPipeSpecDlg::AddSizeRow(const CTQPipeSpec& spec, int number) {
    auto* row = new SpecRow(spec);
    m_gridRight->AddRow(row);
    const bool blocked = m_gridRight->blockSignals(true);
    m_gridRight->SetNumber(row, kNo, number);
    m_gridRight->SetNumber(row, kDN, spec.DN);
    m_gridRight->SetNumber(row, kInsD, spec.InsD);
    m_gridRight->SetNumber(row, kThickness, spec.Thickness);
    m_gridRight->SetNumber(row, kMinV, spec.MinV);
    m_gridRight->SetNumber(row, kMaxV, spec.MaxV);
    m_gridRight->SetNumber(row, kMinR, spec.MinR);
    m_gridRight->SetNumber(row, kMaxR, spec.MaxR);
    m_gridRight->blockSignals(blocked);
}

void CTQPipeSpecDlg::Renumber() {
    const bool blocked = m_gridRight->blockSignals(true);
    int number = 1;
    for (CTQGridRow* row : m_gridRight->Rows()) {
        m_gridRight->SetNumber(row, kNo, number++);
    }
    m_gridRight->blockSignals(blocked);
}

void CTQPipeSpecDlg::OnAddLeft() {
    if (!Database()) {
        return;
    }
    if (!EndGridEdits({m_gridLeft, m_gridRight}, false)) {
        return;
    }
    m_edited = true;
    CTQPipeMatl matl;
    char name[32];
    std::snprintf(name, sizeof name, "%d", g_matlCounter);
    ++g_matlCounter;
    matl.Name = std::string("管材") + name;
    if (m_kind > 0) {
        matl.Type = m_kind;
    }
    AddMaterialRow(matl);
    m_gridLeft->FocusRow(m_gridLeft->RowCount() - 1);
    MaterialFocusChanged();
}

void CTQPipeSpecDlg::OnDeleteLeft() {
    if (!Database()) {
        return;
    }
    if (!EndGridEdits({m_gridLeft, m_gridRight}, false)) {
        return;
    }
    const std::vector<CTQGridRow*> selected = m_gridLeft->SelectedRows();
    if (selected.empty()) {
        return;
    }
    m_edited = true;
    if (m_focusedMatl && m_sizesChanged &&
        std::find(selected.begin(), selected.end(), m_focusedMatl) == selected.end()) {
        // The focused material stays: its size edits are kept, not dropped.
        CTQArray<CTQPipeSpec> specs = ReadSizeRows();
        BufferSizes(m_focusedMatl, specs);
        m_sizesChanged = false;
    }
    {
        const bool blocked = m_gridRight->blockSignals(true);
        m_gridRight->clear();
        m_gridRight->blockSignals(blocked);
    }
    const int firstIndex = m_gridLeft->indexOfTopLevelItem(selected.front());
    const bool blocked = m_gridLeft->blockSignals(true);
    for (auto it = selected.rbegin(); it != selected.rend(); ++it) {
        auto* row = static_cast<MatlRow*>(*it);
        m_deletedMatls.Add(row->matl.ID);
        if (row == m_focusedMatl) {
            // Its pending size edits go with it.
            m_focusedMatl = nullptr;
            m_sizesChanged = false;
        }
        delete row; // removes its buffer file
    }
    m_gridLeft->blockSignals(blocked);
    m_focusedMatl = nullptr;
    m_sizesChanged = false;
    if (!m_gridLeft->FocusRow(std::min(firstIndex, m_gridLeft->RowCount() - 1))) {
        m_gridLeft->FocusRow(0);
    }
    MaterialFocusChanged();
}

void CTQPipeSpecDlg::OnAddRight() {
    if (!Database() || !m_focusedMatl || !EndGridEdits({m_gridRight}, false)) {
        return;
    }
    CTQPipeSpec spec;
    spec.MatlID = m_focusedMatl->matl.ID;
    AddSizeRow(spec, m_gridRight->RowCount() + 1);
    Renumber();
    m_gridRight->FocusRow(m_gridRight->RowCount() - 1);
    m_sizesChanged = true;
}

void CTQPipeSpecDlg::OnDeleteRight() {
    if (!Database()) {
        return;
    }
    if (!EndGridEdits({m_gridRight}, false)) {
        return;
    }
    const std::vector<CTQGridRow*> selected = m_gridRight->SelectedRows();
    if (selected.empty()) {
        return;
    }
    const bool blocked = m_gridRight->blockSignals(true);
    for (auto it = selected.rbegin(); it != selected.rend(); ++it) {
        auto* row = static_cast<SpecRow*>(*it);
        m_deletedSpecs.Add(row->spec.ID);
        delete row;
    }
    m_gridRight->blockSignals(blocked);
    Renumber();
    m_sizesChanged = true;
}

void CTQPipeSpecDlg::OnOK() {
    CADODatabase* db = Database();
    if (!db) {
        EndOK();
        return;
    }
    if (!EndGridEdits({m_gridLeft, m_gridRight}, true)) {
        return;
    }
    if (m_focusedMatl && m_sizesChanged) {
        CTQArray<CTQPipeSpec> specs = ReadSizeRows();
        BufferSizes(m_focusedMatl, specs);
        m_sizesChanged = false;
    }
    if ((!m_deletedMatls.IsEmpty() || !m_deletedSpecs.IsEmpty()) &&
        !Confirm(QStringLiteral("有材料规格被删除, 确定删除？"))) {
        return;
    }
    QString error;
    if (!WriteCatalog(error)) {
        ShowError(error);
        return;
    }
    EndOK();
}

QString CTQPipeSpecDlg::NameRefusal(const RVN::TQEditCheck& check) const {
    const QString row = QString::number(check.row + 1);
    switch (check.problem) {
    case RVN::TQEditProblem::EmptyName:
        return QStringLiteral("第 %1 行的材料没有名称，").arg(row);
    case RVN::TQEditProblem::NameTwice:
        return QStringLiteral("第 %1 行的材料名称“%2”与第 %3 行相同，")
            .arg(row, Q(check.name))
            .arg(check.firstRow + 1);
    case RVN::TQEditProblem::NameTaken: {
        const QString kind = QString::fromUtf8(RVN::CategoryTitleChinese(check.otherKind));
        return QStringLiteral("第 %1 行的材料名称“%2”已被%3使用，")
            .arg(row, Q(check.name),
                 kind.isEmpty() ? QStringLiteral("目录中另一种材料")
                                : kind + QStringLiteral("材料"));
    }
    default:
        return QStringLiteral("第 %1 行的材料不能保存，").arg(row);
    }
}

QString CTQPipeSpecDlg::SizeRefusal(const CTQPipeMatl& matl, const RVN::TQEditCheck& check) const {
    // The DN column's own caption: "公称外径" for plastic pipe.
    const QString dn = m_gridRight->Columns().size() > std::size_t{kDN}
                           ? m_gridRight->Columns()[kDN].caption
                           : QStringLiteral("DN");
    if (check.problem == RVN::TQEditProblem::ZeroDN) {
        return QStringLiteral("材料“%1”第 %2 行的规格%3为 %4，")
            .arg(Q(matl.Name))
            .arg(check.row + 1)
            .arg(dn)
            .arg(check.dn);
    }
    return QStringLiteral("材料“%1”的规格 %2 %3 重复（第 %4 行与第 %5 行），")
        .arg(Q(matl.Name), dn)
        .arg(check.dn)
        .arg(check.firstRow + 1)
        .arg(check.row + 1);
}

bool CTQPipeSpecDlg::HasUnsavedEdits() const {
    return m_edited || m_sizesChanged || !m_deletedMatls.IsEmpty() || !m_deletedSpecs.IsEmpty();
}

bool CTQPipeSpecDlg::WriteCatalog(QString& error) {
    CADODatabase* db = Database();

    // Everything to write, checked before the first write: names and DNs
    // must be unique within what this dialog stores.
    struct Pending {
        MatlRow* row;
        CTQPipeMatl matl;
        bool withSizes;
        CTQArray<CTQPipeSpec> specs;
    };
    std::vector<Pending> pending;
    CTQArray<CTQPipeMatl> edited;
    for (CTQGridRow* r : m_gridLeft->Rows()) {
        auto* row = static_cast<MatlRow*>(r);
        Pending p{row, row->matl, false, {}};
        p.matl.Name = row->text(0).toStdString();
        p.matl.Mark = row->text(1).toStdString();
        edited.Add(p.matl);
        pending.push_back(std::move(p));
    }
    CTQArray<CTQPipeMatl> stored;
    CTQPipeMatlManager::GetAllMatl(stored, 0, db);
    const RVN::TQEditCheck names = RVN::CheckMaterialNames(edited, stored, m_deletedMatls);
    if (!names.Ok()) {
        error = NameRefusal(names) + QStringLiteral("未保存任何修改。");
        return false;
    }
    for (Pending& p : pending) {
        if (!p.row->held && !p.row->buffered) {
            continue;
        }
        if (!BufferedSizes(p.row, p.specs)) {
            error = QStringLiteral("材料“%1”的规格无法读回，未保存任何修改。").arg(Q(p.matl.Name));
            return false;
        }
        p.withSizes = true;
        const RVN::TQEditCheck sizes = RVN::CheckPipeSizes(p.specs);
        if (!sizes.Ok()) {
            error = SizeRefusal(p.matl, sizes) + QStringLiteral("未保存任何修改。");
            return false;
        }
    }

    return WriteInTransaction(
        [&]() -> QString {
            for (long id : m_deletedMatls) {
                if (!CTQPipeMatl::Delete(id, db)) {
                    return QStringLiteral("删除材料（ID %1）失败。").arg(id) + LastDbError();
                }
            }
            for (long id : m_deletedSpecs) {
                if (!CTQPipeSpec::Delete(id, db)) {
                    return QStringLiteral("删除规格（ID %1）失败。").arg(id) + LastDbError();
                }
            }
            for (Pending& p : pending) {
                if (p.matl.ID < 0) {
                    if (!p.matl.Add(db)) {
                        CTQPipeMatl existing;
                        if (CTQPipeMatlManager::GetMatl(existing, p.matl.Name.c_str(), db)) {
                            return QStringLiteral("材料“%1”已存在。").arg(Q(p.matl.Name));
                        }
                        return QStringLiteral("材料“%1”添加失败。").arg(Q(p.matl.Name)) +
                               LastDbError();
                    }
                } else if (!p.matl.UpdateData(p.matl.ID, false, db)) {
                    return QStringLiteral("材料“%1”保存失败。").arg(Q(p.matl.Name)) + LastDbError();
                }
                if (!p.withSizes) {
                    continue;
                }
                for (CTQPipeSpec& s : p.specs) {
                    s.MatlID = p.matl.ID;
                    if (s.ID < 0) {
                        if (!s.Add(db)) {
                            CTQPipeSpec existing;
                            if (CTQPipeMatlManager::GetSpec(existing, p.matl.ID, s.DN, db)) {
                                return QStringLiteral("材料“%1”已有 DN %2 的规格。")
                                    .arg(Q(p.matl.Name))
                                    .arg(s.DN);
                            }
                            return QStringLiteral("材料“%1”的规格 DN %2 添加失败。")
                                       .arg(Q(p.matl.Name))
                                       .arg(s.DN) +
                                   LastDbError();
                        }
                    } else if (!s.UpdateData(s.ID, false, db)) {
                        return QStringLiteral("材料“%1”的规格 DN %2 保存失败。")
                                   .arg(Q(p.matl.Name))
                                   .arg(s.DN) +
                               LastDbError();
                    }
                }
            }
            return QString();
        },
        error);
}

// ---- export --------------------------------------------------------------------

namespace RVN {

bool ShowPipeSpecDlg(int kind, CADODatabase* db) {
    if (!EnsureDialogApplication()) {
        return false;
    }
    if (!db) {
        db = GetRVNBaseDataBase();
    }
    try {
        CTQPipeSpecDlg dlg(kind, db, QApplication::activeWindow());
        return dlg.DoModal() == CTQCatalogDlg::IDOK;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "TQRVNBaseUI: %s\n", e.what());
        return false;
    }
}

} // namespace RVN
