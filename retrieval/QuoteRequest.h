#pragma once
// The text of a quote request: the query that names a page's symbols and
// the URL that carries it to the quote server.

#include "CString.h"

class CStringList;

namespace QuoteRequest {

// Where a fresh installation looks for quotes: the companion quote server
// on this machine.
inline constexpr const char* kDefaultHost = "127.0.0.1:8642";

inline constexpr const char* kQueryPrefix = "SOURCE=msn&format=fraction&tables=table&TICKER=";
inline constexpr const char* kScriptPath = "/cgi-bin/squote.exe";

// Appends one symbol to a query, percent-encoding every byte other than
// letters, digits and "-._~". A symbol may hold anything the user typed;
// encoded, it can neither end the request line nor add query parameters,
// and the "+" between symbols stays the only separator.
void AppendEncodedSymbol(CString& query, const CString& symbol);

// The prefix followed by the symbols in list order, "+" between two
// symbols and nothing after the last; empty symbols stay empty.
CString BuildQuery(const CStringList& tickerList);

// A host name, an IPv4 address or a bracketed IPv6 address, optionally
// followed by ":port" (1 to 65535). Anything else, a path, a user part or
// blanks included, is refused, so the profile value cannot reshape the URL.
bool IsValidHost(const CString& host);

// "http://" + host + script path + "?" + query.
CString BuildUrl(const CString& host, const CString& query);

} // namespace QuoteRequest
