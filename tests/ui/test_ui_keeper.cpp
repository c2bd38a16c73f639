// The dialogs as a catalog keeper uses them: typing through the real cell
// editors, junk refused at OK, questions before edits are dropped, buttons
// in Chinese, the keyboard, and every column readable at opening size.
#include "UiFixture.h"

#include "ui/CTQDuctSpecDlg.h"
#include "ui/CTQPipeSpecDlg.h"
#include "ui/CTQPipeValveDlg.h"
#include "ui/CTQPropertyGrid.h"
#include "ui/CTQSteamPropDlg.h"
#include "ui/CTQWaterPropDlg.h"

#include "catalog/CatalogBuilder.h"

#include <QAbstractButton>
#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

#include <memory>

namespace {

enum { kNo, kDN, kInsD };

class KeeperTest : public UiTest {
protected:
    template <class Dlg, class... Args> static std::unique_ptr<Dlg> Show(Args&&... args) {
        auto dlg = std::make_unique<Dlg>(std::forward<Args>(args)...);
        dlg->show();
        QApplication::processEvents();
        return dlg;
    }
    std::unique_ptr<CTQPipeSpecDlg> Pipes(int kind = 1) {
        return Show<CTQPipeSpecDlg>(kind, db_.get());
    }
    std::unique_ptr<CTQWaterPropDlg> Water(const CTQWaterProp& prop = CTQWaterProp()) {
        return Show<CTQWaterPropDlg>(db_.get(), prop);
    }
    void SeedWater() {
        Sql("insert into WaterProp (ID, Temperature, Density, Viscosity, SpecificHeat, Version) "
            "values "
            "(1, 10, 999.7, 1.306, 4.1914, 1), (2, 20, 998.2, 1.0038, 4.1826, 1)");
    }
    long long Count(const char* table) {
        return SqlNumber((std::string("select count(*) from ") + table).c_str());
    }

    // Presses a key on the dialog's focus widget, as a user would.
    static void Press(QWidget* w, Qt::Key key) {
        QTest::keyClick(w, key);
        QApplication::processEvents();
    }
};

// ---- number cells ---------------------------------------------------------------------

TEST_F(KeeperTest, NumberCellsShowWhatWasTypedAndCannotBeLeftWithIt) {
    ASSERT_EQ(QLocale().decimalPoint(), QStringLiteral(","));
    SeedWater();
    auto dlg = Water();
    CTQReportGrid* grid = dlg->Grid();
    QTreeWidgetItem* row = grid->topLevelItem(1); // 20 degC
    // Every keystroke stays: nothing typed is dropped or cut to the range.
    for (const char* text : {"401", "20.5", "-51", "20,5", "abc"}) {
        QLineEdit* editor = TypeInCell(grid, row, 0, QString::fromLatin1(text));
        ASSERT_NE(editor, nullptr) << text << ": Enter must not leave the cell";
        EXPECT_EQ(editor->text(), QString::fromLatin1(text));
        EXPECT_TRUE(editor->property("invalid").toBool()) << text;
        EXPECT_FALSE(editor->toolTip().isEmpty()) << text;
        EXPECT_EQ(row->text(0), QStringLiteral("20")) << text << ": the cell keeps its value";
        EXPECT_FALSE(grid->EndEdit());
        EXPECT_TRUE(grid->EditProblem().contains(QStringLiteral("第 2 行“温度(℃)”")))
            << grid->EditProblem().toStdString();
        grid->CancelEdit();
    }

    // A click on another row, or OK, keeps the editor and says why.
    QLineEdit* editor = TypeInCell(grid, row, 0, QStringLiteral("401"));
    ASSERT_NE(editor, nullptr);
    const QRect other = grid->visualItemRect(grid->topLevelItem(0));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, other.center());
    QApplication::processEvents();
    EXPECT_EQ(grid->currentItem(), row);
    ClickControl(*dlg, CTQCatalogDlg::IDOK);
    EXPECT_TRUE(dlg->isVisible());
    ASSERT_EQ(prompter_.notices.size(), 1u);
    EXPECT_TRUE(prompter_.notices[0].contains(QStringLiteral("401")))
        << prompter_.notices[0].toStdString();
    EXPECT_TRUE(prompter_.notices[0].contains(QStringLiteral("温度(℃)")));

    // Corrected, the same editor leaves and the value is stored.
    editor->selectAll();
    QTest::keyClicks(editor, QStringLiteral("-5"));
    QTest::keyClick(editor, Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_EQ(row->text(0), QStringLiteral("-5"));
    ClickControl(*dlg, CTQCatalogDlg::IDOK);
    EXPECT_EQ(dlg->result(), QDialog::Accepted);
    EXPECT_EQ(SqlNumber("select count(*) from WaterProp where Temperature = -5"), 1);
}

TEST_F(KeeperTest, ASizeCellWithBadTextKeepsItsMaterialFocused) {
    Seed();
    auto dlg = Pipes();
    CTQReportGrid* sizes = dlg->SizeGrid();
    QLineEdit* editor = TypeInCell(sizes, sizes->topLevelItem(0), kDN, QStringLiteral("10001"));
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->text(), QStringLiteral("10001"));
    dlg->MaterialGrid()->setCurrentItem(dlg->MaterialGrid()->topLevelItem(1));
    QApplication::processEvents();
    EXPECT_EQ(dlg->MaterialGrid()->currentItem(), dlg->MaterialGrid()->topLevelItem(0));
    EXPECT_EQ(ColumnTexts(sizes, kDN), (std::vector<QString>{"15", "20", "25"}));
    ClickControl(*dlg, 14010); // no new row while the cell holds bad text
    EXPECT_EQ(sizes->RowCount(), 3);
    Press(editor, Qt::Key_Escape);
    EXPECT_EQ(sizes->topLevelItem(0)->text(kDN), QStringLiteral("15"));
}

// ---- junk refused at OK ----------------------------------------------------------------

TEST_F(KeeperTest, MaterialsWithoutANameOrWithAnotherKindsNameAreRefused) {
    Seed();
    auto dlg = Pipes(1);
    CTQReportGrid* matls = dlg->MaterialGrid();
    ASSERT_TRUE(EditCell(matls, matls->topLevelItem(1), 0, QString()));
    ClickControl(*dlg, CTQCatalogDlg::IDOK);
    EXPECT_TRUE(dlg->isVisible());
    ASSERT_EQ(prompter_.notices.size(), 1u);
    EXPECT_TRUE(prompter_.notices[0].contains(QStringLiteral("第 2 行")))
        << prompter_.notices[0].toStdString();

    // "PE管" is a plastic pipe this dialog does not list; renaming to it is refused.
    ASSERT_TRUE(EditCell(matls, matls->topLevelItem(1), 0, QStringLiteral("PE管")));
    ClickControl(*dlg, CTQCatalogDlg::IDOK);
    ASSERT_EQ(prompter_.notices.size(), 2u);
    EXPECT_TRUE(prompter_.notices[1].contains(QStringLiteral("塑料管")))
        << prompter_.notices[1].toStdString();
    EXPECT_EQ(SqlNumber("select count(*) from Material where Name = 'PE管'"), 1);
    EXPECT_EQ(SqlNumber("select count(*) from Material where Name = '镀锌钢管'"), 1);

    ASSERT_TRUE(EditCell(matls, matls->topLevelItem(1), 0, QStringLiteral("镀锌钢管 Q235")));
    ClickControl(*dlg, CTQCatalogDlg::IDOK);
    EXPECT_EQ(dlg->result(), QDialog::Accepted);
    EXPECT_EQ(SqlNumber("select count(*) from Material where Name = '镀锌钢管 Q235'"), 1);
}

TEST_F(KeeperTest, AnUneditedNewSizeOrDuctIsRefusedNamingItsRow) {
    Seed();
    auto dlg = Pipes(1);
    ClickControl(*dlg, 14010); // "+" and nothing typed: DN 0
    ClickControl(*dlg, CTQCatalogDlg::IDOK);
    EXPECT_TRUE(dlg->isVisible());
    ASSERT_EQ(prompter_.notices.size(), 1u);
    EXPECT_TRUE(prompter_.notices[0].contains(QStringLiteral("焊接钢管”第 4 行的规格DN为 0")))
        << prompter_.notices[0].toStdString();
    EXPECT_EQ(Count("PipeSpec"), 5);

    auto ducts = Show<CTQDuctSpecDlg>(db_.get());
    ClickControl(*ducts, 14008);
    ClickControl(*ducts, CTQCatalogDlg::IDOK);
    EXPECT_TRUE(ducts->isVisible());
    ASSERT_EQ(prompter_.notices.size(), 2u);
    EXPECT_TRUE(prompter_.notices[1].contains(QStringLiteral("圆形风管第 4 行的尺寸为 0 mm")))
        << prompter_.notices[1].toStdString();
    CTQReportGrid* circ = ducts->CircularGrid();
    ASSERT_TRUE(EditCell(circ, circ->topLevelItem(3), 0, QStringLiteral("315")));
    ClickControl(*ducts, CTQCatalogDlg::IDOK);
    EXPECT_EQ(ducts->result(), QDialog::Accepted);
    EXPECT_EQ(SqlNumber("select count(*) from DuctSpec where WIDTH = 315 and HEIGHT = 315"), 1);
}

TEST_F(KeeperTest, ThePlasticDialogNamesItsOwnDnColumn) {
    Seed();
    auto dlg = Pipes(2);
    ClickControl(*dlg, 14010);
    CTQReportGrid* sizes = dlg->SizeGrid();
    ASSERT_TRUE(EditCell(sizes, sizes->topLevelItem(1), kDN, QStringLiteral("20")));
    ClickControl(*dlg, CTQCatalogDlg::IDOK);
    ASSERT_EQ(prompter_.notices.size(), 1u);
    EXPECT_TRUE(prompter_.notices[0].contains(QStringLiteral("公称外径 20 重复")))
        << prompter_.notices[0].toStdString();
    EXPECT_FALSE(prompter_.notices[0].contains(QStringLiteral("DN")));
}

// ---- closing, choosing, asking ---------------------------------------------------------

TEST_F(KeeperTest, EscapeAndTheCloseButtonAskBeforeEditsAreDropped) {
    Seed();
    {
        auto dlg = Pipes();
        Press(dlg->MaterialGrid(), Qt::Key_Escape); // nothing edited: closes at once
        EXPECT_FALSE(dlg->isVisible());
        EXPECT_TRUE(prompter_.questions.empty());
    }
    auto dlg = Pipes();
    ASSERT_TRUE(
        EditCell(dlg->SizeGrid(), dlg->SizeGrid()->topLevelItem(0), kInsD, QStringLiteral("16")));
    prompter_.answers = {false, false, true};
    Press(dlg->SizeGrid(), Qt::Key_Escape);
    EXPECT_TRUE(dlg->isVisible()) << "answered Cancel: the edits stay";
    dlg->close();
    EXPECT_TRUE(dlg->isVisible());
    ASSERT_EQ(prompter_.questions.size(), 2u);
    EXPECT_EQ(prompter_.questions[0].second, QStringLiteral("青衡提示"));
    EXPECT_EQ(dlg->SizeGrid()->topLevelItem(0)->text(kInsD), QStringLiteral("16.00"));
    dlg->close();
    EXPECT_FALSE(dlg->isVisible());
    EXPECT_EQ(dlg->result(), QDialog::Rejected);
    EXPECT_EQ(SqlNumber("select round(InsD * 100) from PipeSpec where ID = 11"), 1575);

    // The Cancel button is the user's answer already.
    auto ducts = Show<CTQDuctSpecDlg>(db_.get());
    ClickControl(*ducts, 14008);
    ClickControl(*ducts, CTQCatalogDlg::IDCANCEL);
    EXPECT_FALSE(ducts->isVisible());
    EXPECT_EQ(prompter_.questions.size(), 3u);
}

TEST_F(KeeperTest, ARowChosenAndThenDeletedIsNeverHandedBack) {
    SeedWater();
    CTQWaterProp callers;
    callers.Temperature = 77;
    auto dlg = Water(callers);
    SelectRows(dlg->Grid(), {1});
    EXPECT_EQ(dlg->Result().ID, 2);
    ClickControl(*dlg, 14009);
    EXPECT_EQ(dlg->Result().Temperature, 77);
    prompter_.answers = {true};
    ClickControl(*dlg, CTQCatalogDlg::IDOK);
    EXPECT_EQ(dlg->result(), QDialog::Accepted);
    EXPECT_EQ(dlg->Result().Temperature, 77);
    EXPECT_EQ(dlg->Result().ID, callers.ID);
    EXPECT_EQ(Count("WaterProp"), 1);
}

TEST_F(KeeperTest, MessageBoxButtonsReadInChinese) {
    RVN::SetPrompter(nullptr); // the real message boxes
    std::vector<QString> texts;
    auto answer = [&](QMessageBox::StandardButton which) {
        QTimer::singleShot(0, [&texts, which] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            for (QAbstractButton* b : box->buttons()) {
                texts.push_back(b->text());
            }
            box->button(which)->click();
        });
    };
    answer(QMessageBox::Cancel);
    EXPECT_FALSE(RVN::Prompter().Confirm(nullptr, QStringLiteral("问"), RVN::PromptCaption()));
    answer(QMessageBox::Ok);
    RVN::Prompter().Tell(nullptr, QStringLiteral("告"), RVN::PromptCaption(),
                         CTQPrompter::Icon::Error);
    std::sort(texts.begin(), texts.end());
    EXPECT_EQ(texts, (std::vector<QString>{QStringLiteral("取消"), QStringLiteral("确定"),
                                           QStringLiteral("确定")}));
}

// ---- keyboard ----------------------------------------------------------------------------

TEST_F(KeeperTest, InsertAddsAndDeleteDeletesLikeTheButtons) {
    Seed();
    auto dlg = Pipes();
    CTQReportGrid* sizes = dlg->SizeGrid();
    sizes->setFocus();
    Press(sizes, Qt::Key_Insert);
    EXPECT_EQ(sizes->RowCount(), 4);
    EXPECT_EQ(sizes->FocusedRow(), sizes->topLevelItem(3));
    SelectRows(sizes, {0, 3});
    Press(sizes, Qt::Key_Delete);
    EXPECT_EQ(ColumnTexts(sizes, kDN), (std::vector<QString>{"20", "25"}));
    EXPECT_EQ(dlg->DeletedSizes().GetSize(), 2);
    prompter_.answers = {true};
    ClickControl(*dlg, CTQCatalogDlg::IDOK);
    ASSERT_EQ(prompter_.questions.size(), 1u);
    EXPECT_EQ(prompter_.questions[0].first, QStringLiteral("有材料规格被删除, 确定删除？"));
    EXPECT_EQ(Count("PipeSpec"), 4);
}

TEST_F(KeeperTest, IconButtonsKeepTheirTooltipsAndShowTheirFocus) {
    Seed();
    auto dlg = Pipes();
    dlg->activateWindow();
    auto* add = dlg->findChild<QToolButton*>(QStringLiteral("14010"));
    ASSERT_NE(add, nullptr);
    EXPECT_EQ(add->toolTip(), QStringLiteral("添加"));
    EXPECT_TRUE(add->focusPolicy() & Qt::TabFocus);
    dlg->SizeGrid()->setFocus();
    QApplication::processEvents();
    const QImage plain = add->grab().toImage();
    add->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
    ASSERT_TRUE(add->hasFocus());
    EXPECT_NE(add->grab().toImage(), plain) << "focus must be visible";
}

// ---- what the dialogs show -----------------------------------------------------------------

TEST_F(KeeperTest, EveryColumnReadsInFullAtOpeningSize) {
    Seed();
    Sql("insert into PipeSpec (ID, MatlID, DN, InsD, OutD, Thickness, MinV, MaxV, MinH, MaxH, "
        "MinR, MaxR, Version)"
        " values (14, 1, 1000, 1006.25, 1020, 10.25, 1.25, 3.5, 0, 0, 1200, 3000, 1)");
    {
        // A placement saved at the template size is restored, widened to the content.
        auto small = Pipes();
        small->resize(CTQCatalogDlg::TemplateSize());
        small->done(QDialog::Rejected);
    }
    auto dlg = Pipes();
    EXPECT_GE(dlg->width(), CTQCatalogDlg::TemplateSize().width());
    for (CTQReportGrid* grid : {dlg->MaterialGrid(), dlg->SizeGrid()}) {
        int used = 0;
        for (int c = 0; c < grid->columnCount(); ++c) {
            EXPECT_GE(grid->header()->sectionSize(c), grid->ContentWidth(c)) << "column " << c;
            used += grid->header()->sectionSize(c);
        }
        EXPECT_LE(used, grid->viewport()->width()) << "no column starts outside the grid";
    }
    // Each cell's text fits its section with the style's margins.
    const QFontMetrics metrics(dlg->SizeGrid()->font());
    QTreeWidgetItem* big = dlg->SizeGrid()->topLevelItem(3);
    ASSERT_EQ(big->text(kInsD), QStringLiteral("1006.25"));
    EXPECT_GT(dlg->SizeGrid()->header()->sectionSize(kInsD),
              metrics.horizontalAdvance(big->text(kInsD)));
}

class KeeperValveTest : public KeeperTest {
protected:
    void SeedValves() {
        Sql("insert into PipeValve (ID, Type, ValveName, Coef, CalType, Variable, DnCandidate, "
            "CoefCandidate, Version)"
            " values (1, 1, '闸阀', 0.5, 0, 0, '', '', 1),"
            " (2, 1, '旋启式止回阀（带缓闭装置）', 2.0, 0, 0, '', '', 1),"
            " (3, 1, '蝶阀', 0, 0, 1, '100,15,1000', '0.500000,2.000000,0.125000', 1);");
    }
    static QTreeWidget* Tree(CTQPropertyGrid* grid) { return grid->findChild<QTreeWidget*>(); }
};

TEST_F(KeeperValveTest, CountsAreAlwaysSeenWithBothPanes) {
    SeedValves();
    CTQArray<CTQPipeValve> none;
    auto dlg = Show<CTQPipeValveDlg>(db_.get(), 1, 1, 100, none);
    for (CTQPropertyGrid* grid : {dlg->LeftGrid(), dlg->RightGrid()}) {
        QTreeWidget* tree = Tree(grid);
        ASSERT_NE(tree, nullptr);
        const int countStart = tree->header()->sectionPosition(1);
        EXPECT_LE(countStart + grid->CountColumnWidth(), tree->viewport()->width());
        EXPECT_GE(grid->width(), grid->NeededWidth()) << "names in full at opening size";
    }
    // Narrowed by the user, the names give way and the counts stay.
    dlg->resize(CTQCatalogDlg::TemplateSize());
    QApplication::processEvents();
    QTreeWidget* tree = Tree(dlg->LeftGrid());
    EXPECT_LE(tree->header()->sectionPosition(1) + dlg->LeftGrid()->CountColumnWidth(),
              tree->viewport()->width());
}

TEST_F(KeeperValveTest, TheDnTableLinesUpInItsFont) {
    SeedValves();
    CTQArray<CTQPipeValve> none;
    auto dlg = Show<CTQPipeValveDlg>(db_.get(), 1, 1, 100, none);
    CTQPropertyItem* item = dlg->RightGrid()->Category(0)->FindItem(QStringLiteral("蝶阀"));
    ASSERT_NE(item, nullptr);
    dlg->RightGrid()->SetCurrentItem(item);
    QApplication::processEvents();
    QLabel* pane = nullptr;
    for (QLabel* label : dlg->RightGrid()->findChildren<QLabel*>()) {
        if (label->text() == item->Description()) {
            pane = label;
        }
    }
    ASSERT_NE(pane, nullptr);
    const QStringList lines = pane->text().split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 2);
    // Each column of the coefficients starts where its DN starts.
    const QFontMetrics metrics(pane->font());
    for (qsizetype i = 1; i < lines[0].size(); ++i) {
        if (lines[0][i] != QLatin1Char(' ') && lines[0][i - 1] == QLatin1Char(' ')) {
            EXPECT_EQ(metrics.horizontalAdvance(lines[0].left(i)),
                      metrics.horizontalAdvance(lines[1].left(i)))
                << lines[0].toStdString() << " / " << lines[1].toStdString();
        }
    }
}

} // namespace

// ---- the seed catalog at opening size ---------------------------------------------------

// Every dialog on the catalog the program ships: each grid column at least
// as wide as its caption and cells, none beyond the grid, every count seen.
TEST_F(KeeperTest, OnTheSeedCatalogEveryDialogOpensReadable) {
    const std::string seed = RVN::SeedDataFolder();
    if (seed.empty()) {
        GTEST_SKIP() << "no seed data beside this build";
    }
    const std::string path = dir_ + "/seed.mdb";
    std::string error;
    ASSERT_TRUE(RVN::BuildCatalog(path, seed, true, error)) << error;
    CADODatabase db;
    ASSERT_TRUE(db.Open(ConnectionString(path)));

    auto readable = [](CTQCatalogDlg& dlg, const char* what) {
        // The classes carry no meta-object of their own: told apart by their C++ type.
        for (QWidget* w : dlg.findChildren<QWidget*>()) {
            auto* grid = dynamic_cast<CTQReportGrid*>(w);
            if (!grid) {
                continue;
            }
            int used = 0;
            for (int c = 0; c < grid->columnCount(); ++c) {
                EXPECT_GE(grid->header()->sectionSize(c), grid->ContentWidth(c))
                    << what << " column " << c;
                used += grid->header()->sectionSize(c);
            }
            EXPECT_LE(used, grid->viewport()->width()) << what;
        }
        for (QWidget* w : dlg.findChildren<QWidget*>()) {
            if (auto* grid = dynamic_cast<CTQPropertyGrid*>(w)) {
                EXPECT_GE(grid->width(), grid->NeededWidth()) << what;
            }
        }
    };
    for (int kind : {0, 1, 2, 3}) {
        CTQPipeSpecDlg dlg(kind, &db);
        dlg.show();
        QApplication::processEvents();
        readable(dlg, "pipe");
    }
    CTQDuctSpecDlg ducts(&db);
    ducts.show();
    QApplication::processEvents();
    readable(ducts, "duct");
    CTQWaterPropDlg water(&db, CTQWaterProp());
    water.show();
    QApplication::processEvents();
    readable(water, "water");
    CTQSteamPropDlg steam(&db, CTQSteamProp());
    steam.show();
    QApplication::processEvents();
    readable(steam, "steam");
    CTQArray<CTQPipeValve> none;
    CTQPipeValveDlg valves(&db, 1, 1, 50, none);
    valves.show();
    QApplication::processEvents();
    readable(valves, "valve");
    db.Close();
}
