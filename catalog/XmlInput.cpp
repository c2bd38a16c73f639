#include "catalog/XmlInput.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace RVN::detail {

namespace {

// Width in bytes of the code units of a document in the encoding the parser
// found, and their byte order.
struct UnitForm {
    std::size_t width = 1;
    bool bigEndian = false;
};

UnitForm FormOf(pugi::xml_encoding encoding) {
    switch (encoding) {
    case pugi::encoding_utf16_le: return {2, false};
    case pugi::encoding_utf16_be: return {2, true};
    case pugi::encoding_utf32_le: return {4, false};
    case pugi::encoding_utf32_be: return {4, true};
    default: return {1, false};
    }
}

}  // namespace

bool ReadRegularFile(const char* path, std::string& content, std::string& why) {
    if (path == nullptr) {
        why = "no file name";
        return false;
    }
    std::error_code ec;
    const std::filesystem::file_status st = std::filesystem::status(path, ec);
    if (ec) {
        why = std::string(path) + ": " + ec.message();
        return false;
    }
    if (!std::filesystem::is_regular_file(st)) {
        why = std::string(path) + ": not a regular file";
        return false;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        why = std::string(path) + ": cannot be opened for reading";
        return false;
    }
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    in.seekg(0, std::ios::beg);
    if (size >= 0) content.resize(static_cast<std::size_t>(size));
    if (size < 0 || (size > 0 && !in.read(content.data(), size))) {
        why = std::string(path) + ": cannot be read";
        return false;
    }
    return true;
}

std::size_t LineOfNulCharacter(std::string_view raw, pugi::xml_encoding encoding) {
    const UnitForm form = FormOf(encoding);
    // Most documents hold neither: the byte searches settle them at once.
    if (form.width == 1 && raw.find('\0') == std::string_view::npos &&
        raw.find("&#") == std::string_view::npos) {
        return 0;
    }
    const std::size_t n = raw.size() / form.width;
    const auto at = [&](std::size_t i) -> std::uint32_t {
        std::uint32_t u = 0;
        for (std::size_t k = 0; k < form.width; ++k) {
            const auto byte = static_cast<unsigned char>(raw[i * form.width + k]);
            u |= static_cast<std::uint32_t>(byte) << (8 * (form.bigEndian ? form.width - 1 - k : k));
        }
        return u;
    };
    const auto startsAt = [&](std::size_t i, std::string_view text) {
        for (std::size_t k = 0; k < text.size(); ++k)
            if (i + k >= n || at(i + k) != static_cast<unsigned char>(text[k])) return false;
        return true;
    };
    const auto isDigit = [](std::uint32_t c, bool hex) {
        return (c >= '0' && c <= '9') || (hex && ((c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F')));
    };
    std::size_t line = 1;
    std::string_view skipTo;  // the end of a comment or CDATA section being skipped
    for (std::size_t i = 0; i < n; ++i) {
        const std::uint32_t c = at(i);
        if (c == 0) return line;
        if (c == '\n') {
            ++line;
        } else if (!skipTo.empty()) {
            if (startsAt(i, skipTo)) skipTo = {};
        } else if (c == '<' && startsAt(i, "<!--")) {
            skipTo = "-->";
        } else if (c == '<' && startsAt(i, "<![CDATA[")) {
            skipTo = "]]>";
        } else if (c == '&' && i + 1 < n && at(i + 1) == '#') {
            std::size_t j = i + 2;
            const bool hex = j < n && at(j) == 'x';
            if (hex) ++j;
            bool zero = true;
            const std::size_t first = j;
            for (; j < n && isDigit(at(j), hex); ++j)
                if (at(j) != '0') zero = false;
            if (j > first && zero && j < n && at(j) == ';') return line;
        }
    }
    return 0;
}

}  // namespace RVN::detail
