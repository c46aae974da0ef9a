#include "QuoteService.h"

#include "QuoteMarket.h"
#include "QuotePage.h"
#include "QuoteRequest.h"

QuoteService::QuoteService(QuoteMarket& market)
    : m_market(market)
{
}

QuoteReply QuoteService::get(const std::string& target)
{
    const std::size_t mark = target.find('?');
    const std::string path = target.substr(0, mark);
    if (path != kPath) {
        return {404, QuotePage::errorPage(404, "Not Found",
                                          std::string("The only script here is ") + kPath + ".")};
    }
    QuoteRequest request;
    std::string error;
    const std::string query = mark == std::string::npos ? std::string() : target.substr(mark + 1);
    if (!QuoteRequest::parse(query, request, error))
        return {400, QuotePage::errorPage(400, "Bad Request", error)};
    return {200, QuotePage::render(m_market.quotes(request.symbols()), request.fraction(), request.source())};
}
