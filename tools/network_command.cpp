// "tqrvn network FILE": the file read, the options applied, the network
// sized by the library, then the schematic written whole and the report
// printed.  Nothing is written when the network is at fault.
#include "network_command.h"

#include "catalog_commands.h"
#include "checked_output.h"
#include "size_command.h"

#include <TQRVNBase.h>

namespace tqrvn {

namespace {

void PrintErrors(const std::string& file, const std::vector<RVN::CTQNetworkError>& errors,
                 std::ostream& err) {
    for (const RVN::CTQNetworkError& e : errors)
        err << "tqrvn: " << file << ": " << e.Text() << "\n";
    if (errors.size() >= RVN::kMaxNetworkErrors)
        err << "tqrvn: " << file << ": stopped after " << errors.size() << " errors\n";
}

// The schematic to a file, written whole or not at all.
int WriteDrawing(const std::string& path, const RVN::CTQNetworkResult& result, bool png,
                 std::ostream& err) {
    std::string image, error;
    if (!(png ? RVN::RenderNetworkPng(result, image, error)
              : RVN::RenderNetworkSvg(result, image, error))) {
        err << "tqrvn: " << error << "\n";
        return kCatalogError;
    }
    CheckedOutput file(path);
    file.stream() << image;
    return FinishOutput(file, 0, err);
}

} // namespace

int NetworkCommand(const NetworkOptions& options, std::ostream& out, std::ostream& err) {
    auto read = RVN::ReadNetworkFile(options.file);
    if (!read.Ok()) {
        PrintErrors(options.file, read.errors, err);
        return kInputError;
    }
    RVN::CTQNetwork& network = read.value;
    for (const auto& [key, text] : options.settings) {
        std::string message;
        // The options are named as the settings, but for --target-rm.
        const std::string setting = key == "target-rm" ? "target" : key;
        if (!RVN::SetNetworkSetting(network.settings, setting, text, message)) {
            err << "tqrvn: --" << key << ": " << message << "\n";
            return kInputError;
        }
    }
    if (options.balanceBySize)
        network.settings.balanceBySize = true;
    const auto catalog = OpenCatalog(CatalogPath(options.catalog), err);
    if (!catalog)
        return kCatalogError;
    const auto computed = RVN::ComputeNetwork(*catalog, network);
    if (!computed.Ok()) {
        PrintErrors(options.file, computed.errors, err);
        return kInputError;
    }
    const RVN::CTQNetworkResult& result = computed.value;
    for (const auto& [path, png] : {std::pair{options.svg, false}, std::pair{options.png, true}})
        if (!path.empty())
            if (const int status = WriteDrawing(path, result, png, err); status != 0)
                return status;
    if (options.json)
        out << RVN::NetworkJson(network, &result);
    else if (options.csv)
        out << RVN::NetworkCsv(network, &result);
    else
        out << RVN::NetworkReportText(result);
    return 0;
}

const char* NetworkHelpFooter() {
    return R"(The file (CSV, or JSON when it ends in .json) holds the network: settings rows
"key,value" (kind heating|water, source NODE, pipes paired|single, supply DEGC, dt K, temp DEGC,
material NAME, by rm|velocity|target, target PA/M, plant PA, margin %, limit %, balance yes|no),
then a
header "id,from,to,length,..." and one row per segment; the terminal at a segment's
downstream node is given in the same row (load, flow, unit radiator|fancoil|fixed, unitdp).
A heating segment is supply and return together: its length counts twice.
Prints each segment's flow, size and losses, each terminal's circuit loss, surplus and
balancing-valve Kv, the index circuit, the pump's flow and head, and each tee's imbalance.
Errors in the file (a loop, a node cut off from the source, a terminal without load, a
duplicate id, an unknown material or fitting, a bad length) are listed by line; exit 2.)";
}

} // namespace tqrvn
