#pragma once
// Quote server replies of an exact size, made up for the parser
// benchmarks. Each is deterministic, so every run parses the same bytes.

#include <cstddef>
#include <string>

class ReplyGenerator {
public:
    // A quote page as a server sends it: a heading, a table of 9 columns
    // whose cells carry attributes and inline markup, a footer. At 64000
    // bytes it holds about 300 rows.
    static std::string Realistic(std::size_t nSize);
    // The most cells per byte a table can hold: one-byte cells, nine to a
    // row, no attributes.
    static std::string TinyCells(std::size_t nSize);
    // Mostly prose (paragraphs, links, lists) and a 20-row table at the end.
    static std::string LongPreamble(std::size_t nSize);

private:
    // Closes the page and pads (or cuts) it to exactly nSize bytes, as the
    // one 64000-byte read of a refresh would.
    static std::string FitTo(std::string page, std::size_t nSize);
    static std::string QuoteRow(unsigned nRow);
};
