#pragma once
// The quote table scan done the slow, literal way: every step cuts the
// front off the remaining text with CString calls, exactly as the parser's
// rules read. The fuzzer holds the real parser, which walks a position
// through the text instead, to this yardstick: both must give the same Row
// table, and GetNextCell must give the same cell, flags and rest of text.
//
// Where the rules leave it open (a "<" with no ">" anywhere after it), the
// tag runs to the end of the text: the scan ends as at the end of the text,
// and the rest of the text is consumed.

#include "CString.h"

#include <string>
#include <vector>

namespace ReferenceScan {

using Row = std::vector<std::string>;
using Table = std::vector<Row>;

// One call of the cell scanner on text, which it cuts from the front.
CString GetNextCell(CString& text, int* pbMoreRows, int* pbMoreCells);

// The Row table of a reply: upper-case, find "<TABLE", drop its start tag,
// then rows of cells until the flags say the table has ended.
Table Parse(const std::string& reply);

} // namespace ReferenceScan
