#include "db/TextEncoding.h"

#include <iconv.h>

#include <cerrno>
#include <vector>

namespace RVN {

namespace {

// Length of the well-formed UTF-8 sequence at text[i], 0 when there is none
// (the ranges of the Unicode standard's table of well-formed byte sequences).
std::size_t SequenceAt(std::string_view text, std::size_t i)
{
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char b0 = byte(i);
    if (b0 < 0x80)
        return 1;
    const std::size_t left = text.size() - i;
    const auto cont = [&](std::size_t k, unsigned char lo = 0x80, unsigned char hi = 0xBF) {
        return byte(i + k) >= lo && byte(i + k) <= hi;
    };
    if (b0 >= 0xC2 && b0 <= 0xDF)
        return left >= 2 && cont(1) ? 2 : 0;
    if (b0 >= 0xE0 && b0 <= 0xEF) {
        if (left < 3)
            return 0;
        const unsigned char lo = b0 == 0xE0 ? 0xA0 : 0x80;
        const unsigned char hi = b0 == 0xED ? 0x9F : 0xBF;
        return cont(1, lo, hi) && cont(2) ? 3 : 0;
    }
    if (b0 >= 0xF0 && b0 <= 0xF4) {
        if (left < 4)
            return 0;
        const unsigned char lo = b0 == 0xF0 ? 0x90 : 0x80;
        const unsigned char hi = b0 == 0xF4 ? 0x8F : 0xBF;
        return cont(1, lo, hi) && cont(2) && cont(3) ? 4 : 0;
    }
    return 0;
}

}  // namespace

std::size_t InvalidUtf8At(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size()) {
        if (static_cast<unsigned char>(text[i]) < 0x80) {  // ASCII, most of every text
            ++i;
            continue;
        }
        const std::size_t n = SequenceAt(text, i);
        if (n == 0)
            return i;
        i += n;
    }
    return text.size();
}

bool IsValidUtf8(std::string_view text) { return InvalidUtf8At(text) == text.size(); }

std::string ValidUtf8(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const std::size_t n = SequenceAt(text, i);
        if (n == 0) {
            out += "\xEF\xBF\xBD";
            ++i;
        } else {
            out.append(text, i, n);
            i += n;
        }
    }
    return out;
}

bool Gb18030ToUtf8(std::string_view text, std::string& out)
{
    iconv_t cd = iconv_open("UTF-8", "GB18030");
    if (cd == reinterpret_cast<iconv_t>(-1))
        return false;
    std::vector<char> in(text.begin(), text.end());
    std::string result(text.size() * 2 + 16, '\0');
    char* inPtr = in.data();
    std::size_t inLeft = in.size();
    std::size_t used = 0;
    bool ok = true;
    while (inLeft > 0) {
        char* outPtr = result.data() + used;
        std::size_t outLeft = result.size() - used;
        const std::size_t rc = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
        used = static_cast<std::size_t>(outPtr - result.data());
        if (rc != static_cast<std::size_t>(-1))
            continue;
        if (errno == E2BIG) {
            result.resize(result.size() * 2);
            continue;
        }
        ok = false;  // an invalid or incomplete sequence
        break;
    }
    iconv_close(cd);
    if (!ok)
        return false;
    result.resize(used);
    out = std::move(result);
    return true;
}

std::string FoldFullWidth(std::string_view text)
{
    // Every folded form begins with a byte E2, E3 or EF; text without one
    // (plain ASCII, most Chinese text) is its own folding.
    bool folds = false;
    for (const char c : text)
        if (static_cast<unsigned char>(c) >= 0xE2 && (c == '\xE2' || c == '\xE3' || c == '\xEF')) {
            folds = true;
            break;
        }
    if (!folds)
        return std::string(text);
    std::string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const auto b = [&](std::size_t k) { return static_cast<unsigned char>(text[i + k]); };
        if (i + 2 < text.size() && b(0) == 0xEF && (b(1) == 0xBC || b(1) == 0xBD)) {
            // U+FF01..U+FF5E: EF BC 81..BF and EF BD 80..9E.
            const unsigned code = (b(1) == 0xBC ? 0xFF00u : 0xFF40u) + (b(2) & 0x3Fu);
            if (code >= 0xFF01 && code <= 0xFF5E && (b(2) & 0xC0) == 0x80) {
                out += static_cast<char>(code - 0xFF01 + 0x21);
                i += 3;
                continue;
            }
        }
        if (i + 2 < text.size() && b(0) == 0xE3 && b(1) == 0x80 && b(2) == 0x80) {  // U+3000
            out += ' ';
            i += 3;
            continue;
        }
        if (i + 2 < text.size() && b(0) == 0xE2 && b(1) == 0x88 && b(2) == 0x92) {  // U+2212
            out += '-';
            i += 3;
            continue;
        }
        out += text[i++];
    }
    return out;
}

void AppendJsonString(std::string& out, std::string_view raw)
{
    std::string repaired;
    std::string_view text = raw;
    if (!IsValidUtf8(raw)) {
        repaired = ValidUtf8(raw);
        text = repaired;
    }
    static const char kHex[] = "0123456789abcdef";
    out += '"';
    for (const char c : text) {
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                out += "\\u00";
                out += kHex[(c >> 4) & 0xF];
                out += kHex[c & 0xF];
            } else {
                out += c;
            }
        }
    }
    out += '"';
}

}  // namespace RVN
