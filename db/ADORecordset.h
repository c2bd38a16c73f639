// CADORecordset: a cursor over the rows of a query, a table or a saved query
// on a CADODatabase, with an edit state that guards writes and typed field
// access by name or by zero-based index.
//
// The usual pattern: construct on the connection, Open(sql), test
// GetRecordCount, read fields; or AddNew()/Edit(), SetFieldValue, Update();
// then Close or destroy.
//
// Open, Requery, Update, the field reads and writes, long data,
// AddNew(CADORecordBinding&), SetFilter, SetSort, Clone, SaveAsXML, OpenXML
// and Execute catch provider errors: they record them (GetLastError,
// GetLastErrorString, the text prefixed with the query) and return 0
// (false).  Moves, end tests, pages, positions, bookmarks, GetRecordCount,
// AddNew(), Edit, CancelUpdate, Delete, Close, IsOpen, Find, FindFirst,
// FindNext, RecordBinding, GetString, GetFieldCount and GetFieldInfo let
// RVNADO::ComError through.
//
// Used on the thread of its CADODatabase; no locks.
#pragma once

#include "TQRVNBaseExport.h"
#include "db/ADODatabase.h"
#include "db/ADORecordBinding.h"
#include "db/NumberText.h"
#include "db/provider/Bitmap.h"
#include "db/provider/RVNADO.h"

#include <cstddef>

#include <cstdint>
#include <string>

// Description of one field, filled by CADORecordset::GetFieldInfo.
class CADOCommand;

struct CADOFieldInfo {
    char m_strName[30];      // field name, at most 29 bytes, NUL-terminated, whole UTF-8 characters
    short m_nType;           // RVNADO::DataTypeEnum
    long m_lSize;            // bytes of the value in the current row; 0 at the end of the file
    long m_lDefinedSize;     // declared size
    long m_lAttributes;      // RVNADO::FieldAttributeEnum bits
    // Further description members, cleared and not filled by this layer.
    short m_nOrdinalPosition;
    bool m_bRequired;
    bool m_bAllowZeroLength;
    long m_lCollatingOrder;
};

class TQRVNBASE_API CADORecordset {
public:
    // Open options.
    enum cadoOpenEnum { openUnknown = 0, openQuery = 1, openTable = 2, openStoredProc = 3 };
    // Edit states.
    enum cadoEditEnum { dbEditNone = 0, dbEditNew = 1, dbEdit = 2 };
    // Search directions of Find.
    enum cadoSearchEnum { searchForward = 1, searchBackward = -1 };

    CADORecordset();
    explicit CADORecordset(CADODatabase* pAdoDatabase);
    // A copy shares the provider objects.
    CADORecordset(const CADORecordset& other);
    CADORecordset& operator=(const CADORecordset& other);
    ~CADORecordset();

    // Opens the text (option 0 or 1: SQL; 2: a table name; 3: a saved
    // query).  An empty text reruns the stored query; leading blanks are
    // removed.  1 on success, 0 with the error recorded, 0 at once for an
    // unknown option.
    int Open(RVNADO::ConnectionPtr mpdb, const std::string& lpstrExec = std::string(), int nOption = openUnknown);
    int Open(const std::string& lpstrExec = std::string(), int nOption = openUnknown);
    void Close();
    int IsOpen();
    int IsConnectionOpen();
    // Reads the rows again (other connections' writes show); 1 when not open.
    int Requery();

    void SetQuery(const std::string& strQuery) { m_strQuery = strQuery; }
    std::string GetQuery() { return m_strQuery; }
    RVNADO::RecordsetPtr GetRecordset() { return m_pRecordset; }
    RVNADO::ConnectionPtr GetActiveConnection() { return m_pConnection; }
    unsigned long GetLastError() { return m_dwLastError; }
    std::string GetLastErrorString() { return m_strLastError; }

    // ---- Navigation -----------------------------------------------------
    int IsEof();
    int IsEOF() { return IsEof(); }
    int IsBof();
    int IsBOF() { return IsBof(); }
    void MoveFirst();
    void MoveNext();
    void MovePrevious();
    void MoveLast();
    // The provider's count, or the rows counted by walking (the cursor then
    // stands on the first row).
    unsigned long GetRecordCount();
    // Pages and positions count the rows from 1 (filter and sort order
    // applied); before the first row the position is -2, after the last -3.
    long GetAbsolutePage();
    void SetAbsolutePage(int nPage);
    long GetPageCount();
    long GetPageSize();
    void SetPageSize(int nSize);
    long GetAbsolutePosition();
    void SetAbsolutePosition(int nPosition);
    // Remembers the current row; SetBookmark returns to it (0 when none was
    // remembered).
    void GetBookmark();
    int SetBookmark();

    // ---- Search, filter, sort, copies, files ------------------------------
    // Moves to the next row (searchForward, from the current one) or the
    // previous one (searchBackward) for which "Column op value" holds:
    // op one of =, <>, <, >, <=, >=, LIKE (wildcards * or % and _ or ?),
    // value a number, a 'text' ('' for a quote) or a #date#.  1 when found
    // (the row is remembered for FindNext); 0 at the end (beginning) of the
    // file.  Another direction gives 0 and resets the direction to forward.
    // A criterion that cannot be read raises RVNADO::ComError.
    int Find(const std::string& lpFind, int nSearchDirection = searchForward);
    // Find from the first row, forward.
    int FindFirst(const std::string& lpFind);
    // The next match of the last criterion, in its direction, after the
    // last row found (from the current row when none was found yet).
    int FindNext();
    // Shows only the rows whose comparisons, joined by AND and OR and
    // grouped with parentheses, hold; "" shows every row again.
    int SetFilter(const std::string& strFilter);
    // "Col [ASC|DESC], ..." over the snapshot; "" restores the query's order.
    int SetSort(const std::string& lpstrCriteria);
    // The target's recordset becomes a second cursor over these rows (only
    // that member of the target changes): it moves on its own and shows the
    // edits made through either.
    int Clone(CADORecordset& pRs);
    // Saves the rows (filter and sort order applied) with their field
    // descriptions as an XML file, replacing the file.
    int SaveAsXML(const std::string& lpstrXMLFile);
    // Opens a file written by SaveAsXML; its rows are read-only.
    int OpenXML(const std::string& lpstrXMLFile);
    // numRecords rows (0: all) from the current one as text: fields
    // separated by lpCols (a tab when empty), rows ended by lpRows (a
    // carriage return when empty), null fields as lpNull.  The cursor moves
    // past the rows given.
    std::string GetString(const std::string& lpCols, const std::string& lpRows, const std::string& lpNull,
                          long numRecords = 0);
    // Runs a command into this recordset (closed first).
    int Execute(CADOCommand* pAdoCommand);

    // ---- Editing --------------------------------------------------------
    // Starts a new row; its autonumber can be read at once.
    int AddNew();
    // Starts editing the current row (no provider call).
    void Edit() { m_nEditStatus = dbEdit; }
    // Stores the pending row: 1 when stored or when nothing is pending; 0
    // with the error recorded, the stored row unchanged and the edit dropped.
    int Update();
    void CancelUpdate();
    // Deletes the current row from its table.
    int Delete();
    // Binds a row structure to the open recordset: it receives the current
    // row now and after every move.  A column it names that the recordset
    // lacks raises RVNADO::ComError.  The structure must outlive the binding,
    // which ends with Close, the next Open or the next RecordBinding.
    int RecordBinding(CADORecordBinding& pAdoRecordBinding);
    // Adds a row from the members of a row structure and stores it; the
    // structure then holds the stored row (its autonumber included).  0 with
    // the error recorded without a RecordBinding first, or when the row
    // cannot be stored (nothing is left behind).
    int AddNew(CADORecordBinding& pAdoRecordBinding);

    // ---- Fields -----------------------------------------------------------
    RVNADO::FieldsPtr GetFields();
    RVNADO::FieldPtr GetField(int nIndex);
    RVNADO::FieldPtr GetField(const std::string& lpFieldName);
    long GetFieldCount();
    std::string GetFieldName(int nIndex);
    long GetFieldAttributes(int nIndex);
    long GetFieldAttributes(const std::string& lpFieldName);
    long GetFieldDefineSize(int nIndex);
    long GetFieldDefineSize(const std::string& lpFieldName);
    long GetFieldActualSize(int nIndex);
    long GetFieldActualSize(const std::string& lpFieldName);
    RVNADO::DataTypeEnum GetFieldType(int nIndex);
    RVNADO::DataTypeEnum GetFieldType(const std::string& lpFieldName);
    int GetFieldInfo(int nIndex, CADOFieldInfo* fldInfo);
    int GetFieldInfo(const std::string& lpFieldName, CADOFieldInfo* fldInfo);

    // Reads a field of the current row.  A null field gives 0, false, "" or
    // a null date or amount with 1.  0 (output untouched) when the value's
    // kind cannot become the output type or does not fit it, and with the
    // error recorded when the field or the row does not exist.
    int GetFieldValue(int nIndex, double& dbValue);
    int GetFieldValue(const std::string& lpFieldName, double& dbValue);
    int GetFieldValue(int nIndex, long& lValue);
    int GetFieldValue(const std::string& lpFieldName, long& lValue);
    int GetFieldValue(int nIndex, unsigned long& ulValue);
    int GetFieldValue(const std::string& lpFieldName, unsigned long& ulValue);
    int GetFieldValue(int nIndex, int& nValue);
    int GetFieldValue(const std::string& lpFieldName, int& nValue);
    int GetFieldValue(int nIndex, std::string& strValue, const std::string& strDateFormat = std::string());
    int GetFieldValue(const std::string& lpFieldName, std::string& strValue,
                      const std::string& strDateFormat = std::string());
    int GetFieldValue(int nIndex, RVNADO::DateTime& time);
    int GetFieldValue(const std::string& lpFieldName, RVNADO::DateTime& time);
    int GetFieldValue(int nIndex, bool& bValue);
    int GetFieldValue(const std::string& lpFieldName, bool& bValue);
    int GetFieldValue(int nIndex, RVNADO::Currency& cyValue);
    int GetFieldValue(const std::string& lpFieldName, RVNADO::Currency& cyValue);
    int GetFieldValue(int nIndex, RVNADO::Variant& vtValue);
    int GetFieldValue(const std::string& lpFieldName, RVNADO::Variant& vtValue);

    int IsFieldNull(int nIndex);
    int IsFieldNull(const std::string& lpFieldName);
    int IsFieldEmpty(int nIndex);
    int IsFieldEmpty(const std::string& lpFieldName);

    // Writes a field of the pending row: 0 without AddNew or Edit first;
    // 0 with the error recorded when the provider refuses the value.  An
    // empty text stores null.  An int is stored in full (32 bits), a long
    // in full (64 bits).
    int SetFieldValue(int nIndex, int nValue);
    int SetFieldValue(const std::string& lpFieldName, int nValue);
    int SetFieldValue(int nIndex, long lValue);
    int SetFieldValue(const std::string& lpFieldName, long lValue);
    int SetFieldValue(int nIndex, unsigned long ulValue);
    int SetFieldValue(const std::string& lpFieldName, unsigned long ulValue);
    int SetFieldValue(int nIndex, double dblValue);
    int SetFieldValue(const std::string& lpFieldName, double dblValue);
    int SetFieldValue(int nIndex, const std::string& strValue);
    int SetFieldValue(const std::string& lpFieldName, const std::string& strValue);
    int SetFieldValue(int nIndex, const char* lpValue);
    int SetFieldValue(const std::string& lpFieldName, const char* lpValue);
    int SetFieldValue(int nIndex, const RVNADO::DateTime& time);
    int SetFieldValue(const std::string& lpFieldName, const RVNADO::DateTime& time);
    int SetFieldValue(int nIndex, bool bValue);
    int SetFieldValue(const std::string& lpFieldName, bool bValue);
    int SetFieldValue(int nIndex, const RVNADO::Currency& cyValue);
    int SetFieldValue(const std::string& lpFieldName, const RVNADO::Currency& cyValue);
    int SetFieldValue(int nIndex, const RVNADO::Variant& vtValue);
    int SetFieldValue(const std::string& lpFieldName, const RVNADO::Variant& vtValue);
    int SetFieldEmpty(int nIndex);
    int SetFieldEmpty(const std::string& lpFieldName);

    // ---- Long data (fields with the long-data attribute 0x80) ------------
    // The whole value into a buffer that holds GetFieldActualSize bytes.
    int GetChunk(int nIndex, void* lpData);
    int GetChunk(const std::string& lpFieldName, void* lpData);
    // The same into a buffer of nCapacity bytes: 0 with the error recorded
    // when the value does not fit.
    int GetChunk(int nIndex, void* lpData, std::size_t nCapacity);
    int GetChunk(const std::string& lpFieldName, void* lpData, std::size_t nCapacity);
    int GetChunk(int nIndex, std::string& strValue);
    int GetChunk(const std::string& lpFieldName, std::string& strValue);
    // The BMP file image the field holds, as a 32-bit image.  0 (bitmap
    // untouched) unless the field is long data holding a well-formed BMP
    // image whose offsets and sizes lie within the value.
    int GetChunk(int nIndex, RVNADO::CBitmap& bitmap);
    int GetChunk(const std::string& lpFieldName, RVNADO::CBitmap& bitmap);
    // Appends bytes to the pending value (AddNew or Edit first; the first
    // piece of an edit replaces the value).
    int AppendChunk(int nIndex, const void* lpData, unsigned int nBytes);
    int AppendChunk(const std::string& lpFieldName, const void* lpData, unsigned int nBytes);
    // Appends the whole file; 0 when the field is not long data or the file
    // cannot be read whole.
    int AppendChunk(int nIndex, const std::string& lpszFileName);
    int AppendChunk(const std::string& lpFieldName, const std::string& lpszFileName);
    // Stores the bitmap as a complete 32-bit BMP file image; 0 for a null
    // or malformed bitmap.
    int AppendChunk(int nIndex, RVNADO::HBITMAP hBitmap);
    int AppendChunk(const std::string& lpFieldName, RVNADO::HBITMAP hBitmap);

    // The provider objects.
    RVNADO::RecordsetPtr m_pRecordset;
    RVNADO::CommandPtr m_pCmd;

protected:
    // The common step of every field write: field by name (text variant) or
    // by index (integer variant).
    int PutFieldValue(const RVNADO::Variant& vtIndex, const RVNADO::Variant& vtField);
    // Records a caught provider error with the query in front.
    void dump_com_error(const RVNADO::ComError& e);
    // Long data of a field in pieces of 100 bytes: the whole value into a
    // buffer of at least nCapacity bytes, or as text.
    int GetChunk(const RVNADO::FieldPtr& pField, void* lpData, std::size_t nCapacity);
    int GetChunk(const RVNADO::FieldPtr& pField, std::string& strValue);
    int AppendChunk(const RVNADO::FieldPtr& pField, const void* lpData, unsigned int nBytes);

    RVNADO::ConnectionPtr m_pConnection;
    int m_nSearchDirection = 1;
    std::string m_strFind;
    RVNADO::Variant m_varBookFind;
    RVNADO::Variant m_varBookmark;
    int m_nEditStatus = dbEditNone;
    std::string m_strLastError;
    std::uint32_t m_dwLastError = 0;
    CADORecordBinding* m_pRecBinding = nullptr;  // the row structure bound by RecordBinding
    std::string m_strQuery;

private:
    // The value of a field of the current row; throws ComError.
    const RVNADO::Variant& FieldValue(int nIndex);
    const RVNADO::Variant& FieldValue(const std::string& lpFieldName);
    int RecordError(const std::exception& e);
    // Runs one caught operation: its result, or 0 with a provider error or
    // any other failure recorded as the last error.
    template <class Operation>
    int Guarded(Operation&& operation)
    {
        try {
            return operation();
        } catch (const RVNADO::ComError& e) {
            dump_com_error(e);
        } catch (const std::exception& e) {
            RecordError(e);
        }
        return 0;
    }
    // Copies the current row into the bound row structure, if any.
    void RefreshBinding();
    RVNADO::FieldPtr FieldForChunk(int nIndex);
    RVNADO::FieldPtr FieldForChunk(const std::string& lpFieldName);
    int GetBitmap(const RVNADO::FieldPtr& pField, RVNADO::CBitmap& bitmap);
    int AppendFile(const RVNADO::FieldPtr& pField, const std::string& lpszFileName);
    int AppendBitmap(const RVNADO::FieldPtr& pField, RVNADO::HBITMAP hBitmap);
};
