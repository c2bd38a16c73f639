#include "ui/PipeSpecRowsInternal.h"

#include <ctime>
#include <filesystem>
#include <system_error>

namespace tqrvn::ui {

// A file-name part made of a material name: letters, digits, '-', '_' and
// the bytes of non-ASCII characters; everything else ('/', '.', spaces,
// control characters) becomes '_'.  At most 48 bytes, cut at a character
// boundary.
std::string SafeNamePart(const std::string& name) {
    std::string out;
    for (std::size_t i = 0; i < name.size();) {
        const unsigned char c = static_cast<unsigned char>(name[i]);
        std::size_t len = 1;
        if (c >= 0xF0)
            len = 4;
        else if (c >= 0xE0)
            len = 3;
        else if (c >= 0xC0)
            len = 2;
        if (i + len > name.size())
            break;
        if (out.size() + len > 48)
            break;
        if (c >= 0x80) {
            out.append(name, i, len);
        } else if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                   c == '-' || c == '_') {
            out.push_back(static_cast<char>(c));
        } else {
            out.push_back('_');
        }
        i += len;
    }
    return out.empty() ? std::string("matl") : out;
}

std::string LocalTimeStamp() {
    const std::time_t now = std::time(nullptr);
    std::tm tm{};
    localtime_r(&now, &tm);
    char buf[32];
    std::strftime(buf, sizeof buf, "%Y%m%d%H%M%S", &tm);
    return buf;
}

std::string ComputeTempFolder() {
    std::error_code ec;
    std::filesystem::path dir = std::filesystem::temp_directory_path(ec);
    if (ec || dir.empty()) {
        dir = "/tmp";
    }
    std::string s = dir.string();
    if (s.back() != '/') {
        s.push_back('/');
    }
    return s;
}

} // namespace tqrvn::ui
