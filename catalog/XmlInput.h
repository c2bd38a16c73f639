// Checks on the input of the XML property exchange: reading a document
// file, and the one character no XML text may hold.  Internal to the
// library; not installed.
#pragma once

#include <pugixml.hpp>

#include <cstddef>
#include <string>
#include <string_view>

namespace RVN::detail {

/// Whole file into memory; false with the reason ("PATH: not a regular
/// file") for anything but a readable regular file, so that a pipe or a
/// device never blocks.
bool ReadRegularFile(const char* path, std::string& content, std::string& why);

/// Line (from 1) of the first character U+0000 of a document in the
/// encoding the parser found, raw or written as a character reference
/// (&#0;, &#x00; ...) outside comments and CDATA sections; 0 when there is
/// none.  No XML text may hold that character, and the parser would cut a
/// value short at it ("a&#0;b" read as "a").
std::size_t LineOfNulCharacter(std::string_view raw, pugi::xml_encoding encoding);

}  // namespace RVN::detail
