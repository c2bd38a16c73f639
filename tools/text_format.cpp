#include "text_format.h"

#include "db/NumberText.h"
#include "db/TextEncoding.h"

#include <cmath>
#include <system_error>

namespace tqrvn {

std::string PadRight(std::string text, std::size_t width) {
    if (text.size() < width) {
        text.append(width - text.size(), ' ');
    }
    return text;
}

std::string JsonString(std::string_view raw) {
    std::string out;
    RVN::AppendJsonString(out, raw);
    return out;
}

JsonObject& JsonObject::Add(std::string_view key, double value) {
    members_.emplace_back(std::string(key), std::isfinite(value) ? FormatNumber(value) : "null");
    return *this;
}

JsonObject& JsonObject::Add(std::string_view key, std::string_view value) {
    members_.emplace_back(std::string(key), JsonString(value));
    return *this;
}

JsonObject& JsonObject::AddNull(std::string_view key) {
    members_.emplace_back(std::string(key), "null");
    return *this;
}

JsonObject& JsonObject::AddRaw(std::string_view key, std::string json) {
    members_.emplace_back(std::string(key), std::move(json));
    return *this;
}

std::string JsonObject::Str() const {
    std::string out = "{";
    for (std::size_t i = 0; i < members_.size(); ++i) {
        if (i) {
            out += ", ";
        }
        out += JsonString(members_[i].first);
        out += ": ";
        out += members_[i].second;
    }
    out += "}";
    return out;
}

std::string JsonArray(const std::vector<std::string>& items) {
    std::string out = "[";
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (i) {
            out += ", ";
        }
        out += items[i];
    }
    out += "]";
    return out;
}

} // namespace tqrvn
