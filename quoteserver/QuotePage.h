#pragma once
// The HTML the quote server answers with. A quote page's first table is
// what the program reads: a heading row of th cells, then one row per
// requested symbol, in request order, whose first cell is the symbol. No
// cell is ever empty or blank (the program's table reader drops such cells
// and would shift the row), except the symbol cell of an empty symbol.
// Error pages hold no table at all, so a refused request never looks like
// an empty quote list with columns.

#include "Quote.h"

#include <cstdint>
#include <string>
#include <vector>

class QuotePage
{
public:
    static std::string render(const std::vector<Quote>& quotes, bool fraction, const std::string& source);
    static std::string errorPage(int status, const std::string& reason, const std::string& detail);

    // 98 -> "12 1/4" (fraction) or "12.25"; 3 -> "3/8" or "0.375".
    static std::string formatPrice(std::int64_t eighths, bool fraction);
    // Signed: "+1/8", "-1 1/2", "0" (fraction) or "+0.125", "-1.50", "0.00".
    static std::string formatChange(std::int64_t eighths, bool fraction);
    // "+1.25%", "-0.40%", "0.00%": the change against the previous close.
    static std::string formatPercent(std::int64_t change, std::int64_t base);
    static std::string formatTime(int minuteOfDay);

    // Escapes & < > and " for HTML text and attribute values.
    static std::string escape(const std::string& text);
};
