// The catalog program's main window: previews, new catalogs from the seed
// data, copies, recent files, and material export and import with their
// refusals.
#include "UiFixture.h"

#include "ui/CatalogWindow.h"

#include "catalog/CatalogBuilder.h"
#include "catalog/CatalogCopy.h"
#include "db/ADODatabase.h"

#include "../PostgresServer.h"
#include "catalog/RVNDataBase.h"

#include <QApplication>
#include <QFileInfo>
#include <QTableView>
#include <QTimer>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

using tqrvn::ui::CatalogTable;
using tqrvn::ui::CatalogWindow;

class CatalogWindowTest : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        Seed();
        window_ = std::make_unique<CatalogWindow>(QString::fromStdString(RVN::SeedDataFolder()));
        ASSERT_TRUE(window_->Open(Q(path_)));
    }
    void TearDown() override {
        window_.reset();
        RVN::CloseRVNBaseDataBase();
        UiTest::TearDown();
    }
    static QString Q(const std::string& s) { return QString::fromStdString(s); }
    std::string File(const char* name) const { return dir_ + "/" + name; }
    // Selects a preview row, as a click does.
    void Choose(int row) {
        window_->PreviewView()->selectRow(row);
        QApplication::processEvents();
    }

    std::unique_ptr<CatalogWindow> window_;
};

TEST_F(CatalogWindowTest, PreviewsListEachTableReadOnly) {
    const auto& preview = window_->Preview();
    EXPECT_EQ(window_->CurrentTable(), CatalogTable::WaterPipe);
    ASSERT_EQ(preview.rowCount(), 2);
    EXPECT_EQ(preview.Text(0, 0), QStringLiteral("焊接钢管"));
    EXPECT_EQ(preview.Text(0, 4), QStringLiteral("3")) << "its size count";
    EXPECT_EQ(preview.RowId(1), 2);
    EXPECT_EQ(preview.headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(),
              QStringLiteral("名称"));
    EXPECT_FALSE(preview.flags(preview.index(0, 0)).testFlag(Qt::ItemIsEditable));

    window_->ShowTable(CatalogTable::PlasticPipe);
    ASSERT_EQ(preview.rowCount(), 1);
    EXPECT_EQ(preview.Text(0, 0), QStringLiteral("PE管"));
    window_->ShowTable(CatalogTable::Ducts);
    ASSERT_EQ(preview.rowCount(), 5);
    EXPECT_EQ(preview.Text(0, 0), QStringLiteral("圆形"));
    EXPECT_EQ(preview.Text(0, 1), QStringLiteral("100"));
    EXPECT_EQ(preview.Text(3, 2), QStringLiteral("200"));
    EXPECT_EQ(preview.Text(3, 3), QStringLiteral("0.5"))
        << "numbers with a point in the comma locale";
    EXPECT_TRUE(window_->AboutText().contains(QString::fromLatin1(RVN::LibraryVersion())));
    EXPECT_TRUE(window_->AboutText().contains(QStringLiteral("目录数据版本：1")));
}

TEST_F(CatalogWindowTest, ANewCatalogComesFromTheSeedDataAndIsRemembered) {
    if (RVN::SeedDataFolder().empty()) {
        GTEST_SKIP() << "no seed data beside this build";
    }
    const std::string fresh = File("new.mdb");
    ASSERT_TRUE(window_->NewCatalog(Q(fresh)))
        << (prompter_.notices.empty() ? "" : prompter_.notices.back().toStdString());
    EXPECT_EQ(window_->Path(), Q(fresh));
    EXPECT_GT(window_->Preview().rowCount(), 0) << "the seed materials";
    EXPECT_EQ(window_->RecentFiles().front(), Q(fresh));
    EXPECT_EQ(window_->RecentFiles().value(1), Q(path_));
    // The catalog in use is never overwritten by a new one.
    EXPECT_FALSE(window_->NewCatalog(Q(fresh)));
    EXPECT_TRUE(window_->Open(Q(path_)));
    EXPECT_EQ(window_->RecentFiles().front(), Q(path_));
}

TEST_F(CatalogWindowTest, ACopyHoldsTheCatalogAndReplacesAnOldFileWhole) {
    const std::string copy = File("copy.mdb");
    std::ofstream(copy) << "old";
    ASSERT_TRUE(window_->SaveCopy(Q(copy)));
    EXPECT_FALSE(std::filesystem::exists(copy + ".tqrvn-copy"));
    ASSERT_TRUE(window_->Open(Q(copy)));
    EXPECT_EQ(window_->Preview().rowCount(), 2);
    EXPECT_FALSE(window_->SaveCopy(Q(copy))) << "not over the catalog in use";
    // A folder that does not exist: refused, with a message.
    EXPECT_FALSE(window_->SaveCopy(Q(File("no/such/dir/c.mdb"))));
    EXPECT_FALSE(prompter_.notices.empty());
}

TEST_F(CatalogWindowTest, AMaterialExportsAndImportsOnlyUnderAFreeName) {
    const std::string file = File("matl.xml");
    EXPECT_FALSE(window_->ExportMaterial(Q(file))) << "nothing chosen";
    Choose(0);
    ASSERT_TRUE(window_->ExportMaterial(Q(file)));

    // The same name is in the catalog already: refused, nothing added.
    const std::size_t before = prompter_.notices.size();
    EXPECT_FALSE(window_->ImportMaterial(Q(file)));
    ASSERT_EQ(prompter_.notices.size(), before + 1);
    EXPECT_TRUE(prompter_.notices.back().contains(QStringLiteral("焊接钢管")))
        << prompter_.notices.back().toStdString();
    EXPECT_EQ(SqlNumber("select count(*) from Material"), 3);

    // Renamed in the catalog, the file comes back under new IDs with its sizes.
    Sql("update Material set Name = '焊接钢管 旧' where ID = 1");
    ASSERT_TRUE(window_->ImportMaterial(Q(file)));
    EXPECT_EQ(SqlNumber("select count(*) from PipeSpec p join Material m on p.MatlID = m.ID"
                        " where m.Name = '焊接钢管' and m.ID > 3"),
              3);

    // A file that is no material file says so.
    std::ofstream(File("junk.xml")) << "<x/>";
    EXPECT_FALSE(window_->ImportMaterial(Q(File("junk.xml"))));
    EXPECT_EQ(SqlNumber("select count(*) from Material"), 4);
}

TEST_F(CatalogWindowTest, EditingOpensTheMatchingDialog) {
    struct Case {
        CatalogTable table;
        const char* title;
    };
    for (const Case& c :
         {Case{CatalogTable::PlasticPipe, "塑料管规格"}, Case{CatalogTable::Ducts, "风管规格"},
          Case{CatalogTable::Steam, "饱和水蒸气的物理参数"}}) {
        window_->ShowTable(c.table);
        QString shown;
        QTimer::singleShot(0, [&shown] {
            if (QWidget* dlg = QApplication::activeModalWidget()) {
                shown = dlg->windowTitle();
                dlg->close();
            }
        });
        window_->EditCurrent();
        EXPECT_EQ(shown, QString::fromUtf8(c.title));
    }
}

TEST_F(CatalogWindowTest, AServerThatCannotBeOpenedIsToldWithoutItsPassword) {
    const std::string unreachable =
        "Provider=PostgreSQL;Host=" + dir_ + "/nowhere;Port=1;Database=c;User ID=u;Password=s3cret";
    EXPECT_FALSE(window_->OpenServer(Q(unreachable)));
    ASSERT_FALSE(prompter_.notices.empty());
    EXPECT_FALSE(prompter_.notices.back().contains(QStringLiteral("s3cret")))
        << prompter_.notices.back().toStdString();
    EXPECT_FALSE(window_->OpenServer(Q(path_))) << "a file is not a server";
    EXPECT_EQ(window_->Path(), QFileInfo(Q(path_)).absoluteFilePath()) << "the open catalog stays";
    EXPECT_EQ(RVN::GetRVNBaseDataBase() != nullptr, true);
    EXPECT_EQ(window_->Preview().rowCount(), 2);
}

TEST_F(CatalogWindowTest, AServerCatalogIsListedAndSavedAsAFile) {
    const std::string server = tqtest::ServerDatabase();
    if (server.empty()) {
        GTEST_SKIP() << tqtest::kNoServer;
    }
    {
        CADODatabase file, target;
        std::string error;
        ASSERT_TRUE(file.Open(RVN::CatalogConnectionString(path_)));
        ASSERT_TRUE(target.Open(server)) << target.GetLastErrorString();
        ASSERT_TRUE(tqtest::ResetServerDatabase(target)) << target.GetLastErrorString();
        std::ifstream in(RVN::SeedDataFolder() + "schema.sql");
        const std::string schema((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        ASSERT_TRUE(RVN::CopyCatalog(file, target, schema, true, error)) << error;
    }
    ASSERT_TRUE(window_->OpenServer(Q(server))) << prompter_.notices.back().toStdString();
    const std::size_t at = server.find("Password=");
    if (at != std::string::npos) {
        const std::size_t end = server.find(';', at);
        const std::string password =
            server.substr(at + 9, (end == std::string::npos ? server.size() : end) - at - 9);
        EXPECT_FALSE(password.empty() || window_->Path().contains(Q(password)))
            << "the title shows the server without its password";
    }
    EXPECT_EQ(window_->Preview().rowCount(), 2) << "the server's two steel-pipe materials";

    const std::string copy = File("site.mdb");
    ASSERT_TRUE(window_->SaveCopy(Q(copy))) << prompter_.notices.back().toStdString();
    ASSERT_TRUE(window_->Open(Q(copy)));
    EXPECT_EQ(window_->Preview().rowCount(), 2);
    EXPECT_EQ(window_->Preview().Text(0, 0), QStringLiteral("焊接钢管"));
    EXPECT_FALSE(std::filesystem::exists(copy + ".tqrvn-copy"));
}

} // namespace
