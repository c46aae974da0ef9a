#include "QuoteMarket.h"

#include <algorithm>
#include <cstdlib>
#include <unordered_set>

namespace {

constexpr int kMarketOpen = 9 * 60 + 30;
constexpr int kMarketClose = 16 * 60;

// splitmix64: small, and the same numbers on every platform and library,
// which std::uniform_int_distribution does not promise.
std::uint64_t next(std::uint64_t& state)
{
    std::uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

std::int64_t below(std::uint64_t& state, std::uint64_t n)
{
    return static_cast<std::int64_t>(next(state) % n);
}

std::string trimmed(const std::string& text)
{
    const std::size_t begin = text.find_first_not_of(" \t");
    if (begin == std::string::npos)
        return std::string();
    const std::size_t end = text.find_last_not_of(" \t");
    return text.substr(begin, end - begin + 1);
}

bool allDigits(const std::string& text)
{
    return !text.empty() && text.size() <= 12
        && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

} // namespace

QuoteMarket::QuoteMarket(std::uint64_t seed)
    : m_seed(seed)
{
}

bool QuoteMarket::parsePrice(const std::string& input, std::int64_t& eighths)
{
    std::string text = trimmed(input);
    bool negative = false;
    if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
        negative = text[0] == '-';
        text = trimmed(text.substr(1));
    }
    std::int64_t value = 0;
    const std::size_t slash = text.find('/');
    if (slash != std::string::npos) {
        // [whole ]numerator/denominator
        const std::size_t space = text.find(' ');
        std::string whole = "0";
        std::string fractionPart = text;
        if (space != std::string::npos && space < slash) {
            whole = text.substr(0, space);
            fractionPart = trimmed(text.substr(space + 1));
        }
        const std::size_t s = fractionPart.find('/');
        const std::string num = fractionPart.substr(0, s);
        const std::string den = fractionPart.substr(s + 1);
        if (!allDigits(whole) || !allDigits(num) || !allDigits(den))
            return false;
        const std::int64_t d = std::atoll(den.c_str());
        if (d == 0 || 8 % d != 0)
            return false;
        value = std::atoll(whole.c_str()) * 8 + std::atoll(num.c_str()) * (8 / d);
    } else {
        const std::size_t dot = text.find('.');
        const std::string whole = text.substr(0, dot);
        std::string decimals = dot == std::string::npos ? std::string() : text.substr(dot + 1);
        if (!allDigits(whole) || (dot != std::string::npos && !allDigits(decimals)))
            return false;
        // Round the decimals to the nearest eighth.
        decimals.resize(6, '0');
        const std::int64_t millionths = std::atoll(decimals.c_str());
        value = std::atoll(whole.c_str()) * 8 + (millionths * 8 + 500000) / 1000000;
    }
    eighths = negative ? -value : value;
    return true;
}

bool QuoteMarket::loadFixedQuotes(std::istream& in, std::string& error)
{
    std::unordered_map<std::string, Quote> fixed;
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const std::string content = trimmed(line);
        if (content.empty() || content[0] == '#')
            continue;
        std::vector<std::string> fields;
        std::size_t start = 0;
        for (;;) {
            const std::size_t comma = line.find(',', start);
            fields.push_back(trimmed(line.substr(start, comma == std::string::npos ? std::string::npos : comma - start)));
            if (comma == std::string::npos)
                break;
            start = comma + 1;
        }
        const std::string where = "line " + std::to_string(number) + ": ";
        fields.resize(std::max<std::size_t>(fields.size(), 8));
        Quote q;
        q.symbol = fields[0];
        if (q.symbol.empty()) {
            error = where + "no symbol";
            return false;
        }
        if (!parsePrice(fields[1], q.last) || q.last <= 0) {
            error = where + "last price missing or not a positive price";
            return false;
        }
        std::int64_t change = 0;
        if (!fields[2].empty() && !parsePrice(fields[2], change)) {
            error = where + "change is not a price";
            return false;
        }
        q.previousClose = q.last - change;
        q.open = q.high = q.low = q.last;
        std::int64_t* const prices[] = {&q.open, &q.high, &q.low};
        for (int i = 0; i < 3; ++i) {
            if (!fields[3 + i].empty() && (!parsePrice(fields[3 + i], *prices[i]) || *prices[i] <= 0)) {
                error = where + "open, high or low is not a positive price";
                return false;
            }
        }
        if (!fields[6].empty()) {
            if (!allDigits(fields[6])) {
                error = where + "volume is not a whole number";
                return false;
            }
            q.volume = std::strtoull(fields[6].c_str(), nullptr, 10);
        }
        q.minuteOfDay = kMarketClose;
        if (!fields[7].empty()) {
            const std::size_t colon = fields[7].find(':');
            const std::string h = fields[7].substr(0, colon);
            const std::string m = colon == std::string::npos ? std::string() : fields[7].substr(colon + 1);
            if (!allDigits(h) || !allDigits(m) || m.size() != 2 || std::atoi(h.c_str()) > 23
                || std::atoi(m.c_str()) > 59) {
                error = where + "time is not H:MM";
                return false;
            }
            q.minuteOfDay = std::atoi(h.c_str()) * 60 + std::atoi(m.c_str());
        }
        fixed[q.symbol] = q;
    }
    if (in.bad()) {
        error = "read error";
        return false;
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    m_fixed = std::move(fixed);
    return true;
}

QuoteMarket::Walk QuoteMarket::startWalk(const std::string& symbol) const
{
    // FNV-1a over the symbol's bytes, mixed with the market's seed.
    std::uint64_t hash = 0xCBF29CE484222325ull;
    for (char c : symbol) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 0x100000001B3ull;
    }
    Walk walk;
    std::uint64_t mix = m_seed;
    walk.state = next(mix) ^ hash;
    next(walk.state);
    Quote& q = walk.quote;
    q.symbol = symbol;
    q.previousClose = 8 + below(walk.state, 1192); // $1 to $150
    q.open = std::max<std::int64_t>(1, q.previousClose + below(walk.state, 9) - 4);
    q.last = q.high = q.low = q.open;
    q.volume = static_cast<std::uint64_t>(below(walk.state, 5000) + 100) * 100;
    q.minuteOfDay = kMarketOpen;
    return walk;
}

void QuoteMarket::step(Walk& walk)
{
    Quote& q = walk.quote;
    // Moves are in proportion to the price (up to half a percent a step,
    // rounded to eighths at random), so a cheap stock does not lose most
    // of its value in an afternoon and a dear one still moves.
    const std::int64_t scaled = (below(walk.state, 9) - 4) * q.last;
    std::int64_t delta = scaled / 800;
    const std::int64_t rest = scaled % 800;
    if (below(walk.state, 800) < (rest < 0 ? -rest : rest))
        delta += rest < 0 ? -1 : 1;
    q.last = std::max<std::int64_t>(1, q.last + delta);
    q.high = std::max(q.high, q.last);
    q.low = std::min(q.low, q.last);
    q.volume += static_cast<std::uint64_t>(below(walk.state, 200) + 1) * 100;
    q.minuteOfDay = std::min(q.minuteOfDay + 1, kMarketClose);
}

std::vector<Quote> QuoteMarket::quotes(const std::vector<std::string>& symbols)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    std::vector<Quote> result;
    result.reserve(symbols.size());
    std::unordered_set<std::string> moved;
    for (const std::string& symbol : symbols) {
        const auto fixed = m_fixed.find(symbol);
        if (fixed != m_fixed.end()) {
            result.push_back(fixed->second);
            continue;
        }
        auto it = m_walks.find(symbol);
        if (it == m_walks.end()) {
            if (m_walks.size() >= kMaxTracked)
                m_walks.clear();
            it = m_walks.emplace(symbol, startWalk(symbol)).first;
        }
        if (moved.insert(symbol).second)
            step(it->second);
        result.push_back(it->second.quote);
    }
    return result;
}
