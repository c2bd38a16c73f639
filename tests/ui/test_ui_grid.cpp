// Number text and the anchor arithmetic of the dialogs.
#include "ui/CTQCatalogDlg.h"
#include "ui/UiNumbers.h"

#include <QLocale>
#include <QWidget>

#include <gtest/gtest.h>

#include <limits>

namespace {

using tqrvn::ui::ExactText;
using tqrvn::ui::FixedText;
using tqrvn::ui::ReadNumber;

TEST(UiNumbers, TextIgnoresTheUserLocale) {
    ASSERT_EQ(QLocale().decimalPoint(), QStringLiteral(",")); // the test program runs in de_DE
    EXPECT_EQ(FixedText(15.745, 2), QStringLiteral("15.74")); // 15.745 is below the half in binary
    EXPECT_EQ(FixedText(1234567.5, 2), QStringLiteral("1234567.50"));
    EXPECT_EQ(FixedText(-0.125, 2), QStringLiteral("-0.12"));
    EXPECT_EQ(ExactText(0.1), QStringLiteral("0.1"));
    EXPECT_EQ(ExactText(16.125), QStringLiteral("16.125"));
    EXPECT_EQ(ReadNumber(ExactText(1.0 / 3.0)).value_or(0), 1.0 / 3.0);
}

TEST(UiNumbers, TypedTextReadsAsTheLibraryReadsNumbers) {
    EXPECT_EQ(ReadNumber(QStringLiteral("12.5")), 12.5);
    EXPECT_EQ(ReadNumber(QStringLiteral(" .5 ")), 0.5);
    EXPECT_EQ(ReadNumber(QStringLiteral("1e3")), 1000.0);
    EXPECT_EQ(ReadNumber(QStringLiteral("-51")), -51.0);
    EXPECT_EQ(ReadNumber(QStringLiteral("+2.")), 2.0);
    EXPECT_EQ(ReadNumber(QStringLiteral("４０１")), 401.0)
        << "full-width digits of an input method";
    for (const char* bad :
         {"", "1,5", "+-1", "--1", "inf", "nan", "0x10", "1e400", "1.2.3", "12a", "١٢"}) {
        EXPECT_FALSE(ReadNumber(QString::fromUtf8(bad)).has_value()) << bad;
    }
}

TEST(Anchors, GrowthGivesEachControlTheWidthItNeeds) {
    QWidget parent;
    QWidget a(&parent);
    QWidget b(&parent);
    a.setGeometry(0, 0, 100, 50);
    b.setGeometry(100, 0, 100, 50);
    CTQAnchors anchors;
    anchors.SetBaseSize(QSize(200, 50));
    anchors.Add(&a, {0, 0}, {0.25, 0});
    anchors.Add(&b, {0.25, 0}, {1, 0});
    // a grows by a quarter of the growth: 40 more pixels need 160.
    const int growth = anchors.WidthGrowthFor([&](QWidget* w) { return w == &a ? 140 : 120; });
    EXPECT_EQ(growth, 160);
    anchors.Apply(QSize(200 + growth, 50));
    EXPECT_GE(a.width(), 140);
    EXPECT_GE(b.width(), 120);
    EXPECT_EQ(anchors.WidthGrowthFor([](QWidget*) { return 10; }), 0);
}

TEST(Anchors, CornersMoveByTheirSharesOfTheGrowth) {
    const QRect r(10, 20, 100, 50);
    const QSize base(400, 300);
    EXPECT_EQ(CTQAnchors::Place(r, base, QSize(500, 340), {0, 0}, {0, 0}), r);
    EXPECT_EQ(CTQAnchors::Place(r, base, QSize(500, 340), {1, 1}, {1, 1}), r.translated(100, 40));
    EXPECT_EQ(CTQAnchors::Place(r, base, QSize(500, 340), {0.25, 0}, {1, 1}),
              QRect(35, 20, 175, 90));
    EXPECT_EQ(CTQAnchors::Place(r, base, QSize(401, 300), {0.5, 0}, {0.5, 0}).width(), 100)
        << "a control moved by equal shares keeps its size";
    EXPECT_EQ(CTQAnchors::Place(r, base, QSize(200, 300), {0, 0}, {1, 0}).width(), 0)
        << "never negative";
}

TEST(CatalogDlg, TemplateGeometryInPixels) {
    EXPECT_EQ(CTQCatalogDlg::TemplateSize(), QSize(432, 395));
    EXPECT_FALSE(CTQCatalogDlg::DialogFontFamily().isEmpty());
}

} // namespace
