// Enumerations, status codes and the error exception of the database
// provider.  The provider mirrors the object model of ActiveX Data Objects
// (connections, recordsets, fields) on top of an embedded SQLite 3 engine, so
// the numeric values below are the familiar ADO and OLE DB ones.
#pragma once

#include "TQRVNBaseExport.h"

#include <cstdint>
#include <stdexcept>
#include <string>

namespace RVNADO {

// A 32-bit status code in the layout of an HRESULT: 0 is success, a set
// high bit a failure.
using HRESULT = std::int32_t;

// Status codes the provider reports.  Where an OLE DB or ADO code describes
// the failure it is used, so hosts that already know these values can keep
// their checks.
namespace Status {
inline constexpr HRESULT OK = 0;
inline constexpr HRESULT Fail = static_cast<HRESULT>(0x80004005u);            // unspecified error
inline constexpr HRESULT Pointer = static_cast<HRESULT>(0x80004003u);         // null object
inline constexpr HRESULT OutOfMemory = static_cast<HRESULT>(0x8007000Eu);
inline constexpr HRESULT InvalidArg = static_cast<HRESULT>(0x80070057u);
inline constexpr HRESULT CantConvertValue = static_cast<HRESULT>(0x80040E07u);
inline constexpr HRESULT SqlError = static_cast<HRESULT>(0x80040E14u);        // error in the command text
inline constexpr HRESULT DeletedRow = static_cast<HRESULT>(0x80040E23u);
inline constexpr HRESULT IntegrityViolation = static_cast<HRESULT>(0x80040E2Fu);
inline constexpr HRESULT NoTable = static_cast<HRESULT>(0x80040E37u);
inline constexpr HRESULT ReadOnlyFile = static_cast<HRESULT>(0x80040E09u);    // permission denied
inline constexpr HRESULT NoTransaction = static_cast<HRESULT>(0x8004D00Eu);
inline constexpr HRESULT InvalidArgument = static_cast<HRESULT>(0x800A0BB9u);  // argument out of range or of the wrong kind
inline constexpr HRESULT NoCurrentRecord = static_cast<HRESULT>(0x800A0BCDu);  // BOF or EOF, or row deleted
inline constexpr HRESULT NotUpdatable = static_cast<HRESULT>(0x800A0CB3u);     // recordset does not support updating
inline constexpr HRESULT ItemNotFound = static_cast<HRESULT>(0x800A0CC1u);     // no field of that name or ordinal
inline constexpr HRESULT ObjectOpen = static_cast<HRESULT>(0x800A0E79u);       // not allowed while open
inline constexpr HRESULT ObjectClosed = static_cast<HRESULT>(0x800A0E78u);     // not allowed while closed
inline constexpr HRESULT ProviderNotFound = static_cast<HRESULT>(0x800A0E7Au);
inline constexpr HRESULT IllegalOperation = static_cast<HRESULT>(0x800A0C93u);   // not allowed in this context
inline constexpr HRESULT OpeningFile = static_cast<HRESULT>(0x800A0BBAu);        // a file cannot be found or opened
inline constexpr HRESULT ReadFile = static_cast<HRESULT>(0x800A0BBBu);           // not a saved recordset, or damaged
inline constexpr HRESULT WriteFile = static_cast<HRESULT>(0x800A0BBCu);         // the file cannot be written
// A file locked by another user shares the desktop engine's unspecified
// error code; its description contains kLockedText.
inline constexpr HRESULT Locked = static_cast<HRESULT>(0x80004005u);
inline constexpr HRESULT DiskFull = static_cast<HRESULT>(0x80070070u);         // no space left on the disk
inline constexpr HRESULT Damaged = static_cast<HRESULT>(0x80070570u);          // the file is damaged or not a database
}  // namespace Status

// The words by which the description of a Status::Locked error tells it
// from other unspecified errors.
inline constexpr const char* kLockedText = "locked by another user or process";

// The provider's error: a status code, the name of the reporting object
// ("Source") and a description.  Every failing provider call throws it; the
// exported database classes catch it where they record errors.
class TQRVNBASE_API ComError : public std::runtime_error {
public:
    ComError(HRESULT code, std::string source, std::string description);

    HRESULT Error() const noexcept { return m_code; }
    const std::string& Source() const noexcept { return m_source; }
    const std::string& Description() const noexcept { return m_description; }
    // The system's text for the status code ("" when the table has none).
    std::string ErrorMessage() const;

private:
    HRESULT m_code;
    std::string m_source;
    std::string m_description;
};

// The name the exception has in the Windows toolchain; an underscore followed
// by a lower-case letter is a legal name inside a namespace.
using _com_error = ComError;

// The text of a status code in the provider's message table, without any
// trailing line break; "" when the code is not in the table.
TQRVNBASE_API std::string StatusMessage(HRESULT code);

// Throws ComError(E_POINTER) when p is null, else returns *p.
template <class Ptr>
auto& Deref(const Ptr& p)
{
    if (!p)
        throw ComError(Status::Pointer, "RVNADO", "The object has not been created.");
    return *p;
}

enum DataTypeEnum : int {
    adEmpty = 0,
    adTinyInt = 16,
    adSmallInt = 2,
    adInteger = 3,
    adBigInt = 20,
    adUnsignedTinyInt = 17,
    adUnsignedSmallInt = 18,
    adUnsignedInt = 19,
    adUnsignedBigInt = 21,
    adSingle = 4,
    adDouble = 5,
    adCurrency = 6,
    adDecimal = 14,
    adNumeric = 131,
    adBoolean = 11,
    adError = 10,
    adUserDefined = 132,
    adVariant = 12,
    adIDispatch = 9,
    adIUnknown = 13,
    adGUID = 72,
    adDate = 7,
    adDBDate = 133,
    adDBTime = 134,
    adDBTimeStamp = 135,
    adBSTR = 8,
    adChar = 129,
    adVarChar = 200,
    adLongVarChar = 201,
    adWChar = 130,
    adVarWChar = 202,
    adLongVarWChar = 203,
    adBinary = 128,
    adVarBinary = 204,
    adLongVarBinary = 205,
    adChapter = 136,
    adFileTime = 64,
    adPropVariant = 138,
    adVarNumeric = 139,
    adArray = 0x2000
};

enum FieldAttributeEnum : int {
    adFldUnspecified = -1,
    adFldMayDefer = 0x2,
    adFldUpdatable = 0x4,
    adFldUnknownUpdatable = 0x8,
    adFldFixed = 0x10,
    adFldIsNullable = 0x20,
    adFldMayBeNull = 0x40,
    adFldLong = 0x80,
    adFldRowID = 0x100,
    adFldRowVersion = 0x200,
    adFldCacheDeferred = 0x1000,
    adFldKeyColumn = 0x8000
};

enum CursorTypeEnum : int {
    adOpenUnspecified = -1,
    adOpenForwardOnly = 0,
    adOpenKeyset = 1,
    adOpenDynamic = 2,
    adOpenStatic = 3
};

enum CursorLocationEnum : int { adUseNone = 1, adUseServer = 2, adUseClient = 3 };

enum LockTypeEnum : int {
    adLockUnspecified = -1,
    adLockReadOnly = 1,
    adLockPessimistic = 2,
    adLockOptimistic = 3,
    adLockBatchOptimistic = 4
};

enum CommandTypeEnum : int {
    adCmdUnspecified = -1,
    adCmdText = 1,
    adCmdTable = 2,
    adCmdStoredProc = 4,
    adCmdUnknown = 8,
    adCmdFile = 256,
    adCmdTableDirect = 512
};

enum ExecuteOptionEnum : int { adOptionUnspecified = -1, adExecuteNoRecords = 0x80 };

enum ObjectStateEnum : int { adStateClosed = 0, adStateOpen = 1 };

enum AffectEnum : int { adAffectCurrent = 1, adAffectGroup = 2, adAffectAll = 3 };

enum EditModeEnum : int { adEditNone = 0, adEditInProgress = 1, adEditAdd = 2, adEditDelete = 4 };

// Positions reported instead of a row number.
enum PositionEnum : int { adPosUnknown = -1, adPosBOF = -2, adPosEOF = -3 };

enum SearchDirectionEnum : int { adSearchBackward = -1, adSearchForward = 1 };

enum PersistFormatEnum : int { adPersistADTG = 0, adPersistXML = 1 };

enum StringFormatEnum : int { adClipString = 2 };

enum ParameterDirectionEnum : int {
    adParamUnknown = 0,
    adParamInput = 1,
    adParamOutput = 2,
    adParamInputOutput = 3,
    adParamReturnValue = 4
};

}  // namespace RVNADO
