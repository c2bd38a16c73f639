// The options of tqrvn's catalog, size and duct commands, and their run.
#pragma once

#include <CLI/CLI.hpp>

#include "network_command.h"
#include "size_command.h"

#include <string>
#include <vector>

namespace tqrvn {

class CatalogCli {
public:
    CatalogCli(CLI::App& app, bool& json);
    /// True when one of the commands was given.
    bool Chosen() const;
    /// Runs the command given; its exit status.
    int Run(const std::string& catalog, bool json, bool terminal, std::ostream& out);

private:
    void AddCatalog(CLI::App& app, bool& json);
    void AddSize(CLI::App& app, bool& json);
    void AddDuct(CLI::App& app, bool& json);
    void AddNetwork(CLI::App& app, bool& json);
    int RunCatalog(const std::string& path, bool json, std::ostream& out);

    CLI::App *copy_ = nullptr;
    std::string copyFrom_, copyTo_;
    CLI::App *catalog_ = nullptr, *create_ = nullptr, *list_ = nullptr, *export_ = nullptr, *import_ = nullptr;
    CLI::App *size_ = nullptr, *duct_ = nullptr, *network_ = nullptr;
    std::string createPath_, dataDir_, what_, material_, matlName_, matlFile_, importFile_;
    bool force_ = false;
    SizeOptions size_options_;
    std::vector<std::string> flow_, load_, length_, roughness_, fittings_;
    bool steam_ = false;
    DuctOptions duct_options_;
    std::vector<std::string> ductFlow_, ductVelocity_, ductRoughness_;
    NetworkOptions network_options_;
    std::string margin_, limit_, by_, target_;
};

}  // namespace tqrvn
