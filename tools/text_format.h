// Locale-independent number text and a minimal JSON writer for the tqrvn tool.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tqrvn {

/// Shortest text that reads back as the same double ("99999.99999999999"),
/// with a decimal point whatever the process locale; "nan", "inf", "-inf".
std::string FormatNumber(double value);

/// Parses the whole of `text` as a double, independently of the locale.
/// Accepts an optional leading '+' or '-'; returns false for anything else.
bool ParseNumber(std::string_view text, double& value);

/// Pads `text` with blanks on the right to `width` display columns (ASCII text).
std::string PadRight(std::string text, std::size_t width);

/// A JSON object written in the order its members are added.
class JsonObject {
public:
    JsonObject& Add(std::string_view key, double value);      // NaN and infinities become null
    JsonObject& Add(std::string_view key, std::string_view value);
    JsonObject& Add(std::string_view key, const char* value) {
        return Add(key, std::string_view(value));
    }
    JsonObject& AddNull(std::string_view key);
    JsonObject& AddRaw(std::string_view key, std::string json); // an object or array already written
    std::string Str() const;

private:
    std::vector<std::pair<std::string, std::string>> members_;
};

/// A JSON array of already written values.
std::string JsonArray(const std::vector<std::string>& items);

/// `text` as a quoted JSON string; bytes that are not UTF-8 become U+FFFD.
std::string JsonString(std::string_view text);

} // namespace tqrvn
