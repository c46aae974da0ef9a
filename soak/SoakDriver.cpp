// The long run: the whole program (CTarvexApp started as at launch, its
// main window, pages and views) refreshing 10 pages against the companion
// quote server pass after pass, with its resident memory sampled every
// 1,000 passes. Resident memory must settle after warm-up: once it has, a
// pass that leaks even a few hundred bytes shows as growth across the run.
//
//   tarvex_soak [--passes N] [--pages N] [--every N] [--warmup N]
//               [--bound-kib N] [--csv FILE]
//
// Exit code 0 when every pass refreshed every page and the growth from the
// end of warm-up stayed within the bound; 1 otherwise.

#include "CMainFrame.h"
#include "CStatusBar.h"
#include "CTarvexApp.h"
#include "CTarvexDoc.h"
#include "CompanionServer.h"
#include "CDocTemplate.h"

#include <QApplication>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace {

struct Options {
    long passes = 10000;
    int pages = 10;
    long every = 1000;
    long warmup = 2000;
    long boundKib = 2048;
    std::string csv = "soak.csv";
};

bool ParseOptions(int argc, char** argv, Options& o)
{
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (i + 1 >= argc)
            return false;
        const char* value = argv[++i];
        if (arg == "--passes")
            o.passes = std::atol(value);
        else if (arg == "--pages")
            o.pages = std::atoi(value);
        else if (arg == "--every")
            o.every = std::atol(value);
        else if (arg == "--warmup")
            o.warmup = std::atol(value);
        else if (arg == "--bound-kib")
            o.boundKib = std::atol(value);
        else if (arg == "--csv")
            o.csv = value;
        else
            return false;
    }
    return o.passes > 0 && o.pages > 0 && o.every > 0;
}

long ResidentKib()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0)
            return std::atol(line.c_str() + 6);
    }
    return -1;
}

std::vector<CTarvexDoc*> Pages(CTarvexApp& app)
{
    std::vector<CTarvexDoc*> docs;
    POSITION tpos = app.GetFirstDocTemplatePosition();
    CDocTemplate* pTemplate = app.GetNextDocTemplate(tpos);
    for (POSITION pos = pTemplate->GetFirstDocPosition(); pos != nullptr;)
        docs.push_back(dynamic_cast<CTarvexDoc*>(pTemplate->GetNextDoc(pos)));
    return docs;
}

} // namespace

int main(int argc, char** argv)
{
    Options o;
    if (!ParseOptions(argc, argv, o)) {
        std::fprintf(stderr, "usage: %s [--passes N] [--pages N] [--every N] [--warmup N] [--bound-kib N] [--csv FILE]\n",
                     argv[0]);
        return 2;
    }

    CompanionServer server;
    if (server.host().empty()) {
        std::fprintf(stderr, "soak: the companion server did not start\n");
        return 1;
    }

    int qtArgc = 1;
    QApplication qapp(qtArgc, argv);
    int failures = 0;
    AfxSetMessageBeepHook([&](UINT) { ++failures; });
    AfxSetMessageBoxHook([&](const CString& text, UINT) {
        std::fprintf(stderr, "soak: message box: %s\n", text.GetString());
        ++failures;
        return IDOK;
    });

    CTarvexApp app;
    app.m_pszProfileName = "tarvex-soak.ini";
    std::remove(app.GetProfilePath());
    app.WriteProfileString("Server", "Host", server.host().c_str());
    if (!app.InitInstance()) {
        std::fprintf(stderr, "soak: start-up failed\n");
        return 1;
    }
    auto* pFrame = dynamic_cast<CMainFrame*>(app.m_pMainWnd);
    // The passes are driven from here, one after another.
    pFrame->KillTimer(pFrame->m_nTimerId);

    for (int i = 1; i < o.pages; ++i)
        app.OnFileNew();
    const std::vector<CTarvexDoc*> pages = Pages(app);
    for (std::size_t p = 0; p < pages.size(); ++p) {
        for (int s = 0; s < 5; ++s)
            pages[p]->m_tickerList.AddTail(CString("S") + CString(std::to_string(p * 5 + s)));
    }

    std::ofstream csv(o.csv, std::ios::trunc);
    csv << "pass,vmrss_kib,seconds\n";
    const auto t0 = std::chrono::steady_clock::now();
    auto sample = [&](long pass) {
        QCoreApplication::processEvents();
        const long kib = ResidentKib();
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        csv << pass << ',' << kib << ',' << seconds << '\n';
        csv.flush();
        std::printf("pass %6ld  VmRSS %7ld KiB  %8.1f s  failures %d\n", pass, kib, seconds, failures);
        std::fflush(stdout);
        return kib;
    };

    long rssAtWarmup = -1;
    long rssMaxAfter = -1;
    long emptyPages = 0;
    sample(0);
    for (long pass = 1; pass <= o.passes; ++pass) {
        pFrame->OnEditUpdate();
        // The event loop's share of a pass: deferred deletions, repaints.
        QCoreApplication::processEvents();
        for (CTarvexDoc* pDoc : pages) {
            if (pDoc->m_rowList.GetCount() < 2)
                ++emptyPages;
        }
        if (pass % o.every == 0) {
            const long kib = sample(pass);
            if (pass == o.warmup)
                rssAtWarmup = kib;
            else if (pass > o.warmup && kib > rssMaxAfter)
                rssMaxAfter = kib;
        }
    }

    app.ExitInstance();
    pFrame->DestroyWindow();
    AfxSetMessageBeepHook(nullptr);
    AfxSetMessageBoxHook(nullptr);

    const long growth = rssAtWarmup >= 0 && rssMaxAfter >= 0 ? rssMaxAfter - rssAtWarmup : 0;
    std::printf("soak: %ld passes of %zu pages, %d failed refreshes, %ld pages without rows\n", o.passes,
                pages.size(), failures, emptyPages);
    std::printf("soak: VmRSS at pass %ld: %ld KiB; highest after: %ld KiB; growth %ld KiB (bound %ld KiB)\n",
                o.warmup, rssAtWarmup, rssMaxAfter, growth, o.boundKib);
    const bool ok = failures == 0 && emptyPages == 0 && growth <= o.boundKib;
    std::printf("soak: %s\n", ok ? "PASS" : "FAIL");
    return ok ? 0 : 1;
}
