#include "tqrvn_catalog_cli.h"

#include "catalog_commands.h"
#include "catalog/CatalogBuilder.h"

#include <iostream>

namespace tqrvn {

namespace {

std::string Joined(const std::vector<std::string>& parts, const char* separator = " ")
{
    std::string text;
    for (const std::string& part : parts)
        text += (text.empty() ? "" : separator) + part;
    return text;
}

}  // namespace

CatalogCli::CatalogCli(CLI::App& app, bool& json)
{
    AddCatalog(app, json);
    AddSize(app, json);
    AddDuct(app, json);
#if TQRVN_WITH_NETWORK
    AddNetwork(app, json);
#endif
}

bool CatalogCli::Chosen() const { return *catalog_ || *size_ || *duct_ || (network_ != nullptr && *network_); }

void CatalogCli::AddCatalog(CLI::App& app, bool& json)
{
    catalog_ = app.add_subcommand("catalog", "the engineering catalog");
    catalog_->require_subcommand(1);
    dataDir_ = RVN::SeedDataFolder();  // installed beside the library, or the source's data
    create_ = catalog_->add_subcommand("create", "build a catalog file from the seed data");
    create_->add_option("PATH", createPath_, "the catalog file to write")->required();
    create_->add_option("--data", dataDir_, "folder of schema.sql and the seed tables");
    create_->add_flag("--force", force_, "replace an existing file (or the rows on a server)");
    copy_ = catalog_->add_subcommand("copy", "copy a whole catalog between files and servers");
    copy_->add_option("FROM", copyFrom_, "the catalog to copy: a file, a connection string or a postgresql:// URI")
        ->required();
    copy_->add_option("TO", copyTo_, "the catalog to write, named the same ways")->required();
    copy_->add_option("--data", dataDir_, "folder of schema.sql, for a target without the tables");
    copy_->add_flag("--force", force_, "replace the rows of a target that holds a catalog");
    list_ = catalog_->add_subcommand("list", "print a table of the catalog");
    list_->add_option("TABLE", what_, "materials, sizes, ducts, valves, water or steam")->required();
    list_->add_option("MATERIAL", material_, "for sizes: the material's name or ID");
    list_->add_flag("--json", json, "print the result as JSON");
    export_ = catalog_->add_subcommand("export-material", "write a material file");
    export_->add_option("NAME", matlName_, "the material's name or ID")->required();
    export_->add_option("FILE", matlFile_, "the XML file to write")->required();
    import_ = catalog_->add_subcommand("import-material", "add a material file's material");
    import_->add_option("FILE", importFile_, "the XML file to read")->required();
}

void CatalogCli::AddSize(CLI::App& app, bool& json)
{
    size_ = app.add_subcommand("size", "size a pipe segment, list its sizes, or size a batch of segments");
    RVN::CTQSegmentFields& f = size_options_.fields;
    size_->add_option("--batch", size_options_.batch, "CSV file of segments, one per line (- for standard input)")
        ->type_name("FILE");
    size_->add_option("--material", f.material, "material name or ID (default: the category's first)")
        ->type_name("NAME");
    size_->add_option("--category", f.category, "water, plastic or ppr (default: the material's, else water)")
        ->type_name("CATEGORY");
    size_->add_option("--flow", flow_, "flow: m3/h, l/s, l/min, ... or kg/h, t/h, ...")->expected(1, 2)->type_name("VALUE UNIT");
    size_->add_option("--load", load_, "heat load of water (W, kW, kcal/h, ...), with --dt")->expected(1, 2)
        ->type_name("VALUE UNIT");
    size_->add_option("--dt", f.dt, "temperature difference carrying the load, K")->type_name("K");
    size_->add_option("--length", length_, "segment length (m by default)")->expected(1, 2)->type_name("VALUE [UNIT]");
    size_->add_option("--zeta", f.zeta, "local-resistance coefficients besides the fittings (default 0)")
        ->type_name("ZETA");
    size_->add_option("--fitting", fittings_, "fitting of the valve catalog, repeatable")->type_name("NAME=COUNT");
    size_->add_option("--temp", f.temp, "fluid temperature, degC (water: default 20; steam: required)")
        ->type_name("DEGC");
    size_->add_option("--by", f.by, "selection by rm (default), velocity or load")->type_name("rm|velocity|load");
    size_->add_option("--roughness", roughness_, "wall roughness (m by default; default: the material's K)")
        ->expected(1, 2)
        ->type_name("VALUE [UNIT]");
    size_->add_option("--dn", f.dn, "check this catalog size instead of selecting one")->type_name("DN");
    size_->add_flag("--steam", steam_, "saturated steam at --temp instead of water (water-pipe material)");
    size_->add_flag("--table", size_options_.table, "list every size of the material at the segment's flow");
    size_->add_flag("--csv", size_options_.csv, "print CSV rows (the batch's columns)");
    size_->add_flag("--json", json, "print the result as JSON (JSON lines for a batch)");
    size_->footer(SizeHelpFooter());
}

void CatalogCli::AddDuct(CLI::App& app, bool& json)
{
    duct_ = app.add_subcommand("duct", "pick a duct size by velocity from the catalog");
    duct_->add_option("--flow", ductFlow_, "air flow, e.g. 3000 m3/h")->expected(1, 2)->type_name("VALUE UNIT");
    duct_->add_option("--velocity", ductVelocity_, "target velocity (m/s by default)")
        ->expected(1, 2)
        ->type_name("VALUE [UNIT]");
    duct_->add_option("--roughness", ductRoughness_, "wall roughness (m by default; default 0.15 mm)")
        ->expected(1, 2)
        ->type_name("VALUE [UNIT]");
    duct_->add_flag("--circ", duct_options_.circular, "circular ducts only");
    duct_->add_flag("--rect", duct_options_.rectangular, "rectangular ducts only");
    duct_->add_flag("--json", json, "print the result as JSON");
    duct_->footer(DuctHelpFooter());
}

#if TQRVN_WITH_NETWORK
void CatalogCli::AddNetwork(CLI::App& app, bool& json)
{
    network_ = app.add_subcommand("network", "size a heating or water network: every pipe, the index circuit, the balancing");
    NetworkOptions& o = network_options_;
    network_->add_option("FILE", o.file, "the network: CSV, or JSON (.json)")->required();
    network_->add_option("--svg", o.svg, "draw the schematic to this SVG file")->type_name("FILE");
    network_->add_option("--png", o.png, "draw the schematic to this PNG file")->type_name("FILE");
    network_->add_flag("--balance-by-size", o.balanceBySize,
                       "re-size the segments of near circuits down within their limits first");
    network_->add_option("--margin", margin_, "pump head margin, % (default: the file's, else 10)")->type_name("%");
    network_->add_option("--limit", limit_, "imbalance flagged above, % (default: the file's, else 15)")->type_name("%");
    network_->add_option("--by", by_, "sizing by rm, velocity or target (target Rm)")->type_name("rm|velocity|target");
    network_->add_option("--target-rm", target_, "the target Rm, Pa/m (default 100)")->type_name("PA/M");
    network_->add_flag("--csv", o.csv, "print the network with its results as CSV");
    network_->add_flag("--json", json, "print the network with its results as JSON");
    network_->footer(NetworkHelpFooter());
}
#endif

int CatalogCli::RunCatalog(const std::string& path, bool json, std::ostream& out)
{
    if (*create_)
        return CatalogCreate(createPath_, dataDir_, force_, out, std::cerr);
    if (*copy_)
        return CatalogCopy(copyFrom_, copyTo_, dataDir_, force_, out, std::cerr);
    if (*list_)
        return CatalogList(path, what_, material_, json, out, std::cerr);
    if (*export_)
        return CatalogExportMaterial(path, matlName_, matlFile_, out, std::cerr);
    return CatalogImportMaterial(path, importFile_, out, std::cerr);
}

int CatalogCli::Run(const std::string& catalog, bool json, bool terminal, std::ostream& out)
{
    if (*catalog_)
        return RunCatalog(CatalogPath(catalog), json, out);
    if (*size_) {
        RVN::CTQSegmentFields& f = size_options_.fields;
        f.flow = Joined(flow_);
        f.load = Joined(load_);
        f.length = Joined(length_);
        f.roughness = Joined(roughness_);
        f.fittings = Joined(fittings_, ";");
        f.steam = steam_ ? "yes" : "";
        size_options_.catalog = catalog;
        size_options_.json = json;
        size_options_.progress = terminal;
        return SizeCommand(size_options_, out, std::cerr);
    }
#if TQRVN_WITH_NETWORK
    if (*network_) {
        NetworkOptions& o = network_options_;
        const std::pair<const char*, const std::string*> given[] = {
            {"margin", &margin_}, {"limit", &limit_}, {"by", &by_}, {"target-rm", &target_}};
        for (const auto& [key, text] : given)
            if (!text->empty())
                o.settings.emplace_back(key, *text);
        o.catalog = catalog;
        o.json = json;
        return NetworkCommand(o, out, std::cerr);
    }
#endif
    duct_options_.flow = Joined(ductFlow_);
    duct_options_.velocity = Joined(ductVelocity_);
    duct_options_.roughness = Joined(ductRoughness_);
    duct_options_.catalog = catalog;
    duct_options_.json = json;
    return DuctCommand(duct_options_, out, std::cerr);
}

}  // namespace tqrvn
