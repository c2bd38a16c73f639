// The tqrvn tool run as a user runs it, under a comma locale, against a
// catalog it builds from the seed data; helpers to read its output.
#pragma once

#include <gtest/gtest.h>

#include <TQRVNBase.h>

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace sizecli {


struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

inline std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// The number after "key": in a JSON text; NaN when absent.
inline double JsonNumber(const std::string& json, const std::string& key) {
    const std::string k = "\"" + key + "\": ";
    const std::size_t at = json.find(k);
    if (at == std::string::npos) {
        return std::nan("");
    }
    double v = 0;
    const char* begin = json.data() + at + k.size();
    const auto r = std::from_chars(begin, json.data() + json.size(), v);
    return r.ec == std::errc() ? v : std::nan("");
}

// A decimal comma: a digit, a comma and a digit (JSON and text put a blank
// after their commas).
inline bool HasDecimalComma(const std::string& text) {
    for (std::size_t i = 1; i + 1 < text.size(); ++i) {
        if (text[i] == ',' && std::isdigit(static_cast<unsigned char>(text[i - 1])) &&
            std::isdigit(static_cast<unsigned char>(text[i + 1]))) {
            return true;
        }
    }
    return false;
}

inline std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

inline std::vector<std::string> CsvCells(const std::string& line) {
    std::vector<std::string> cells(1);
    bool quoted = false;
    for (const char c : line) {
        if (c == '"') {
            quoted = !quoted;
        } else if (c == ',' && !quoted) {
            cells.emplace_back();
        } else {
            cells.back() += c;
        }
    }
    return cells;
}

class SizeCli : public ::testing::Test {
protected:
    void SetUp() override {
        std::string tmpl = (std::filesystem::temp_directory_path() / "tqrvn-size-XXXXXX").string();
        ASSERT_NE(mkdtemp(tmpl.data()), nullptr);
        dir_ = tmpl;
        catalog_ = dir_ + "/cat.mdb";
        const Outcome r = Tqrvn("catalog create '" + catalog_ + "'");
        ASSERT_EQ(r.status, 0) << r.out << r.err;
    }
    void TearDown() override {
        RVN::CloseRVNBaseDataBase();
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }

    // Runs tqrvn under LC_ALL=de_DE.UTF-8; stdout and stderr apart.
    Outcome Tqrvn(const std::string& args) {
        const std::string errFile = dir_ + "/stderr.txt";
        const std::string cmd = "LC_ALL=de_DE.UTF-8 '" + std::string(TQRVN_TOOL_PATH) + "' " +
                                args + " 2>'" + errFile + "'";
        Outcome r;
        FILE* p = popen(cmd.c_str(), "r");
        if (!p) {
            return r;
        }
        char buf[4096];
        std::size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) {
            r.out.append(buf, n);
        }
        const int st = pclose(p);
        r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
        r.err = ReadAll(errFile);
        return r;
    }
    Outcome Size(const std::string& args) {
        return Tqrvn("size --catalog '" + catalog_ + "' " + args);
    }
    Outcome Duct(const std::string& args) {
        return Tqrvn("duct --catalog '" + catalog_ + "' " + args);
    }

    std::string Write(const std::string& name, const std::string& text) {
        const std::string path = dir_ + "/" + name;
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }

    std::string dir_;
    std::string catalog_;
};

}  // namespace sizecli
