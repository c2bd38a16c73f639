// CTQPropTableDlg: the table dialog of a property record type (water or
// saturated steam), one grid spanning both panes with a row per record in
// temperature order.  The user picks a row by selecting it; opened on a
// connection the rows can also be edited, added and deleted, and OK writes
// every change in one transaction and closes only after the commit (a
// refused or failed write rolls everything back and keeps the dialog open).
//
// The dialog is instantiated for CTQWaterProp and CTQSteamProp; what differs
// between them (texts, columns, the table listing) is kept with the code.  The
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

template <class Prop> class TQRVNBASEUI_API CTQPropTableDlg : public CTQCatalogDlg {
public:
    /// The range of the temperature column, degC, in whole degrees (the
    /// tables are keyed by them): 400 lies above water's critical point
    /// (373.946 degC), past which no saturation row can exist; -50 leaves
    /// room below freezing for supercooled or brine entries a keeper adds.
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
    bool HasUnsavedEdits() const override { return m_edited || !m_deleted.IsEmpty(); }

    CTQReportGrid* m_grid = nullptr;
    Prop m_result;
    Prop m_callers; ///< the caller's record, handed back when the chosen row goes
    CTQArray<long> m_deleted;
    bool m_edited = false;
    /// The row the result was last taken from (null when none or deleted).
    const QTreeWidgetItem* m_chosen = nullptr;
};

extern template class CTQPropTableDlg<CTQWaterProp>;
extern template class CTQPropTableDlg<CTQSteamProp>;
