// Numbers shown and typed in the dialogs.  A widget application runs in the
// user's locale; the dialogs never use it for numbers: cells show and
// editors accept the C form ("12.50", a full stop as decimal separator).
// Typed text is read by the library's one number-text family
// (db/NumberText.h), after full-width digits of Chinese input methods are
// folded to ASCII and blanks at either end are dropped.
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

/// What a person typed, as a finite number ("12", "-12.5", ".5", "1e3",
/// "１２"); nullopt for anything else (blank, "1,5", "inf", "0x10").
std::optional<double> ReadNumber(const QString& text);

} // namespace tqrvn::ui
