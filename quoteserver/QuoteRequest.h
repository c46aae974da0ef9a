#pragma once
// A quote request as the program sends it:
//   /cgi-bin/squote.exe?SOURCE=msn&format=fraction&tables=table&TICKER=ABC+XYZ
// The query is read from its raw form: in TICKER a literal "+" separates two
// symbols (it is not a space), and each symbol is then percent-decoded, so
// "%2B" is a plus sign inside a symbol and "%20" a space.

#include <cstddef>
#include <string>
#include <vector>

class QuoteRequest
{
public:
    static constexpr std::size_t kMaxSymbols = 500;
    static constexpr std::size_t kMaxSymbolLength = 64; // bytes, once decoded

    // Parses the raw query string (what follows the "?"). On a bad request
    // returns false and says why in error.
    static bool parse(const std::string& rawQuery, QuoteRequest& request, std::string& error);

    // Decodes %XX escapes; a "%" not followed by two hex digits stays as it is.
    static std::string percentDecode(const std::string& text);

    const std::vector<std::string>& symbols() const { return m_symbols; }
    // format=fraction asks for eighths ("12 1/4"); anything else for decimals.
    bool fraction() const { return m_fraction; }
    const std::string& source() const { return m_source; }

private:
    std::vector<std::string> m_symbols;
    bool m_fraction = false;
    std::string m_source;
};
