// How tqrvn writes sized segments, size tables and ducts: text for a
// person (four significant digits), JSON and CSV with every value in full.
#pragma once

#include <TQRVNBase.h>

#include <string>
#include <string_view>
#include <vector>

namespace tqrvn {

/// A value rounded for reading: four significant digits.
std::string Show(double v);

/// The sizing sheet of one segment: what was sized, the size and its
/// judgement, the losses, then one "note:" line per warning.
std::string SegmentText(const RVN::CTQSegmentResult& r);
/// One JSON object with every member of the result.
std::string SegmentJson(const RVN::CTQSegmentResult& r);

/// Every size of a material at one flow: a text table, a JSON array of
/// segment objects, or CSV.
std::string SizeTableText(const std::vector<RVN::CTQSegmentResult>& rows);
std::string SizeTableJson(const std::vector<RVN::CTQSegmentResult>& rows);
std::string SizeTableCsv(const std::vector<RVN::CTQSegmentResult>& rows);

/// The columns of a batch's CSV output (and of --csv), without a line end.
extern const char* const kSegmentCsvColumns;
/// One CSV row of kSegmentCsvColumns (with its line end): a sized segment,
/// or, with r null, a row whose error is `error`.
void AppendSegmentCsv(std::string& out, long line, std::string_view id, const RVN::CTQSegmentResult* r,
                      std::string_view error);
/// The same as one JSON line.
void AppendSegmentJsonLine(std::string& out, long line, std::string_view id, const RVN::CTQSegmentResult* r,
                           std::string_view error);

}  // namespace tqrvn
