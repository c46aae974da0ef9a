#include "ReplyGenerator.h"

#include <cstdio>

namespace {

const char* const kHeadings[] = {"Symbol", "Last", "Change", "% Chg", "Open", "High", "Low", "Volume", "Time"};
const char* const kEighths[] = {"", " 1/8", " 1/4", " 3/8", " 1/2", " 5/8", " 3/4", " 7/8"};

// A small, fixed pseudo-random sequence: the same bytes on every machine.
unsigned Next(unsigned& state)
{
    state = state * 1103515245u + 12345u;
    return (state >> 16) & 0x7FFFu;
}

std::string Price(unsigned& state)
{
    return std::to_string(5 + Next(state) % 120) + kEighths[Next(state) % 8];
}

std::string Symbol(unsigned nRow)
{
    std::string s;
    for (unsigned n = nRow + 26 * 26; n > 0; n /= 26)
        s += static_cast<char>('A' + n % 26);
    return s;
}

} // namespace

std::string ReplyGenerator::FitTo(std::string page, std::size_t nSize)
{
    static const char kTail[] = "</body></html>\n";
    if (page.size() + sizeof kTail - 1 <= nSize) {
        page += kTail;
        page.append(nSize - page.size(), '\n');
    } else {
        page.resize(nSize);
    }
    return page;
}

std::string ReplyGenerator::QuoteRow(unsigned nRow)
{
    unsigned state = nRow * 7919u + 17u;
    const std::string symbol = Symbol(nRow);
    char percent[32];
    std::snprintf(percent, sizeof percent, "%c%u.%02u%%", Next(state) % 2 ? '+' : '-', Next(state) % 9,
                  Next(state) % 100);
    char volume[32];
    std::snprintf(volume, sizeof volume, "%u,%03u,%03u", Next(state) % 40, Next(state) % 1000, Next(state) % 1000);
    char time[16];
    std::snprintf(time, sizeof time, "%u:%02u", 9 + Next(state) % 7, Next(state) % 60);

    std::string row = "<tr>";
    row += "<td><a href=\"q?s=" + symbol + "\">" + symbol + "</a></td>";
    row += "<td nowrap><b>" + Price(state) + "</b></td>";
    row += "<td nowrap>" + std::string(Next(state) % 2 ? "+" : "-") + (kEighths[1 + Next(state) % 7] + 1) + "</td>";
    row += std::string("<td nowrap>") + percent + "</td>";
    row += "<td nowrap>" + Price(state) + "</td>";
    row += "<td nowrap>" + Price(state) + "</td>";
    row += "<td nowrap>" + Price(state) + "</td>";
    row += std::string("<td nowrap>") + volume + "</td>";
    row += std::string("<td nowrap>") + time + "</td></tr>\n";
    return row;
}

std::string ReplyGenerator::Realistic(std::size_t nSize)
{
    std::string page =
        "<html>\n<head><title>Stock Quotes</title></head>\n<body bgcolor=\"#ffffff\">\n"
        "<h2>Stock Quotes</h2>\n<p>Quotes delayed at least 20 minutes.</p>\n"
        "<table border=1 cellpadding=2 cellspacing=0 width=\"100%\">\n<tr>";
    for (const char* heading : kHeadings)
        page += std::string("<th align=center><font size=-1>") + heading + "</font></th>";
    page += "</tr>\n";
    static const char kEnd[] = "</table>\n<p><i>Prices in eighths.</i></p>\n";
    for (unsigned nRow = 0;; ++nRow) {
        const std::string row = QuoteRow(nRow);
        if (page.size() + row.size() + sizeof kEnd + 16 > nSize)
            break;
        page += row;
    }
    page += kEnd;
    return FitTo(std::move(page), nSize);
}

std::string ReplyGenerator::TinyCells(std::size_t nSize)
{
    std::string page = "<html><body><table>\n";
    static const char kEnd[] = "</table>\n";
    for (unsigned nRow = 0;; ++nRow) {
        std::string row = "<tr>";
        for (unsigned nCell = 0; nCell < 9; ++nCell) {
            row += "<td>";
            row += static_cast<char>('0' + (nRow + nCell) % 10);
            row += "</td>";
        }
        row += "</tr>\n";
        if (page.size() + row.size() + sizeof kEnd + 16 > nSize)
            break;
        page += row;
    }
    page += kEnd;
    return FitTo(std::move(page), nSize);
}

std::string ReplyGenerator::LongPreamble(std::size_t nSize)
{
    std::string table = "<table border=1>\n<tr>";
    for (const char* heading : kHeadings)
        table += std::string("<th>") + heading + "</th>";
    table += "</tr>\n";
    for (unsigned nRow = 0; nRow < 20; ++nRow)
        table += QuoteRow(nRow);
    table += "</table>\n";

    std::string page = "<html>\n<head><title>Market News</title></head>\n<body>\n<h1>Market News</h1>\n";
    static const char* const kWords[] = {"shares", "of", "the", "company", "rose", "after", "its",
                                         "quarterly", "report", "showed", "higher", "sales", "and",
                                         "analysts", "said", "demand", "for", "chips", "remained", "strong"};
    unsigned state = 99;
    const std::size_t nProse = nSize > table.size() + 64 ? nSize - table.size() - 64 : 0;
    while (page.size() < nProse) {
        std::string para = "<p>";
        for (unsigned nWord = 0; nWord < 60; ++nWord) {
            if (nWord % 20 == 7)
                para += "<a href=\"/news/story.html?id=" + std::to_string(Next(state)) + "\">";
            para += kWords[Next(state) % 20];
            if (nWord % 20 == 9)
                para += "</a>";
            para += nWord % 12 == 11 ? ". " : " ";
        }
        para += "</p>\n";
        if (page.size() + para.size() > nProse)
            break;
        page += para;
    }
    page += table;
    return FitTo(std::move(page), nSize);
}
