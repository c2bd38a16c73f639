// Numbers shown and typed in the dialogs.  A widget application runs in the
// user's locale; the dialogs never use it for numbers: cells show and
// editors accept the C form ("12.50", a full stop as decimal separator).
#pragma once

#include <QString>

#include <optional>

namespace tqrvn::ui {

/// Fixed notation with `decimals` digits after the point.
QString FixedText(double value, int decimals);
/// The shortest text that reads back as the same double.
QString ExactText(double value);

/// The shortest of fixed and exponent notation with six significant digits
/// and no trailing zeros, as C's "%g" writes it in the C locale ("0.5",
/// "1.25", "1e+06").
QString GeneralText(double value);

/// A finite decimal number ("12", "12.5", ".5", "1e3"), no separators; a
/// leading minus sign only when `allowNegative`; nullopt for anything else.
std::optional<double> ParseNumber(const QString& text, bool allowNegative = false);

} // namespace tqrvn::ui
