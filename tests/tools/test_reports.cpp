// Number text, JSON and the regime classification of the tqrvn reports.
#include "reports.h"
#include "text_format.h"

#include "calc/RVNCalc.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>

namespace {

// Runs a block under a locale whose decimal separator is a comma, and
// restores the previous locale.
class CommaLocale {
public:
    CommaLocale() : saved_(std::setlocale(LC_ALL, nullptr)) {
        active_ = std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr;
    }
    ~CommaLocale() { std::setlocale(LC_ALL, saved_.c_str()); }
    bool active() const { return active_; }

private:
    std::string saved_;
    bool active_ = false;
};

TEST(TextFormat, ShortestRoundTripTextWithAPoint) {
    CommaLocale comma;
    ASSERT_TRUE(comma.active()) << "de_DE.UTF-8 locale missing (package locales-all)";
    ASSERT_EQ(std::strcmp(std::localeconv()->decimal_point, ","), 0);
    EXPECT_EQ(tqrvn::FormatNumber(1 / 1e-05), "99999.99999999999");
    EXPECT_EQ(tqrvn::FormatNumber(0.1), "0.1");
    EXPECT_EQ(tqrvn::FormatNumber(-2.5), "-2.5");
    EXPECT_EQ(tqrvn::FormatNumber(std::numeric_limits<double>::quiet_NaN()), "nan");
    EXPECT_EQ(tqrvn::FormatNumber(-std::numeric_limits<double>::infinity()), "-inf");
    for (double x : {0.1, 1e-300, 123456.789, 2.0 / 3.0, -0.0}) {
        double back = 1;
        ASSERT_TRUE(tqrvn::ParseNumber(tqrvn::FormatNumber(x), back));
        EXPECT_EQ(std::memcmp(&back, &x, sizeof x), 0) << x;
    }
}

TEST(TextFormat, ParseAcceptsOnlyAWholeNumber) {
    CommaLocale comma;
    double v = 7;
    EXPECT_TRUE(tqrvn::ParseNumber("0.001", v));
    EXPECT_EQ(v, 0.001);
    EXPECT_TRUE(tqrvn::ParseNumber("+1e5", v));
    EXPECT_EQ(v, 1e5);
    v = 7;
    for (const char* bad : {"", "+", "0,001", "1.5x", " 1", "--1", "+-1", "abc"}) {
        EXPECT_FALSE(tqrvn::ParseNumber(bad, v)) << bad;
        EXPECT_EQ(v, 7);
    }
}

TEST(TextFormat, JsonEscapesAndNulls) {
    const std::string j = tqrvn::JsonObject()
                              .Add("a\"b", 1.5)
                              .Add("nan", std::numeric_limits<double>::quiet_NaN())
                              .Add("text", "line\n\ttab\\")
                              .Str();
    EXPECT_EQ(j, "{\"a\\\"b\": 1.5, \"nan\": null, \"text\": \"line\\n\\ttab\\\\\"}");
    EXPECT_EQ(tqrvn::JsonString(std::string("\x01", 1)), "\"\\u0001\"");
}

// The tool names the regime by repeating GetLmd's tests; the formula it
// names must give GetLmd's value everywhere.
TEST(Reports, RegimeAgreesWithGetLmd) {
    for (double eps : {0.0, 1e-5, 1e-4, 1e-3, 5e-3, 0.01, 0.05}) {
        for (double re = 100; re < 1e8; re *= 1.37) {
            const tqrvn::Regime regime = tqrvn::ClassifyRegime(re, eps);
            const double l = RVN::GetLmd(re, eps);
            const std::string name = regime.name;
            double expected = 0;
            if (name == "laminar") {
                expected = RVN::x_LF(re);
            } else if (name == "transition") {
                expected = std::pow(re, 0.3333333333333333) * 0.0025;
            } else if (name == "smooth") {
                expected = RVN::x_TF_B(re);
            } else if (name == "rough") {
                expected = RVN::x_TF_X(eps);
            } else if (name == "mixed") {
                expected = RVN::x_TF_CW(re, eps);
            } else {
                FAIL() << name << " at " << re;
            }
            ASSERT_EQ(l, expected) << name << " re=" << re << " eps=" << eps;
        }
    }
    EXPECT_STREQ(tqrvn::ClassifyRegime(0, 0.001).name, "no flow");
    EXPECT_STREQ(tqrvn::ClassifyRegime(std::nan(""), 0.001).name, "undefined");
}

TEST(Reports, OutOfRangeFormulasAreNamedNotMinusOne) {
    const tqrvn::FrictionReport r = tqrvn::ComputeFriction(200000, 0);
    const std::string text = tqrvn::FrictionText(r);
    EXPECT_EQ(text.find("-1\n"), std::string::npos) << text;
    EXPECT_NE(text.find("x_TF_B   Blasius               out of range"), std::string::npos) << text;
    EXPECT_NE(text.find("GetLmd                         out of range"), std::string::npos) << text;
    EXPECT_NE(text.find("regime: smooth"), std::string::npos);
    const std::string json = tqrvn::FrictionJson(r);
    EXPECT_NE(json.find("\"x_TF_B\": \"out of range\""), std::string::npos) << json;
    EXPECT_NE(json.find("\"x_TF_SJ\": \"out of range\""), std::string::npos) << json;
    EXPECT_EQ(json.find("-1"), std::string::npos) << json;
    // In range, the value itself.
    const tqrvn::FrictionReport ok = tqrvn::ComputeFriction(50000, 0.001);
    EXPECT_NE(tqrvn::FrictionText(ok).find(tqrvn::FormatNumber(RVN::x_TF_B(50000))),
              std::string::npos);
}

} // namespace
