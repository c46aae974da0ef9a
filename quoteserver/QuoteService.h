#pragma once
// What the quote server answers to a request target, apart from the HTTP
// machinery, so that it can be tested without a socket.

#include <string>

class QuoteMarket;

struct QuoteReply
{
    int status = 200;
    std::string body;
};

class QuoteService
{
public:
    static constexpr const char* kPath = "/cgi-bin/squote.exe";

    explicit QuoteService(QuoteMarket& market);

    // target: the raw request target, path and query as sent.
    QuoteReply get(const std::string& target);

private:
    QuoteMarket& m_market;
};
