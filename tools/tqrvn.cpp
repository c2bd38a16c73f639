// tqrvn: command-line front end of the TQRVNBase library.
//
//   tqrvn report                    friction factors and water properties
//   tqrvn friction --re R --eps E   every friction-factor formula and the regime choice
//   tqrvn water --t T               water density and viscosity, air density
//   tqrvn convert VALUE FROM TO     unit conversion between short unit symbols
//   tqrvn catalog ...               create, list, export and import the catalog
//   tqrvn size ...                  pipe sizing of a segment, a size table or a batch (the main job)
//   tqrvn duct ...                  duct sizing by velocity
//   tqrvn network FILE              a whole heating or water network: sizes, index circuit, balancing
// Every command takes --json, and --catalog wherever it stands.  Numbers are
// read and written independently of the process locale.  Exit status: 0
// done, 1 catalog or output unusable, 2 bad input or usage.
#include "reports.h"
#if TQRVN_WITH_CATALOG
#include "catalog_commands.h"
#include "size_command.h"
#endif
#include "checked_output.h"
#include "library_faults.h"
#include "text_format.h"

#include <TQRVNBase.h>

#include <CLI/CLI.hpp>

#include <clocale>
#include <iostream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

// Exit status of a request the tool did not understand or cannot accept.
constexpr int kUsageError = 2;

int Fail(const std::string& message)
{
    std::cerr << "tqrvn: " << message << "\n";
    return kUsageError;
}

// A command's output; whether it reached its destination is checked when
// the output is finished.
int Print(std::ostream& out, const std::string& text)
{
    out << text;
    return 0;
}

std::string AcceptedUnits()
{
    std::string out = "accepted units:\n";
    for (int q = 0; q < RVN::kQuantityCount; ++q)
        out += "  " + tqrvn::PadRight(std::string(RVN::QuantityName(q)) + ":", 28) + RVN::UnitSymbolList(q) + "\n";
    return out;
}

int Convert(const std::string& valueText, const std::string& from, const std::string& to, bool json,
            std::ostream& out)
{
    double value = 0;
    if (!RVN::ParseNumber(RVN::TrimBlanks(RVN::FoldFullWidth(valueText)), value))
        return Fail("not a number for VALUE: '" + valueText + "'");
    const RVN::CTQUnitSymbol* f = RVN::FindUnitSymbol(from);
    const RVN::CTQUnitSymbol* t = RVN::FindUnitSymbol(to);
    if (!f || !t)
        return Fail("unknown unit '" + (f ? to : from) + "'\n" + AcceptedUnits());
    if (f->quantity != t->quantity)
        return Fail("cannot convert " + std::string(RVN::QuantityName(f->quantity)) + " (" + from + ") to " +
                    RVN::QuantityName(t->quantity) + " (" + to + ")\n" + RVN::QuantityName(f->quantity) +
                    " units: " + RVN::UnitSymbolList(f->quantity));
    const double result = RVN::ConvertUnit(*f, *t, value);
    if (!json)
        return Print(out, RVN::FormatNumber(result) + "\n");
    return Print(out, tqrvn::JsonObject()
                     .Add("value", value)
                     .Add("from", from)
                     .Add("to", to)
                     .Add("quantity", RVN::QuantityName(f->quantity))
                     .Add("result", result)
                     .Str() +
                 "\n");
}

// A number option of the calculation reports, within its range.
bool ReadNumber(const std::string& text, const char* what, double low, double high, double& value, int& status)
{
    if (!RVN::ParseNumber(RVN::TrimBlanks(RVN::FoldFullWidth(text)), value)) {
        status = Fail(std::string("not a number for ") + what + ": '" + text + "'");
        return false;
    }
    if (!(value >= low && value <= high)) {
        status = Fail(std::string(what) + " " + RVN::FormatNumber(value) + " is outside " +
                      RVN::FormatNumber(low) + " to " + RVN::FormatNumber(high));
        return false;
    }
    return true;
}

struct Commands {
    bool json = false;
    std::string catalog;
    CLI::App *report = nullptr, *friction = nullptr, *water = nullptr, *convert = nullptr;
    std::string reText, epsText, tText, valueText, fromText, toText;
};

void AddReports(CLI::App& app, Commands& c)
{
    c.report = app.add_subcommand("report", "friction factors by regime and water properties");
    c.friction = app.add_subcommand("friction", "friction factor by every formula");
    c.friction->add_option("--re", c.reText, "Reynolds number, 0 or more")->required();
    c.friction->add_option("--eps", c.epsText, "relative roughness K/d, 0 to 1")->required();
    c.water = app.add_subcommand("water", "water and air properties at a temperature");
    c.water->add_option("--t", c.tText, "temperature, degC (0 to 100)")->required();
    c.convert = app.add_subcommand("convert", "convert a value between units");
    c.convert->add_option("VALUE", c.valueText, "the value")->required();
    c.convert->add_option("FROM", c.fromText, "unit of the value, e.g. bar")->required();
    c.convert->add_option("TO", c.toText, "unit wanted, e.g. Pa")->required();
    for (CLI::App* sub : {c.report, c.friction, c.water, c.convert})
        sub->add_flag("--json", c.json, "print the result as JSON");
}

int RunReports(const Commands& c, std::ostream& out)
{
    int status = 0;
    if (*c.friction) {
        double re = 0, eps = 0;
        if (!ReadNumber(c.reText, "--re", 0.0, 1e12, re, status) ||
            !ReadNumber(c.epsText, "--eps", 0.0, 1.0, eps, status))
            return status;
        const tqrvn::FrictionReport r = tqrvn::ComputeFriction(re, eps);
        return Print(out, c.json ? tqrvn::FrictionJson(r) + "\n" : tqrvn::FrictionText(r));
    }
    if (*c.water) {
        double t = 0;
        if (!ReadNumber(c.tText, "--t", 0.0, 100.0, t, status))
            return status;
        const tqrvn::WaterReport r = tqrvn::ComputeWater(t);
        return Print(out, c.json ? tqrvn::WaterJson(r) + "\n" : tqrvn::WaterText(r));
    }
    if (*c.convert)
        return Convert(c.valueText, c.fromText, c.toText, c.json, out);
    return Print(out, c.json ? tqrvn::OverviewJson() + "\n" : tqrvn::OverviewText());
}

}  // namespace

#if TQRVN_WITH_CATALOG
#include "tqrvn_catalog_cli.h"
#endif

int main(int argc, char** argv)
{
    // Behave as a host application would: take the user's locale.  No output
    // of the tool depends on it.
    std::setlocale(LC_ALL, "");
    CLI::App app{"TQRVNBase hydraulic calculations"};
    app.require_subcommand(0, 1);
    app.fallthrough();  // --catalog and --json are taken after a subcommand too
    Commands c;
    app.add_flag("--json", c.json, "print the result as JSON");
    app.add_option("--catalog", c.catalog, "catalog file (default: the library's RVNDatasource.mdb)")
        ->type_name("PATH");
    AddReports(app, c);
#if TQRVN_WITH_CATALOG
    tqrvn::CatalogCli catalogCli(app, c.json);
#endif
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& e) {
        return tqrvn::FinishStdout(app.exit(e), std::cerr);
    } catch (const CLI::CallForAllHelp& e) {
        return tqrvn::FinishStdout(app.exit(e), std::cerr);
    } catch (const CLI::ParseError& e) {
        return Fail(std::string(e.what()) + "\nRun with --help for more information.");
    }
    // Each command writes to `out`; a failed write, and whatever the library
    // throws, end it with a message and a non-zero status.
    tqrvn::CheckedOutput out;
    const int status = tqrvn::RunCatchingFaults(
        [&] {
#if TQRVN_WITH_CATALOG
            if (catalogCli.Chosen())
                return catalogCli.Run(c.catalog, c.json, isatty(STDERR_FILENO) != 0, out.stream());
#endif
            return RunReports(c, out.stream());
        },
        std::cerr);
    return tqrvn::FinishOutput(out, status, std::cerr);
}
