// The tables of a catalog as the catalog program lists them, and a
// read-only table model that previews one of them.
#pragma once

#include <QAbstractTableModel>
#include <QString>
#include <QStringList>

#include <vector>

class CADODatabase;

namespace tqrvn::ui {

/// A table of the catalog as a keeper sees it: the pipe materials of each
/// kind, the ducts, the valves and fittings, the water and steam tables.
enum class CatalogTable { WaterPipe, PlasticPipe, PprPipe, Ducts, Valves, Water, Steam };

/// Every table in the order the program lists them.
const std::vector<CatalogTable>& CatalogTables();
/// The name shown for a table ("水管材料", "风管规格", ...).
QString TableTitle(CatalogTable table);
/// The material kind of a pipe table (1, 2, 3), 0 for the others.
int MaterialKind(CatalogTable table);

/// The rows of one catalog table as text, read once; the view shows them
/// read-only.  Numbers are written in the C form whatever the locale.
class CatalogTableModel final : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;

    /// Reads a table of the catalog (null: nothing).  False when the catalog
    /// could not be read; the model is then empty.
    bool Load(CatalogTable table, CADODatabase* db);
    void Clear();
    CatalogTable Table() const { return m_table; }
    /// The ID of a row's record (-1 out of range).
    long RowId(int row) const;
    /// The text of a cell.
    QString Text(int row, int column) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    struct Row {
        long id;
        QStringList cells;
    };
    void Set(QStringList headers, std::vector<Row> rows, std::vector<bool> numeric);
    // One table each: its column captions, its rows, which columns are numbers.
    static void LoadMaterials(CatalogTable table, CADODatabase* db, QStringList& headers,
                              std::vector<Row>& rows, std::vector<bool>& numeric);
    static void LoadDucts(CADODatabase* db, QStringList& headers, std::vector<Row>& rows,
                          std::vector<bool>& numeric);
    static void LoadValves(CADODatabase* db, QStringList& headers, std::vector<Row>& rows,
                           std::vector<bool>& numeric);
    static void LoadWater(CADODatabase* db, QStringList& headers, std::vector<Row>& rows,
                          std::vector<bool>& numeric);
    static void LoadSteam(CADODatabase* db, QStringList& headers, std::vector<Row>& rows,
                          std::vector<bool>& numeric);

    CatalogTable m_table = CatalogTable::WaterPipe;
    QStringList m_headers;
    std::vector<bool> m_numeric;
    std::vector<Row> m_rows;
};

} // namespace tqrvn::ui
