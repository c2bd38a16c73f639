// One standard size of a pipe material: a row of the catalog table "PipeSpec".
//
// Diameters and wall thickness in mm; the velocity range in m/s, the load
// range in the host's load unit (W in the shipped catalog), the
// specific-friction range in Pa/m.  A range whose two limits are both zero
// means "no limit" to the CanTake predicates.
#pragma once

#include "TQRVNBaseExport.h"

class CADODatabase;
class CADORecordset;
class CXTPPropExchange;

class TQRVNBASE_API CTQPipeSpec {
public:
    CTQPipeSpec();
    CTQPipeSpec(const CTQPipeSpec& src);
    CTQPipeSpec& operator=(const CTQPipeSpec& src);
    virtual ~CTQPipeSpec();

    // Virtual operations, in this order.
    /// Exchanges every member through the property exchange; always true.
    virtual bool DoPropExchange(CXTPPropExchange* px);
    /// Reads (read = true) or rewrites the row of the given ID.
    virtual bool UpdateData(long id, bool read, CADODatabase* db = nullptr);
    /// Row transfer on the current row of an open recordset.
    virtual bool UpdateData(CADORecordset* rs, bool read);
    /// Deletes the row of this record's ID.
    virtual bool Remove(CADODatabase* db = nullptr);
    /// Adds this record as a new row unless the material has this DN already.
    virtual bool Add(CADODatabase* db = nullptr);

    /// Deletes the row of an ID; -1 succeeds at once without a database.
    static bool Delete(long id, CADODatabase* db = nullptr);

    long GetID() const { return ID; }
    long GetMatlID() const { return MatlID; }
    void SetMatlID(long id) { MatlID = id; }

    // Range predicates.  CanTake: x within [Min, Max] widened by 1e-06
    // (both limits zero: any x in (-1, 1e30)).  IsLessThan: Max < x.
    // IsBiggerThan: Min > x.  Both strict, not widened.
    bool CanTakeH(double x) const;
    bool CanTakeV(double x) const;
    bool CanTakeR(double x) const;
    bool IsLessThanH(double x) const { return MaxH < x; }
    bool IsLessThanV(double x) const { return MaxV < x; }
    bool IsLessThanR(double x) const { return MaxR < x; }
    bool IsBiggerThanH(double x) const { return MinH > x; }
    bool IsBiggerThanV(double x) const { return MinV > x; }
    bool IsBiggerThanR(double x) const { return MinR > x; }

    int DN;           ///< nominal diameter; unique within one material
    double InsD;      ///< inner diameter, mm
    double OutD;      ///< outer diameter, mm
    double Thickness; ///< wall thickness, mm
    double MaxV;      ///< upper velocity limit, m/s
    double MinV;      ///< lower velocity limit, m/s
    double MaxH;      ///< upper load limit
    double MinH;      ///< lower load limit
    double MaxR;      ///< upper specific-friction limit, Pa/m
    double MinR;      ///< lower specific-friction limit, Pa/m
    long MatlID;      ///< ID of the owning material
    long ID;          ///< row key; -1 = not stored
    int Version;      ///< data version of the row

    static const char* const sTableName;
    static const char* const sFieldName_ID;
    static const char* const sFieldName_MATLID;
    static const char* const sFieldName_DN;
    static const char* const sFieldName_INSD;
    static const char* const sFieldName_OUTD;
    static const char* const sFieldName_THICKNESS;
    static const char* const sFieldName_MinV;
    static const char* const sFieldName_MAXV;
    static const char* const sFieldName_MINH;
    static const char* const sFieldName_MAXH;
    static const char* const sFieldName_MINR;
    static const char* const sFieldName_MAXR;
    static const char* const sFieldName_Version;
};

// Sizes compare by DN only.
TQRVNBASE_API bool operator==(const CTQPipeSpec& a, const CTQPipeSpec& b);
TQRVNBASE_API bool operator<(const CTQPipeSpec& a, const CTQPipeSpec& b);
TQRVNBASE_API bool operator>(const CTQPipeSpec& a, const CTQPipeSpec& b);
