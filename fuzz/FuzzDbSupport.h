// Shared set-up of the database fuzz targets: a catalog file in a private
// temporary folder, made once per process, and a way to abort on a broken
// invariant.
#pragma once

#include "db/ADODatabase.h"
#include "db/ADORecordset.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace fuzzdb {

inline void Check(bool condition, const char* what)
{
    if (!condition) {
        std::fprintf(stderr, "broken invariant: %s\n", what);
        std::abort();
    }
}

// The folder of this process's files, removed at exit.
inline const std::filesystem::path& Folder()
{
    static const std::filesystem::path folder = [] {
        std::string templ = (std::filesystem::temp_directory_path() / "tqrvn-fuzz-XXXXXX").string();
        Check(mkdtemp(templ.data()) != nullptr, "a temporary folder can be made");
        static struct Remover {
            std::filesystem::path p;
            ~Remover()
            {
                std::error_code ec;
                std::filesystem::remove_all(p, ec);
            }
        } remover{templ};
        return std::filesystem::path(templ);
    }();
    return folder;
}

// A connection to a catalog file (an empty file is an empty database) with
// a table of every kind of value and a few rows, nulls among them.
inline CADODatabase& Catalog()
{
    static CADODatabase* db = [] {
        const std::string path = (Folder() / "RVNDatasource.mdb").string();
        std::ofstream(path, std::ios::binary).flush();
        auto* d = new CADODatabase();
        Check(d->Open("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + path) != 0, "the catalog opens");
        Check(d->Execute("CREATE TABLE Kinds (ID INTEGER PRIMARY KEY AUTOINCREMENT, I2 SMALLINT, I4 INTEGER, "
                         "R8 DOUBLE, CY CURRENCY, DT DATETIME, YN BIT, T VARCHAR(20), M MEMO, BIN LONGBINARY);"
                         "INSERT INTO Kinds (I2, I4, R8, CY, DT, YN, T, M, BIN) VALUES "
                         "(1, 10, 0.5, 2.5, '2024-05-01 08:30:00', 1, 'abc', 'Size O''1', x'00FF'),"
                         "(-2, 20, -1e10, NULL, '1999-12-31 23:59:59', 0, 'ABD', NULL, NULL),"
                         "(NULL, 30, NULL, 0, NULL, NULL, NULL, 'memo', x''),"
                         "(4, -40, 3.25, -7.5, '2000-02-29 00:00:00', 1, 'b%_*?', '', x'424D');") != 0,
              "the table is made");
        return d;
    }();
    return *db;
}

inline void WriteFile(const std::string& path, const std::uint8_t* data, std::size_t size)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

}  // namespace fuzzdb
