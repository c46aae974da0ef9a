#pragma once
// One symbol's quote. Prices are whole eighths of a dollar, as the market
// quotes them (12 1/4 is 98).

#include <cstdint>
#include <string>

struct Quote
{
    std::string symbol;
    std::int64_t last = 0;
    std::int64_t previousClose = 0; // the change is measured from here
    std::int64_t open = 0;
    std::int64_t high = 0;
    std::int64_t low = 0;
    std::uint64_t volume = 0;
    int minuteOfDay = 0; // time of the last trade, minutes after midnight

    std::int64_t change() const { return last - previousClose; }
};
