// tqrvn: command-line front end of the TQRVNBase library.
//
//   tqrvn report                    friction factors and water properties (the main job)
//   tqrvn friction --re R --eps E   every friction-factor formula and the regime choice
//   tqrvn water --t T               water density and viscosity, air density
//   tqrvn convert VALUE FROM TO     unit conversion between short unit symbols
//   tqrvn catalog ...               create, list, export and import the catalog
//   tqrvn size ...                  pipe sizing of a segment or a batch (the main job)
//   tqrvn duct ...                  duct sizing by velocity
// Every command takes --json.  Numbers are read and written independently of
// the process locale.
#include "reports.h"
#if TQRVN_WITH_CATALOG
#include "catalog_commands.h"
#include "size_command.h"
#endif
#include "checked_output.h"
#include "library_faults.h"
#include "text_format.h"
#include "unit_symbols.h"

#include <CLI/CLI.hpp>

#include <clocale>
#include <cstdio>
#include <iostream>
#include <string>
#include <unistd.h>
#include <vector>

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
            bool json, std::ostream& out) {
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
        out << tqrvn::JsonObject()
                   .Add("value", value)
                   .Add("from", from)
                   .Add("to", to)
                   .Add("quantity", tqrvn::QuantityName(f->quantity))
                   .Add("result", result)
                   .Str()
            << "\n";
    } else {
        out << tqrvn::FormatNumber(result) << "\n";
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

#if TQRVN_WITH_CATALOG
    CLI::App* catalog = app.add_subcommand("catalog", "the engineering catalog");
    catalog->require_subcommand(1);
    std::string catalogPath;
    catalog->add_option("--catalog", catalogPath,
                        "catalog file (default: the library's RVNDatasource.mdb)");
    CLI::App* create = catalog->add_subcommand("create", "build a catalog file from the seed data");
    std::string createPath, dataDir = TQRVN_DATA_DIR;
    bool force = false;
    create->add_option("PATH", createPath, "the catalog file to write")->required();
    create->add_option("--data", dataDir, "folder of schema.sql and the seed tables");
    create->add_flag("--force", force, "replace an existing file");
    CLI::App* list = catalog->add_subcommand("list", "print a table of the catalog");
    std::string what, material;
    list->add_option("TABLE", what, "materials, sizes, ducts, valves, water or steam")->required();
    list->add_option("MATERIAL", material, "for sizes: the material's name or ID");
    list->add_flag("--json", json, "print the result as JSON");
    CLI::App* exportMatl = catalog->add_subcommand("export-material", "write a material file");
    std::string matlName, matlFile;
    exportMatl->add_option("NAME", matlName, "the material's name or ID")->required();
    exportMatl->add_option("FILE", matlFile, "the XML file to write")->required();
    CLI::App* importMatl = catalog->add_subcommand("import-material", "add a material file's material");
    std::string importFile;
    importMatl->add_option("FILE", importFile, "the XML file to read")->required();

    CLI::App* size =
        app.add_subcommand("size", "size a pipe segment, or a batch of segments, from the catalog");
    tqrvn::SizeOptions sizeOpts;
    tqrvn::SegmentText& seg = sizeOpts.segment;
    std::vector<std::string> flowParts, loadParts, lengthParts, roughnessParts, fittings;
    bool steam = false;
    size->add_option("--catalog", sizeOpts.catalog,
                     "catalog file (default: the library's RVNDatasource.mdb)")
        ->type_name("PATH");
    size->add_option("--batch", sizeOpts.batch,
                     "CSV file of segments, one per line (- for standard input)")
        ->type_name("FILE");
    size->add_option("--material", seg.material,
                     "material name or ID (default: the category's first)")
        ->type_name("NAME");
    size->add_option("--category", seg.category,
                     "water, plastic or ppr (default: the material's, else water)")
        ->type_name("CATEGORY");
    size->add_option("--flow", flowParts, "flow: m3/h, l/s, m3/s, ... or kg/h, kg/s, ...")
        ->expected(1, 2)
        ->type_name("VALUE UNIT");
    size->add_option("--load", loadParts, "heat load of water (W by default), with --dt")
        ->expected(1, 2)
        ->type_name("VALUE [UNIT]");
    size->add_option("--dt", seg.dt, "temperature difference carrying the load, K")->type_name("K");
    size->add_option("--length", lengthParts, "segment length (m by default)")
        ->expected(1, 2)
        ->type_name("VALUE [UNIT]");
    size->add_option("--zeta", seg.zeta,
                     "local-resistance coefficients besides the fittings (default 0)")
        ->type_name("ZETA");
    size->add_option("--fitting", fittings, "fitting of the valve catalog, repeatable")
        ->type_name("NAME=COUNT");
    size->add_option("--temp", seg.temp,
                     "fluid temperature, degC (water: default 20; steam: required)")
        ->type_name("DEGC");
    size->add_option("--by", seg.by, "selection by rm (default), velocity or load")
        ->type_name("rm|velocity|load");
    size->add_option("--roughness", roughnessParts,
                     "wall roughness (m by default; default: the material's K)")
        ->expected(1, 2)
        ->type_name("VALUE [UNIT]");
    size->add_flag("--steam", steam,
                   "saturated steam at --temp instead of water (water-pipe material)");
    size->add_flag("--json", json, "print the result as JSON (JSON lines for a batch)");
    size->footer(tqrvn::SizeHelpFooter());

    CLI::App* duct = app.add_subcommand("duct", "pick a duct size by velocity from the catalog");
    tqrvn::DuctOptions ductOpts;
    std::vector<std::string> ductFlow, ductVelocity, ductRoughness;
    duct->add_option("--catalog", ductOpts.catalog,
                     "catalog file (default: the library's RVNDatasource.mdb)")
        ->type_name("PATH");
    duct->add_option("--flow", ductFlow, "air flow, e.g. 3000 m3/h")
        ->expected(1, 2)
        ->type_name("VALUE UNIT");
    duct->add_option("--velocity", ductVelocity, "target velocity (m/s by default)")
        ->expected(1, 2)
        ->type_name("VALUE [UNIT]");
    duct->add_option("--roughness", ductRoughness, "wall roughness (m by default; default 0.15 mm)")
        ->expected(1, 2)
        ->type_name("VALUE [UNIT]");
    duct->add_flag("--circ", ductOpts.circular, "circular ducts only");
    duct->add_flag("--rect", ductOpts.rectangular, "rectangular ducts only");
    duct->add_flag("--json", json, "print the result as JSON");
    duct->footer(tqrvn::DuctHelpFooter());
#endif

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        return tqrvn::FinishStdout(app.exit(e), std::cerr);
    }

    // Each command writes to `out`; a failed write, and whatever the library
    // throws, end it with a message and a non-zero status.
    const auto run = [&](std::ostream& out) -> int {
        int status = 0;
        if (*friction) {
            double re = 0, eps = 0;
            if (!ReadNumber(reText, "--re", re, status) || !ReadNumber(epsText, "--eps", eps, status)) {
                return status;
            }
            const tqrvn::FrictionReport r = tqrvn::ComputeFriction(re, eps);
            out << (json ? tqrvn::FrictionJson(r) + "\n" : tqrvn::FrictionText(r));
            return 0;
        }
        if (*water) {
            double t = 0;
            if (!ReadNumber(tText, "--t", t, status)) {
                return status;
            }
            const tqrvn::WaterReport r = tqrvn::ComputeWater(t);
            out << (json ? tqrvn::WaterJson(r) + "\n" : tqrvn::WaterText(r));
            return 0;
        }
        if (*convert) {
            return Convert(valueText, fromText, toText, json, out);
        }
#if TQRVN_WITH_CATALOG
        if (*catalog) {
            const std::string path = tqrvn::CatalogPath(catalogPath);
            if (*create) {
                return tqrvn::CatalogCreate(createPath, dataDir, force, out, std::cerr);
            }
            if (*list) {
                return tqrvn::CatalogList(path, what, material, json, out, std::cerr);
            }
            if (*exportMatl) {
                return tqrvn::CatalogExportMaterial(path, matlName, matlFile, out, std::cerr);
            }
            return tqrvn::CatalogImportMaterial(path, importFile, out, std::cerr);
        }
        // A value and its unit may come as one argument or two ("--flow 3 m3/h").
        const auto joined = [](const std::vector<std::string>& parts) {
            std::string text;
            for (const std::string& part : parts) {
                text += (text.empty() ? "" : " ") + part;
            }
            return text;
        };
        if (*size) {
            seg.flow = joined(flowParts);
            seg.load = joined(loadParts);
            seg.length = joined(lengthParts);
            seg.roughness = joined(roughnessParts);
            for (const std::string& f : fittings) {
                seg.fittings += (seg.fittings.empty() ? "" : ";") + f;
            }
            seg.steam = steam ? "yes" : "";
            sizeOpts.json = json;
            sizeOpts.progress = isatty(STDERR_FILENO) != 0;
            return tqrvn::SizeCommand(sizeOpts, out, std::cerr);
        }
        if (*duct) {
            ductOpts.flow = joined(ductFlow);
            ductOpts.velocity = joined(ductVelocity);
            ductOpts.roughness = joined(ductRoughness);
            ductOpts.json = json;
            return tqrvn::DuctCommand(ductOpts, out, std::cerr);
        }
#endif
        out << (json ? tqrvn::OverviewJson() + "\n" : tqrvn::OverviewText());
        return 0;
    };
    tqrvn::CheckedOutput out;
    const int status = tqrvn::RunCatchingFaults([&] { return run(out.stream()); }, std::cerr);
    return tqrvn::FinishOutput(out, status, std::cerr);
}
