#include "ui/CTQPropTableDlg.h"

#include "ui/CTQReportGrid.h"
#include "ui/CTQSteamPropDlg.h"
#include "ui/CTQWaterPropDlg.h"
#include "ui/RVNDialogs.h"

#include "catalog/CatalogChecks.h"
#include "catalog/RVNDataBase.h"

#include <QApplication>

#include <QLabel>
#include <QToolButton>

#include <cmath>
#include <cstdio>
#include <set>
#include <utility>

// ---- the two record types ------------------------------------------------------

namespace {

// One property column of a table dialog: caption, relative width, digits
// after the point and the record member it shows.
template <class Prop> struct PropColumn {
    const char* caption; // UTF-8
    int width;
    int decimals;
    double Prop::*field;
};

// What differs between the property dialogs: the window title (also the
// pane label), the label width in pixels, the placement key, the property
// columns after the temperature column in display order, and the listing
// of every row in temperature order.
template <class Prop> struct PropTable {
    static QString Title();
    static int LabelWidth();
    static QString PlacementKey();
    static const std::vector<PropColumn<Prop>>& Columns();
    static int List(CTQArray<Prop>& arr, CADODatabase* db);
};

template <> QString PropTable<CTQWaterProp>::Title() {
    return QStringLiteral("水的物理参数");
}
template <> int PropTable<CTQWaterProp>::LabelWidth() {
    return 80;
}
template <> QString PropTable<CTQWaterProp>::PlacementKey() {
    return QStringLiteral("TQRVNWaterPropDlg");
}

// Specific heat is shown before viscosity, the reverse of the record's order.
template <> const std::vector<PropColumn<CTQWaterProp>>& PropTable<CTQWaterProp>::Columns() {
    static const std::vector<PropColumn<CTQWaterProp>> columns{
        {"密度(kg/m3)", 35, 3, &CTQWaterProp::Density},
        {"比热容[kJ/(kg*K)]", 45, 3, &CTQWaterProp::SpecificHeat},
        {"运动黏度(1E-6㎡/s)", 50, 4, &CTQWaterProp::Viscosity},
    };
    return columns;
}

template <> int PropTable<CTQWaterProp>::List(CTQArray<CTQWaterProp>& arr, CADODatabase* db) {
    return RVN::GetAllWaterProp(arr, db);
}

template <> QString PropTable<CTQSteamProp>::Title() {
    return QStringLiteral("饱和水蒸气的物理参数");
}
template <> int PropTable<CTQSteamProp>::LabelWidth() {
    return 160;
}
template <> QString PropTable<CTQSteamProp>::PlacementKey() {
    return QStringLiteral("TQRVNSteamPropDlg");
}

// The steam table gives specific heat four decimals and viscosity three,
// the opposite of the water table.
template <> const std::vector<PropColumn<CTQSteamProp>>& PropTable<CTQSteamProp>::Columns() {
    static const std::vector<PropColumn<CTQSteamProp>> columns{
        {"压力(kPa)", 35, 1, &CTQSteamProp::Pressure},
        {"密度(kg/m3)", 35, 3, &CTQSteamProp::Density},
        {"汽化热(kJ/kg)", 35, 3, &CTQSteamProp::Qhr},
        {"比热容[kJ/(kg*K)]", 45, 4, &CTQSteamProp::SpecificHeat},
        {"运动黏度(1E-6㎡/s)", 50, 3, &CTQSteamProp::Viscosity},
    };
    return columns;
}

template <> int PropTable<CTQSteamProp>::List(CTQArray<CTQSteamProp>& arr, CADODatabase* db) {
    return RVN::GetAllSteamProp(arr, db);
}

} // namespace

// ---- the dialog ----------------------------------------------------------------

template <class Prop> class CTQPropTableDlg<Prop>::PropRow : public CTQGridRow {
public:
    explicit PropRow(const Prop& p) : prop(p) {}
    Prop prop;
};

template <class Prop>
CTQPropTableDlg<Prop>::CTQPropTableDlg(CADODatabase* db, const Prop& prop, QWidget* parent)
    : CTQCatalogDlg(db, parent), m_result(prop), m_callers(prop) {}

template <class Prop> CTQPropTableDlg<Prop>::~CTQPropTableDlg() = default;

template <class Prop> const Prop* CTQPropTableDlg<Prop>::PropOf(const QTreeWidgetItem* row) {
    const auto* r = dynamic_cast<const PropRow*>(row);
    return r ? &r->prop : nullptr;
}

template <class Prop> void CTQPropTableDlg<Prop>::CreateControls() {
    const QRect left = LeftFrameRect();
    const QRect right = RightFrameRect();
    m_labelLeft = CreatePaneLabel(IDC_LABEL_LEFT, PropTable<Prop>::Title(), left,
                                  PropTable<Prop>::LabelWidth());
    m_grid = CreateGrid(IDC_GRID_LEFT, QRect(left.topLeft(), right.bottomRight()));
    m_grid->setFrameShape(QFrame::StyledPanel);
    CreatePaneButtons(true);
    CTQCatalogDlg::CreateControls();
    setTabOrder(m_grid, m_ok);
    BindPaneKeys(m_grid, true);
    m_grid->onValueChanged = [this](CTQGridRow*, int) { m_edited = true; };
}

template <class Prop> bool CTQPropTableDlg<Prop>::OnInitDialog() {
    CTQCatalogDlg::OnInitDialog();
    SetAnchor(m_labelLeft, QPointF(0, 0), QPointF(0, 0));
    SetAnchor(m_addRight, QPointF(1, 0), QPointF(1, 0));
    SetAnchor(m_deleteRight, QPointF(1, 0), QPointF(1, 0));
    SetAnchor(m_grid, QPointF(0, 0), QPointF(1, 1));
    setWindowTitle(PropTable<Prop>::Title());
    SetPlacementKey(PropTable<Prop>::PlacementKey());

    CTQArray<Prop> props;
    if (Database()) {
        PropTable<Prop>::List(props, Database());
    }

    using Kind = CTQGridColumn::Kind;
    std::vector<CTQGridColumn> columns;
    columns.push_back(CTQGridColumn{QStringLiteral("温度(℃)"), 25, QString(), Kind::Integer,
                                    static_cast<double>(kMinTemperature),
                                    static_cast<double>(kMaxTemperature), 0, true});
    for (const PropColumn<Prop>& c : PropTable<Prop>::Columns()) {
        columns.push_back(CTQGridColumn{QString::fromUtf8(c.caption), c.width, QString(),
                                        Kind::Decimal, 0.0, kMaxValue, c.decimals, true});
    }
    m_grid->SetColumns(std::move(columns));
    for (const Prop& p : props) {
        AddPropRow(p);
    }
    m_grid->onSelectionChanged = [this] { OnSelectionChanged(); };
    return true;
}

template <class Prop> void CTQPropTableDlg<Prop>::AddPropRow(const Prop& prop) {
    auto* row = new PropRow(prop);
    m_grid->AddRow(row);
    const bool blocked = m_grid->blockSignals(true);
    m_grid->SetNumber(row, 0, prop.Temperature);
    int column = 1;
    for (const PropColumn<Prop>& c : PropTable<Prop>::Columns()) {
        m_grid->SetNumber(row, column++, prop.*c.field);
    }
    m_grid->blockSignals(blocked);
}

template <class Prop> void CTQPropTableDlg<Prop>::OnSelectionChanged() {
    const std::vector<CTQGridRow*> selected = m_grid->SelectedRows();
    if (selected.empty()) {
        return;
    }
    m_result = static_cast<PropRow*>(selected.front())->prop;
    m_chosen = selected.front();
}

template <class Prop> void CTQPropTableDlg<Prop>::OnAddRight() {
    if (!Database() || !EndGridEdits({m_grid}, false)) {
        return;
    }
    m_edited = true;
    AddPropRow(Prop());
    m_grid->FocusRow(m_grid->RowCount() - 1);
}

template <class Prop> void CTQPropTableDlg<Prop>::OnDeleteRight() {
    if (!Database() || !EndGridEdits({m_grid}, false)) {
        return;
    }
    const std::vector<CTQGridRow*> selected = m_grid->SelectedRows();
    const bool blocked = m_grid->blockSignals(true);
    for (auto it = selected.rbegin(); it != selected.rend(); ++it) {
        auto* row = static_cast<PropRow*>(*it);
        if (row->prop.ID != 0) {
            m_deleted.Add(row->prop.ID);
        }
        if (m_chosen == row) {
            // A deleted row is never handed back: the caller keeps its record.
            m_chosen = nullptr;
            m_result = m_callers;
        }
        delete row;
    }
    // Nothing is chosen for the user: the next choice is theirs.
    m_grid->clearSelection();
    m_grid->blockSignals(blocked);
}

template <class Prop> void CTQPropTableDlg<Prop>::OnOK() {
    if (!Database()) {
        EndOK();
        return;
    }
    if (!EndGridEdits({m_grid}, true)) {
        return;
    }
    if (!m_deleted.IsEmpty() && !Confirm(QStringLiteral("有数据被删除，确定删除？"))) {
        return;
    }
    std::vector<PropRow*> rows;
    for (CTQGridRow* r : m_grid->RowsInAddedOrder()) {
        rows.push_back(static_cast<PropRow*>(r));
    }
    std::vector<Prop> records;
    QString error;
    if (!WriteInTransaction([&] { return WriteRows(rows, records); }, error)) {
        ShowError(error);
        return;
    }
    // Committed: the rows now hold what the table holds, and the chosen
    // row hands back its values as written, not as they were when chosen.
    CTQArray<long> storedIds;
    for (size_t i = 0; i < rows.size(); ++i) {
        rows[i]->prop = records[i];
        storedIds.Add(records[i].ID);
        if (rows[i] == m_chosen) {
            m_result = records[i];
        }
    }
    if (m_chosen && !RVN::MayHandBack(m_result.ID, storedIds, m_deleted)) {
        m_result = m_callers;
    }
    m_deleted.RemoveAll();
    EndOK();
}

template <class Prop>
QString CTQPropTableDlg<Prop>::WriteRows(std::vector<PropRow*>& rows, std::vector<Prop>& records) {
    CADODatabase* db = Database();
    records.clear();

    // Every record takes the values of its cells; two rows of one
    // temperature are refused before anything is written.
    std::set<int> temperatures;
    for (PropRow* row : rows) {
        Prop p = row->prop;
        // The editor keeps the cell to whole degrees within the column's
        // range, so the conversion is exact.
        p.Temperature = static_cast<int>(std::trunc(row->Number(0)));
        int column = 1;
        for (const PropColumn<Prop>& c : PropTable<Prop>::Columns()) {
            const double v = row->Number(column++);
            if (!std::isfinite(v)) {
                return QStringLiteral("温度 %1℃ 的数据不是有限数值。").arg(p.Temperature);
            }
            p.*c.field = v;
        }
        if (!temperatures.insert(p.Temperature).second) {
            return QStringLiteral("温度 %1℃ 出现了不止一行。").arg(p.Temperature);
        }
        records.push_back(p);
    }

    for (long id : m_deleted) {
        if (!Prop::Delete(id, db)) {
            return QStringLiteral("删除数据（ID %1）失败。").arg(id) + LastDbError();
        }
    }
    for (Prop& p : records) {
        if (p.ID < 0) {
            if (!p.Add(db)) {
                CTQArray<Prop> stored;
                PropTable<Prop>::List(stored, db);
                for (const Prop& s : stored) {
                    if (s.Temperature == p.Temperature) {
                        return QStringLiteral("温度 %1℃ 的数据已存在。").arg(p.Temperature);
                    }
                }
                return QStringLiteral("温度 %1℃ 的数据添加失败。").arg(p.Temperature) +
                       LastDbError();
            }
        } else if (!p.UpdateData(p.ID, false, db)) {
            return QStringLiteral("温度 %1℃ 的数据保存失败。").arg(p.Temperature) + LastDbError();
        }
    }
    return QString();
}

template class CTQPropTableDlg<CTQWaterProp>;
template class CTQPropTableDlg<CTQSteamProp>;

// ---- exports -------------------------------------------------------------------

namespace {

// Runs a property dialog on a copy of prop; prop takes the chosen row on OK.
template <class Dlg, class Prop> bool RunPropDlg(Prop& prop, CADODatabase* db) {
    if (!RVN::EnsureDialogApplication()) {
        return false;
    }
    if (!db) {
        db = RVN::GetRVNBaseDataBase();
    }
    try {
        Dlg dlg(db, prop, QApplication::activeWindow());
        if (dlg.DoModal() != CTQCatalogDlg::IDOK) {
            return false;
        }
        prop = dlg.Result();
        return true;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "TQRVNBaseUI: %s\n", e.what());
        return false;
    }
}

} // namespace

namespace RVN {

bool ShowWaterPropDlg(CTQWaterProp& prop, CADODatabase* db) {
    return RunPropDlg<CTQWaterPropDlg>(prop, db);
}

bool ShowSteamPropDlg(CTQSteamProp& prop, CADODatabase* db) {
    return RunPropDlg<CTQSteamPropDlg>(prop, db);
}

} // namespace RVN
