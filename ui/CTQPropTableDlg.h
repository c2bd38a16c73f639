// CTQPropTableDlg: the table dialog of a property record type (water or
// saturated steam), one grid spanning both panes with a row per record in
// temperature order.  The user picks a row by selecting it; opened on a
// connection the rows can also be edited, added and deleted, and OK writes
// every change in one transaction and closes only after the commit (a
// refused or failed write rolls everything back and keeps the dialog open).
//
// A record type takes part through a specialisation of CTQPropTable, which
// gives the dialog's texts, its columns and the table listing.  The
// temperature column holds whole degrees in kMinTemperature..kMaxTemperature;
// the property columns finite values in 0..kMaxValue.
#pragma once

#include "TQRVNBaseExport.h"
#include "catalog/CTQArray.h"
#include "catalog/CTQSteamProp.h"
#include "catalog/CTQWaterProp.h"
#include "ui/CTQCatalogDlg.h"

#include <QString>

#include <vector>

class CTQReportGrid;
class QTreeWidgetItem;

/// One property column of a table dialog: caption, relative width, digits
/// after the point and the record member it shows.
template <class Prop>
struct CTQPropColumn {
    const char* caption;  ///< UTF-8
    int width;
    int decimals;
    double Prop::*field;
};

/// What differs between the property dialogs.  Specialised per record
/// type with: Title() (window title and pane label), LabelWidth() (pixels),
/// PlacementKey(), Columns() (the property columns after the temperature
/// column, in display order) and List(arr, db) (every row in temperature
/// order, as RVN::GetAll... does).
template <class Prop>
struct CTQPropTable;

template <>
struct TQRVNBASEUI_API CTQPropTable<CTQWaterProp> {
    static QString Title();
    static int LabelWidth();
    static QString PlacementKey();
    static const std::vector<CTQPropColumn<CTQWaterProp>>& Columns();
    static int List(CTQArray<CTQWaterProp>& arr, CADODatabase* db);
};

template <>
struct TQRVNBASEUI_API CTQPropTable<CTQSteamProp> {
    static QString Title();
    static int LabelWidth();
    static QString PlacementKey();
    static const std::vector<CTQPropColumn<CTQSteamProp>>& Columns();
    static int List(CTQArray<CTQSteamProp>& arr, CADODatabase* db);
};

template <class Prop>
class TQRVNBASEUI_API CTQPropTableDlg : public CTQCatalogDlg {
public:
    /// The range of the temperature column, degC: whole degrees from the
    /// coldest brine-free water a heating plant meets to well above the
    /// saturation temperatures of building steam systems.
    static constexpr int kMinTemperature = -50;
    static constexpr int kMaxTemperature = 400;
    /// The largest value a property cell accepts.
    static constexpr double kMaxValue = 1.0e6;

    /// `prop` is the record handed back when no row is chosen.
    CTQPropTableDlg(CADODatabase* db, const Prop& prop, QWidget* parent = nullptr);
    ~CTQPropTableDlg() override;

    CTQReportGrid* Grid() const { return m_grid; }
    /// The record chosen (or the caller's, when none was).
    const Prop& Result() const { return m_result; }
    const CTQArray<long>& DeletedIDs() const { return m_deleted; }
    /// The record a row of the grid holds.
    static const Prop* PropOf(const QTreeWidgetItem* row);

protected:
    bool OnInitDialog() override;
    void OnOK() override;
    void CreateControls() override;
    void OnAddRight() override;
    void OnDeleteRight() override;

private:
    class PropRow;

    void AddPropRow(const Prop& prop);
    void OnSelectionChanged();
    /// Checks and writes every change; an empty text, or why not, naming the row.
    QString WriteRows(std::vector<PropRow*>& rows, std::vector<Prop>& records);

    CTQReportGrid* m_grid = nullptr;
    Prop m_result;
    CTQArray<long> m_deleted;
    /// The row the result was last taken from (null when none or deleted).
    const QTreeWidgetItem* m_chosen = nullptr;
};

extern template class CTQPropTableDlg<CTQWaterProp>;
extern template class CTQPropTableDlg<CTQSteamProp>;
