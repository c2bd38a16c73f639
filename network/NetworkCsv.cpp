// A network file as CSV: settings rows, a header, one row per segment with
// the terminal at its downstream end.  Read and written back in the same
// form, the results in further columns.
#include "db/CsvReader.h"
#include "db/NumberText.h"
#include "db/TextEncoding.h"
#include "network/NetworkInternal.h"

#include <cmath>
#include <fstream>

namespace RVN {

namespace {

using detail::ColumnKind;
using detail::NetworkErrors;

struct Column {
    std::string name;
    ColumnKind kind = ColumnKind::Unknown;
};

bool IsHeader(const std::vector<std::string>& row) {
    if (row.empty())
        return false;
    const std::string first = std::string(TrimBlanks(FoldFullWidth(row[0])));
    return first == "id" || first == "ID" || first == "Id";
}

void ReadSetting(const std::vector<std::string>& row, long line, CTQNetwork& net,
                 NetworkErrors& errors, std::string& pipes) {
    for (std::size_t i = 2; i < row.size(); ++i)
        if (!TrimBlanks(row[i]).empty()) {
            errors.Add(
                line, "", "",
                "expected a setting 'key,value' or the header of the segments, beginning with id");
            return;
        }
    const std::string key = std::string(TrimBlanks(FoldFullWidth(row[0])));
    std::string message;
    if (!detail::SetNetworkSetting(net.settings, key, row.size() > 1 ? row[1] : "", message,
                                   &pipes))
        errors.Add(line, "", key, message);
}

bool ReadHeader(const std::vector<std::string>& row, long line, std::vector<Column>& columns,
                NetworkErrors& errors) {
    bool ok = true;
    for (const std::string& text : row) {
        Column c;
        c.name = std::string(TrimBlanks(FoldFullWidth(text)));
        for (char& ch : c.name)
            ch = ch >= 'A' && ch <= 'Z' ? char(ch - 'A' + 'a') : ch;
        if (c.name == "fittings")
            c.name = "fitting";
        c.kind = detail::KindOfColumn(c.name);
        if (c.kind == ColumnKind::Unknown) {
            errors.Add(line, "", c.name,
                       "unknown column (id, from, to, length, material, fitting, zeta, dn, "
                       "roughness, rise, side, "
                       "load, flow, unit, unitdp)");
            ok = false;
        }
        for (const Column& before : columns)
            if (before.name == c.name) {
                errors.Add(line, "", c.name, "the column is named twice");
                ok = false;
            }
        columns.push_back(std::move(c));
    }
    for (const char* needed : {"id", "from", "to", "length"}) {
        bool found = false;
        for (const Column& c : columns)
            found = found || c.name == needed;
        if (!found) {
            errors.Add(line, "", needed, "the header lacks this column");
            ok = false;
        }
    }
    return ok;
}

void ReadSegment(const std::vector<std::string>& row, long line, const std::vector<Column>& columns,
                 CTQNetwork& net, NetworkErrors& errors) {
    if (row.size() > columns.size()) {
        errors.Add(line, "", "",
                   "the row has " + FormatInteger(long(row.size())) + " fields, the header " +
                       FormatInteger(long(columns.size())));
        return;
    }
    CTQNetworkSegment seg;
    seg.line = line;
    CTQNetworkTerminal term;
    term.line = line;
    bool hasTerminal = false;
    for (std::size_t i = 0; i < row.size(); ++i)
        if (columns[i].name == "id")
            seg.id = std::string(TrimBlanks(FoldFullWidth(row[i])));
    const std::string who = seg.id.empty() ? std::string() : "segment " + seg.id;
    for (std::size_t i = 0; i < row.size(); ++i) {
        const Column& c = columns[i];
        std::string message;
        bool ok = true;
        if (c.kind == ColumnKind::Segment) {
            ok = detail::SetSegmentColumn(seg, c.name, row[i], message);
        } else if (c.kind == ColumnKind::Terminal) {
            ok = detail::SetTerminalColumn(term, c.name, row[i], message);
            hasTerminal = hasTerminal || !TrimBlanks(row[i]).empty();
        }
        if (!ok)
            errors.Add(line, who, c.name, message);
    }
    if (hasTerminal) {
        term.node = seg.to;
        net.terminals.push_back(std::move(term));
    }
    net.segments.push_back(std::move(seg));
}

} // namespace

CTQNetworkOutcome<CTQNetwork> ReadNetworkCsv(std::istream& in) {
    CTQNetworkOutcome<CTQNetwork> o;
    NetworkErrors errors(o.errors);
    try {
        CTQCsvReader::Options options;
        options.encoding = CTQCsvReader::Encoding::Utf8OrGb18030;
        options.comment = '#';
        CTQCsvReader reader(in, options);
        std::vector<std::string> row;
        std::vector<Column> columns;
        bool header = false, headerOk = false;
        std::string pipes;
        while (!errors.Full() && reader.Next(row)) {
            if (!header && IsHeader(row)) {
                header = true;
                headerOk = ReadHeader(row, reader.Line(), columns, errors);
                const std::string why = detail::PipesMismatch(o.value.settings, pipes);
                if (!why.empty())
                    errors.Add(0, "", "pipes", why);
            } else if (!header) {
                ReadSetting(row, reader.Line(), o.value, errors, pipes);
            } else if (headerOk) {
                ReadSegment(row, reader.Line(), columns, o.value, errors);
            }
        }
        if (!reader.Error().empty())
            errors.Add(0, "", "", reader.Error());
        else if (!header && !errors.Any())
            errors.Add(0, "", "",
                       "no header of the segments (a row beginning with id, from, to, length)");
    } catch (const std::exception& e) {
        errors.Add(0, "", "", e.what());
    }
    return o;
}

CTQNetworkOutcome<CTQNetwork> ReadNetworkFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        CTQNetworkOutcome<CTQNetwork> o;
        o.errors.push_back({0, "", "", "cannot read " + path});
        return o;
    }
    const bool json = path.size() >= 5 && (path.compare(path.size() - 5, 5, ".json") == 0 ||
                                           path.compare(path.size() - 5, 5, ".JSON") == 0);
    return json ? ReadNetworkJson(in) : ReadNetworkCsv(in);
}

} // namespace RVN
