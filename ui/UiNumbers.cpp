#include "ui/UiNumbers.h"

#include "db/NumberText.h"
#include "db/TextEncoding.h"

#include <charconv>
#include <cmath>
#include <string>
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
    return QString::fromStdString(RVN::FormatNumber(value));
}

QString GeneralText(double value) {
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, 6);
    if (r.ec != std::errc()) {
        return QString();
    }
    return QString::fromLatin1(buf, static_cast<int>(r.ptr - buf));
}

std::optional<double> ReadNumber(const QString& text) {
    const std::string folded = RVN::FoldFullWidth(text.toStdString());
    double value = 0.0;
    if (!RVN::ParseNumber(RVN::TrimBlanks(folded), value, RVN::TQNonFinite::Refuse) ||
        !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

} // namespace tqrvn::ui
