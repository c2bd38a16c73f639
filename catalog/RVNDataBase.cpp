#include "catalog/RVNDataBase.h"

#include "catalog/CatalogSql.h"
#include "db/ADODatabase.h"
#include "db/ADOException.h"
#include "db/ADOFault.h"

#include <dlfcn.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstring>
#include <new>

namespace RVN {

namespace {

// The default connection and whether it belongs to the host.
CADODatabase* g_database = nullptr;
bool g_borrowed = false;

void DefaultSink(const std::string& text, const std::string& caption) {
    std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
}
MessageSink g_sink = DefaultSink;

// Connection string of the catalog; the provider keeps its historical name.
constexpr const char* kConnectionPrefix = "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=";
constexpr const char* kCatalogFile = "RVNDatasource.mdb";
constexpr const char* kHostProgram = "TqRVN.exe";
constexpr const char* kUserFolder = "User/";
constexpr const char* kMessageCaption = "青衡提示";

// The path as a connection-string value: quoted, with inner quotes doubled,
// when it could be read differently unquoted: a ';' or '"' would end or
// break the value, and blanks at either end would be trimmed.
std::string ConnectionValue(const std::string& path) {
    static const char* const kBlanks = " \t\r\n\f\v";
    const bool blankEnd = !path.empty() && (std::strchr(kBlanks, path.front()) != nullptr ||
                                            std::strchr(kBlanks, path.back()) != nullptr);
    if (!blankEnd && path.find_first_of(";\"") == std::string::npos) {
        return path;
    }
    std::string out = "\"";
    for (char c : path) {
        out += c;
        if (c == '"') {
            out += '"';
        }
    }
    out += '"';
    return out;
}

// Folder of the library's own file, ending with '/'; empty when the name has
// no '/'.  dladdr reports the file of the module holding this function, of
// any length.
std::string ModuleFolder() {
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&ModuleFolder), &info) == 0 || !info.dli_fname) {
        return std::string();
    }
    const std::string name = info.dli_fname;
    const std::size_t slash = name.rfind('/');
    return slash == std::string::npos ? std::string() : name.substr(0, slash + 1);
}

// The parent of the module folder: trailing '/' removed, then cut after the
// last '/' that remains; empty when none remains.
std::string InstallationFolder() {
    std::string folder = ModuleFolder();
    while (!folder.empty() && folder.back() == '/') {
        folder.pop_back();
    }
    const std::size_t slash = folder.rfind('/');
    return slash == std::string::npos ? std::string() : folder.substr(0, slash + 1);
}

// Releases the default connection as CloseRVNBaseDataBase does, whatever the
// result: an owned one is closed and deleted, a borrowed one left alone.
void ReleaseOwned() {
    if (g_borrowed || !g_database) {
        return;
    }
    CADODatabase* db = g_database;
    g_database = nullptr;
    try {
        db->Close();
    } catch (...) {
        // A failing close still frees the connection.
    }
    delete db;
}

} // namespace

bool LoadRVNBaseDataBase(const char* path) {
    CloseRVNBaseDataBase();
    // A borrowed connection stays with the host; only our pointer to it is replaced.
    g_database = nullptr;
    CADODatabase* db = nullptr;
    try {
        db = new CADODatabase();
        g_database = db;
        const std::string connection = kConnectionPrefix + ConnectionValue(path ? path : "");
        if (db->Open(connection, "", "")) {
            g_borrowed = false;
            return true;
        }
    } catch (CException* e) {
        const auto* ado = dynamic_cast<CADOException*>(e);
        ShowMessage(ado && !ado->m_strErrorString.empty() ? ado->m_strErrorString
                                                          : "打开数据库时发生错误。",
                    kMessageCaption);
        e->Delete();
    } catch (const std::bad_alloc&) {
        ShowMessage("内存不足，无法打开数据库。", kMessageCaption);
    }
    delete db;
    g_database = nullptr;
    return false;
}

std::unique_ptr<CADODatabase> OpenCatalogFile(const std::string& path, std::string& error) {
    struct stat st {};
    if (path.empty() || ::stat(path.c_str(), &st) != 0) {
        error = "no catalog at " + (path.empty() ? std::string("an empty path") : path);
        return nullptr;
    }
    if (S_ISDIR(st.st_mode)) {
        error = path + " is a folder, not a catalog file";
        return nullptr;
    }
    auto db = std::make_unique<CADODatabase>();
    // The engine reads the file only at the first statement: one that names
    // the material table tells a damaged file or another database at once.
    if (db->Open(kConnectionPrefix + ConnectionValue(path), "", "") &&
        db->Execute("SELECT 1 FROM Material WHERE 0 = 1")) {
        return db;
    }
    const ADOFault fault = ClassifyADOError(db->GetLastError(), db->GetLastErrorString());
    const char* words = ADOFaultText(fault);
    error = "cannot open the catalog " + path + ": " + (*words ? std::string(words) : db->GetLastErrorString());
    return nullptr;
}

void SetRVNBaseDataBase(CADODatabase* db) {
    if (db == g_database) {
        return;
    }
    ReleaseOwned();
    g_borrowed = true;
    g_database = db;
}

bool CloseRVNBaseDataBase() {
    if (g_borrowed) {
        return false;
    }
    if (!g_database) {
        return true;
    }
    ReleaseOwned();
    return true;
}

CADODatabase* GetRVNBaseDataBase() { return g_database; }

bool IsWorkingWithRVN(std::string& exePath) {
    const std::string candidate = InstallationFolder() + kHostProgram;
    struct stat st {};
    if (::stat(candidate.c_str(), &st) != 0) {
        return false;
    }
    exePath = candidate;
    return true;
}

bool GetRVNDir(std::string& dir) {
    dir = InstallationFolder();
    std::string scratch;
    return IsWorkingWithRVN(scratch);
}

const char* LibraryVersion() { return TQRVN_LIBRARY_VERSION; }

bool GetDataSourceFileName(std::string& file) {
    std::string scratch;
    if (IsWorkingWithRVN(scratch)) {
        file = InstallationFolder() + kUserFolder + kCatalogFile;
    } else {
        file = ModuleFolder() + kCatalogFile;
    }
    return true;
}

MessageSink SetMessageSink(MessageSink sink) {
    MessageSink previous = g_sink;
    g_sink = sink ? sink : DefaultSink;
    return previous;
}

void ShowMessage(const std::string& text, const std::string& caption) { g_sink(text, caption); }

namespace detail {
CADODatabase* ResolveDatabase(CADODatabase* db) { return db ? db : g_database; }
} // namespace detail

} // namespace RVN
