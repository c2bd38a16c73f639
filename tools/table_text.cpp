#include "table_text.h"

#include <algorithm>

namespace tqrvn {

namespace {
// Decodes one UTF-8 character at text[i]; advances i.  A malformed byte
// counts as one character of its own.
char32_t Next(std::string_view text, std::size_t& i) {
    const auto b = static_cast<unsigned char>(text[i]);
    int len = b < 0x80 ? 1 : (b >> 5) == 6 ? 2 : (b >> 4) == 14 ? 3 : (b >> 3) == 30 ? 4 : 0;
    if (len == 0 || i + len > text.size()) {
        ++i;
        return 0xFFFD;
    }
    char32_t c = len == 1 ? b : b & (0x7F >> len);
    for (int k = 1; k < len; ++k) {
        c = (c << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
    }
    i += len;
    return c;
}

bool IsWide(char32_t c) {
    return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0xA4CF) ||
           (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) ||
           (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60) ||
           (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x20000 && c <= 0x3FFFD);
}
} // namespace

std::size_t DisplayWidth(std::string_view text) {
    std::size_t width = 0;
    for (std::size_t i = 0; i < text.size();) {
        width += IsWide(Next(text, i)) ? 2 : 1;
    }
    return width;
}

std::string TextTable::Render() const {
    std::vector<std::size_t> widths(headers_.size(), 0);
    auto measure = [&](const std::vector<std::string>& cells) {
        for (std::size_t c = 0; c < cells.size() && c < widths.size(); ++c) {
            widths[c] = std::max(widths[c], DisplayWidth(cells[c]));
        }
    };
    measure(headers_);
    for (const auto& row : rows_) {
        measure(row);
    }
    auto line = [&](const std::vector<std::string>& cells) {
        std::string out;
        for (std::size_t c = 0; c < widths.size(); ++c) {
            const std::string cell = c < cells.size() ? cells[c] : "";
            out += cell;
            if (c + 1 < widths.size()) {
                out.append(widths[c] - DisplayWidth(cell) + 2, ' ');
            }
        }
        while (!out.empty() && out.back() == ' ') {
            out.pop_back();
        }
        return out + "\n";
    };
    std::string out = line(headers_);
    std::size_t total = 0;
    for (std::size_t w : widths) {
        total += w + 2;
    }
    out += std::string(total > 2 ? total - 2 : 0, '-') + "\n";
    for (const auto& row : rows_) {
        out += line(row);
    }
    return out;
}

} // namespace tqrvn
