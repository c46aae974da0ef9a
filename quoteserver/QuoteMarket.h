#pragma once
// The simulated market behind the quote server. Each symbol follows its own
// random walk in eighths, seeded from the market's seed and the symbol's
// bytes, and takes one step each time a request asks for it. The same seed
// and the same order of requests therefore give the same quotes.
//
// Fixed quotes (from a CSV file) replace the walk for the symbols listed.
// The file has one symbol a line:
//   symbol,last[,change[,open[,high[,low[,volume[,time]]]]]]
// Prices are decimal dollars ("12.25") or whole numbers and eighths
// ("12 1/4"), rounded to the nearest eighth; change may carry a sign; volume
// is a whole number; time is H:MM. Missing fields default to: change 0, open,
// high and low equal to last, volume 0, time 16:00. Blank lines and lines
// starting with "#" are skipped. Symbols cannot hold a comma.
//
// Thread-safe: the server answers requests on several threads.

#include "Quote.h"

#include <cstddef>
#include <cstdint>
#include <istream>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

class QuoteMarket
{
public:
    // Symbols followed at once; past this the walks start over, so a client
    // asking for ever new symbols cannot grow the server without bound.
    static constexpr std::size_t kMaxTracked = 100000;

    explicit QuoteMarket(std::uint64_t seed);

    bool loadFixedQuotes(std::istream& in, std::string& error);

    // Quotes for the symbols in the order given. Each distinct symbol moves
    // one step, however often it is listed.
    std::vector<Quote> quotes(const std::vector<std::string>& symbols);

    // Parses "12.25", "12 1/4", "3/8", "-1/2", "+0.125" into eighths.
    static bool parsePrice(const std::string& text, std::int64_t& eighths);

private:
    struct Walk
    {
        std::uint64_t state = 0;
        Quote quote;
    };

    Walk startWalk(const std::string& symbol) const;
    static void step(Walk& walk);

    const std::uint64_t m_seed;
    std::mutex m_mutex;
    std::unordered_map<std::string, Walk> m_walks;
    std::unordered_map<std::string, Quote> m_fixed;
};
