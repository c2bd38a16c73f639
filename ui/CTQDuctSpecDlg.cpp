#include "ui/CTQDuctSpecDlg.h"

#include "ui/CTQReportGrid.h"
#include "ui/RVNDialogs.h"

#include "catalog/CatalogChecks.h"
#include "catalog/RVNDataBase.h"
#include "db/ADODatabase.h"

#include <QApplication>

#include <cmath>
#include <cstdio>
#include <utility>

namespace {

QString SizeText(const CTQDuctSpec& d) {
    return d.Section == 0 ? QStringLiteral("圆形风管 %1").arg(d.Width)
                          : QStringLiteral("矩形风管 %1×%2").arg(d.Width).arg(d.Height);
}

// The editors keep sizes within 1..10000 mm, so the conversion is exact.
int CellSize(double value) {
    return static_cast<int>(std::trunc(value));
}

} // namespace

class CTQDuctSpecDlg::DuctRow : public CTQGridRow {
public:
    explicit DuctRow(const CTQDuctSpec& d) : duct(d) {}
    CTQDuctSpec duct;
};

CTQDuctSpecDlg::CTQDuctSpecDlg(CADODatabase* db, QWidget* parent) : CTQCatalogDlg(db, parent) {}

CTQDuctSpecDlg::CTQDuctSpecDlg(const CTQArray<CTQDuctSpec>& circular,
                               const CTQArray<CTQDuctSpec>& rectangular, QWidget* parent)
    : CTQCatalogDlg(nullptr, parent), m_circular(circular), m_rectangular(rectangular) {}

CTQDuctSpecDlg::~CTQDuctSpecDlg() = default;

const CTQDuctSpec* CTQDuctSpecDlg::DuctOf(const QTreeWidgetItem* row) {
    const auto* r = dynamic_cast<const DuctRow*>(row);
    return r ? &r->duct : nullptr;
}

void CTQDuctSpecDlg::CreateControls() {
    CreatePaneControls(QStringLiteral("圆形风管"), QStringLiteral("矩形风管"));
    m_gridCircular = CreateGrid(IDC_GRID_LEFT, LeftFrameRect());
    m_gridRectangular = CreateGrid(IDC_GRID_RIGHT, RightFrameRect());
    CTQCatalogDlg::CreateControls();
    setTabOrder(m_gridCircular, m_gridRectangular);
    setTabOrder(m_gridRectangular, m_ok);
    BindPaneKeys(m_gridCircular, false);
    BindPaneKeys(m_gridRectangular, true);
    for (CTQReportGrid* grid : {m_gridCircular, m_gridRectangular}) {
        grid->onValueChanged = [this](CTQGridRow*, int) { m_edited = true; };
    }
}

bool CTQDuctSpecDlg::OnInitDialog() {
    CTQCatalogDlg::OnInitDialog();
    if (Database()) {
        CTQDuctSpecManager::GetAllSpec(m_circular, 0, Database());
        CTQDuctSpecManager::GetAllSpec(m_rectangular, 1, Database());
    }
    using Kind = CTQGridColumn::Kind;
    m_gridCircular->SetColumns({CTQGridColumn{QStringLiteral("直径(mm)"), 100, QString(),
                                              Kind::Integer, 1, 10000, 0, true}});
    m_gridRectangular->SetColumns(
        {CTQGridColumn{QStringLiteral("宽(mm)"), 100, QString(), Kind::Integer, 1, 10000, 0, true},
         CTQGridColumn{QStringLiteral("高(mm)"), 100, QString(), Kind::Integer, 1, 10000, 0,
                       true}});
    for (const CTQDuctSpec& d : m_circular) {
        AddDuctRow(m_gridCircular, d);
    }
    for (const CTQDuctSpec& d : m_rectangular) {
        AddDuctRow(m_gridRectangular, d);
    }

    SetAnchor(m_labelLeft, QPointF(0, 0), QPointF(0, 0));
    SetAnchor(m_addLeft, QPointF(0.5, 0), QPointF(0.5, 0));
    SetAnchor(m_deleteLeft, QPointF(0.5, 0), QPointF(0.5, 0));
    SetAnchor(m_labelRight, QPointF(0.5, 0), QPointF(1, 0));
    SetAnchor(m_addRight, QPointF(1, 0), QPointF(1, 0));
    SetAnchor(m_deleteRight, QPointF(1, 0), QPointF(1, 0));
    SetAnchor(m_gridCircular, QPointF(0, 0), QPointF(0.5, 1));
    SetAnchor(m_gridRectangular, QPointF(0.5, 0), QPointF(1, 1));

    setWindowTitle(QStringLiteral("风管规格"));
    SetPlacementKey(QStringLiteral("TQRVNDuctSpecDlg"));
    return true;
}

void CTQDuctSpecDlg::AddDuctRow(CTQReportGrid* grid, const CTQDuctSpec& duct) {
    auto* row = new DuctRow(duct);
    grid->AddRow(row);
    const bool blocked = grid->blockSignals(true);
    grid->SetNumber(row, 0, duct.Width);
    if (grid == m_gridRectangular) {
        grid->SetNumber(row, 1, duct.Height);
    }
    grid->blockSignals(blocked);
}

void CTQDuctSpecDlg::AddNew(CTQReportGrid* grid, int section) {
    if (!Database() || !EndGridEdits({m_gridCircular, m_gridRectangular}, false)) {
        return;
    }
    m_edited = true;
    CTQDuctSpec duct;
    duct.Section = section;
    AddDuctRow(grid, duct);
    grid->FocusRow(grid->RowCount() - 1);
}

void CTQDuctSpecDlg::DeleteSelected(CTQReportGrid* grid) {
    if (!Database() || !EndGridEdits({m_gridCircular, m_gridRectangular}, false)) {
        return;
    }
    const std::vector<CTQGridRow*> selected = grid->SelectedRows();
    for (auto it = selected.rbegin(); it != selected.rend(); ++it) {
        auto* row = static_cast<DuctRow*>(*it);
        if (row->duct.ID != 0) {
            m_deleted.Add(row->duct.ID);
        }
        delete row;
    }
}

void CTQDuctSpecDlg::OnAddLeft() {
    AddNew(m_gridCircular, 0);
}
void CTQDuctSpecDlg::OnDeleteLeft() {
    DeleteSelected(m_gridCircular);
}
void CTQDuctSpecDlg::OnAddRight() {
    AddNew(m_gridRectangular, 1);
}
void CTQDuctSpecDlg::OnDeleteRight() {
    DeleteSelected(m_gridRectangular);
}

void CTQDuctSpecDlg::OnOK() {
    if (!Database()) {
        EndOK();
        return;
    }
    if (!EndGridEdits({m_gridCircular, m_gridRectangular}, true)) {
        return;
    }
    if (!m_deleted.IsEmpty() && !Confirm(QStringLiteral("有管道规格被删除，确定删除？"))) {
        return;
    }
    QString error;
    if (!WriteCatalog(error)) {
        ShowError(error);
        return;
    }
    EndOK();
}

CTQArray<CTQDuctSpec> CTQDuctSpecDlg::ReadRows(CTQReportGrid* grid, bool addedOrder) const {
    const int section = grid == m_gridCircular ? 0 : 1;
    CTQArray<CTQDuctSpec> ducts;
    for (CTQGridRow* r : addedOrder ? grid->RowsInAddedOrder() : grid->Rows()) {
        CTQDuctSpec d = static_cast<DuctRow*>(r)->duct;
        d.Section = section;
        d.Width = CellSize(r->Number(0));
        d.Height = section == 0 ? d.Width : CellSize(r->Number(1));
        ducts.Add(d);
    }
    return ducts;
}

bool CTQDuctSpecDlg::HasUnsavedEdits() const {
    return m_edited || !m_deleted.IsEmpty();
}

bool CTQDuctSpecDlg::WriteCatalog(QString& error) {
    CADODatabase* db = Database();

    // Every size is checked in the order the user sees it, before anything
    // is written; the rows are then stored in the order they were added.
    std::vector<CTQDuctSpec> ducts;
    for (int section = 0; section < 2; ++section) {
        CTQReportGrid* grid = section == 0 ? m_gridCircular : m_gridRectangular;
        const RVN::TQEditCheck check = RVN::CheckDuctSizes(ReadRows(grid, false));
        if (!check.Ok()) {
            const QString where =
                QStringLiteral("%1第 %2 行")
                    .arg(section == 0 ? QStringLiteral("圆形风管") : QStringLiteral("矩形风管"))
                    .arg(check.row + 1);
            CTQDuctSpec d;
            d.Section = section;
            d.Width = check.width;
            d.Height = check.height;
            error = check.problem == RVN::TQEditProblem::ZeroDuct
                        ? QStringLiteral("%1的尺寸为 0 mm，未保存任何修改。").arg(where)
                        : QStringLiteral("%1 %2 与第 %3 行重复，未保存任何修改。")
                              .arg(where, SizeText(d))
                              .arg(check.firstRow + 1);
            return false;
        }
        for (const CTQDuctSpec& d : ReadRows(grid, true)) {
            ducts.push_back(d);
        }
    }

    return WriteInTransaction(
        [&]() -> QString {
            for (long id : m_deleted) {
                if (!CTQDuctSpec::Delete(id, db)) {
                    return QStringLiteral("删除风管规格（ID %1）失败。").arg(id) + LastDbError();
                }
            }
            for (CTQDuctSpec& d : ducts) {
                if (d.ID < 0) {
                    if (!d.Add(db)) {
                        CTQArray<CTQDuctSpec> stored;
                        CTQDuctSpecManager::GetAllSpec(stored, d.Section, db);
                        for (const CTQDuctSpec& s : stored) {
                            if (s == d) {
                                return QStringLiteral("%1 已存在。").arg(SizeText(d));
                            }
                        }
                        return QStringLiteral("%1 添加失败。").arg(SizeText(d)) + LastDbError();
                    }
                } else if (!d.UpdateData(d.ID, false, db)) {
                    return QStringLiteral("%1 保存失败。").arg(SizeText(d)) + LastDbError();
                }
            }
            return QString();
        },
        error);
}

// ---- exports -------------------------------------------------------------------

namespace RVN {

bool ShowDuctSpecDlg(CADODatabase* db) {
    if (!EnsureDialogApplication()) {
        return false;
    }
    if (!db) {
        db = GetRVNBaseDataBase();
    }
    try {
        CTQDuctSpecDlg dlg(db, QApplication::activeWindow());
        return dlg.DoModal() == CTQCatalogDlg::IDOK;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "TQRVNBaseUI: %s\n", e.what());
        return false;
    }
}

void ShowDuctSpecDlg(CTQArray<CTQDuctSpec>& circular, CTQArray<CTQDuctSpec>& rectangular) {
    if (!EnsureDialogApplication()) {
        return;
    }
    try {
        // The dialog works on copies: the caller's arrays stay as they are.
        CTQDuctSpecDlg dlg(circular, rectangular, QApplication::activeWindow());
        dlg.DoModal();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "TQRVNBaseUI: %s\n", e.what());
    }
}

} // namespace RVN
