// The duct size dialog, on a connection and on two lists.
#include "UiFixture.h"

#include "ui/CTQDuctSpecDlg.h"
#include "ui/RVNDialogs.h"

#include <QApplication>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>

namespace {

class DuctDlgTest : public UiTest {
protected:
    std::unique_ptr<CTQDuctSpecDlg> Open() {
        auto dlg = std::make_unique<CTQDuctSpecDlg>(db_.get());
        dlg->show();
        QApplication::processEvents();
        return dlg;
    }
    long long Count(int section) {
        return SqlNumber("select count(*) from DuctSpec where SEC = " + std::to_string(section));
    }
};

TEST_F(DuctDlgTest, ListsBothSectionsOrderedByWidth) {
    Seed();
    auto dlg = Open();
    EXPECT_EQ(dlg->windowTitle(), QStringLiteral("风管规格"));
    EXPECT_EQ(dlg->findChild<QLabel*>(QStringLiteral("14003"))->text(), QStringLiteral("圆形风管"));
    EXPECT_EQ(dlg->findChild<QLabel*>(QStringLiteral("14004"))->text(), QStringLiteral("矩形风管"));
    EXPECT_EQ(dlg->CircularGrid()->columnCount(), 1);
    EXPECT_EQ(dlg->CircularGrid()->headerItem()->text(0), QStringLiteral("直径(mm)"));
    EXPECT_EQ(dlg->RectangularGrid()->headerItem()->text(1), QStringLiteral("高(mm)"));
    EXPECT_EQ(ColumnTexts(dlg->CircularGrid(), 0), (std::vector<QString>{"100", "200", "250"}));
    EXPECT_EQ(ColumnTexts(dlg->RectangularGrid(), 0), (std::vector<QString>{"320", "400"}));
    EXPECT_EQ(ColumnTexts(dlg->RectangularGrid(), 1), (std::vector<QString>{"200", "200"}));
    EXPECT_TRUE(dlg->CircularGrid()->AllowEdit());
}

TEST_F(DuctDlgTest, EditsAreStoredWholeWithTheirOtherValues) {
    Seed();
    auto dlg = Open();
    CTQReportGrid* circ = dlg->CircularGrid();
    ASSERT_TRUE(EditCell(circ, circ->topLevelItem(1), 0, QStringLiteral("260")));
    CTQReportGrid* rect = dlg->RectangularGrid();
    ASSERT_TRUE(EditCell(rect, rect->topLevelItem(0), 1, QStringLiteral("250")));
    ClickControl(*dlg, 14008);
    ASSERT_EQ(circ->topLevelItemCount(), 4);
    EXPECT_EQ(circ->FocusedRow(), circ->topLevelItem(3));
    ASSERT_TRUE(EditCell(circ, circ->topLevelItem(3), 0, QStringLiteral("315")));

    ClickControl(*dlg, 1);
    EXPECT_EQ(dlg->result(), QDialog::Accepted);
    EXPECT_TRUE(prompter_.questions.empty());
    EXPECT_EQ(SqlNumber("select WIDTH * 1000 + HEIGHT from DuctSpec where ID = 1"), 260260);
    EXPECT_EQ(SqlNumber("select THICKNESS * 10 from DuctSpec where ID = 1"), 5)
        << "thickness written back unchanged";
    EXPECT_EQ(SqlNumber("select WIDTH * 1000 + HEIGHT from DuctSpec where ID = 5"), 320250);
    EXPECT_EQ(
        SqlNumber("select count(*) from DuctSpec where SEC = 0 and WIDTH = 315 and HEIGHT = 315"),
        1);
}

TEST_F(DuctDlgTest, DeletionsInBothGridsAskOnceAndCancelKeepsThem) {
    Seed();
    auto dlg = Open();
    SelectRows(dlg->CircularGrid(), {0, 2});
    ClickControl(*dlg, 14007);
    SelectRows(dlg->RectangularGrid(), {1});
    ClickControl(*dlg, 14009);
    EXPECT_EQ(dlg->DeletedIDs().GetSize(), 3);

    prompter_.answers = {false};
    ClickControl(*dlg, 1);
    EXPECT_TRUE(dlg->isVisible());
    EXPECT_EQ(Count(0) + Count(1), 5);

    prompter_.answers = {true};
    ClickControl(*dlg, 1);
    ASSERT_EQ(prompter_.questions.size(), 2u);
    EXPECT_EQ(prompter_.questions[1].first, QStringLiteral("有管道规格被删除，确定删除？"));
    EXPECT_EQ(prompter_.questions[1].second, QStringLiteral("青衡提示"));
    EXPECT_EQ(dlg->result(), QDialog::Accepted);
    EXPECT_EQ(Count(0), 1);
    EXPECT_EQ(Count(1), 1);
    EXPECT_EQ(SqlNumber("select WIDTH from DuctSpec where SEC = 0"), 200);
}

TEST_F(DuctDlgTest, DeletingOnlyANewRowStillAsks) {
    Seed();
    auto dlg = Open();
    ClickControl(*dlg, 14010);
    SelectRows(dlg->RectangularGrid(), {2});
    ClickControl(*dlg, 14009);
    prompter_.answers = {true};
    ClickControl(*dlg, 1);
    EXPECT_EQ(prompter_.questions.size(), 1u);
    EXPECT_EQ(dlg->result(), QDialog::Accepted);
    EXPECT_EQ(Count(0) + Count(1), 5);
}

TEST_F(DuctDlgTest, ADuplicateIsRefusedAndNothingIsWritten) {
    Seed();
    auto dlg = Open();
    CTQReportGrid* rect = dlg->RectangularGrid();
    ASSERT_TRUE(EditCell(rect, rect->topLevelItem(1), 0, QStringLiteral("500")));
    ClickControl(*dlg, 14008);
    CTQReportGrid* circ = dlg->CircularGrid();
    ASSERT_TRUE(EditCell(circ, circ->topLevelItem(3), 0, QStringLiteral("250")));

    ClickControl(*dlg, 1);
    EXPECT_TRUE(dlg->isVisible());
    ASSERT_EQ(prompter_.notices.size(), 1u);
    EXPECT_TRUE(prompter_.notices[0].contains(QStringLiteral("250")))
        << prompter_.notices[0].toStdString();
    EXPECT_EQ(Count(0), 3);
    EXPECT_EQ(SqlNumber("select WIDTH from DuctSpec where ID = 4"), 400);

    // A duplicate of a stored row the dialog does not show is refused by the catalog.
    Sql("update DuctSpec set WIDTH = 999, HEIGHT = 999 where ID = 3");
    Sql("insert into DuctSpec (SEC, WIDTH, HEIGHT, THICKNESS, VERSION) values (0, 250, 250, 0.5, "
        "1)");
    ClickControl(*dlg, 1);
    EXPECT_TRUE(dlg->isVisible());
    EXPECT_EQ(prompter_.notices.size(), 2u);
    EXPECT_EQ(SqlNumber("select WIDTH from DuctSpec where ID = 4"), 400) << "rolled back";

    ASSERT_TRUE(EditCell(circ, circ->topLevelItem(3), 0, QStringLiteral("280")));
    ClickControl(*dlg, 1);
    EXPECT_EQ(dlg->result(), QDialog::Accepted);
    EXPECT_EQ(SqlNumber("select WIDTH from DuctSpec where ID = 4"), 500);
}

TEST_F(DuctDlgTest, CancelledModalDialogReturnsFalseAndWritesNothing) {
    Seed();
    QTimer::singleShot(0, [] {
        auto* dlg = dynamic_cast<CTQDuctSpecDlg*>(QApplication::activeModalWidget());
        ASSERT_NE(dlg, nullptr);
        ClickControl(*dlg, 14008);
        SelectRows(dlg->CircularGrid(), {0});
        ClickControl(*dlg, 14007);
        ClickControl(*dlg, 2);
    });
    EXPECT_FALSE(RVN::ShowDuctSpecDlg(db_.get()));
    EXPECT_TRUE(prompter_.questions.empty());
    EXPECT_EQ(Count(0), 3);
}

TEST_F(DuctDlgTest, TheListFormIsReadOnlyAndLeavesTheArraysAlone) {
    CTQArray<CTQDuctSpec> circular;
    CTQArray<CTQDuctSpec> rectangular;
    CTQDuctSpec d;
    d.Section = 0;
    d.Width = d.Height = 160;
    d.ID = 7;
    circular.Add(d);
    d.Section = 1;
    d.Width = 630;
    d.Height = 250;
    rectangular.Add(d);
    rectangular.Add(d);
    bool checked = false;
    QTimer::singleShot(0, [&] {
        auto* dlg = dynamic_cast<CTQDuctSpecDlg*>(QApplication::activeModalWidget());
        ASSERT_NE(dlg, nullptr);
        EXPECT_EQ(ColumnTexts(dlg->CircularGrid(), 0), (std::vector<QString>{"160"}));
        EXPECT_EQ(dlg->RectangularGrid()->topLevelItemCount(), 2);
        for (int id : {14007, 14008, 14009, 14010}) {
            EXPECT_TRUE(dlg->findChild<QToolButton*>(QString::number(id))->isHidden()) << id;
        }
        EXPECT_FALSE(EditCell(dlg->CircularGrid(), dlg->CircularGrid()->topLevelItem(0), 0,
                              QStringLiteral("1")));
        checked = true;
        ClickControl(*dlg, 1);
    });
    RVN::ShowDuctSpecDlg(circular, rectangular);
    EXPECT_TRUE(checked);
    ASSERT_EQ(circular.GetSize(), 1);
    EXPECT_EQ(circular[0].Width, 160);
    EXPECT_EQ(circular[0].ID, 7);
    EXPECT_EQ(rectangular.GetSize(), 2);
    EXPECT_EQ(rectangular[1].Height, 250);
}

TEST_F(DuctDlgTest, TheGridsShareTheAddedWidth) {
    auto dlg = Open();
    const QRect l = dlg->CircularGrid()->geometry();
    const QRect r = dlg->RectangularGrid()->geometry();
    const QRect label = dlg->findChild<QLabel*>(QStringLiteral("14004"))->geometry();
    const QRect add = dlg->findChild<QToolButton*>(QStringLiteral("14008"))->geometry();
    const QSize size = dlg->size();
    dlg->resize(size + QSize(100, 40));
    EXPECT_EQ(dlg->CircularGrid()->width(), l.width() + 50);
    EXPECT_EQ(dlg->RectangularGrid()->geometry(),
              QRect(r.left() + 50, r.top(), r.width() + 50, r.height() + 40));
    EXPECT_EQ(dlg->findChild<QLabel*>(QStringLiteral("14004"))->geometry(),
              QRect(label.left() + 50, label.top(), label.width() + 50, label.height()));
    EXPECT_EQ(dlg->findChild<QToolButton*>(QStringLiteral("14008"))->geometry(),
              add.translated(50, 0));
    dlg->resize(size);
    ClickControl(*dlg, 2);
}

} // namespace
