// tqrvn: command-line front end of the TQRVNBase library.
//
//   tqrvn report                    friction factors and water properties (the main job)
//   tqrvn friction --re R --eps E   every friction-factor formula and the regime choice
//   tqrvn water --t T               water density and viscosity, air density
//   tqrvn convert VALUE FROM TO     unit conversion between short unit symbols
// Every command takes --json.  Numbers are read and written independently of
// the process locale.
#include "reports.h"
#include "text_format.h"
#include "unit_symbols.h"

#include <CLI/CLI.hpp>

#include <clocale>
#include <cstdio>
#include <iostream>
#include <string>

namespace {

// Exit status of a request the tool understood but cannot carry out.
constexpr int kUsageError = 2;

int Fail(const std::string& message) {
    std::cerr << "tqrvn: " << message << "\n";
    return kUsageError;
}

bool ReadNumber(const std::string& text, const char* what, double& value, int& status) {
    if (!tqrvn::ParseNumber(text, value)) {
        status = Fail(std::string("not a number for ") + what + ": '" + text + "'");
        return false;
    }
    return true;
}

std::string AcceptedUnits() {
    std::string out = "accepted units:\n";
    for (int q = 0; q < tqrvn::kQuantityCount; ++q) {
        out += "  " + tqrvn::PadRight(std::string(tqrvn::QuantityName(q)) + ":", 28) +
               tqrvn::SymbolList(q) + "\n";
    }
    return out;
}

int Convert(const std::string& valueText, const std::string& from, const std::string& to,
            bool json) {
    int status = 0;
    double value = 0;
    if (!ReadNumber(valueText, "VALUE", value, status)) {
        return status;
    }
    const tqrvn::UnitSymbol* f = tqrvn::FindUnit(from);
    const tqrvn::UnitSymbol* t = tqrvn::FindUnit(to);
    if (!f || !t) {
        return Fail("unknown unit '" + (f ? to : from) + "'\n" + AcceptedUnits());
    }
    if (f->quantity != t->quantity) {
        return Fail("cannot convert " + std::string(tqrvn::QuantityName(f->quantity)) + " (" +
                    from + ") to " + tqrvn::QuantityName(t->quantity) + " (" + to + ")\n" +
                    tqrvn::QuantityName(f->quantity) +
                    " units: " + tqrvn::SymbolList(f->quantity));
    }
    const double result = tqrvn::Convert(f->quantity, f->member, t->member, value);
    if (json) {
        std::cout << tqrvn::JsonObject()
                         .Add("value", value)
                         .Add("from", from)
                         .Add("to", to)
                         .Add("quantity", tqrvn::QuantityName(f->quantity))
                         .Add("result", result)
                         .Str()
                  << "\n";
    } else {
        std::cout << tqrvn::FormatNumber(result) << "\n";
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    // Behave as a host application would: take the user's locale.  No output
    // of the tool depends on it.
    std::setlocale(LC_ALL, "");

    CLI::App app{"TQRVNBase hydraulic calculations"};
    app.require_subcommand(0, 1);
    bool json = false;
    app.add_flag("--json", json, "print the result as JSON");

    CLI::App* report = app.add_subcommand("report", "friction factors by regime and water properties");

    CLI::App* friction = app.add_subcommand("friction", "friction factor by every formula");
    std::string reText, epsText;
    friction->add_option("--re", reText, "Reynolds number")->required();
    friction->add_option("--eps", epsText, "relative roughness K/d")->required();

    CLI::App* water = app.add_subcommand("water", "water and air properties at a temperature");
    std::string tText;
    water->add_option("--t", tText, "temperature, degC")->required();

    CLI::App* convert = app.add_subcommand("convert", "convert a value between units");
    std::string valueText, fromText, toText;
    convert->add_option("VALUE", valueText, "the value")->required();
    convert->add_option("FROM", fromText, "unit of the value, e.g. bar")->required();
    convert->add_option("TO", toText, "unit wanted, e.g. Pa")->required();

    for (CLI::App* sub : {report, friction, water, convert}) {
        sub->add_flag("--json", json, "print the result as JSON");
    }

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        return app.exit(e);
    }

    int status = 0;
    if (*friction) {
        double re = 0, eps = 0;
        if (!ReadNumber(reText, "--re", re, status) || !ReadNumber(epsText, "--eps", eps, status)) {
            return status;
        }
        const tqrvn::FrictionReport r = tqrvn::ComputeFriction(re, eps);
        std::cout << (json ? tqrvn::FrictionJson(r) + "\n" : tqrvn::FrictionText(r));
        return 0;
    }
    if (*water) {
        double t = 0;
        if (!ReadNumber(tText, "--t", t, status)) {
            return status;
        }
        const tqrvn::WaterReport r = tqrvn::ComputeWater(t);
        std::cout << (json ? tqrvn::WaterJson(r) + "\n" : tqrvn::WaterText(r));
        return 0;
    }
    if (*convert) {
        return Convert(valueText, fromText, toText, json);
    }
    std::cout << (json ? tqrvn::OverviewJson() + "\n" : tqrvn::OverviewText());
    return 0;
}
