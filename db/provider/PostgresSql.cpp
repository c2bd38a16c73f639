// SQL text for the PostgreSQL server.
#include "db/provider/PostgresSql.h"

#include "db/NumberText.h"

#include <cctype>
#include <vector>

namespace RVNADO::detail {

namespace {

bool IsWordChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
}

std::string Upper(std::string s) {
    for (char& c : s)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

// The position after a quoted text, a comment or a dollar-quoted text that
// starts at p; p itself when none starts there.
std::size_t SkipQuoted(const std::string& t, std::size_t p) {
    const std::size_t n = t.size();
    const char c = t[p];
    if (c == '\'' || c == '"') {
        for (std::size_t q = p + 1; q < n; ++q)
            if (t[q] == c) {
                if (q + 1 < n && t[q + 1] == c) {
                    ++q;
                    continue;
                }
                return q + 1;
            }
        return n;
    }
    if (c == '-' && p + 1 < n && t[p + 1] == '-') {
        const std::size_t end = t.find('\n', p);
        return end == std::string::npos ? n : end + 1;
    }
    if (c == '/' && p + 1 < n && t[p + 1] == '*') {
        const std::size_t end = t.find("*/", p + 2);
        return end == std::string::npos ? n : end + 2;
    }
    if (c == '$' && (p == 0 || !IsWordChar(t[p - 1]))) {
        std::size_t q = p + 1;
        while (q < n && IsWordChar(t[q]) && !std::isdigit(static_cast<unsigned char>(t[q])))
            ++q;
        if (q < n && t[q] == '$') {
            const std::string tag = t.substr(p, q - p + 1);
            const std::size_t end = t.find(tag, q + 1);
            return end == std::string::npos ? n : end + tag.size();
        }
    }
    return p;
}

// The text cut into words, quoted parts and single characters.
std::vector<std::string> Tokens(const std::string& t) {
    std::vector<std::string> out;
    std::size_t p = 0;
    while (p < t.size()) {
        std::size_t q = SkipQuoted(t, p);
        if (q == p) {
            q = p + 1;
            if (IsWordChar(t[p]))
                while (q < t.size() && IsWordChar(t[q]))
                    ++q;
        }
        out.push_back(t.substr(p, q - p));
        p = q;
    }
    return out;
}

bool IsBlankToken(const std::string& s) {
    return s == " " || s == "\t" || s == "\r" || s == "\n" || s.rfind("--", 0) == 0 ||
           s.rfind("/*", 0) == 0;
}

// The index of the next token after i that is not blank; tokens.size() when none.
std::size_t NextWord(const std::vector<std::string>& tokens, std::size_t i) {
    ++i;
    while (i < tokens.size() && IsBlankToken(tokens[i]))
        ++i;
    return i;
}

const char* ServerTypeOf(const std::string& upper) {
    static const std::pair<const char*, const char*> types[] = {{"REAL", "double precision"},
                                                                {"FLOAT", "double precision"},
                                                                {"SINGLE", "real"},
                                                                {"DATETIME", "timestamp"},
                                                                {"BLOB", "bytea"},
                                                                {"LONGBINARY", "bytea"},
                                                                {"CURRENCY", "currency"},
                                                                {"MONEY", "currency"},
                                                                {"YESNO", "boolean"},
                                                                {"BYTE", "byte"},
                                                                {"TINYINT", "byte"},
                                                                {"MEMO", "memo"},
                                                                {"LONGTEXT", "memo"},
                                                                {"LONG", "integer"},
                                                                {"BIT", "boolean"}};
    for (const auto& [from, to] : types)
        if (upper == from)
            return to;
    return nullptr;
}

// Rewrites the column types and autonumber keys of a table definition.
void TranslateTableDefinition(std::vector<std::string>& tokens) {
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        const std::string word = Upper(tokens[i]);
        if (word == "AUTOINCREMENT") {
            tokens[i].clear();
            continue;
        }
        if (word == "UNSIGNED") {
            const std::size_t next = NextWord(tokens, i);
            if (next < tokens.size()) {
                const std::string type = Upper(tokens[next]);
                if (type == "INT" || type == "INTEGER" || type == "LONG") {
                    tokens[i] = "uint";
                    for (std::size_t k = i + 1; k <= next; ++k)
                        tokens[k].clear();
                }
            }
            continue;
        }
        if (word == "DOUBLE") {
            const std::size_t next = NextWord(tokens, i);
            if (next >= tokens.size() || Upper(tokens[next]) != "PRECISION")
                tokens[i] = "double precision";
            continue;
        }
        if (word == "INTEGER" || word == "INT") {
            const std::size_t primary = NextWord(tokens, i);
            const std::size_t key = NextWord(tokens, primary);
            if (key < tokens.size() && Upper(tokens[primary]) == "PRIMARY" &&
                Upper(tokens[key]) == "KEY")
                tokens[i] = "integer generated by default as identity";
            continue;
        }
        if (const char* type = ServerTypeOf(word))
            tokens[i] = type;
    }
}

} // namespace

std::size_t FirstStatementLength(const std::string& text) {
    std::size_t p = 0;
    while (p < text.size()) {
        const std::size_t q = SkipQuoted(text, p);
        if (q != p) {
            p = q;
            continue;
        }
        if (text[p] == ';')
            return p + 1;
        ++p;
    }
    return text.size();
}

bool IsEmptyStatement(const std::string& text) {
    for (const std::string& token : Tokens(text))
        if (!IsBlankToken(token) && token != ";")
            return false;
    return true;
}

std::string ToPostgresSql(const std::string& statement, int* placeholders) {
    std::vector<std::string> tokens = Tokens(statement);
    std::size_t first = 0;
    while (first < tokens.size() && IsBlankToken(tokens[first]))
        ++first;
    const std::size_t second = NextWord(tokens, first);
    if (second < tokens.size()) {
        const std::string verb = Upper(tokens[first]);
        if ((verb == "CREATE" || verb == "ALTER") && Upper(tokens[second]) == "TABLE")
            TranslateTableDefinition(tokens);
    }
    int count = 0;
    std::string out;
    for (const std::string& token : tokens)
        out += token == "?" ? "$" + RVN::FormatInteger(++count) : token;
    if (placeholders != nullptr)
        *placeholders = count;
    return out;
}

const char* const kDesktopTypes =
    "DO $$ BEGIN "
    "IF to_regtype('byte') IS NULL THEN CREATE DOMAIN byte AS smallint CHECK (VALUE BETWEEN 0 AND "
    "255); END IF; "
    "IF to_regtype('uint') IS NULL THEN CREATE DOMAIN uint AS bigint CHECK (VALUE BETWEEN 0 AND "
    "4294967295); "
    "END IF; "
    "IF to_regtype('currency') IS NULL THEN CREATE DOMAIN currency AS numeric(19,4); END IF; "
    "IF to_regtype('memo') IS NULL THEN CREATE DOMAIN memo AS text; END IF; "
    "END $$";

bool UsesDesktopTypes(const std::string& translated) {
    for (const std::string& token : Tokens(translated))
        if (token == "byte" || token == "uint" || token == "currency" || token == "memo")
            return true;
    return false;
}

std::string DeclarationOfServerType(const std::string& serverType) {
    if (serverType == "uint")
        return "UNSIGNED INT";
    if (serverType.rfind("timestamp", 0) == 0)
        return "TIMESTAMP";
    if (serverType.rfind("time", 0) == 0)
        return "TIME";
    if (serverType == "bytea")
        return "BLOB";
    if (serverType == "real")
        return "SINGLE";
    return serverType;
}

bool IsReadingStatement(const std::string& statement) {
    for (const std::string& token : Tokens(statement)) {
        if (IsBlankToken(token) || token == "(")
            continue;
        const std::string word = Upper(token);
        return word == "SELECT" || word == "SHOW" || word == "VALUES" || word == "EXPLAIN" ||
               word == "TABLE";
    }
    return true;
}

} // namespace RVNADO::detail
