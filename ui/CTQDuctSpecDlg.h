// CTQDuctSpecDlg: circular duct sizes on the left, rectangular ones on the
// right.  Opened on a connection the sizes can be added, edited and deleted;
// OK writes every change in one transaction and closes only after the
// commit (a refused or failed write rolls everything back and keeps the
// dialog open).  Opened on two lists it only shows them.
#pragma once

#include "TQRVNBaseExport.h"
#include "catalog/CTQArray.h"
#include "catalog/CTQDuctSpec.h"
#include "ui/CTQCatalogDlg.h"

class CTQReportGrid;
class QTreeWidgetItem;

class TQRVNBASEUI_API CTQDuctSpecDlg : public CTQCatalogDlg {
public:
    /// Editable on a connection (null: read-only and empty).
    explicit CTQDuctSpecDlg(CADODatabase* db, QWidget* parent = nullptr);
    /// Read-only, on copies of two lists (circular, rectangular).
    CTQDuctSpecDlg(const CTQArray<CTQDuctSpec>& circular, const CTQArray<CTQDuctSpec>& rectangular,
                   QWidget* parent = nullptr);
    ~CTQDuctSpecDlg() override;

    CTQReportGrid* CircularGrid() const { return m_gridCircular; }
    CTQReportGrid* RectangularGrid() const { return m_gridRectangular; }
    const CTQArray<long>& DeletedIDs() const { return m_deleted; }
    /// The duct a row of either grid holds.
    static const CTQDuctSpec* DuctOf(const QTreeWidgetItem* row);

protected:
    bool OnInitDialog() override;
    void OnOK() override;
    void CreateControls() override;
    void OnAddLeft() override;
    void OnDeleteLeft() override;
    void OnAddRight() override;
    void OnDeleteRight() override;

private:
    class DuctRow;

    void AddDuctRow(CTQReportGrid* grid, const CTQDuctSpec& duct);
    void AddNew(CTQReportGrid* grid, int section);
    void DeleteSelected(CTQReportGrid* grid);
    bool WriteCatalog(QString& error);
    /// The sizes of a grid as they will be stored, in display order.
    CTQArray<CTQDuctSpec> ReadRows(CTQReportGrid* grid, bool addedOrder) const;
    bool HasUnsavedEdits() const override;

    CTQReportGrid* m_gridCircular = nullptr;
    CTQReportGrid* m_gridRectangular = nullptr;
    CTQArray<CTQDuctSpec> m_circular;
    CTQArray<CTQDuctSpec> m_rectangular;
    CTQArray<long> m_deleted;
    bool m_edited = false;
};
