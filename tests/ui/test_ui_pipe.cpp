// The pipe size dialog against real catalog files.
#include "UiFixture.h"

#include "ui/CTQPipeSpecDlg.h"
#include "ui/RVNDialogs.h"

#include "catalog/RVNDataBase.h"

#include <QApplication>
#include <QHeaderView>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

namespace {

enum { kNo, kDN, kInsD, kThickness, kMinV, kMaxV, kMinR, kMaxR };

class PipeDlgTest : public UiTest {
protected:
    std::unique_ptr<CTQPipeSpecDlg> Open(int kind, CADODatabase* db) {
        auto dlg = std::make_unique<CTQPipeSpecDlg>(kind, db);
        dlg->show();
        QApplication::processEvents();
        return dlg;
    }
    std::unique_ptr<CTQPipeSpecDlg> Open(int kind = 1) { return Open(kind, db_.get()); }

    static void Focus(CTQPipeSpecDlg& dlg, int materialPosition) {
        dlg.MaterialGrid()->setCurrentItem(dlg.MaterialGrid()->topLevelItem(materialPosition));
        QApplication::processEvents();
    }

    long long SpecCount() { return SqlNumber("select count(*) from PipeSpec"); }
    long long MatlCount() { return SqlNumber("select count(*) from Material"); }
};

TEST_F(PipeDlgTest, TitlesColumnsAndControlsByKind) {
    Seed();
    auto plastic = Open(2);
    EXPECT_EQ(plastic->windowTitle(), QStringLiteral("塑料管规格"));
    EXPECT_EQ(plastic->SizeGrid()->headerItem()->text(kDN), QStringLiteral("公称外径"));
    ASSERT_EQ(plastic->MaterialGrid()->topLevelItemCount(), 1);
    EXPECT_EQ(plastic->MaterialGrid()->topLevelItem(0)->text(0), QStringLiteral("PE管"));
    EXPECT_EQ(plastic->MaterialGrid()->topLevelItem(0)->text(1), QStringLiteral("dn"));

    auto all = Open(0);
    EXPECT_EQ(all->windowTitle(), QStringLiteral("管道规格"));
    EXPECT_EQ(all->SizeGrid()->headerItem()->text(kDN), QStringLiteral("DN"));
    EXPECT_EQ(all->MaterialGrid()->topLevelItemCount(), 3);
    EXPECT_EQ(Open(1)->windowTitle(), QStringLiteral("水管规格"));
    EXPECT_EQ(Open(3)->windowTitle(), QStringLiteral("PPR管规格"));

    const auto& columns = all->SizeGrid()->Columns();
    ASSERT_EQ(columns.size(), 8u);
    const char* captions[] = {"序号", "DN", "内径(mm)", "壁厚(mm)", "minV", "maxV", "minR", "maxR"};
    const int widths[] = {35, 35, 60, 50, 50, 50, 50, 50};
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(columns[static_cast<std::size_t>(i)].caption, QString::fromUtf8(captions[i]));
        EXPECT_EQ(columns[static_cast<std::size_t>(i)].relativeWidth, widths[i]);
    }
    EXPECT_EQ(columns[kMaxV].tooltip, QStringLiteral("最大流速\r\n单位m/s"));
    EXPECT_EQ(columns[kMinR].tooltip, QStringLiteral("最小比摩阻\r\n单位Pa/m"));
    EXPECT_EQ(all->SizeGrid()->headerItem()->toolTip(kThickness), QStringLiteral("壁厚\n单位mm"));
    EXPECT_EQ(all->SizeGrid()->headerItem()->toolTip(kNo), QString());
    EXPECT_EQ(all->MaterialGrid()->headerItem()->text(1), QStringLiteral("符号"));

    // The size grid is the wider one; labels and buttons carry their ids.
    EXPECT_GT(all->SizeGrid()->width(), all->MaterialGrid()->width());
    auto* label = all->findChild<QLabel*>(QStringLiteral("14004"));
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->text(), QStringLiteral("规格"));
    auto* add = all->findChild<QToolButton*>(QStringLiteral("14010"));
    ASSERT_NE(add, nullptr);
    EXPECT_EQ(add->toolTip(), QStringLiteral("添加"));
    EXPECT_EQ(all->findChild<QPushButton*>(QStringLiteral("1"))->text(), QStringLiteral("确定"));
    EXPECT_EQ(all->findChild<QPushButton*>(QStringLiteral("2"))->text(), QStringLiteral("取消"));
}

TEST_F(PipeDlgTest, NumbersShowInTheCFormUnderACommaLocale) {
    ASSERT_EQ(QLocale().decimalPoint(), QStringLiteral(","));
    Seed();
    auto dlg = Open();
    ASSERT_EQ(dlg->MaterialGrid()->topLevelItemCount(), 2);
    CTQReportGrid* sizes = dlg->SizeGrid();
    ASSERT_EQ(sizes->topLevelItemCount(), 3);
    EXPECT_EQ(ColumnTexts(sizes, kNo), (std::vector<QString>{"1", "2", "3"}));
    EXPECT_EQ(ColumnTexts(sizes, kDN), (std::vector<QString>{"15", "20", "25"}));
    EXPECT_EQ(ColumnTexts(sizes, kInsD), (std::vector<QString>{"15.75", "21.25", "27.00"}));
    EXPECT_EQ(sizes->topLevelItem(0)->text(kMaxR), QStringLiteral("300.00"));

    // A typed decimal is read with a point, never with the locale's comma.
    ASSERT_TRUE(EditCell(sizes, sizes->topLevelItem(0), kInsD, QStringLiteral("16.126")));
    EXPECT_EQ(sizes->topLevelItem(0)->text(kInsD), QStringLiteral("16.13"));
    EXPECT_DOUBLE_EQ(static_cast<CTQGridRow*>(sizes->topLevelItem(0))->Number(kInsD), 16.126);
    ASSERT_TRUE(PasteCell(sizes, sizes->topLevelItem(1), kInsD, QStringLiteral("16,5")));
    EXPECT_EQ(sizes->topLevelItem(1)->text(kInsD), QStringLiteral("21.25"))
        << "the comma is not a decimal sign here";

    ClickControl(*dlg, 1);
    EXPECT_EQ(dlg->result(), QDialog::Accepted);
    // Stored exactly, not as the rounded display.
    EXPECT_EQ(SqlNumber("select round(InsD * 1000) from PipeSpec where ID = 11"), 16126);
}

TEST_F(PipeDlgTest, WithoutAConnectionNothingIsListedOrEditable) {
    Seed();
    RVN::SetRVNBaseDataBase(db_.get()); // the class itself never falls back to it
    auto dlg = Open(1, nullptr);
    RVN::SetRVNBaseDataBase(nullptr);
    EXPECT_EQ(dlg->MaterialGrid()->topLevelItemCount(), 0);
    for (int id : {14007, 14008, 14009, 14010}) {
        auto* b = dlg->findChild<QToolButton*>(QString::number(id));
        ASSERT_NE(b, nullptr);
        EXPECT_TRUE(b->isHidden()) << id;
    }
    EXPECT_FALSE(dlg->MaterialGrid()->AllowEdit());
    EXPECT_FALSE(dlg->SizeGrid()->AllowEdit());
    ClickControl(*dlg, 1);
    EXPECT_EQ(dlg->result(), QDialog::Accepted);
    EXPECT_TRUE(prompter_.questions.empty());
    EXPECT_EQ(SpecCount(), 5);
}

TEST_F(PipeDlgTest, EditedSizesSurviveFocusChangesAndAreWrittenOnlyOnOK) {
    Seed();
    auto dlg = Open();
    CTQReportGrid* sizes = dlg->SizeGrid();
    ASSERT_TRUE(EditCell(sizes, sizes->topLevelItem(1), kInsD, QStringLiteral("22.5")));
    ASSERT_TRUE(EditCell(sizes, sizes->topLevelItem(1), kDN, QStringLiteral("21")));
    EXPECT_TRUE(dlg->SizesChanged());

    Focus(*dlg, 1); // 镀锌钢管
    EXPECT_FALSE(dlg->SizesChanged());
    EXPECT_EQ(ColumnTexts(sizes, kDN), (std::vector<QString>{"32"}));
    const std::string file = CTQPipeSpecDlg::BufferFileOf(dlg->MaterialGrid()->RowAt(0));
    ASSERT_FALSE(file.empty());
    EXPECT_TRUE(std::filesystem::exists(file));
    EXPECT_EQ(std::filesystem::path(file).parent_path().string() + "/", dlg->TempFolder());

    Focus(*dlg, 0);
    EXPECT_EQ(ColumnTexts(sizes, kDN), (std::vector<QString>{"15", "21", "25"}));
    EXPECT_EQ(sizes->topLevelItem(1)->text(kInsD), QStringLiteral("22.50"));
    EXPECT_EQ(SqlNumber("select DN from PipeSpec where ID = 12"), 20)
        << "nothing written before OK";

    ClickControl(*dlg, 1);
    EXPECT_EQ(dlg->result(), QDialog::Accepted);
    EXPECT_EQ(SqlNumber("select DN from PipeSpec where ID = 12"), 21);
    EXPECT_EQ(SqlNumber("select InsD * 10 from PipeSpec where ID = 12"), 225);
    EXPECT_EQ(SqlNumber("select MatlID from PipeSpec where ID = 12"), 1);
    dlg.reset();
    EXPECT_FALSE(std::filesystem::exists(file)) << "the buffer file goes with its row";
}

TEST_F(PipeDlgTest, AllSizesDeletedStayDeletedAcrossFocusChanges) {
    Seed();
    auto dlg = Open();
    CTQReportGrid* sizes = dlg->SizeGrid();
    SelectRows(sizes, {0, 1, 2});
    ClickControl(*dlg, 14009);
    EXPECT_EQ(sizes->topLevelItemCount(), 0);
    Focus(*dlg, 1);
    Focus(*dlg, 0);
    EXPECT_EQ(sizes->topLevelItemCount(), 0) << "an emptied size list must not come back";

    prompter_.answers = {true};
    ClickControl(*dlg, 1);
    EXPECT_EQ(dlg->result(), QDialog::Accepted);
    EXPECT_EQ(SqlNumber("select count(*) from PipeSpec where MatlID = 1"), 0);
    EXPECT_EQ(SqlNumber("select count(*) from PipeSpec where MatlID = 2"), 1);
}

TEST_F(PipeDlgTest, DeletionIsConfirmedAndCancelKeepsEverything) {
    Seed();
    auto dlg = Open();
    SelectRows(dlg->SizeGrid(), {0});
    ClickControl(*dlg, 14009);
    EXPECT_EQ(ColumnTexts(dlg->SizeGrid(), kNo), (std::vector<QString>{"1", "2"}));
    SelectRows(dlg->MaterialGrid(), {1});
    ClickControl(*dlg, 14007);
    ASSERT_EQ(dlg->MaterialGrid()->topLevelItemCount(), 1);
    EXPECT_EQ(dlg->DeletedMaterials().GetSize(), 1);

    prompter_.answers = {false};
    ClickControl(*dlg, 1);
    ASSERT_EQ(prompter_.questions.size(), 1u);
    EXPECT_EQ(prompter_.questions[0].first, QStringLiteral("有材料规格被删除, 确定删除？"));
    EXPECT_EQ(prompter_.questions[0].second, QStringLiteral("青衡提示"));
    EXPECT_TRUE(dlg->isVisible());
    EXPECT_EQ(SpecCount(), 5);
    EXPECT_EQ(MatlCount(), 3);

    prompter_.answers = {true};
    ClickControl(*dlg, 1);
    EXPECT_EQ(dlg->result(), QDialog::Accepted);
    EXPECT_EQ(SqlNumber("select count(*) from PipeSpec where ID = 11"), 0);
    EXPECT_EQ(SqlNumber("select count(*) from Material where ID = 2"), 0);
    EXPECT_EQ(SqlNumber("select count(*) from PipeSpec where MatlID = 1"), 2);
}

TEST_F(PipeDlgTest, NewMaterialIsStoredBeforeItsSizesWithItsNewID) {
    Seed();
    auto dlg = Open(1);
    ClickControl(*dlg, 14008);
    CTQReportGrid* matls = dlg->MaterialGrid();
    ASSERT_EQ(matls->topLevelItemCount(), 3);
    EXPECT_EQ(matls->FocusedRow(), matls->topLevelItem(2));
    const QString first = matls->topLevelItem(2)->text(0);
    ASSERT_TRUE(first.startsWith(QStringLiteral("管材")));
    EXPECT_EQ(CTQPipeSpecDlg::MaterialOf(matls->RowAt(2))->Type, 1);
    EXPECT_EQ(dlg->SizeGrid()->topLevelItemCount(), 0);

    ClickControl(*dlg, 14010);
    ClickControl(*dlg, 14010);
    CTQReportGrid* sizes = dlg->SizeGrid();
    ASSERT_EQ(sizes->topLevelItemCount(), 2);
    EXPECT_EQ(ColumnTexts(sizes, kNo), (std::vector<QString>{"1", "2"}));
    ASSERT_TRUE(EditCell(sizes, sizes->topLevelItem(0), kDN, QStringLiteral("15")));
    ASSERT_TRUE(EditCell(sizes, sizes->topLevelItem(1), kDN, QStringLiteral("20")));
    ASSERT_TRUE(EditCell(matls, matls->topLevelItem(2), 1, QStringLiteral("De")));

    ClickControl(*dlg, 1);
    EXPECT_EQ(dlg->result(), QDialog::Accepted)
        << (prompter_.notices.empty() ? "" : prompter_.notices.back().toStdString());
    const long long id =
        SqlNumber("select ID from Material where Name = '" + first.toStdString() + "'");
    ASSERT_GT(id, 3);
    EXPECT_EQ(SqlNumber("select count(*) from Material where Mark = 'De' and Type = 1"), 1);
    EXPECT_EQ(SqlNumber("select count(*) from PipeSpec where MatlID = " + std::to_string(id)), 2);
    EXPECT_EQ(SqlNumber("select sum(DN) from PipeSpec where MatlID = " + std::to_string(id)), 35);

    // The name counter runs on in the next dialog.
    auto next = Open(2);
    ClickControl(*next, 14008);
    const QString second = next->MaterialGrid()->topLevelItem(1)->text(0);
    EXPECT_EQ(second, QStringLiteral("管材%1").arg(first.mid(2).toInt() + 1));
    EXPECT_EQ(CTQPipeSpecDlg::MaterialOf(next->MaterialGrid()->RowAt(1))->Type, 2);
}

TEST_F(PipeDlgTest, CancelWritesNothing) {
    Seed();
    auto dlg = Open();
    ClickControl(*dlg, 14008);
    ClickControl(*dlg, 14010);
    Focus(*dlg, 0);
    ASSERT_TRUE(
        EditCell(dlg->SizeGrid(), dlg->SizeGrid()->topLevelItem(0), kDN, QStringLiteral("16")));
    SelectRows(dlg->SizeGrid(), {2});
    ClickControl(*dlg, 14009);
    ASSERT_TRUE(EditCell(dlg->MaterialGrid(), dlg->MaterialGrid()->topLevelItem(0), 0,
                         QStringLiteral("改名")));
    Focus(*dlg, 1);
    const std::string file = CTQPipeSpecDlg::BufferFileOf(dlg->MaterialGrid()->RowAt(0));
    ASSERT_FALSE(file.empty());

    ClickControl(*dlg, 2);
    EXPECT_EQ(dlg->result(), QDialog::Rejected);
    EXPECT_TRUE(prompter_.questions.empty());
    EXPECT_EQ(MatlCount(), 3);
    EXPECT_EQ(SpecCount(), 5);
    EXPECT_EQ(SqlNumber("select DN from PipeSpec where ID = 11"), 15);
    EXPECT_EQ(SqlNumber("select count(*) from Material where Name = '焊接钢管'"), 1);
    dlg.reset();
    EXPECT_FALSE(std::filesystem::exists(file));
}

TEST_F(PipeDlgTest, ARefusedWriteRollsBackAndKeepsTheDialogOpen) {
    Seed();
    auto dlg = Open(1);
    // An edit that would be written first ...
    ASSERT_TRUE(
        EditCell(dlg->SizeGrid(), dlg->SizeGrid()->topLevelItem(0), kDN, QStringLiteral("16")));
    // ... then a new material named like a stored one of another kind.
    ClickControl(*dlg, 14008);
    CTQReportGrid* matls = dlg->MaterialGrid();
    ASSERT_TRUE(EditCell(matls, matls->topLevelItem(2), 0, QStringLiteral("PE管")));

    ClickControl(*dlg, 1);
    EXPECT_TRUE(dlg->isVisible());
    EXPECT_NE(dlg->result(), QDialog::Accepted);
    ASSERT_EQ(prompter_.notices.size(), 1u);
    EXPECT_TRUE(prompter_.notices[0].contains(QStringLiteral("PE管")))
        << prompter_.notices[0].toStdString();
    EXPECT_EQ(SqlNumber("select DN from PipeSpec where ID = 11"), 15) << "rolled back";
    EXPECT_EQ(MatlCount(), 3);

    // The edits are still there: renamed, the same OK goes through.
    ASSERT_TRUE(EditCell(matls, matls->topLevelItem(2), 0, QStringLiteral("PE管2")));
    ClickControl(*dlg, 1);
    EXPECT_EQ(dlg->result(), QDialog::Accepted);
    EXPECT_EQ(SqlNumber("select DN from PipeSpec where ID = 11"), 16);
    EXPECT_EQ(SqlNumber("select count(*) from Material where Name = 'PE管2' and Type = 1"), 1);
}

TEST_F(PipeDlgTest, DuplicateSizesAndDatabaseFailuresAreReported) {
    Seed();
    auto dlg = Open(1);
    ClickControl(*dlg, 14010);
    CTQReportGrid* sizes = dlg->SizeGrid();
    ASSERT_TRUE(EditCell(sizes, sizes->topLevelItem(3), kDN, QStringLiteral("20")));
    ClickControl(*dlg, 1);
    EXPECT_TRUE(dlg->isVisible());
    ASSERT_EQ(prompter_.notices.size(), 1u);
    EXPECT_TRUE(prompter_.notices[0].contains(QStringLiteral("DN 20")))
        << prompter_.notices[0].toStdString();
    EXPECT_EQ(SpecCount(), 5);

    // A connection that fails under the dialog: the error is shown, never thrown.
    ASSERT_TRUE(EditCell(sizes, sizes->topLevelItem(3), kDN, QStringLiteral("40")));
    db_->Close();
    ClickControl(*dlg, 1);
    EXPECT_TRUE(dlg->isVisible());
    EXPECT_EQ(prompter_.notices.size(), 2u);
    EXPECT_EQ(SpecCount(), 5);
}

TEST_F(PipeDlgTest, EditorsAcceptOnlySensibleNumbers) {
    Seed();
    auto dlg = Open();
    CTQReportGrid* sizes = dlg->SizeGrid();
    QTreeWidgetItem* row = sizes->topLevelItem(0);
    for (const char* text : {"20000", "0", "-5", "1e400", "abc", "1.5", "nan", ""}) {
        ASSERT_TRUE(PasteCell(sizes, row, kDN, QString::fromLatin1(text)));
        EXPECT_EQ(row->text(kDN), QStringLiteral("15")) << text;
    }
    for (const char* text : {"-1", "1e400", "nan", "inf", "2,5", "1e7"}) {
        ASSERT_TRUE(PasteCell(sizes, row, kThickness, QString::fromLatin1(text)));
        EXPECT_EQ(row->text(kThickness), QStringLiteral("2.75")) << text;
    }
    ASSERT_TRUE(EditCell(sizes, row, kDN, QStringLiteral("10000")));
    EXPECT_EQ(row->text(kDN), QStringLiteral("10000"));
    EXPECT_FALSE(EditCell(sizes, row, kNo, QStringLiteral("7")))
        << "the row number is not editable";
}

TEST_F(PipeDlgTest, BufferFilesStayInTheTemporaryFolderAndAreUnique) {
    Sql("insert into Material (ID, Type, Name, Mark, Version) values (1, 1, '../../x/y', 'DN', 1),"
        " (2, 1, '../../x/y ', 'DN', 1), (3, 1, 'z', 'DN', 1);");
    Sql("insert into PipeSpec (ID, MatlID, DN, Version) values (11, 1, 15, 1), (21, 2, 15, 1);");
    auto dlg = Open();
    ASSERT_EQ(dlg->MaterialGrid()->topLevelItemCount(), 3);
    std::vector<std::string> files;
    for (int i = 0; i < 2; ++i) {
        Focus(*dlg, i);
        ASSERT_TRUE(
            EditCell(dlg->SizeGrid(), dlg->SizeGrid()->topLevelItem(0), kDN, QStringLiteral("25")));
        Focus(*dlg, 2);
        files.push_back(CTQPipeSpecDlg::BufferFileOf(dlg->MaterialGrid()->RowAt(i)));
    }
    ASSERT_NE(files[0], files[1]);
    for (const std::string& f : files) {
        EXPECT_EQ(std::filesystem::path(f).parent_path().string() + "/", dlg->TempFolder()) << f;
        EXPECT_TRUE(std::filesystem::exists(f));
    }
    Focus(*dlg, 0);
    EXPECT_EQ(ColumnTexts(dlg->SizeGrid(), kDN), (std::vector<QString>{"25"}));
}

TEST_F(PipeDlgTest, AFailedBufferKeepsTheEditsInMemory) {
    Seed();
    const std::string tmp = dir_ + "/tmp";
    std::filesystem::create_directory(tmp);
    const char* oldTmp = std::getenv("TMPDIR");
    const std::string saved = oldTmp ? oldTmp : "";
    setenv("TMPDIR", tmp.c_str(), 1);
    auto dlg = Open();
    if (oldTmp)
        setenv("TMPDIR", saved.c_str(), 1);
    else
        unsetenv("TMPDIR");
    ASSERT_EQ(dlg->TempFolder(), tmp + "/");
    std::filesystem::remove(tmp); // no buffer file can be made now

    ASSERT_TRUE(
        EditCell(dlg->SizeGrid(), dlg->SizeGrid()->topLevelItem(0), kDN, QStringLiteral("17")));
    Focus(*dlg, 1);
    ASSERT_EQ(prompter_.notices.size(), 1u) << "the user learns that the buffer failed";
    Focus(*dlg, 0);
    EXPECT_EQ(ColumnTexts(dlg->SizeGrid(), kDN), (std::vector<QString>{"17", "20", "25"}));
    Focus(*dlg, 1);
    ClickControl(*dlg, 1);
    EXPECT_EQ(dlg->result(), QDialog::Accepted);
    EXPECT_EQ(SqlNumber("select DN from PipeSpec where ID = 11"), 17);
}

TEST_F(PipeDlgTest, HeaderClickSortsNumericallyAndRenumbers) {
    Sql("insert into Material (ID, Type, Name, Mark, Version) values (1, 1, 'a', 'DN', 1);");
    Sql("insert into PipeSpec (ID, MatlID, DN, InsD, Version) values (1, 1, 25, 3, 1), (2, 1, 100, "
        "1, 1),"
        " (3, 1, 50, 2, 1);");
    auto dlg = Open();
    CTQReportGrid* sizes = dlg->SizeGrid();
    EXPECT_EQ(ColumnTexts(sizes, kDN), (std::vector<QString>{"25", "50", "100"}));
    QTest::mouseClick(
        sizes->header()->viewport(), Qt::LeftButton, {},
        QPoint(sizes->header()->sectionViewportPosition(kInsD) + 5, sizes->header()->height() / 2));
    EXPECT_EQ(ColumnTexts(sizes, kDN), (std::vector<QString>{"100", "50", "25"}));
    EXPECT_EQ(ColumnTexts(sizes, kNo), (std::vector<QString>{"1", "2", "3"}));
    sizes->SortByColumn(kDN, Qt::DescendingOrder);
    EXPECT_EQ(ColumnTexts(sizes, kDN), (std::vector<QString>{"100", "50", "25"}));
}

TEST_F(PipeDlgTest, ResizingMovesOKAndCancelWithTheCornerAndKeepsThePlacement) {
    Seed();
    auto dlg = Open();
    auto* ok = dlg->findChild<QPushButton*>(QStringLiteral("1"));
    auto* cancel = dlg->findChild<QPushButton*>(QStringLiteral("2"));
    const QRect okBefore = ok->geometry();
    const QRect cancelBefore = cancel->geometry();
    EXPECT_EQ(cancelBefore.right() + 1, dlg->width() - 10);
    EXPECT_EQ(cancelBefore.bottom() + 1, dlg->height() - 10);
    EXPECT_EQ(cancelBefore.left() - okBefore.left(), 82);
    const QRect leftBefore = dlg->MaterialGrid()->geometry();
    const QRect rightBefore = dlg->SizeGrid()->geometry();
    const QSize size = dlg->size();

    dlg->resize(size + QSize(200, 100));
    QApplication::processEvents();
    EXPECT_EQ(ok->geometry(), okBefore.translated(200, 100));
    EXPECT_EQ(cancel->geometry(), cancelBefore.translated(200, 100));
    EXPECT_EQ(dlg->MaterialGrid()->width(), leftBefore.width() + 50);
    EXPECT_EQ(dlg->SizeGrid()->geometry().left(), rightBefore.left() + 50);
    EXPECT_EQ(dlg->SizeGrid()->geometry().right(), rightBefore.right() + 200);
    EXPECT_EQ(dlg->SizeGrid()->height(), rightBefore.height() + 100);

    ClickControl(*dlg, 2);
    auto again = Open();
    EXPECT_EQ(again->size(), size + QSize(200, 100)) << "placement kept under TQRVNPipeSpecDlg";
    EXPECT_EQ(again->findChild<QPushButton*>(QStringLiteral("2"))->geometry(),
              cancelBefore.translated(200, 100));
    again->resize(size);
    ClickControl(*again, 2);
}

TEST_F(PipeDlgTest, ShowPipeSpecDlgRunsModallyOnTheDefaultConnection) {
    Seed();
    RVN::SetRVNBaseDataBase(db_.get());
    int shown = 0;
    auto answer = [&](int button) {
        QTimer::singleShot(0, [&, button] {
            auto* dlg = dynamic_cast<CTQPipeSpecDlg*>(QApplication::activeModalWidget());
            ASSERT_NE(dlg, nullptr);
            shown = dlg->MaterialGrid()->topLevelItemCount();
            if (button == 1) {
                EditCell(dlg->SizeGrid(), dlg->SizeGrid()->topLevelItem(0), kDN,
                         QStringLiteral("18"));
            }
            ClickControl(*dlg, button);
        });
    };
    answer(2);
    EXPECT_FALSE(RVN::ShowPipeSpecDlg(1));
    EXPECT_EQ(shown, 2);
    answer(1);
    EXPECT_TRUE(RVN::ShowPipeSpecDlg(1, nullptr));
    RVN::SetRVNBaseDataBase(nullptr);
    EXPECT_EQ(SqlNumber("select DN from PipeSpec where ID = 11"), 18);
}

TEST_F(PipeDlgTest, CoreLibraryMessagesBecomeNotices) {
    RVN::ShowMessage("数据库文件不存在", "青衡提示");
    ASSERT_EQ(prompter_.notices.size(), 1u);
    EXPECT_EQ(prompter_.notices[0], QStringLiteral("数据库文件不存在"));
}

} // namespace
