// Refreshing: CTarvexDoc::UpdateQuotes of a 50-symbol page against the
// companion server on loopback, again and again on one Internet handle,
// next to a bare libcurl fetch of the same URL with one reused easy
// handle. Each side has its own server, so that the connections each one
// makes can be counted apart.

#include "CString.h"
#include "CTarvexApp.h"
#include "CTarvexDoc.h"
#include "LoopbackConnections.h"
#include "QuoteRequest.h"
#include "QuoteServerProcess.h"
#include "WinInet.h"

#include <benchmark/benchmark.h>
#include <curl/curl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

constexpr int kSymbols = 50;
constexpr int kSeries = 100; // requests in the connection count
constexpr std::size_t kReadSize = 64000;

struct BareFetch {
    CURL* pEasy = nullptr;
    std::vector<char> buffer = std::vector<char>(kReadSize);
    std::size_t nFilled = 0;

    static std::size_t OnBody(char* pData, std::size_t nSize, std::size_t nCount, void* pSelf)
    {
        auto* p = static_cast<BareFetch*>(pSelf);
        const std::size_t n = std::min(nSize * nCount, p->buffer.size() - p->nFilled);
        std::copy(pData, pData + n, p->buffer.data() + p->nFilled);
        p->nFilled += n;
        return nSize * nCount;
    }

    explicit BareFetch(const std::string& strUrl) : pEasy(curl_easy_init())
    {
        curl_easy_setopt(pEasy, CURLOPT_URL, strUrl.c_str());
        curl_easy_setopt(pEasy, CURLOPT_PROXY, "");
        curl_easy_setopt(pEasy, CURLOPT_WRITEFUNCTION, &BareFetch::OnBody);
        curl_easy_setopt(pEasy, CURLOPT_WRITEDATA, this);
    }
    ~BareFetch() { curl_easy_cleanup(pEasy); }
    BareFetch(const BareFetch&) = delete;
    BareFetch& operator=(const BareFetch&) = delete;

    bool Fetch()
    {
        nFilled = 0;
        return curl_easy_perform(pEasy) == CURLE_OK && nFilled > 0;
    }
    // The connections the last transfer had to open (0 when it reused one).
    long Connects() const
    {
        long n = 0;
        curl_easy_getinfo(pEasy, CURLINFO_NUM_CONNECTS, &n);
        return n;
    }
};

struct World {
    std::unique_ptr<QuoteServerProcess> pTarvexServer;
    std::unique_ptr<QuoteServerProcess> pBareServer;
    std::unique_ptr<CTarvexApp> pApp;
    std::unique_ptr<CTarvexDoc> pDoc;
    std::unique_ptr<BareFetch> pBare;
};

World* g_pWorld = nullptr;

bool Refresh(World& w)
{
    w.pDoc->UpdateQuotes();
    return w.pDoc->m_rowList.GetCount() == kSymbols + 1;
}

void BM_UpdateQuotes(benchmark::State& state)
{
    World& w = *g_pWorld;
    for (auto _ : state) {
        if (!Refresh(w)) {
            state.SkipWithError("the refresh did not bring the rows back");
            break;
        }
    }
}

void BM_BareFetch(benchmark::State& state)
{
    World& w = *g_pWorld;
    for (auto _ : state) {
        if (!w.pBare->Fetch()) {
            state.SkipWithError("the fetch failed");
            break;
        }
    }
}

// A short series on a fresh server, then the kernel's table is read while
// every connection of it is still listed.
void CountConnections(World& w)
{
    for (int n = 0; n < kSeries; ++n) {
        if (!Refresh(w)) {
            std::fprintf(stderr, "UpdateQuotes failed\n");
            std::exit(1);
        }
    }
    const std::size_t nTarvexConnections = LoopbackConnections::ClientPorts(w.pTarvexServer->Port()).size();
    const int nTarvexRequests = w.pTarvexServer->RequestCount(); // the first request included

    long nCurlConnects = w.pBare->Connects(); // the first fetch's
    for (int n = 0; n < kSeries; ++n) {
        if (!w.pBare->Fetch()) {
            std::fprintf(stderr, "the bare fetch failed\n");
            std::exit(1);
        }
        nCurlConnects += w.pBare->Connects();
    }
    const std::size_t nBareConnections = LoopbackConnections::ClientPorts(w.pBareServer->Port()).size();
    const int nBareRequests = w.pBareServer->RequestCount();

    std::printf("connections: UpdateQuotes %d requests over %zu TCP connections; "
                "bare libcurl %d requests over %zu TCP connections (libcurl counted %ld new ones)\n",
                nTarvexRequests, nTarvexConnections, nBareRequests, nBareConnections, nCurlConnects);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv)
{
    char szDir[] = "/tmp/tarvex-bench-XXXXXX";
    if (mkdtemp(szDir) == nullptr)
        return 1;
    const std::string strDir = szDir;

    auto pWorld = std::make_unique<World>();
    g_pWorld = pWorld.get();
    World& w = *pWorld;
    w.pTarvexServer = std::make_unique<QuoteServerProcess>(TARVEX_QUOTESERVER_PATH, strDir + "/tarvex.log");
    w.pBareServer = std::make_unique<QuoteServerProcess>(TARVEX_QUOTESERVER_PATH, strDir + "/bare.log");
    if (w.pTarvexServer->Host().empty() || w.pBareServer->Host().empty()) {
        std::fprintf(stderr, "the companion server did not start (%s)\n", TARVEX_QUOTESERVER_PATH);
        return 1;
    }

    // The application object as far as a refresh needs it: the Internet
    // handle and the profile's host, without the windows of InitInstance.
    // No proxy on either side, so that loopback stays loopback whatever the
    // environment says.
    w.pApp = std::make_unique<CTarvexApp>();
    w.pApp->m_pszProfileName = CString(strDir + "/tarvex.ini");
    w.pApp->WriteProfileString("Server", "Host", w.pTarvexServer->Host().c_str());
    w.pApp->m_hInternet = InternetOpenA("Tarvex", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);

    w.pDoc = std::make_unique<CTarvexDoc>();
    for (int n = 0; n < kSymbols; ++n) {
        std::string symbol;
        for (int k = n + 26 * 26; k > 0; k /= 26)
            symbol += static_cast<char>('A' + k % 26);
        w.pDoc->m_tickerList.AddTail(CString(symbol));
    }
    const CString strQuery = QuoteRequest::BuildQuery(w.pDoc->m_tickerList);
    w.pBare = std::make_unique<BareFetch>(QuoteRequest::BuildUrl(CString(w.pBareServer->Host()), strQuery).str());

    if (!Refresh(w) || !w.pBare->Fetch()) {
        std::fprintf(stderr, "the first requests failed\n");
        return 1;
    }
    std::printf("reply: %d rows; bare fetch %zu bytes\n", w.pDoc->m_rowList.GetCount(), w.pBare->nFilled);
    CountConnections(w);

    benchmark::RegisterBenchmark("UpdateQuotes/50", BM_UpdateQuotes)->Unit(benchmark::kMicrosecond)->UseRealTime();
    benchmark::RegisterBenchmark("BareFetch/50", BM_BareFetch)->Unit(benchmark::kMicrosecond)->UseRealTime();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    w.pBare.reset();
    w.pDoc.reset();
    InternetCloseHandle(w.pApp->m_hInternet);
    w.pApp->m_hInternet = nullptr;
    w.pApp.reset();
    w.pTarvexServer.reset();
    w.pBareServer.reset();
    unlink((strDir + "/tarvex.ini").c_str());
    rmdir(strDir.c_str());
    return 0;
}
