// Aligned text tables for the tqrvn listings.  Column widths count display
// columns: a CJK character takes two.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tqrvn {

/// Display columns of a UTF-8 text: 2 for East Asian wide and full-width
/// characters, 1 for every other character.
std::size_t DisplayWidth(std::string_view text);

class TextTable {
public:
    explicit TextTable(std::vector<std::string> headers) : headers_(std::move(headers)) {}
    void AddRow(std::vector<std::string> cells) { rows_.push_back(std::move(cells)); }
    std::size_t RowCount() const { return rows_.size(); }
    /// Header line, a rule, then one line per row; columns two blanks apart,
    /// no trailing blanks.
    std::string Render() const;

private:
    std::vector<std::string> headers_;
    std::vector<std::vector<std::string>> rows_;
};

} // namespace tqrvn
