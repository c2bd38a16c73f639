// "tqrvn catalog create" on a server and "tqrvn catalog copy": the seed
// catalog is built as a file and copied, and every copy goes through the
// library's RVN::CopyCatalog.
#include "catalog_commands.h"
#include "library_faults.h"

#include "catalog/CatalogBuilder.h"
#include "catalog/CatalogCopy.h"
#include "db/ADODatabase.h"

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace tqrvn {

namespace {

bool ReadText(const std::string& path, std::string& text) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    text = s.str();
    return static_cast<bool>(in) || !text.empty();
}

bool Open(CADODatabase& db, const std::string& name, const char* role, std::ostream& err) {
    db.SetConnectionTimeout(30);
    if (db.Open(RVN::CatalogConnectionString(name))) {
        return true;
    }
    err << "tqrvn: cannot open the " << role
        << " catalog: " << DescribeDatabaseError(db.GetLastError(), db.GetLastErrorString())
        << "\n";
    return false;
}

// A copy into a catalog file that does not exist yet starts from an empty
// file, which the engine opens as an empty database; it is removed again when
// the copy fails.
int Copy(const std::string& from, const std::string& to, const std::string& schema, bool force,
         std::ostream& err) {
    const bool newFile = !RVN::IsServerCatalog(to) && !std::filesystem::exists(to);
    if (newFile && !std::ofstream(to, std::ios::binary)) {
        err << "tqrvn: cannot create " << to << "\n";
        return kCatalogError;
    }
    bool ok = false;
    {
        CADODatabase source, target;
        std::string error;
        ok = Open(source, from, "source", err) && Open(target, to, "target", err);
        if (ok && !RVN::CopyCatalog(source, target, schema, force, error)) {
            err << "tqrvn: " << error << "\n";
            ok = false;
        }
    }
    if (!ok && newFile) {
        std::error_code ec;
        std::filesystem::remove(to, ec);
    }
    return ok ? 0 : kCatalogError;
}

} // namespace

int CatalogCreateOnServer(const std::string& connection, const std::string& dataDir, bool force,
                          std::ostream& out, std::ostream& err) {
    std::string schema;
    if (!ReadText((std::filesystem::path(dataDir) / "schema.sql").string(), schema)) {
        err << "tqrvn: cannot read " << dataDir << "/schema.sql\n";
        return kCatalogError;
    }
    std::error_code ec;
    const auto dir =
        std::filesystem::temp_directory_path(ec) / ("tqrvn-seed-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir, ec);
    const std::string seed = (dir / "RVNDatasource.mdb").string();
    std::string error;
    int status = kCatalogError;
    if (!RVN::BuildCatalog(seed, dataDir, true, error)) {
        err << "tqrvn: " << error << "\n";
    } else {
        status = Copy(seed, connection, schema, force, err);
    }
    std::filesystem::remove_all(dir, ec);
    if (status == 0) {
        out << "created the catalog on the server\n";
    }
    return status;
}

int CatalogCopy(const std::string& from, const std::string& to, const std::string& dataDir,
                bool force, std::ostream& out, std::ostream& err) {
    std::string schema;
    ReadText((std::filesystem::path(dataDir) / "schema.sql").string(), schema);
    const int status = Copy(from, to, schema, force, err);
    if (status == 0) {
        out << "copied the catalog\n";
    }
    return status;
}

} // namespace tqrvn
