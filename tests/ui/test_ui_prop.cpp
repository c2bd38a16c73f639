// The water and steam property dialogs: choosing a row, editing, adding and
// deleting rows, and OK writing everything or nothing.
#include "UiFixture.h"

#include "ui/CTQSteamPropDlg.h"
#include "ui/CTQWaterPropDlg.h"
#include "ui/RVNDialogs.h"

#include <QApplication>
#include <QLabel>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

#include <memory>

namespace {

class PropDlgTest : public UiTest {
protected:
    // Water at 30, 10 and 20 degC (inserted out of order: IDs 1, 2, 3);
    // steam at 100 and 120 degC.
    void SeedProps() {
        Sql("insert into WaterProp (Temperature, Density, Viscosity, SpecificHeat, Version) values "
            "(30, 995.65, 0.805, 4.1744, 1), (10, 999.7, 1.306, 4.1914, 1), (20, 998.2, 1.0038, "
            "4.1826, 1)");
        Sql("insert into SteamProp (Temperature, Pressure, Density, Qhr, SpecificHeat, Viscosity, "
            "Version) values "
            "(100, 101.325, 0.5977, 2256.47, 2.0784, 20.55, 1), (120, 198.54, 1.1213, 2202.1, "
            "2.1658, 11.601, 1)");
    }
    template <class Dlg, class Prop> std::unique_ptr<Dlg> Open(const Prop& prop, CADODatabase* db) {
        auto dlg = std::make_unique<Dlg>(db, prop);
        dlg->show();
        QApplication::processEvents();
        return dlg;
    }
    std::unique_ptr<CTQWaterPropDlg> OpenWater(const CTQWaterProp& prop = CTQWaterProp()) {
        return Open<CTQWaterPropDlg>(prop, db_.get());
    }
    long long WaterCount() { return SqlNumber("select count(*) from WaterProp"); }
};

TEST_F(PropDlgTest, TheWaterTableShowsItsColumnsInTemperatureOrder) {
    SeedProps();
    auto dlg = OpenWater();
    EXPECT_EQ(dlg->windowTitle(), QStringLiteral("水的物理参数"));
    auto* label = dlg->findChild<QLabel*>(QStringLiteral("14003"));
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->text(), QStringLiteral("水的物理参数"));
    EXPECT_EQ(label->width(), 80);
    EXPECT_EQ(dlg->findChild<QLabel*>(QStringLiteral("14004")), nullptr);
    EXPECT_EQ(dlg->findChild<QToolButton*>(QStringLiteral("14008")), nullptr);

    CTQReportGrid* grid = dlg->Grid();
    ASSERT_EQ(grid->columnCount(), 4);
    EXPECT_EQ(grid->headerItem()->text(0), QStringLiteral("温度(℃)"));
    EXPECT_EQ(grid->headerItem()->text(1), QStringLiteral("密度(kg/m3)"));
    EXPECT_EQ(grid->headerItem()->text(2), QStringLiteral("比热容[kJ/(kg*K)]"));
    EXPECT_EQ(grid->headerItem()->text(3), QStringLiteral("运动黏度(1E-6㎡/s)"));
    EXPECT_EQ(ColumnTexts(grid, 0), (std::vector<QString>{"10", "20", "30"}));
    EXPECT_EQ(ColumnTexts(grid, 1), (std::vector<QString>{"999.700", "998.200", "995.650"}));
    EXPECT_EQ(ColumnTexts(grid, 2), (std::vector<QString>{"4.191", "4.183", "4.174"}))
        << "three decimals";
    EXPECT_EQ(ColumnTexts(grid, 3), (std::vector<QString>{"1.3060", "1.0038", "0.8050"}))
        << "four decimals";
    EXPECT_TRUE(grid->AllowEdit());

    // The grid spans both panes and grows with the dialog; the buttons follow the right edge.
    const QRect g = grid->geometry();
    const QRect add = dlg->findChild<QToolButton*>(QStringLiteral("14010"))->geometry();
    const QSize size = dlg->size();
    dlg->resize(size + QSize(60, 30));
    EXPECT_EQ(grid->geometry(), QRect(g.topLeft(), g.size() + QSize(60, 30)));
    EXPECT_EQ(dlg->findChild<QToolButton*>(QStringLiteral("14010"))->geometry(),
              add.translated(60, 0));
    EXPECT_EQ(label->geometry().topLeft(), QPoint(g.left() + 5, g.top() - 20));
    dlg->resize(size);
}

TEST_F(PropDlgTest, TheSteamTableGivesSpecificHeatAndViscosityTheOtherPrecisions) {
    SeedProps();
    auto dlg = Open<CTQSteamPropDlg>(CTQSteamProp(), db_.get());
    EXPECT_EQ(dlg->windowTitle(), QStringLiteral("饱和水蒸气的物理参数"));
    EXPECT_EQ(dlg->findChild<QLabel*>(QStringLiteral("14003"))->width(), 160);
    CTQReportGrid* grid = dlg->Grid();
    ASSERT_EQ(grid->columnCount(), 6);
    const std::vector<QString> captions{"温度(℃)",       "压力(kPa)",         "密度(kg/m3)",
                                        "汽化热(kJ/kg)", "比热容[kJ/(kg*K)]", "运动黏度(1E-6㎡/s)"};
    for (int c = 0; c < 6; ++c) {
        EXPECT_EQ(grid->headerItem()->text(c), captions[c]) << c;
    }
    ASSERT_EQ(grid->RowCount(), 2);
    QTreeWidgetItem* row = grid->topLevelItem(1);
    EXPECT_EQ(row->text(0), QStringLiteral("120"));
    EXPECT_EQ(row->text(1), QStringLiteral("198.5"));
    EXPECT_EQ(row->text(2), QStringLiteral("1.121"));
    EXPECT_EQ(row->text(3), QStringLiteral("2202.100"));
    EXPECT_EQ(row->text(4), QStringLiteral("2.1658"));
    EXPECT_EQ(row->text(5), QStringLiteral("11.601"));
}

TEST_F(PropDlgTest, TheChosenRowIsHandedBackOnlyOnOk) {
    SeedProps();
    CTQWaterProp prop;
    prop.Temperature = 55;
    prop.Density = 985.7;

    // Cancel after choosing: false, the record as it was.
    QTimer::singleShot(0, [] {
        auto* dlg = dynamic_cast<CTQWaterPropDlg*>(QApplication::activeModalWidget());
        ASSERT_NE(dlg, nullptr);
        SelectRows(dlg->Grid(), {1});
        EXPECT_EQ(dlg->Result().Temperature, 20);
        ClickControl(*dlg, 2);
    });
    EXPECT_FALSE(RVN::ShowWaterPropDlg(prop, db_.get()));
    EXPECT_EQ(prop.Temperature, 55);
    EXPECT_DOUBLE_EQ(prop.Density, 985.7);

    // OK without choosing: true, the record as it was.
    QTimer::singleShot(0, [] {
        ClickControl(*dynamic_cast<CTQCatalogDlg*>(QApplication::activeModalWidget()), 1);
    });
    EXPECT_TRUE(RVN::ShowWaterPropDlg(prop, db_.get()));
    EXPECT_EQ(prop.Temperature, 55);

    // Of several selected rows the first one counts.
    QTimer::singleShot(0, [] {
        auto* dlg = dynamic_cast<CTQWaterPropDlg*>(QApplication::activeModalWidget());
        ASSERT_NE(dlg, nullptr);
        SelectRows(dlg->Grid(), {2, 0});
        ClickControl(*dlg, 1);
    });
    EXPECT_TRUE(RVN::ShowWaterPropDlg(prop, db_.get()));
    EXPECT_EQ(prop.Temperature, 10);
    EXPECT_EQ(prop.ID, 2);
    EXPECT_DOUBLE_EQ(prop.Viscosity, 1.306);
    EXPECT_DOUBLE_EQ(prop.SpecificHeat, 4.1914);
}

TEST_F(PropDlgTest, EditsAndNewRowsAreWrittenAndTheChosenRowComesBackAsWritten) {
    SeedProps();
    auto dlg = OpenWater();
    CTQReportGrid* grid = dlg->Grid();
    SelectRows(grid, {1});
    ASSERT_TRUE(EditCell(grid, grid->topLevelItem(1), 1, QStringLiteral("998.25")));
    EXPECT_DOUBLE_EQ(dlg->Result().Density, 998.2) << "cells reach the records only on OK";

    ClickControl(*dlg, 14010);
    ASSERT_EQ(grid->RowCount(), 4);
    QTreeWidgetItem* added = grid->topLevelItem(3);
    EXPECT_EQ(grid->FocusedRow(), added);
    EXPECT_EQ(added->text(0), QStringLiteral("-1"));
    // Whole degrees from -50 to 400 only: text outside them is refused and
    // the cell keeps its value.
    ASSERT_TRUE(PasteCell(grid, added, 0, QStringLiteral("12.5")));
    EXPECT_EQ(added->text(0), QStringLiteral("-1"));
    ASSERT_TRUE(PasteCell(grid, added, 0, QStringLiteral("401")));
    EXPECT_EQ(added->text(0), QStringLiteral("-1"));
    ASSERT_TRUE(PasteCell(grid, added, 0, QStringLiteral("-51")));
    EXPECT_EQ(added->text(0), QStringLiteral("-1"));
    ASSERT_TRUE(EditCell(grid, added, 0, QStringLiteral("4019")));
    EXPECT_EQ(added->text(0), QStringLiteral("-1"));
    ASSERT_TRUE(EditCell(grid, added, 0, QStringLiteral("-5")));
    EXPECT_EQ(added->text(0), QStringLiteral("-5"));
    ASSERT_TRUE(EditCell(grid, added, 1, QStringLiteral("999.5")));
    ASSERT_TRUE(EditCell(grid, added, 3, QStringLiteral("1e9"))); // beyond the column's range
    EXPECT_EQ(added->text(3), QStringLiteral("0.0000"));
    ASSERT_TRUE(EditCell(grid, added, 3, QStringLiteral("2.1")));
    SelectRows(grid, {1});

    ClickControl(*dlg, 1);
    EXPECT_EQ(dlg->result(), QDialog::Accepted);
    EXPECT_TRUE(prompter_.notices.empty());
    EXPECT_EQ(SqlNumber("select round(Density * 100) from WaterProp where Temperature = 20"),
              99825);
    EXPECT_EQ(SqlNumber("select round(Viscosity * 10000) from WaterProp where Temperature = 20"),
              10038)
        << "untouched cells written back as they were";
    EXPECT_EQ(SqlNumber("select round(Viscosity * 10) from WaterProp where Temperature = -5"), 21);
    EXPECT_EQ(WaterCount(), 4);
    EXPECT_EQ(dlg->Result().ID, 3);
    EXPECT_DOUBLE_EQ(dlg->Result().Density, 998.25);
}

TEST_F(PropDlgTest, DeletionsAskFirstAndCancellingKeepsTheDialogOpen) {
    SeedProps();
    auto dlg = OpenWater();
    SelectRows(dlg->Grid(), {0, 2});
    ClickControl(*dlg, 14009);
    EXPECT_EQ(ColumnTexts(dlg->Grid(), 0), (std::vector<QString>{"20"}));
    ASSERT_EQ(dlg->DeletedIDs().GetSize(), 2);
    EXPECT_EQ(dlg->DeletedIDs()[0], 1) << "collected from the last selected row to the first";
    EXPECT_EQ(dlg->DeletedIDs()[1], 2);

    prompter_.answers = {false};
    ClickControl(*dlg, 1);
    EXPECT_TRUE(dlg->isVisible());
    EXPECT_EQ(WaterCount(), 3);
    EXPECT_EQ(dlg->DeletedIDs().GetSize(), 2);

    prompter_.answers = {true};
    ClickControl(*dlg, 1);
    ASSERT_EQ(prompter_.questions.size(), 2u);
    EXPECT_EQ(prompter_.questions[1].first, QStringLiteral("有数据被删除，确定删除？"));
    EXPECT_EQ(prompter_.questions[1].second, QStringLiteral("青衡提示"));
    EXPECT_EQ(dlg->result(), QDialog::Accepted);
    EXPECT_EQ(WaterCount(), 1);
    EXPECT_EQ(SqlNumber("select Temperature from WaterProp"), 20);
}

TEST_F(PropDlgTest, ADuplicateTemperatureIsRefusedWithNothingWritten) {
    SeedProps();
    auto dlg = OpenWater();
    CTQReportGrid* grid = dlg->Grid();
    ASSERT_TRUE(EditCell(grid, grid->topLevelItem(0), 1, QStringLiteral("999.9")));
    SelectRows(grid, {2});
    ClickControl(*dlg, 14009);
    ClickControl(*dlg, 14010);
    ASSERT_TRUE(EditCell(grid, grid->topLevelItem(2), 0, QStringLiteral("20")));

    // Two rows of 20 degC in the grid.
    prompter_.answers = {true};
    ClickControl(*dlg, 1);
    EXPECT_TRUE(dlg->isVisible());
    ASSERT_EQ(prompter_.notices.size(), 1u);
    EXPECT_TRUE(prompter_.notices[0].contains(QStringLiteral("20℃")))
        << prompter_.notices[0].toStdString();
    EXPECT_EQ(WaterCount(), 3) << "the deletion was not applied";
    EXPECT_EQ(SqlNumber("select round(Density * 10) from WaterProp where Temperature = 10"), 9997);

    // A row of 40 degC stored behind the dialog's back: the catalog refuses it.
    Sql("insert into WaterProp (Temperature, Density, Viscosity, SpecificHeat, Version) values "
        "(40, 992.2, 0.658, 4.178, 1)");
    ASSERT_TRUE(EditCell(grid, grid->topLevelItem(2), 0, QStringLiteral("40")));
    prompter_.answers = {true};
    ClickControl(*dlg, 1);
    EXPECT_TRUE(dlg->isVisible());
    ASSERT_EQ(prompter_.notices.size(), 2u);
    EXPECT_TRUE(prompter_.notices[1].contains(QStringLiteral("40℃")))
        << prompter_.notices[1].toStdString();
    EXPECT_TRUE(prompter_.notices[1].contains(QStringLiteral("已存在")));
    EXPECT_EQ(WaterCount(), 4) << "rolled back: the deletion undone too";
    EXPECT_EQ(SqlNumber("select round(Density * 10) from WaterProp where Temperature = 10"), 9997);

    ASSERT_TRUE(EditCell(grid, grid->topLevelItem(2), 0, QStringLiteral("50")));
    prompter_.answers = {true};
    ClickControl(*dlg, 1);
    EXPECT_EQ(dlg->result(), QDialog::Accepted);
    EXPECT_EQ(SqlNumber("select count(*) from WaterProp where Temperature in (30)"), 0);
    EXPECT_EQ(SqlNumber("select count(*) from WaterProp where Temperature = 50"), 1);
    EXPECT_EQ(SqlNumber("select round(Density * 10) from WaterProp where Temperature = 10"), 9999);
}

TEST_F(PropDlgTest, ANewSteamRowStartsAt100DegreesAndIsRefusedThere) {
    SeedProps();
    auto dlg = Open<CTQSteamPropDlg>(CTQSteamProp(), db_.get());
    ClickControl(*dlg, 14010);
    CTQReportGrid* grid = dlg->Grid();
    ASSERT_EQ(grid->RowCount(), 3);
    EXPECT_EQ(grid->topLevelItem(2)->text(0), QStringLiteral("100"));
    EXPECT_EQ(grid->topLevelItem(2)->text(4), QStringLiteral("0.0000"));
    ClickControl(*dlg, 1);
    EXPECT_TRUE(dlg->isVisible());
    EXPECT_EQ(prompter_.notices.size(), 1u);
    ASSERT_TRUE(EditCell(grid, grid->topLevelItem(2), 0, QStringLiteral("150")));
    ASSERT_TRUE(EditCell(grid, grid->topLevelItem(2), 1, QStringLiteral("476.16")));
    ClickControl(*dlg, 1);
    EXPECT_EQ(dlg->result(), QDialog::Accepted);
    EXPECT_EQ(SqlNumber("select round(Pressure * 100) from SteamProp where Temperature = 150"),
              47616);
}

TEST_F(PropDlgTest, WithoutAConnectionTheDialogIsEmptyAndOkKeepsTheRecord) {
    CTQSteamProp prop;
    prop.Temperature = 133;
    auto dlg = Open<CTQSteamPropDlg>(prop, nullptr);
    EXPECT_EQ(dlg->Grid()->RowCount(), 0);
    EXPECT_FALSE(dlg->Grid()->AllowEdit());
    for (int id : {14009, 14010}) {
        EXPECT_TRUE(dlg->findChild<QToolButton*>(QString::number(id))->isHidden()) << id;
    }
    ClickControl(*dlg, 1);
    EXPECT_EQ(dlg->result(), QDialog::Accepted);
    EXPECT_EQ(dlg->Result().Temperature, 133);
}

} // namespace
