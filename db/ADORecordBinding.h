// CADORecordBinding: the base of a host's row structure whose members are
// bound to the columns of a recordset (CADORecordset::RecordBinding and
// AddNew(CADORecordBinding&)).
//
// A row structure derives from it and lists its bindings in BindColumns:
//
//   struct PipeRow : CADORecordBinding {
//       long id = -1;
//       int dn = 0;
//       std::string remark;
//       void BindColumns(Columns& c) override
//       {
//           c.Bind("ID", id, readOnly);   // an autonumber: read, never written
//           c.Bind("DN", dn);
//           c.Bind("Remark", remark);
//       }
//   };
//
// The list is asked for each time values move, so a copied structure binds
// its own members.  Reading follows the typed reads of CADORecordset (a null
// column gives 0, false, "" or a null date or amount; a value that does not
// fit its member leaves the member as it was); writing follows the typed
// writes (an empty text stores null).
#pragma once

#include "TQRVNBaseExport.h"
#include "db/provider/Variant.h"

#include <string>
#include <vector>

class TQRVNBASE_API CADORecordBinding {
public:
    enum BindKind { bindInt, bindLong, bindDouble, bindText, bindBool, bindDate, bindCurrency, bindVariant };
    // Binding options: readOnly members are filled from the row but never
    // written into a new row.
    enum BindOption { readWrite = 0, readOnly = 1 };

    struct Binding {
        std::string column;
        BindKind kind;
        void* member;
        int options;
    };

    class TQRVNBASE_API Columns {
    public:
        void Bind(const std::string& column, int& member, int options = readWrite);
        void Bind(const std::string& column, long& member, int options = readWrite);
        void Bind(const std::string& column, double& member, int options = readWrite);
        void Bind(const std::string& column, std::string& member, int options = readWrite);
        void Bind(const std::string& column, bool& member, int options = readWrite);
        void Bind(const std::string& column, RVNADO::DateTime& member, int options = readWrite);
        void Bind(const std::string& column, RVNADO::Currency& member, int options = readWrite);
        void Bind(const std::string& column, RVNADO::Variant& member, int options = readWrite);

        const std::vector<Binding>& List() const { return m_list; }

    private:
        std::vector<Binding> m_list;
    };

    CADORecordBinding() = default;
    CADORecordBinding(const CADORecordBinding&) = default;
    CADORecordBinding& operator=(const CADORecordBinding&) = default;
    virtual ~CADORecordBinding();

    // Lists the structure's bindings: column name, member, options.
    virtual void BindColumns(Columns& columns) = 0;

    // The bindings as listed now.
    std::vector<Binding> GetBindings();
};
