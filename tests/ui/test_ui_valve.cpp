// The valve coefficient dialog and its property grid, against real catalog files.
#include "UiFixture.h"

#include "ui/CTQPipeValveDlg.h"
#include "ui/CTQPropertyGrid.h"
#include "ui/RVNDialogs.h"
#include "ui/UiNumbers.h"

#include "catalog/RVNDataBase.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

// ---- the property grid on its own ------------------------------------------------

TEST(ValvePropertyGridTest, ValuesAreHeldToTheRangeAndCodeSendsNoNotice) {
    CTQPropertyGrid grid;
    int notices = 0;
    grid.onValueChanged = [&](CTQPropertyItem*) { ++notices; };
    CTQPropertyCategory* category = grid.AddCategory(QStringLiteral("阀件个数"));
    CTQPropertyItem* big = category->AddInteger(QStringLiteral("a"), 1500, 7);
    CTQPropertyItem* item = category->AddInteger(QStringLiteral("b"), 3);
    EXPECT_EQ(big->Value(), 999);
    EXPECT_EQ(big->text(1), QStringLiteral("999"));
    EXPECT_EQ(big->ID(), 7);
    EXPECT_EQ(big->Category(), category);

    item->SetValue(-4);
    EXPECT_EQ(item->Value(), 0);
    item->SetValue(12);
    EXPECT_EQ(item->text(1), QStringLiteral("12"));
    EXPECT_EQ(CTQPropertyGrid::ClampValue(1LL << 40), 999);
    EXPECT_EQ(CTQPropertyGrid::ClampValue(-(1LL << 40)), 0);
    EXPECT_EQ(notices, 0);

    // A commit sends the notice only when the value changes.
    grid.CommitValue(item, 12);
    EXPECT_EQ(notices, 0);
    grid.CommitValue(big, 5000);
    EXPECT_EQ(notices, 0) << "999 clamped is no change";
    grid.CommitValue(item, 13);
    EXPECT_EQ(notices, 1);
    EXPECT_EQ(item->Value(), 13);

    EXPECT_EQ(category->FindItem(QStringLiteral("b")), item);
    EXPECT_EQ(category->FindItem(QStringLiteral("c")), nullptr);
    EXPECT_EQ(grid.FindCategory(QStringLiteral("阀件个数")), category);
    EXPECT_FALSE(grid.EditItem(nullptr));
}

TEST(ValvePropertyGridTest, DescriptionPaneFollowsTheCurrentRow) {
    CTQPropertyGrid grid;
    CTQPropertyCategory* category = grid.AddCategory(QStringLiteral("阀件个数"));
    CTQPropertyItem* a = category->AddInteger(QStringLiteral("闸阀"), 0);
    CTQPropertyItem* b = category->AddInteger(QStringLiteral("蝶阀"), 0);
    a->SetDescription(QStringLiteral("局阻系数为 0.5"));
    a->SetToolTip(QStringLiteral("局阻系数为 0.5"));
    b->SetDescription(QStringLiteral("line 1\nline 2"));
    EXPECT_EQ(a->toolTip(0), QStringLiteral("局阻系数为 0.5"));
    EXPECT_EQ(a->toolTip(1), QStringLiteral("局阻系数为 0.5"));

    grid.SetCurrentItem(b);
    EXPECT_EQ(grid.CurrentItem(), b);
    EXPECT_EQ(grid.DescriptionCaption(), QStringLiteral("蝶阀"));
    EXPECT_EQ(grid.DescriptionText(), QStringLiteral("line 1\nline 2"));
    grid.SetCurrentItem(a);
    EXPECT_EQ(grid.DescriptionText(), QStringLiteral("局阻系数为 0.5"));
    a->SetDescription(QStringLiteral("changed"));
    EXPECT_EQ(grid.DescriptionText(), QStringLiteral("changed"));

    grid.SetCurrentItem(category);
    EXPECT_EQ(grid.CurrentItem(), nullptr);
    EXPECT_EQ(grid.DescriptionCaption(), QStringLiteral("阀件个数"));
    EXPECT_TRUE(grid.DescriptionText().isEmpty());
}

TEST(ValvePropertyGridTest, TheEditorIsASpinBoxAndEscapeKeepsTheValue) {
    CTQPropertyGrid grid;
    grid.resize(200, 300);
    grid.show();
    grid.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&grid));
    int notices = 0;
    grid.onValueChanged = [&](CTQPropertyItem*) { ++notices; };
    CTQPropertyCategory* category = grid.AddCategory(QStringLiteral("阀件个数"));
    CTQPropertyItem* item = category->AddInteger(QStringLiteral("闸阀"), 4);

    QTreeWidgetItem* asRow = category;
    EXPECT_FALSE(grid.EditItem(static_cast<CTQPropertyItem*>(nullptr)));
    grid.SetCurrentItem(asRow);
    EXPECT_EQ(grid.Editor(), nullptr);

    ASSERT_TRUE(grid.EditItem(item));
    QSpinBox* spin = grid.Editor();
    ASSERT_NE(spin, nullptr);
    EXPECT_EQ(spin->minimum(), 0);
    EXPECT_EQ(spin->maximum(), 999);
    EXPECT_EQ(spin->value(), 4);
    EXPECT_TRUE(spin->hasFocus()) << "closing the editor then takes focus from it";
    spin->selectAll();
    QTest::keyClicks(spin, "77");
    QTest::keyClick(spin, Qt::Key_Escape);
    QApplication::processEvents();
    EXPECT_EQ(grid.Editor(), nullptr);
    EXPECT_EQ(item->Value(), 4);
    EXPECT_EQ(notices, 0);

    // Typed digits are taken when the edit is ended.
    ASSERT_TRUE(grid.EditItem(item));
    grid.Editor()->selectAll();
    QTest::keyClicks(grid.Editor(), "15");
    grid.EndEdit();
    QApplication::processEvents();
    EXPECT_EQ(item->Value(), 15);
    EXPECT_EQ(notices, 1);
}

// ---- the dialog ----------------------------------------------------------------------

class ValveDlgTest : public UiTest {
protected:
    // Kind 1: 闸阀 0.5 and 止回阀 2.0 fixed, 蝶阀 {15: 2.0, 100: 0.5} and
    // 球阀 {25: 0.125, 50: 1.0} by DN; kind 2: 弯头 0.3.
    void SeedValves() {
        Sql("insert into PipeValve (ID, Type, ValveName, Coef, CalType, Variable, DnCandidate, "
            "CoefCandidate, Version)"
            " values (1, 1, '闸阀', 0.5, 0, 0, '', '', 1),"
            " (2, 1, '止回阀', 2.0, 0, 0, '', '', 1),"
            " (3, 1, '蝶阀', 0, 0, 1, '100,15', '0.500000,2.000000', 1),"
            " (4, 1, '球阀', 0, 0, 1, '25,50', '0.125000,1.000000', 1),"
            " (5, 2, '弯头', 0.3, 0, 0, '', '', 1);");
    }

    std::unique_ptr<CTQPipeValveDlg> Open(const CTQArray<CTQPipeValve>& valves, int flag, int dn,
                                          CADODatabase* db) {
        auto dlg = std::make_unique<CTQPipeValveDlg>(db, 1, flag, dn, valves);
        dlg->show();
        QApplication::processEvents();
        return dlg;
    }
    std::unique_ptr<CTQPipeValveDlg> Open(const CTQArray<CTQPipeValve>& valves, int flag = 0,
                                          int dn = 100) {
        return Open(valves, flag, dn, db_.get());
    }

    static CTQPipeValve Named(const char* name, double coef, long id = -1) {
        CTQPipeValve v(name, coef);
        v.ID = id;
        return v;
    }
    static CTQPipeValve ByDn(const char* name, std::vector<std::pair<int, double>> table,
                             long id = -1) {
        CTQPipeValve v(name, 0.0);
        v.Variable = 1;
        v.ID = id;
        for (const auto& [dn, coef] : table) {
            v.DnCoef[dn] = coef;
        }
        return v;
    }

    static std::vector<QString> Captions(const CTQPropertyGrid* grid) {
        std::vector<QString> names;
        for (const CTQPropertyItem* item : grid->Category(0)->Items()) {
            names.push_back(item->Caption());
        }
        return names;
    }
    static CTQPropertyItem* Item(const CTQPropertyGrid* grid, const char* name) {
        return grid->Category(0)->FindItem(QString::fromUtf8(name));
    }
    static QString Text(const CTQPipeValveDlg& dlg, int id) {
        auto* edit = dlg.findChild<QLineEdit*>(QString::number(id));
        return edit ? edit->text() : QStringLiteral("<none>");
    }
    static QLineEdit* Edit(const CTQPipeValveDlg& dlg, int id) {
        return dlg.findChild<QLineEdit*>(QString::number(id));
    }
};

TEST_F(ValveDlgTest, ThreeCopiesAndAnUnnamedValveComeBackCountedWithTheirTotal) {
    SeedValves();
    CTQArray<CTQPipeValve> valves;
    for (int i = 0; i < 3; ++i) {
        valves.Add(Named("闸阀", 0.5, 1));
    }
    valves.Add(CTQPipeValve("", 1.2));
    bool checked = false;
    QTimer::singleShot(0, [&] {
        auto* dlg = dynamic_cast<CTQPipeValveDlg*>(QApplication::activeModalWidget());
        ASSERT_NE(dlg, nullptr);
        EXPECT_EQ(dlg->windowTitle(), QStringLiteral("局阻系数"));
        ASSERT_NE(Item(dlg->LeftGrid(), "闸阀"), nullptr);
        EXPECT_EQ(Item(dlg->LeftGrid(), "闸阀")->Value(), 3);
        EXPECT_EQ(Text(*dlg, 10005), QStringLiteral("1.20"));
        EXPECT_EQ(Text(*dlg, 10006), QStringLiteral("2.70"));
        checked = true;
        ClickControl(*dlg, CTQCatalogDlg::IDOK);
    });
    // A null connection opens the default catalog connection.
    RVN::SetRVNBaseDataBase(db_.get());
    const double total = RVN::ShowPipeValveDlg(valves, 50, 1, 0);
    RVN::SetRVNBaseDataBase(nullptr);
    EXPECT_TRUE(checked);
    EXPECT_NEAR(total, 2.7, 1e-12);
    ASSERT_EQ(valves.GetSize(), 4);
    EXPECT_TRUE(valves[0].ValveName.empty());
    EXPECT_NEAR(valves[0].Coef, 1.2, 1e-12);
    for (int i = 1; i < 4; ++i) {
        EXPECT_EQ(valves[i].ValveName, "闸阀");
        EXPECT_EQ(valves[i].ID, 1);
        EXPECT_DOUBLE_EQ(valves[i].Coef, 0.5);
    }
}

TEST_F(ValveDlgTest, CancelReturnsMinusOneAndLeavesTheArray) {
    SeedValves();
    CTQArray<CTQPipeValve> valves;
    valves.Add(Named("止回阀", 2.0, 2));
    valves.Add(CTQPipeValve("", 0.4));
    QTimer::singleShot(0, [&] {
        auto* dlg = dynamic_cast<CTQPipeValveDlg*>(QApplication::activeModalWidget());
        ASSERT_NE(dlg, nullptr);
        Item(dlg->LeftGrid(), "闸阀")->SetValue(5);
        Edit(*dlg, 10005)->setText(QStringLiteral("3"));
        ClickControl(*dlg, CTQCatalogDlg::IDCANCEL);
    });
    EXPECT_EQ(RVN::ShowPipeValveDlg(valves, 50, 1, 1, db_.get()), -1.0);
    ASSERT_EQ(valves.GetSize(), 2);
    EXPECT_EQ(valves[0].ValveName, "止回阀");
    EXPECT_TRUE(valves[1].ValveName.empty());
    EXPECT_DOUBLE_EQ(valves[1].Coef, 0.4);
}

TEST_F(ValveDlgTest, WithoutTheFlagOnlyFixedValvesAreListedAndAnInputByDnGoesLeft) {
    SeedValves();
    CTQArray<CTQPipeValve> valves;
    valves.Add(ByDn("蝶阀", {{15, 2.0}, {100, 0.5}}, 3));
    auto dlg = Open(valves, 0, 100);
    EXPECT_EQ(dlg->RightGrid(), nullptr);
    EXPECT_EQ(dlg->findChild<QLabel*>(QStringLiteral("14004")), nullptr);
    EXPECT_EQ(dlg->findChild<QLabel*>(QStringLiteral("14003"))->text(), QStringLiteral("管径无关"));
    EXPECT_EQ(dlg->findChild<QLabel*>(QStringLiteral("10003"))->text(),
              QStringLiteral("其它局阻系数:"));
    EXPECT_EQ(dlg->findChild<QLabel*>(QStringLiteral("10004"))->text(),
              QStringLiteral("总的局阻系数:"));
    EXPECT_TRUE(Edit(*dlg, 10006)->isReadOnly());
    EXPECT_FALSE(Edit(*dlg, 10005)->isReadOnly());
    // The catalog's in name order (止 U+6B62 before 闸 U+95F8), then the caller's valve.
    EXPECT_EQ(Captions(dlg->LeftGrid()),
              (std::vector<QString>{QStringLiteral("止回阀"), QStringLiteral("闸阀"),
                                    QStringLiteral("蝶阀")}));

    CTQPropertyItem* butterfly = Item(dlg->LeftGrid(), "蝶阀");
    EXPECT_EQ(butterfly->Value(), 1);
    EXPECT_EQ(butterfly->ID(), 3);
    EXPECT_DOUBLE_EQ(CTQPipeValveDlg::ItemValue(butterfly, 100), 0.5);
    EXPECT_DOUBLE_EQ(dlg->Total(), 0.5);
    EXPECT_EQ(Text(*dlg, 10006), QStringLiteral("0.50"));
    EXPECT_EQ(Item(dlg->LeftGrid(), "闸阀")->ToolTip(), QStringLiteral("局阻系数为 0.5"));
    EXPECT_EQ(Item(dlg->LeftGrid(), "闸阀")->ID(), 1);

    // The grid spans both frames; the edits sit under their frames.
    const QRect grid = dlg->LeftGrid()->geometry();
    const QRect label = dlg->findChild<QLabel*>(QStringLiteral("10003"))->geometry();
    const QRect other = Edit(*dlg, 10005)->geometry();
    const QRect total = Edit(*dlg, 10006)->geometry();
    EXPECT_EQ(label.top(), grid.bottom() + 1 + 10);
    EXPECT_EQ(label.size(), QSize(80, 20));
    EXPECT_EQ(other.left(), label.left() + 85);
    EXPECT_EQ(other.top(), label.top() - 3);
    EXPECT_EQ(other.height(), 20);
    EXPECT_LT(other.right(), total.left());
    EXPECT_EQ(total.right(), grid.right());

    const QSize size = dlg->size();
    dlg->resize(size + QSize(100, 40));
    EXPECT_EQ(dlg->LeftGrid()->geometry(), QRect(grid.topLeft(), grid.size() + QSize(100, 40)));
    EXPECT_EQ(Edit(*dlg, 10005)->geometry(),
              QRect(other.left(), other.top() + 40, other.width() + 50, 20));
    EXPECT_EQ(Edit(*dlg, 10006)->geometry(),
              QRect(total.left() + 50, total.top() + 40, total.width() + 50, 20));
    dlg->resize(size);
}

TEST_F(ValveDlgTest, WithTheFlagTheRightPaneCountsByDnAndUnlistedOnesBecomeOther) {
    SeedValves();
    CTQArray<CTQPipeValve> valves;
    valves.Add(ByDn("蝶阀", {{15, 2.0}, {100, 0.5}}, 3));
    valves.Add(ByDn("蝶阀", {{15, 2.0}, {100, 0.5}}, 3));
    CTQPipeValve unlisted = ByDn("调节阀", {{50, 9.0}});
    unlisted.Coef = 0.7; // the fixed coefficient is what counts as other
    valves.Add(unlisted);
    valves.Add(Named("止回阀", 2.0, 2));
    auto dlg = Open(valves, 1, 50);
    ASSERT_NE(dlg->RightGrid(), nullptr);
    EXPECT_EQ(dlg->findChild<QLabel*>(QStringLiteral("14004"))->text(), QStringLiteral("管径相关"));
    EXPECT_EQ(dlg->LeftGrid()->Category(0)->ItemCount(), 2);
    EXPECT_EQ(Item(dlg->LeftGrid(), "蝶阀"), nullptr);
    EXPECT_EQ(Item(dlg->LeftGrid(), "止回阀")->Value(), 1);
    EXPECT_EQ(dlg->RightGrid()->Category(0)->ItemCount(), 2);
    EXPECT_EQ(Item(dlg->RightGrid(), "蝶阀")->Value(), 2);
    EXPECT_EQ(Item(dlg->RightGrid(), "球阀")->Value(), 0);
    EXPECT_EQ(Item(dlg->RightGrid(), "调节阀"), nullptr);
    EXPECT_TRUE(Item(dlg->RightGrid(), "蝶阀")->ToolTip().isEmpty());

    // At DN 50: 2 x (interpolated 1.6470588...) + 2.0, other 0.70.
    const double butterfly = (50.0 - 15) / 85 * 0.5 + (100.0 - 50) / 85 * 2.0;
    EXPECT_NEAR(dlg->Total(), 2 * butterfly + 2.0, 1e-12);
    EXPECT_EQ(Text(*dlg, 10005), QStringLiteral("0.70"));
    EXPECT_DOUBLE_EQ(dlg->OtherCoef(), 0.7);
    EXPECT_EQ(Text(*dlg, 10006), tqrvn::ui::FixedText(2 * butterfly + 2.7, 2));

    // Each grid fills its frame; they share the added width.
    const QRect left = dlg->LeftGrid()->geometry();
    const QRect right = dlg->RightGrid()->geometry();
    EXPECT_LT(left.right(), right.left());
    EXPECT_EQ(left.top(), right.top());
    const QSize size = dlg->size();
    dlg->resize(size + QSize(100, 40));
    EXPECT_EQ(dlg->LeftGrid()->geometry(), QRect(left.topLeft(), left.size() + QSize(50, 40)));
    EXPECT_EQ(dlg->RightGrid()->geometry(),
              QRect(right.left() + 50, right.top(), right.width() + 50, right.height() + 40));
    dlg->resize(size);

    ClickControl(*dlg, CTQCatalogDlg::IDOK);
    const CTQArray<CTQPipeValve>& result = dlg->Result();
    ASSERT_EQ(result.GetSize(), 4);
    EXPECT_TRUE(result[0].ValveName.empty());
    EXPECT_DOUBLE_EQ(result[0].Coef, 0.7);
    EXPECT_EQ(result[1].ValveName, "止回阀");
    EXPECT_EQ(result[2].ValveName, "蝶阀");
    EXPECT_EQ(result[3].ID, 3);
    EXPECT_EQ(result[3].DnCoef.GetCount(), 2);
}

TEST_F(ValveDlgTest, AnOtherCoefficientOfZeroAddsNoUnnamedValve) {
    SeedValves();
    CTQArray<CTQPipeValve> valves;
    valves.Add(CTQPipeValve("", 0.3));
    auto dlg = Open(valves);
    EXPECT_EQ(Text(*dlg, 10005), QStringLiteral("0.30"));
    Item(dlg->LeftGrid(), "闸阀")->SetValue(2);
    Edit(*dlg, 10005)->setText(QStringLiteral("0.00"));
    ClickControl(*dlg, CTQCatalogDlg::IDOK);
    EXPECT_EQ(dlg->result(), QDialog::Accepted);
    ASSERT_EQ(dlg->Result().GetSize(), 2);
    EXPECT_EQ(dlg->Result()[0].ValveName, "闸阀");
    EXPECT_EQ(dlg->Result()[1].ValveName, "闸阀");
}

TEST_F(ValveDlgTest, TypedTextSetsTheOtherCoefficient) {
    SeedValves();
    CTQArray<CTQPipeValve> valves;
    valves.Add(Named("止回阀", 2.0, 2));
    valves.Add(CTQPipeValve("", 1.0));
    auto dlg = Open(valves);
    QLineEdit* other = Edit(*dlg, 10005);
    EXPECT_EQ(Text(*dlg, 10006), QStringLiteral("3.00"));

    other->selectAll();
    QTest::keyClicks(other, "abc");
    EXPECT_EQ(dlg->OtherCoef(), 0.0);
    EXPECT_EQ(Text(*dlg, 10006), QStringLiteral("2.00"));

    other->clear();
    QTest::keyClicks(other, "0.25");
    EXPECT_DOUBLE_EQ(dlg->OtherCoef(), 0.25);
    EXPECT_EQ(Text(*dlg, 10006), QStringLiteral("2.25"));
    QTest::keyClicks(other, "x");
    EXPECT_EQ(dlg->OtherCoef(), 0.0) << "0.25x is not a number";

    // A negative extra (a converging tee) lowers the total.
    other->clear();
    QTest::keyClicks(other, "-0.5");
    EXPECT_DOUBLE_EQ(dlg->OtherCoef(), -0.5);
    EXPECT_EQ(Text(*dlg, 10006), QStringLiteral("1.50"));
    ClickControl(*dlg, CTQCatalogDlg::IDOK);
    ASSERT_EQ(dlg->Result().GetSize(), 2);
    EXPECT_DOUBLE_EQ(dlg->Result()[0].Coef, -0.5);
}

TEST_F(ValveDlgTest, ACountTypedIntoTheSpinBoxUpdatesTheTotalWithOneNotice) {
    SeedValves();
    auto dlg = Open(CTQArray<CTQPipeValve>());
    CTQPropertyGrid* grid = dlg->LeftGrid();
    int notices = 0;
    auto handler = grid->onValueChanged;
    grid->onValueChanged = [&](CTQPropertyItem* item) {
        ++notices;
        handler(item);
    };
    CTQPropertyItem* check = Item(grid, "止回阀");
    ASSERT_TRUE(grid->EditItem(check));
    QSpinBox* spin = grid->Editor();
    ASSERT_NE(spin, nullptr);
    spin->selectAll();
    QTest::keyClicks(spin, "3");
    EXPECT_EQ(notices, 0) << "digits alone commit nothing";
    QTest::keyClick(spin, Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_TRUE(dlg->isVisible()) << "Enter in the editor does not close the dialog";
    EXPECT_EQ(check->Value(), 3);
    EXPECT_EQ(notices, 1);
    EXPECT_DOUBLE_EQ(dlg->Total(), 6.0);
    EXPECT_EQ(Text(*dlg, 10006), QStringLiteral("6.00"));

    // A step of the arrow keys commits at once.
    ASSERT_TRUE(grid->EditItem(Item(grid, "闸阀")));
    QTest::keyClick(grid->Editor(), Qt::Key_Up);
    EXPECT_EQ(notices, 2);
    EXPECT_EQ(Text(*dlg, 10006), QStringLiteral("6.50"));
    grid->EndEdit();
    QApplication::processEvents();
    EXPECT_EQ(notices, 2);
}

TEST_F(ValveDlgTest, CountsStopAt999) {
    SeedValves();
    CTQArray<CTQPipeValve> valves;
    for (int i = 0; i < 1001; ++i) {
        valves.Add(Named("闸阀", 0.5, 1));
    }
    auto dlg = Open(valves);
    EXPECT_EQ(Item(dlg->LeftGrid(), "闸阀")->Value(), 999);
    EXPECT_DOUBLE_EQ(dlg->Total(), 499.5);
    ClickControl(*dlg, CTQCatalogDlg::IDOK);
    EXPECT_EQ(dlg->Result().GetSize(), 999);
}

TEST_F(ValveDlgTest, DnTablesAreDescribedInAlignedColumns) {
    EXPECT_EQ(CTQPipeValveDlg::Description(ByDn("x", {{100, 0.5}, {15, 2.0}})),
              QStringLiteral("15    100   \n2.00  0.50  "));
    EXPECT_EQ(CTQPipeValveDlg::Description(ByDn("x", {{1000, 12.345}, {25, 0.125}})),
              QStringLiteral("25    1000   \n0.13  12.35  "));
    EXPECT_EQ(CTQPipeValveDlg::Description(Named("x", 0.25)), QStringLiteral("局阻系数为 0.25"));
    EXPECT_EQ(CTQPipeValveDlg::Description(Named("x", 1234567.0)),
              QStringLiteral("局阻系数为 1.23457e+06"));

    // Half away from zero on the decimal value as written.
    const std::pair<double, const char*> cases[] = {
        {0.125, "0.13"},  {2.675, "2.68"},   {1.005, "1.01"}, {0.994, "0.99"},
        {9.995, "10.00"}, {-0.125, "-0.13"}, {0.5, "0.50"},   {3.0, "3.00"},
        {0.004, "0.00"},  {-0.004, "0.00"},  {1e-9, "0.00"}};
    for (const auto& [value, text] : cases) {
        EXPECT_EQ(CTQPipeValveDlg::CoefText(value), QString::fromLatin1(text)) << value;
    }

    // The item of a catalog valve carries its table's description.
    SeedValves();
    auto dlg = Open(CTQArray<CTQPipeValve>(), 1, 50);
    CTQPropertyItem* ball = Item(dlg->RightGrid(), "球阀");
    EXPECT_EQ(ball->Description(), QStringLiteral("25    50    \n0.13  1.00  "));
    dlg->RightGrid()->SetCurrentItem(ball);
    EXPECT_EQ(dlg->RightGrid()->DescriptionCaption(), QStringLiteral("球阀"));
    EXPECT_EQ(dlg->RightGrid()->DescriptionText(), ball->Description());
}

TEST_F(ValveDlgTest, AnUnstoredInputIsCompletedByNameFromTheCatalog) {
    SeedValves();
    CTQArray<CTQPipeValve> valves;
    valves.Add(Named("蝶阀", 9.0));   // fixed as given, DN-dependent in the catalog
    valves.Add(Named("未知阀", 0.8)); // not in the catalog: keeps its values
    auto dlg = Open(valves, 1, 100);
    EXPECT_EQ(Item(dlg->LeftGrid(), "蝶阀"), nullptr);
    EXPECT_EQ(Item(dlg->RightGrid(), "蝶阀")->Value(), 1);
    CTQPropertyItem* unknown = Item(dlg->LeftGrid(), "未知阀");
    ASSERT_NE(unknown, nullptr);
    EXPECT_EQ(unknown->Value(), 1);
    EXPECT_EQ(unknown->ID(), 0);
    EXPECT_DOUBLE_EQ(CTQPipeValveDlg::ItemValue(unknown, 100), 0.8);
    EXPECT_DOUBLE_EQ(dlg->OtherCoef(), 0.0);
    EXPECT_DOUBLE_EQ(dlg->Total(), 1.3);

    ClickControl(*dlg, CTQCatalogDlg::IDOK);
    ASSERT_EQ(dlg->Result().GetSize(), 2);
    EXPECT_EQ(dlg->Result()[0].ValveName, "未知阀");
    EXPECT_EQ(dlg->Result()[0].ID, -1);
    EXPECT_EQ(dlg->Result()[1].ID, 3);
    EXPECT_TRUE(dlg->Result()[1].Variable);
}

TEST_F(ValveDlgTest, WithoutAConnectionOnlyTheCallersValvesAreListed) {
    SeedValves();
    CTQArray<CTQPipeValve> valves;
    valves.Add(Named("闸阀", 0.5, 1));
    valves.Add(Named("闸阀", 0.5, 1));
    valves.Add(ByDn("蝶阀", {{100, 0.5}}, 3));
    CTQPipeValve byDn = ByDn("球阀", {{50, 1.0}}, 4);
    byDn.Coef = 0.6;
    valves.Add(byDn);
    auto dlg = Open(valves, 1, 100, nullptr);
    EXPECT_EQ(Captions(dlg->LeftGrid()), (std::vector<QString>{QStringLiteral("闸阀")}));
    EXPECT_EQ(Item(dlg->LeftGrid(), "闸阀")->Value(), 2);
    EXPECT_EQ(dlg->RightGrid()->Category(0)->ItemCount(), 0);
    EXPECT_DOUBLE_EQ(dlg->OtherCoef(), 0.6)
        << "the fixed coefficients of both DN-dependent valves (0 and 0.6)";
    EXPECT_EQ(Text(*dlg, 10006), QStringLiteral("1.60"));
    for (int id : {14007, 14008, 14009, 14010}) {
        EXPECT_EQ(dlg->findChild<QWidget*>(QString::number(id)), nullptr) << id;
    }
}

} // namespace
