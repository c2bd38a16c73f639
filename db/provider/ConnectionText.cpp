// Connection strings shown to people, and the connection parameters of a
// catalog server.
#include "db/provider/ConnectionText.h"

#include "db/NumberText.h"

#include <cctype>

namespace RVNADO::detail {

namespace {

char Lower(char c) {
    return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

bool StartsWithNoCase(const std::string& text, std::size_t p, const char* word) {
    for (; *word != '\0'; ++word, ++p)
        if (p >= text.size() || Lower(text[p]) != *word)
            return false;
    return true;
}

// The end of a value that starts at p: a quoted value ends after its closing
// quote, any other at the next separator.
std::size_t ValueEnd(const std::string& text, std::size_t p) {
    if (p < text.size() && (text[p] == '"' || text[p] == '\'')) {
        const char quote = text[p];
        for (std::size_t q = p + 1; q < text.size(); ++q) {
            if (text[q] != quote)
                continue;
            if (q + 1 < text.size() && text[q + 1] == quote) {
                ++q;
                continue;
            }
            return q + 1;
        }
        return text.size();
    }
    while (p < text.size() && text[p] != ';' && text[p] != '&' && text[p] != ' ' && text[p] != '\t')
        ++p;
    return p;
}

// Masks the value of a password key that starts at p, if one does; returns
// where to go on.
std::size_t MaskKeyAt(std::string& text, std::size_t p) {
    for (const char* key : {"password", "pwd"}) {
        if (!StartsWithNoCase(text, p, key))
            continue;
        std::size_t q = p + std::char_traits<char>::length(key);
        while (q < text.size() && (text[q] == ' ' || text[q] == '\t'))
            ++q;
        if (q >= text.size() || text[q] != '=')
            continue;
        ++q;
        while (q < text.size() && (text[q] == ' ' || text[q] == '\t'))
            ++q;
        const std::size_t end = ValueEnd(text, q);
        text.replace(q, end - q, "****");
        return q + 4;
    }
    return p + 1;
}

// Masks "user:password@" after each "://".
void MaskUriPasswords(std::string& text) {
    for (std::size_t scheme = text.find("://"); scheme != std::string::npos;
         scheme = text.find("://", scheme + 3)) {
        const std::size_t start = scheme + 3;
        std::size_t end = start;
        while (end < text.size() && text[end] != '/' && text[end] != '?' && text[end] != ';' &&
               text[end] != ' ')
            ++end;
        const std::size_t at = text.rfind('@', end);
        if (at == std::string::npos || at < start)
            continue;
        const std::size_t colon = text.find(':', start);
        if (colon == std::string::npos || colon > at)
            continue;
        text.replace(colon + 1, at - colon - 1, "****");
    }
}

} // namespace

std::string MaskPassword(const std::string& text) {
    std::string masked = text;
    MaskUriPasswords(masked);
    std::size_t p = 0;
    while (p < masked.size()) {
        const bool keyStart = p == 0 || masked[p - 1] == ';' || masked[p - 1] == ' ' ||
                              masked[p - 1] == '\t' || masked[p - 1] == '?' || masked[p - 1] == '&';
        p = keyStart ? MaskKeyAt(masked, p) : p + 1;
    }
    return masked;
}

std::vector<std::pair<std::string, std::string>>
PostgresParameters(const std::map<std::string, std::string>& pairs, long connectSeconds) {
    static const std::map<std::string, std::string> names = {{"host", "host"},
                                                             {"server", "host"},
                                                             {"port", "port"},
                                                             {"database", "dbname"},
                                                             {"initial catalog", "dbname"},
                                                             {"user id", "user"},
                                                             {"uid", "user"},
                                                             {"password", "password"},
                                                             {"pwd", "password"},
                                                             {"ssl mode", "sslmode"},
                                                             {"sslmode", "sslmode"}};
    std::vector<std::pair<std::string, std::string>> out;
    bool timeoutGiven = false;
    for (const auto& [key, value] : pairs) {
        if (key == "provider")
            continue;
        std::string name;
        if (key == "data source") {
            // A URI carries its own parameters; any other text names the host.
            name = value.rfind("postgresql://", 0) == 0 || value.rfind("postgres://", 0) == 0
                       ? "dbname"
                       : "host";
        } else {
            auto known = names.find(key);
            name = known != names.end() ? known->second : key;
        }
        timeoutGiven = timeoutGiven || name == "connect_timeout";
        out.emplace_back(name, value);
    }
    auto given = [&](const char* name) {
        for (const auto& [key, value] : out)
            if (key == name)
                return true;
        return false;
    };
    if (!timeoutGiven)
        out.emplace_back("connect_timeout", RVN::FormatInteger(connectSeconds));
    // A server that vanishes without closing the connection (a cut cable, a
    // host switched off) is noticed within about the connection timeout
    // instead of never: unanswered data and keepalives end the connection.
    if (!given("tcp_user_timeout"))
        out.emplace_back("tcp_user_timeout", RVN::FormatInteger(connectSeconds * 1000));
    if (!given("keepalives_idle"))
        out.emplace_back("keepalives_idle", "10");
    if (!given("keepalives_interval"))
        out.emplace_back("keepalives_interval", "3");
    if (!given("keepalives_count"))
        out.emplace_back("keepalives_count", "3");
    return out;
}

} // namespace RVNADO::detail
