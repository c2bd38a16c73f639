// Padding and a minimal JSON writer for the tqrvn tool.
#pragma once

#include "db/NumberText.h"

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tqrvn {

// Numbers are written and read by the library's number text.
using RVN::FormatNumber;
using RVN::ParseNumber;

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
