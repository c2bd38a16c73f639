// A pipe material (a row of the catalog table "Material") and the manager
// that lists materials and their sizes and exchanges a material with its
// sizes as an XML file.
#pragma once

#include "TQRVNBaseExport.h"
#include "catalog/CTQArray.h"
#include "catalog/CTQPipeSpec.h"

#include <string>

class CADODatabase;
class CADORecordset;
class CXTPPropExchange;

class TQRVNBASE_API CTQPipeMatl {
public:
    CTQPipeMatl();
    CTQPipeMatl(const CTQPipeMatl& src);
    CTQPipeMatl& operator=(const CTQPipeMatl& src);
    virtual ~CTQPipeMatl();

    // Virtual operations, in this order.
    /// Exchanges every member through the property exchange; always true.
    virtual bool DoPropExchange(CXTPPropExchange* px);
    /// Reads (read = true) or rewrites the row of the given name.
    virtual bool UpdateData(const char* name, bool read, CADODatabase* db = nullptr);
    /// Reads (read = true) or rewrites the row of the given ID.
    virtual bool UpdateData(long id, bool read, CADODatabase* db = nullptr);
    /// Row transfer on the current row of an open recordset.
    virtual bool UpdateData(CADORecordset* rs, bool read);
    /// Deletes the row of this record's ID (its sizes stay).
    virtual bool Remove(CADODatabase* db = nullptr);
    /// Adds this record as a new row unless a material of this name exists.
    virtual bool Add(CADODatabase* db = nullptr);

    /// Deletes the material row of an ID.
    static bool Delete(long id, CADODatabase* db = nullptr);

    long GetID() const { return ID; }
    int GetVersion() const { return Version; }

    /// This material's sizes ordered by DN (all, or dnMin..dnMax with 0 for an open end).
    int GetAllSpec(CTQArray<CTQPipeSpec>& specs, CADODatabase* db = nullptr);
    int GetAllSpec(CTQArray<CTQPipeSpec>& specs, int dnMin, int dnMax, CADODatabase* db = nullptr);
    /// This material's size of one DN.
    bool GetSpec(CTQPipeSpec& spec, int dn, CADODatabase* db = nullptr);

    int Type;            ///< 1 water pipe, 2 plastic pipe, 3 PPR pipe
    std::string Name;    ///< unique within the table
    std::string Unit;    ///< unit text, stored as it is
    std::string Mark;    ///< designation shown beside the name ("DN", "De", ...)
    int Symbol;          ///< integer attribute, stored as it is
    double K;            ///< roughness value, stored as it is
    double Density;      ///< stored as it is
    std::string Comment; ///< free text
    double Param1;       ///< spare numeric parameter
    std::string Param2;  ///< spare text parameter
    std::string Param3;  ///< spare text parameter
    long ID;             ///< row key; -1 = not stored
    int Version;         ///< data version of the row

    static const char* const sTableName;
    static const char* const sFieldName_ID;
    static const char* const sFieldName_TYPE;
    static const char* const sFieldName_NAME;
    static const char* const sFieldName_UNIT;
    static const char* const sFieldName_Mark;
    static const char* const sFieldName_Symbol;
    static const char* const sFieldName_K;
    static const char* const sFieldName_Density;
    static const char* const sFieldName_Comment;
    static const char* const sFieldName_PARAM1;
    static const char* const sFieldName_PARAM2;
    static const char* const sFieldName_PARAM3;
    static const char* const sFieldName_Version;
};

// Materials are equal when they have the same stored ID, or else the same
// name.  The orders test the IDs first and fall back to the names.
TQRVNBASE_API bool operator==(const CTQPipeMatl& a, const CTQPipeMatl& b);
TQRVNBASE_API bool operator<(const CTQPipeMatl& a, const CTQPipeMatl& b);
TQRVNBASE_API bool operator>(const CTQPipeMatl& a, const CTQPipeMatl& b);

class TQRVNBASE_API CTQPipeMatlManager {
public:
    /// Materials of one category ordered by name: type <= 0 lists categories
    /// below 5, type 4 lists category 1.  0 without a connection (array untouched).
    static int GetAllMatl(CTQArray<CTQPipeMatl>& matls, int type, CADODatabase* db = nullptr);
    /// The material of a name.
    static bool GetMatl(CTQPipeMatl& matl, const char* name, CADODatabase* db = nullptr);
    /// The sizes of a material ordered by DN.
    static int GetAllSpec(CTQArray<CTQPipeSpec>& specs, long matlId, CADODatabase* db = nullptr);
    /// The sizes of a material with dnMin <= DN <= dnMax (0 leaves that end open).
    static int GetAllSpec(CTQArray<CTQPipeSpec>& specs, long matlId, int dnMin, int dnMax,
                          CADODatabase* db = nullptr);
    /// The size of a material with one DN.
    static bool GetSpec(CTQPipeSpec& spec, long matlId, int dn, CADODatabase* db = nullptr);

    /// Writes a material and its sizes to an XML file, whole or not at all;
    /// false when the file could not be written (an earlier file of that
    /// name is then left as it was).
    static bool SaveMatlToXML(CTQPipeMatl& matl, CTQArray<CTQPipeSpec>& specs, const char* path);
    /// The same, with the reason of a failure in error.
    static bool SaveMatlToXML(CTQPipeMatl& matl, CTQArray<CTQPipeSpec>& specs, const char* path,
                              std::string& error);
    /// Reads a material and its sizes from an XML file; false, with both
    /// unchanged, when the file cannot be loaded or is not a material file.
    static bool LoadMatlFromXML(CTQPipeMatl& matl, CTQArray<CTQPipeSpec>& specs, const char* path);
    /// The same, with the reason of a failure in error.
    static bool LoadMatlFromXML(CTQPipeMatl& matl, CTQArray<CTQPipeSpec>& specs, const char* path,
                                std::string& error);
};
