#include "ui/CatalogTables.h"

#include "ui/CTQPipeValveDlg.h"
#include "ui/UiNumbers.h"

#include "catalog/CTQDuctSpec.h"
#include "catalog/CTQPipeMatl.h"
#include "catalog/CTQPipeValve.h"
#include "catalog/CTQSteamProp.h"
#include "catalog/CTQWaterProp.h"
#include "db/ADODatabase.h"
#include "design/DesignTypes.h"

#include <utility>

namespace tqrvn::ui {

namespace {

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}
QString N(double v) {
    return ExactText(v);
}

// The DN table of a valve on one line: "15: 2.00, 100: 0.50".
QString DnTable(const CTQPipeValve& v) {
    return CTQPipeValveDlg::Description(v)
        .split(QLatin1Char('\n'))
        .join(QStringLiteral(" / "))
        .simplified();
}

} // namespace

const std::vector<CatalogTable>& CatalogTables() {
    static const std::vector<CatalogTable> tables{
        CatalogTable::WaterPipe, CatalogTable::PlasticPipe, CatalogTable::PprPipe,
        CatalogTable::Ducts,     CatalogTable::Valves,      CatalogTable::Water,
        CatalogTable::Steam};
    return tables;
}

int MaterialKind(CatalogTable table) {
    switch (table) {
    case CatalogTable::WaterPipe:
        return RVN::kCategoryWaterPipe;
    case CatalogTable::PlasticPipe:
        return RVN::kCategoryPlasticPipe;
    case CatalogTable::PprPipe:
        return RVN::kCategoryPprPipe;
    default:
        return 0;
    }
}

QString TableTitle(CatalogTable table) {
    if (const int kind = MaterialKind(table)) {
        return QString::fromUtf8(RVN::CategoryTitleChinese(kind)) + QStringLiteral("材料");
    }
    switch (table) {
    case CatalogTable::Ducts:
        return QStringLiteral("风管规格");
    case CatalogTable::Valves:
        return QStringLiteral("阀门和管件");
    case CatalogTable::Water:
        return QStringLiteral("水的物理参数");
    default:
        return QStringLiteral("饱和水蒸气的物理参数");
    }
}

void CatalogTableModel::Clear() {
    Set({}, {}, {});
}

void CatalogTableModel::Set(QStringList headers, std::vector<Row> rows, std::vector<bool> numeric) {
    beginResetModel();
    m_headers = std::move(headers);
    m_rows = std::move(rows);
    m_numeric = std::move(numeric);
    endResetModel();
}

void CatalogTableModel::LoadMaterials(CatalogTable table, CADODatabase* db, QStringList& headers,
                                      std::vector<Row>& rows, std::vector<bool>& numeric) {
    headers = {QStringLiteral("名称"), QStringLiteral("符号"),   QStringLiteral("粗糙度K"),
               QStringLiteral("密度"), QStringLiteral("规格数"), QStringLiteral("说明")};
    numeric = {false, false, true, true, true, false};
    CTQArray<CTQPipeMatl> matls;
    CTQPipeMatlManager::GetAllMatl(matls, MaterialKind(table), db);
    for (const CTQPipeMatl& m : matls) {
        CTQArray<CTQPipeSpec> specs;
        const int sizes = CTQPipeMatlManager::GetAllSpec(specs, m.ID, db);
        rows.push_back(
            {m.ID,
             {Q(m.Name), Q(m.Mark), N(m.K), N(m.Density), QString::number(sizes), Q(m.Comment)}});
    }
}

void CatalogTableModel::LoadDucts(CADODatabase* db, QStringList& headers, std::vector<Row>& rows,
                                  std::vector<bool>& numeric) {
    headers = {QStringLiteral("形状"), QStringLiteral("宽(mm)"), QStringLiteral("高(mm)"),
               QStringLiteral("厚度(mm)")};
    numeric = {false, true, true, true};
    for (int section : {0, 1}) {
        CTQArray<CTQDuctSpec> ducts;
        CTQDuctSpecManager::GetAllSpec(ducts, section, db);
        for (const CTQDuctSpec& d : ducts) {
            const QString shape = section == 0 ? QStringLiteral("圆形") : QStringLiteral("矩形");
            rows.push_back(
                {d.ID,
                 {shape, QString::number(d.Width),
                  section == 0 ? QString() : QString::number(d.Height), N(d.Thickness)}});
        }
    }
}

void CatalogTableModel::LoadValves(CADODatabase* db, QStringList& headers, std::vector<Row>& rows,
                                   std::vector<bool>& numeric) {
    headers = {QStringLiteral("名称"), QStringLiteral("用于"), QStringLiteral("局阻系数")};
    numeric = {false, false, false};
    CTQArray<CTQPipeValve> valves;
    CTQPipeValveManager::GetAllValve(valves, 0, db);
    for (const CTQPipeValve& v : valves) {
        const QString use = v.Type == 1 ? QStringLiteral("钢管") : QStringLiteral("塑料管");
        rows.push_back(
            {v.ID, {Q(v.ValveName), use, v.Variable ? DnTable(v) : GeneralText(v.Coef)}});
    }
}

void CatalogTableModel::LoadWater(CADODatabase* db, QStringList& headers, std::vector<Row>& rows,
                                  std::vector<bool>& numeric) {
    headers = {QStringLiteral("温度(℃)"), QStringLiteral("密度(kg/m3)"),
               QStringLiteral("比热容[kJ/(kg*K)]"), QStringLiteral("运动黏度(1E-6㎡/s)")};
    numeric = {true, true, true, true};
    CTQArray<CTQWaterProp> props;
    RVN::GetAllWaterProp(props, db);
    for (const CTQWaterProp& p : props) {
        rows.push_back({p.ID,
                        {QString::number(p.Temperature), FixedText(p.Density, 3),
                         FixedText(p.SpecificHeat, 3), FixedText(p.Viscosity, 4)}});
    }
}

void CatalogTableModel::LoadSteam(CADODatabase* db, QStringList& headers, std::vector<Row>& rows,
                                  std::vector<bool>& numeric) {
    headers = {QStringLiteral("温度(℃)"),           QStringLiteral("压力(kPa)"),
               QStringLiteral("密度(kg/m3)"),       QStringLiteral("汽化热(kJ/kg)"),
               QStringLiteral("比热容[kJ/(kg*K)]"), QStringLiteral("运动黏度(1E-6㎡/s)")};
    numeric = {true, true, true, true, true, true};
    CTQArray<CTQSteamProp> props;
    RVN::GetAllSteamProp(props, db);
    for (const CTQSteamProp& p : props) {
        rows.push_back(
            {p.ID,
             {QString::number(p.Temperature), FixedText(p.Pressure, 1), FixedText(p.Density, 3),
              FixedText(p.Qhr, 3), FixedText(p.SpecificHeat, 4), FixedText(p.Viscosity, 3)}});
    }
}

bool CatalogTableModel::Load(CatalogTable table, CADODatabase* db) {
    m_table = table;
    if (!db) {
        Clear();
        return true;
    }
    db->ClearLastError();
    std::vector<Row> rows;
    QStringList headers;
    std::vector<bool> numeric;
    if (MaterialKind(table)) {
        LoadMaterials(table, db, headers, rows, numeric);
    } else if (table == CatalogTable::Ducts) {
        LoadDucts(db, headers, rows, numeric);
    } else if (table == CatalogTable::Valves) {
        LoadValves(db, headers, rows, numeric);
    } else if (table == CatalogTable::Water) {
        LoadWater(db, headers, rows, numeric);
    } else {
        LoadSteam(db, headers, rows, numeric);
    }
    const bool ok = db->GetLastError() == 0;
    if (!ok) {
        rows.clear();
    }
    Set(std::move(headers), std::move(rows), std::move(numeric));
    return ok;
}

long CatalogTableModel::RowId(int row) const {
    return row >= 0 && row < static_cast<int>(m_rows.size())
               ? m_rows[static_cast<std::size_t>(row)].id
               : -1;
}

QString CatalogTableModel::Text(int row, int column) const {
    if (row < 0 || row >= static_cast<int>(m_rows.size())) {
        return QString();
    }
    return m_rows[static_cast<std::size_t>(row)].cells.value(column);
}

int CatalogTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int CatalogTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_headers.size());
}

QVariant CatalogTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) {
        return QVariant();
    }
    if (role == Qt::DisplayRole) {
        return Text(index.row(), index.column());
    }
    if (role == Qt::TextAlignmentRole) {
        const std::size_t c = static_cast<std::size_t>(index.column());
        const bool right = c < m_numeric.size() && m_numeric[c];
        return QVariant::fromValue(
            Qt::Alignment((right ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter));
    }
    return QVariant();
}

QVariant CatalogTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) {
        return QVariant();
    }
    if (orientation == Qt::Horizontal) {
        return m_headers.value(section);
    }
    return section + 1;
}

} // namespace tqrvn::ui
