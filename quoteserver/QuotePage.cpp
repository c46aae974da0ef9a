#include "QuotePage.h"

#include <cstdio>
#include <cstdlib>

namespace {

std::string unsignedPrice(std::int64_t eighths, bool fraction)
{
    const std::int64_t whole = eighths / 8;
    const int rest = static_cast<int>(eighths % 8);
    if (!fraction) {
        // Two decimals where they suffice (12.25), three for odd eighths.
        static const char* const decimals[] = {"00", "125", "25", "375", "50", "625", "75", "875"};
        return std::to_string(whole) + "." + decimals[rest];
    }
    if (rest == 0)
        return std::to_string(whole);
    static const char* const fractions[] = {"", "1/8", "1/4", "3/8", "1/2", "5/8", "3/4", "7/8"};
    return whole == 0 ? std::string(fractions[rest]) : std::to_string(whole) + " " + fractions[rest];
}

std::string cell(const char* tag, const std::string& text)
{
    return std::string("<") + tag + ">" + QuotePage::escape(text) + "</" + tag + ">";
}

// The symbol cell must read back as the symbol itself: clients match lines
// to their symbols by this text and do not decode character references, so
// only the bytes that would break the markup are escaped.
std::string symbolCell(const std::string& symbol)
{
    std::string out = "<td>";
    for (char c : symbol) {
        switch (c) {
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        default: out += c;
        }
    }
    return out + "</td>";
}

std::string withSeparators(std::uint64_t n)
{
    std::string digits = std::to_string(n);
    for (int i = static_cast<int>(digits.size()) - 3; i > 0; i -= 3)
        digits.insert(static_cast<std::size_t>(i), ",");
    return digits;
}

} // namespace

std::string QuotePage::escape(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default: out += c;
        }
    }
    return out;
}

std::string QuotePage::formatPrice(std::int64_t eighths, bool fraction)
{
    return eighths < 0 ? "-" + unsignedPrice(-eighths, fraction) : unsignedPrice(eighths, fraction);
}

std::string QuotePage::formatChange(std::int64_t eighths, bool fraction)
{
    if (eighths == 0)
        return fraction ? "0" : "0.00";
    return (eighths > 0 ? "+" : "-") + unsignedPrice(std::llabs(eighths), fraction);
}

std::string QuotePage::formatPercent(std::int64_t change, std::int64_t base)
{
    if (base <= 0 || change == 0)
        return "0.00%";
    // Hundredths of a percent, rounded half away from zero.
    const std::int64_t scaled = (std::llabs(change) * 10000 * 2 + base) / (2 * base);
    char text[48];
    std::snprintf(text, sizeof text, "%c%lld.%02lld%%", change > 0 ? '+' : '-',
                  static_cast<long long>(scaled / 100), static_cast<long long>(scaled % 100));
    return text;
}

std::string QuotePage::formatTime(int minuteOfDay)
{
    char text[16];
    std::snprintf(text, sizeof text, "%d:%02d", (minuteOfDay / 60) % 24, minuteOfDay % 60);
    return text;
}

std::string QuotePage::render(const std::vector<Quote>& quotes, bool fraction, const std::string& source)
{
    std::string page;
    page.reserve(512 + quotes.size() * 256);
    page += "<html>\n<head><title>Stock Quotes</title></head>\n<body>\n<h2>Stock Quotes</h2>\n";
    page += "<p>" + std::to_string(quotes.size()) + (quotes.size() == 1 ? " symbol" : " symbols")
        + (fraction ? ", prices in eighths." : ", prices in dollars.") + "</p>\n";
    page += "<table border=1 cellpadding=2>\n<tr>";
    for (const char* heading : {"Symbol", "Last", "Change", "% Chg", "Open", "High", "Low", "Volume", "Time"})
        page += cell("th", heading);
    page += "</tr>\n";
    for (const Quote& q : quotes) {
        page += "<tr>";
        page += symbolCell(q.symbol);
        page += cell("td", formatPrice(q.last, fraction));
        page += cell("td", formatChange(q.change(), fraction));
        page += cell("td", formatPercent(q.change(), q.previousClose));
        page += cell("td", formatPrice(q.open, fraction));
        page += cell("td", formatPrice(q.high, fraction));
        page += cell("td", formatPrice(q.low, fraction));
        page += cell("td", withSeparators(q.volume));
        page += cell("td", formatTime(q.minuteOfDay));
        page += "</tr>\n";
    }
    page += "</table>\n<p>Quotes delayed; simulated market</p>\n";
    page += "<table><tr><td>Source</td><td>" + escape(source.empty() ? std::string("simulated") : source)
        + "</td></tr></table>\n</body>\n</html>\n";
    return page;
}

std::string QuotePage::errorPage(int status, const std::string& reason, const std::string& detail)
{
    const std::string title = std::to_string(status) + " " + escape(reason);
    return "<html>\n<head><title>" + title + "</title></head>\n<body>\n<h2>" + title + "</h2>\n<p>"
        + escape(detail) + "</p>\n</body>\n</html>\n";
}
