// CTQPipeValveDlg: counts the valves and fittings of one pipe segment.
//
// The catalog's fittings of one kind are listed with a count each in
// property grids: fixed-coefficient ones on the left ("管径无关") and, when
// asked for, those whose coefficient depends on the nominal diameter on the
// right ("管径相关").  An extra coefficient typed below the left pane covers
// everything not listed; the total below the right pane is the sum of count
// x coefficient at the segment's DN plus that extra coefficient.  The
// segment's previous choice comes in as an array of valves; OK turns the
// counts back into such an array.  Nothing is written to the catalog.
#pragma once

#include "TQRVNBaseExport.h"
#include "catalog/CTQArray.h"
#include "catalog/CTQPipeValve.h"
#include "ui/CTQCatalogDlg.h"

#include <QString>

#include <deque>

class CTQPropertyGrid;
class CTQPropertyItem;
class QLineEdit;

class TQRVNBASEUI_API CTQPipeValveDlg : public CTQCatalogDlg {
public:
    enum ValveControlId {
        IDC_LABEL_OTHER = 10003,
        IDC_LABEL_TOTAL = 10004,
        IDC_EDIT_OTHER = 10005,
        IDC_EDIT_TOTAL = 10006
    };

    /// The caption of the one category of each pane.
    static const QString kCategoryCaption;

    /// kind: the valve kind as CTQPipeValveManager::GetAllValve takes it;
    /// showDnDependent nonzero: a right pane for DN-dependent fittings; dn:
    /// the segment's nominal diameter (mm); valves: the previous choice.
    CTQPipeValveDlg(CADODatabase* db, int kind, int showDnDependent, int dn,
                    const CTQArray<CTQPipeValve>& valves, QWidget* parent = nullptr);
    ~CTQPipeValveDlg() override;

    CTQPropertyGrid* LeftGrid() const { return m_gridLeft; }
    /// Null unless the right pane is shown.
    CTQPropertyGrid* RightGrid() const { return m_gridRight; }

    /// The previous choice before OK, the new one after it: the unnamed extra
    /// valve first (unless its coefficient is zero), then each listed valve
    /// repeated by its count, left pane before right pane.
    const CTQArray<CTQPipeValve>& Result() const { return m_valves; }
    /// The extra coefficient for everything not listed.
    double OtherCoef() const { return m_other; }
    /// The sum of count x coefficient at the DN over both panes.
    double Total() const { return m_total; }

    /// An item's value: count x coefficient at dn, 0 without a valve or count.
    static double ItemValue(const CTQPropertyItem* item, int dn);
    /// The description of a fitting's item: its fixed coefficient, or its DN
    /// table as two aligned lines (DNs, coefficients with two decimals).
    static QString Description(const CTQPipeValve& valve);
    /// A coefficient with two decimals, the decimal value as written
    /// rounded half away from zero ("0.125" gives "0.13").
    static QString CoefText(double coef);

protected:
    bool OnInitDialog() override;
    void OnOK() override;
    void CreateControls() override;

private:
    CTQPropertyItem* AddItem(CTQPropertyGrid* grid, const CTQPipeValve& valve, int count);
    void CountInput(const CTQPipeValve& input);
    double PaneTotal(const CTQPropertyGrid* grid) const;
    void CollectPane(const CTQPropertyGrid* grid, CTQArray<CTQPipeValve>& out) const;
    void OnCountChanged();
    void OnOtherChanged(const QString& text);
    void UpdateTotalDisplay();
    /// Counts or the extra coefficient changed by the user.
    bool HasUnsavedEdits() const override { return m_edited; }

    int m_kind;
    int m_showDnDependent;
    int m_dn;
    CTQArray<CTQPipeValve> m_valves;
    double m_other = 0.0;
    double m_total = 0.0;
    bool m_edited = false;
    QLineEdit* m_editOther = nullptr;
    QLineEdit* m_editTotal = nullptr;
    QLabel* m_labelOther = nullptr;
    QLabel* m_labelTotal = nullptr;
    CTQPropertyGrid* m_gridLeft = nullptr;
    CTQPropertyGrid* m_gridRight = nullptr;
    CTQArray<CTQPipeValve> m_catalog;
    // The caller's fittings that got an item of their own (the catalog does
    // not list them); a deque keeps the items' pointers valid as it grows.
    std::deque<CTQPipeValve> m_extra;
};
