// The refresh of one quote page: one request to the quote server for all
// of the page's symbols, one read of the reply, and the parse of its table.

#include "CTarvexDoc.h"

#include "CMainFrame.h"
#include "CTarvexApp.h"
#include "QuoteRequest.h"
#include "WinInet.h"

#include <vector>

namespace {

constexpr DWORD kReadSize = 64000;
constexpr DWORD kRequestFlags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_EXISTING_CONNECT | INTERNET_FLAG_DONT_CACHE;
const char kCantConnect[] = "Can't connect to server";
const char kCantRead[] = "Can't read from server";

// Holds the busy flag for the length of one refresh, and lets it go on
// every way out, an exception included.
class BusyScope {
public:
    explicit BusyScope(BOOL& bBusy)
        : m_bBusy(bBusy)
    {
        m_bBusy = TRUE;
    }
    ~BusyScope() { m_bBusy = FALSE; }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    BOOL& m_bBusy;
};

// Closes the request's handle on every way out.
class UrlHandle {
public:
    explicit UrlHandle(HINTERNET h)
        : m_h(h)
    {
    }
    ~UrlHandle()
    {
        if (m_h != nullptr)
            InternetCloseHandle(m_h);
    }
    UrlHandle(const UrlHandle&) = delete;
    UrlHandle& operator=(const UrlHandle&) = delete;
    HINTERNET Get() const { return m_h; }

private:
    HINTERNET m_h;
};

void ReportFailure(LPCSTR lpszText)
{
    MessageBeep(MB_ICONEXCLAMATION);
    // Without a main frame (a page refreshed before the window exists, or
    // after it is gone) the beep is all the user gets.
    if (auto* pFrame = dynamic_cast<CMainFrame*>(AfxGetMainWnd()))
        pFrame->m_wndStatusBar.SetPaneText(0, lpszText, TRUE);
}

} // namespace

void CTarvexDoc::UpdateQuotes()
{
    if (m_bBusy)
        return;
    BusyScope busy(m_bBusy);

    if (m_tickerList.IsEmpty()) {
        m_rowList.DeleteAll();
        UpdateAllViews(nullptr, 0, nullptr);
        return;
    }

    const CString strQuery = QuoteRequest::BuildQuery(m_tickerList);

    auto* pApp = dynamic_cast<CTarvexApp*>(AfxGetApp());
    HINTERNET hInternet = pApp != nullptr ? pApp->m_hInternet : nullptr;
    const CString strHost = pApp != nullptr ? pApp->GetQuoteServerHost() : CString(QuoteRequest::kDefaultHost);

    HINTERNET hUrl = nullptr;
    // A host that is not a plain host[:port] could reshape the URL: it is
    // never sent anywhere, and the user hears that no connection was made.
    if (QuoteRequest::IsValidHost(strHost)) {
        const CString strUrl = QuoteRequest::BuildUrl(strHost, strQuery);
        hUrl = InternetOpenUrlA(hInternet, strUrl, strQuery, static_cast<DWORD>(strQuery.GetLength()),
                                kRequestFlags, 0);
    }
    if (hUrl == nullptr) {
        ReportFailure(kCantConnect);
        return;
    }
    UrlHandle url(hUrl);

    std::vector<char> buffer(kReadSize);
    DWORD dwRead = 0;
    if (!InternetReadFile(url.Get(), buffer.data(), kReadSize, &dwRead)) {
        ReportFailure(kCantRead);
        return;
    }

    m_strPage = CString(buffer.data(), static_cast<int>(dwRead));
    ParsePage();
    UpdateAllViews(nullptr, 0, nullptr);
}
