#include "ui/UiNumbers.h"

#include <charconv>
#include <cmath>
#include <system_error>

namespace tqrvn::ui {

QString FixedText(double value, int decimals) {
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, decimals);
    if (r.ec != std::errc()) {
        return QString();
    }
    return QString::fromLatin1(buf, static_cast<int>(r.ptr - buf));
}

QString ExactText(double value) {
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, value);
    if (r.ec != std::errc()) {
        return QString();
    }
    return QString::fromLatin1(buf, static_cast<int>(r.ptr - buf));
}

QString GeneralText(double value) {
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, 6);
    if (r.ec != std::errc()) {
        return QString();
    }
    return QString::fromLatin1(buf, static_cast<int>(r.ptr - buf));
}

std::optional<double> ParseNumber(const QString& text, bool allowNegative) {
    QByteArray bytes = text.trimmed().toLatin1();
    bool negative = false;
    if (allowNegative && bytes.startsWith('-')) {
        negative = true;
        bytes.remove(0, 1);
    }
    if (bytes.isEmpty() || bytes.front() == '-' || bytes.front() == '+') {
        return std::nullopt;
    }
    for (const char c : bytes) {
        const bool allowed = (c >= '0' && c <= '9') || c == '.' || c == 'e' || c == 'E' || c == '-' || c == '+';
        if (!allowed) {
            return std::nullopt;  // also rejects "inf", "nan" and hexadecimal forms
        }
    }
    double value = 0.0;
    const char* end = bytes.constData() + bytes.size();
    const auto r = std::from_chars(bytes.constData(), end, value, std::chars_format::general);
    if (r.ec != std::errc() || r.ptr != end || !std::isfinite(value)) {
        return std::nullopt;
    }
    return negative ? -value : value;
}

} // namespace tqrvn::ui
