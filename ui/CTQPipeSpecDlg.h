// CTQPipeSpecDlg: the pipe materials of one kind on the left, the sizes of
// the focused material on the right.
//
// Edited sizes are not written while the dialog is open: when the focus
// leaves a material whose sizes were edited, its size list is buffered in a
// material exchange file of its own in the temporary folder (kept in memory
// when the file cannot be written).  OK writes every change in one
// transaction and closes only after the commit; a failed or refused write
// rolls everything back and leaves the dialog open with the user's edits.
// Cancel writes nothing.  Temporary files go with their rows.
#pragma once

#include "TQRVNBaseExport.h"
#include "catalog/CTQArray.h"
#include "catalog/CTQPipeMatl.h"
#include "catalog/CTQPipeSpec.h"
#include "catalog/CatalogChecks.h"
#include "ui/CTQCatalogDlg.h"

#include <string>

class CTQGridRow;
class CTQReportGrid;

class TQRVNBASEUI_API CTQPipeSpecDlg : public CTQCatalogDlg {
public:
    /// kind: the material kind filter of the list (1 water, 2 plastic, 3 PPR
    /// pipe, other values all kinds below 5).
    CTQPipeSpecDlg(int kind, CADODatabase* db, QWidget* parent = nullptr);
    ~CTQPipeSpecDlg() override;

    int Kind() const { return m_kind; }
    CTQReportGrid* MaterialGrid() const { return m_gridLeft; }
    CTQReportGrid* SizeGrid() const { return m_gridRight; }

    /// "水管规格", "塑料管规格", "PPR管规格" or "管道规格".
    static QString TitleForKind(int kind);

    const CTQArray<long>& DeletedMaterials() const { return m_deletedMatls; }
    const CTQArray<long>& DeletedSizes() const { return m_deletedSpecs; }
    bool SizesChanged() const { return m_sizesChanged; }
    /// The temporary folder of the buffered size lists.
    const std::string& TempFolder() const { return m_tempFolder; }
    /// The buffer file of a material row ("" while it has none).
    static std::string BufferFileOf(const CTQGridRow* materialRow);
    /// The material a material row holds.
    static const CTQPipeMatl* MaterialOf(const CTQGridRow* materialRow);

protected:
    bool OnInitDialog() override;
    void OnOK() override;
    void CreateControls() override;
    void OnAddLeft() override;
    void OnDeleteLeft() override;
    void OnAddRight() override;
    void OnDeleteRight() override;

private:
    class MatlRow;
    class SpecRow;

    void MaterialFocusChanged();
    CTQArray<CTQPipeSpec> ReadSizeRows() const;
    bool BufferSizes(MatlRow* row, CTQArray<CTQPipeSpec>& specs);
    bool BufferedSizes(MatlRow* row, CTQArray<CTQPipeSpec>& specs);
    void ShowSizes(MatlRow* row);
    void AddSizeRow(const CTQPipeSpec& spec, int number);
    void Renumber();
    void CreateSizeColumns();
    MatlRow* AddMaterialRow(const CTQPipeMatl& matl);
    bool WriteCatalog(QString& error);
    /// Why the materials or one material's sizes cannot be stored, naming the row.
    QString NameRefusal(const RVN::TQEditCheck& check) const;
    QString SizeRefusal(const CTQPipeMatl& matl, const RVN::TQEditCheck& check) const;
    bool HasUnsavedEdits() const override;

    CTQReportGrid* m_gridLeft = nullptr;
    MatlRow* m_focusedMatl = nullptr; ///< the material whose sizes are shown
    CTQReportGrid* m_gridRight = nullptr;
    int m_kind;
    CTQArray<CTQPipeMatl> m_matls;
    CTQArray<long> m_deletedMatls;
    CTQArray<long> m_deletedSpecs;
    bool m_sizesChanged = false;
    bool m_edited = false; ///< materials added, deleted, renamed, or sizes buffered
    std::string m_tempFolder;
};
