// A batch of segments: a CSV file read and sized row by row, each result
// written as soon as it is known.
#include "batch.h"

#include "catalog_commands.h"
#include "segment_output.h"

#include <algorithm>
#include <chrono>
#include <fstream>
#include <iostream>

namespace tqrvn {

namespace {

std::string ColumnList()
{
    std::string names;
    for (const char* n : RVN::SegmentFieldNames())
        names += (names.empty() ? "" : ",") + std::string(n);
    return names;
}

// A progress bar on standard error, drawn once a batch has run for a second.
class ProgressBar {
public:
    ProgressBar(bool enabled, long total, std::ostream& err) : enabled_(enabled), total_(total), err_(err) {}
    ~ProgressBar() { Clear(); }

    void Step(long done)
    {
        if (!enabled_ || done % 64 != 0)
            return;
        const auto now = Clock::now();
        if (now - start_ < std::chrono::seconds(1) || (shown_ && now - drawn_ < std::chrono::milliseconds(200)))
            return;
        drawn_ = now;
        std::string bar = "\rsizing " + RVN::FormatInteger(done);
        if (total_ > 0) {
            constexpr long kWidth = 30;
            const long filled = std::min(kWidth, done * kWidth / total_);
            bar = "\rsizing [" + std::string(static_cast<std::size_t>(filled), '#') +
                  std::string(static_cast<std::size_t>(kWidth - filled), '.') + "] " +
                  RVN::FormatInteger(std::min(100L, done * 100 / total_)) + "% " + RVN::FormatInteger(done) + "/" +
                  RVN::FormatInteger(total_);
        }
        bar += " segments";
        width_ = bar.size();
        err_ << bar << std::flush;
        shown_ = true;
    }

    // Removes the bar (before a message and at the end).
    void Clear()
    {
        if (shown_) {
            err_ << "\r" << std::string(width_, ' ') << "\r" << std::flush;
            shown_ = false;
        }
    }

private:
    using Clock = std::chrono::steady_clock;
    bool enabled_;
    long total_;
    std::ostream& err_;
    Clock::time_point start_ = Clock::now();
    Clock::time_point drawn_{};
    bool shown_ = false;
    std::size_t width_ = 0;
};

// Lines of a regular file, counted without keeping them (0 for a stream).
long CountLines(const std::string& path)
{
    if (path == "-")
        return 0;
    std::ifstream in(path, std::ios::binary);
    long lines = 0;
    char buf[1 << 16];
    while (in.read(buf, sizeof buf) || in.gcount() > 0) {
        for (std::streamsize i = 0; i < in.gcount(); ++i)
            lines += buf[i] == '\n' ? 1 : 0;
        if (!in)
            break;
    }
    return lines;
}

// The header: which field each column fills.  False after reporting.
bool ReadHeader(RVN::CTQCsvReader& reader, const std::string& where, std::vector<int>& columns, std::ostream& err)
{
    std::vector<std::string> names;
    if (!reader.Next(names)) {
        err << "tqrvn: " << where
            << (reader.Error().empty() ? " no header line (columns: " + ColumnList() + ")" : " " + reader.Error())
            << "\n";
        return false;
    }
    const std::string at = where + RVN::FormatInteger(reader.Line()) + ": ";
    for (const std::string& name : names) {
        const int field = RVN::SegmentFieldIndex(name);
        if (field < 0) {
            err << "tqrvn: " << at << "unknown column '" << name << "' (columns: " << ColumnList() << ")\n";
            return false;
        }
        if (std::find(columns.begin(), columns.end(), field) != columns.end()) {
            err << "tqrvn: " << at << "column '" << name << "' appears twice\n";
            return false;
        }
        columns.push_back(field);
    }
    return true;
}

// The fields of one row over the command line's defaults; false with the
// reason when the row has more cells than the header.
bool RowFields(const std::vector<RVN::CTQCsvField>& cells, const std::vector<int>& columns,
               const RVN::CTQSegmentFields& defaults, RVN::CTQSegmentFields& row, std::string& error)
{
    row = defaults;
    for (std::size_t c = 0; c < cells.size(); ++c) {
        if (c >= columns.size()) {
            if (!cells[c].text.empty()) {
                error = RVN::FormatInteger(static_cast<long long>(cells.size())) + " fields, the header has " +
                        RVN::FormatInteger(static_cast<long long>(columns.size()));
                return false;
            }
            continue;
        }
        if (!cells[c].text.empty())
            RVN::SegmentFieldAt(row, columns[c]) = cells[c].text;
    }
    return true;
}

// Sizes one row; the error text when it cannot be sized.
bool SizeRow(const CTQCatalogSnapshot& catalog, const RVN::CTQSegmentFields& fields,
             RVN::CTQSegmentResult& result, std::string& error, int& status)
{
    const auto request = RVN::ParseSegmentFields(fields);
    const RVN::CTQDesignError* e = &request.error;
    RVN::CTQDesignOutcome<RVN::CTQSegmentResult> sized;
    if (request.Ok()) {
        sized = RVN::SizeSegment(catalog, request.value);
        e = &sized.error;
    }
    if (!e->IsError()) {
        result = std::move(sized.value);
        return true;
    }
    const std::string_view field = RVN::SegmentFieldOfRequestField(e->field);
    error = field.empty() ? e->message : std::string(field) + ": " + e->message;
    status = std::max(status, e->kind == RVN::TQDesignErrorKind::Catalog ? kCatalogError : kInputError);
    return false;
}

}  // namespace

int RunBatch(const SizeOptions& options, const CTQCatalogSnapshot& catalog, std::ostream& out,
             std::ostream& err)
{
    std::ifstream file;
    if (options.batch != "-") {
        file.open(options.batch, std::ios::binary);
        if (!file) {
            err << "tqrvn: cannot read the batch file " << options.batch << "\n";
            return kInputError;
        }
    }
    std::istream& in = options.batch == "-" ? std::cin : file;
    const std::string where = (options.batch == "-" ? std::string("<stdin>") : options.batch) + ":";
    RVN::CTQCsvReader::Options csv;
    csv.encoding = RVN::CTQCsvReader::Encoding::Utf8OrGb18030;
    csv.comment = '#';
    csv.trimUnquoted = true;
    RVN::CTQCsvReader reader(in, csv);
    std::vector<int> columns;
    RVN::CTQSegmentFields row;
    if (!ReadHeader(reader, where, columns, err))
        return kInputError;

    ProgressBar progress(options.progress, options.progress ? CountLines(options.batch) : 0, err);
    std::string buf;
    buf.reserve(1 << 17);
    if (!options.json)
        buf += std::string(kSegmentCsvColumns) + "\n";
    int status = 0;
    long done = 0;
    std::vector<RVN::CTQCsvField> cells;
    RVN::CTQSegmentResult result;
    std::string error;
    while (reader.Next(cells)) {
        const long line = reader.Line();
        const bool ok = RowFields(cells, columns, options.fields, row, error)
                            ? SizeRow(catalog, row, result, error, status)
                            : (status = std::max(status, kInputError), false);
        if (!ok) {
            progress.Clear();
            err << "tqrvn: " << where << line << ": " << error << "\n";
        }
        (options.json ? AppendSegmentJsonLine : AppendSegmentCsv)(buf, line, row.id, ok ? &result : nullptr, error);
        if (buf.size() > (1 << 16)) {
            out.write(buf.data(), static_cast<std::streamsize>(buf.size()));
            buf.clear();
            if (!out)
                break;
        }
        progress.Step(++done);
    }
    progress.Clear();
    if (!reader.Error().empty()) {
        err << "tqrvn: " << where << " " << reader.Error() << "\n";
        status = std::max(status, kInputError);
    }
    out.write(buf.data(), static_cast<std::streamsize>(buf.size()));
    out.flush();
    if (!out) {
        err << "tqrvn: cannot write the output\n";
        return kCatalogError;
    }
    return status;
}

}  // namespace tqrvn
