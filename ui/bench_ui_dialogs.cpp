// Speed of the pipe size dialog on a catalog of 200 materials with 30 sizes
// each, on the off-screen platform:
//   BM_ShowPipeSpecDlg: from RVN::ShowPipeSpecDlg to the dialog shown;
//   BM_MaterialFocusChange: an edited size list buffered and the next
//   material's sizes shown.
#include "TQRVNBase.h"
#include "ui/TQRVNBaseUI.h"

#include "catalog/CatalogBuilder.h"

#include <QApplication>
#include <QTimer>

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>

#include <unistd.h>

namespace {

std::string g_catalog;

// The library's empty catalog, filled with 200 water-pipe materials of 30
// sizes each.
bool BuildCatalog(const std::string& path) {
    std::string error;
    if (!RVN::BuildEmptyCatalog(path, RVN::SeedDataFolder(), true, error)) {
        std::fprintf(stderr, "bench_ui_dialogs: %s\n", error.c_str());
        return false;
    }
    sqlite3* db = nullptr;
    if (sqlite3_open(path.c_str(), &db) != SQLITE_OK) {
        sqlite3_close(db);
        return false;
    }
    std::ostringstream sql;
    sql << "BEGIN;\n";
    for (int m = 1; m <= 200; ++m) {
        sql << "insert into Material (ID, Type, Name, Unit, Symbol, K, Mark, Density, Version) "
               "values ("
            << m << ", 1, 'material " << 1000 + m << "', 'W', 2, 0.2, 'DN', 7850, 1);\n";
        for (int s = 0; s < 30; ++s) {
            sql << "insert into PipeSpec (MatlID, DN, InsD, OutD, Thickness, MinV, MaxV, MinH, "
                   "MaxH, MinR, MaxR, Version)"
                << " values (" << m << ", " << 10 + 5 * s << ", " << 8.5 + 5 * s << ", "
                << 14 + 5 * s << ", 2.75, 0.3, 1.5, 0, 0, 60, 300, 1);\n";
        }
    }
    sql << "COMMIT;\n";
    char* msg = nullptr;
    const bool ok = sqlite3_exec(db, sql.str().c_str(), nullptr, nullptr, &msg) == SQLITE_OK;
    sqlite3_free(msg);
    sqlite3_close(db);
    return ok;
}

class QuietPrompter : public CTQPrompter {
public:
    bool Confirm(QWidget*, const QString&, const QString&) override { return false; }
    void Tell(QWidget*, const QString&, const QString&, Icon) override {}
} g_quiet;

void BM_ShowPipeSpecDlg(benchmark::State& state) {
    CADODatabase db;
    if (!db.Open("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + g_catalog)) {
        state.SkipWithError("catalog does not open");
        return;
    }
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        double seconds = 0;
        QTimer::singleShot(0, [&] {
            seconds =
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            if (QWidget* dlg = QApplication::activeModalWidget()) {
                dlg->close();
            }
        });
        RVN::ShowPipeSpecDlg(1, &db);
        state.SetIterationTime(seconds);
    }
    db.Close();
}
BENCHMARK(BM_ShowPipeSpecDlg)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_MaterialFocusChange(benchmark::State& state) {
    CADODatabase db;
    if (!db.Open("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + g_catalog)) {
        state.SkipWithError("catalog does not open");
        return;
    }
    {
        CTQPipeSpecDlg dlg(1, &db);
        dlg.show();
        QApplication::processEvents();
        CTQReportGrid* matls = dlg.MaterialGrid();
        CTQReportGrid* sizes = dlg.SizeGrid();
        int next = 1;
        double value = 10.0;
        for (auto _ : state) {
            // An edit, then the focus moves on: the edited list is buffered
            // and the next material's sizes are shown.
            sizes->SetNumber(sizes->topLevelItem(0), 2, value += 0.25);
            matls->setCurrentItem(matls->topLevelItem(next));
            next = next == 1 ? 0 : 1;
        }
        dlg.reject();
    }
    db.Close();
}
BENCHMARK(BM_MaterialFocusChange)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("tqrvn-bench-ui-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    setenv("XDG_CONFIG_HOME", dir.c_str(), 1);
    setenv("XDG_RUNTIME_DIR", dir.c_str(), 1);
    std::filesystem::permissions(dir, std::filesystem::perms::owner_all);
    g_catalog = (dir / "RVNDatasource.mdb").string();
    int rc = 1;
    if (BuildCatalog(g_catalog)) {
        QApplication app(argc, argv);
        RVN::SetPrompter(&g_quiet);
        benchmark::Initialize(&argc, argv);
        benchmark::RunSpecifiedBenchmarks();
        benchmark::Shutdown();
        rc = 0;
    }
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
    return rc;
}
