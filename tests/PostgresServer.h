// The PostgreSQL server of the test suite, for tests that run against it.
//
// test.sh starts a private server and sets TQRVN_TEST_POSTGRES to its
// connection string.  Each test program works in a database of its own on
// it, made at the first call of ServerDatabase and dropped when the program
// ends, so that programs run side by side.
#pragma once

#include "db/ADODatabase.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <unistd.h>

namespace tqtest {

inline const char* const kNoServer = "TQRVN_TEST_POSTGRES is not set (test.sh starts a server and "
                                     "sets it): the PostgreSQL case is skipped.";

// The server's connection string, "" when the suite has no server.
inline std::string ServerConnection() {
    const char* s = std::getenv("TQRVN_TEST_POSTGRES");
    return s != nullptr ? std::string(s) : std::string();
}

// The connection string with the database replaced by name.
inline std::string WithDatabase(const std::string& connection, const std::string& name) {
    std::string out;
    std::size_t p = 0;
    while (p < connection.size()) {
        std::size_t semi = connection.find(';', p);
        if (semi == std::string::npos)
            semi = connection.size();
        const std::string pair = connection.substr(p, semi - p);
        if (pair.rfind("Database=", 0) != 0)
            out += pair + ";";
        p = semi + 1;
    }
    return out + "Database=" + name;
}

// Runs one statement on the server's own database; false on failure.
inline bool OnMaintenanceDatabase(const std::string& sql) {
    CADODatabase admin;
    return admin.Open(ServerConnection()) && admin.Execute(sql);
}

// The connection string of this program's database ("" without a server).
inline const std::string& ServerDatabase() {
    static std::string connection;
    if (connection.empty() && !ServerConnection().empty()) {
        static const std::string name = "tqrvn_test_" + std::to_string(static_cast<long>(getpid()));
        OnMaintenanceDatabase("DROP DATABASE IF EXISTS " + name);
        if (OnMaintenanceDatabase("CREATE DATABASE " + name)) {
            connection = WithDatabase(ServerConnection(), name);
            std::atexit(
                [] { OnMaintenanceDatabase("DROP DATABASE IF EXISTS " + name + " WITH (FORCE)"); });
        }
    }
    return connection;
}

// Empties this program's database: every table, view and sequence goes.
inline bool ResetServerDatabase(CADODatabase& db) {
    return db.Execute("DROP SCHEMA public CASCADE; CREATE SCHEMA public");
}

// A program run for the server engine (TQRVN_TEST_ENGINE=postgres) without
// a server skips all its cases at once: a skip inside one fixture's set-up
// would not stop the set-up of a fixture derived from it.
class SkipWithoutServer : public ::testing::Environment {
public:
    void SetUp() override { GTEST_SKIP() << kNoServer; }
};

inline const bool kSkipWithoutServerRegistered = [] {
    const char* engine = std::getenv("TQRVN_TEST_ENGINE");
    if (engine != nullptr && std::string(engine) == "postgres" && ServerConnection().empty())
        ::testing::AddGlobalTestEnvironment(new SkipWithoutServer);
    return true;
}();

} // namespace tqtest
