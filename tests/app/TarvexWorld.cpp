#include "TarvexWorld.h"

#include "AfxWin.h"
#include "CDialog.h"
#include "CDocTemplate.h"
#include "CListCtrl.h"
#include "CMDIChildWnd.h"
#include "CStatusBar.h"
#include "CStringList.h"

#include <QEventLoop>
#include <QTimer>

#include <cstdio>
#include <ostream>

void PrintTo(const ListSnapshot& s, std::ostream* os)
{
    *os << "headings {";
    for (const std::string& h : s.headings)
        *os << '"' << h << "\" ";
    *os << "} lines {";
    for (const Strings& line : s.lines) {
        *os << " [";
        for (const std::string& c : line)
            *os << '"' << c << "\" ";
        *os << "]";
    }
    *os << " }";
}

void TarvexWorld::SetUp()
{
    AfxSetMessageBoxHook([this](const CString& text, UINT) {
        messages.push_back(text.str());
        return IDOK;
    });
    AfxSetMessageBeepHook([this](UINT uType) { beeps.push_back(uType); });
    app = std::make_unique<CTarvexApp>();
    app->m_pszProfileName = "tarvex-test.ini";
    // Each test starts from no profile at all.
    std::remove(app->GetProfilePath());
    SetHost("127.0.0.1:" + std::to_string(refusing.port()));
}

void TarvexWorld::TearDown()
{
    CDialog::SetShowHook(nullptr);
    if (app) {
        app->ExitInstance();
        if (app->m_pMainWnd != nullptr)
            app->m_pMainWnd->DestroyWindow();
        app.reset();
    }
    EXPECT_EQ(AfxGetApp(), nullptr);
    AfxSetMessageBoxHook(nullptr);
    AfxSetMessageBeepHook(nullptr);
}

void TarvexWorld::Start(bool bKeepSchedule)
{
    ASSERT_TRUE(app->InitInstance());
    ASSERT_NE(Frame(), nullptr);
    ASSERT_NE(app->m_hInternet, nullptr);
    if (!bKeepSchedule)
        Frame()->KillTimer(Frame()->m_nTimerId);
}

CMainFrame* TarvexWorld::Frame() const
{
    return dynamic_cast<CMainFrame*>(app->m_pMainWnd);
}

CDocTemplate* TarvexWorld::Template() const
{
    POSITION pos = app->GetFirstDocTemplatePosition();
    return pos != nullptr ? app->GetNextDocTemplate(pos) : nullptr;
}

std::vector<CTarvexDoc*> TarvexWorld::Docs() const
{
    std::vector<CTarvexDoc*> docs;
    CDocTemplate* pTemplate = Template();
    for (POSITION pos = pTemplate->GetFirstDocPosition(); pos != nullptr;)
        docs.push_back(dynamic_cast<CTarvexDoc*>(pTemplate->GetNextDoc(pos)));
    return docs;
}

CTarvexDoc* TarvexWorld::ActiveDoc() const
{
    return dynamic_cast<CTarvexDoc*>(Frame()->GetActiveDocument());
}

CTarvexView* TarvexWorld::ActiveView() const
{
    CMDIChildWnd* pChild = Frame()->MDIGetActive();
    return pChild != nullptr ? dynamic_cast<CTarvexView*>(pChild->GetActiveView()) : nullptr;
}

std::vector<CTarvexView*> TarvexWorld::Views(CTarvexDoc* pDoc) const
{
    std::vector<CTarvexView*> views;
    for (POSITION pos = pDoc->GetFirstViewPosition(); pos != nullptr;)
        views.push_back(dynamic_cast<CTarvexView*>(pDoc->GetNextView(pos)));
    return views;
}

void TarvexWorld::Command(UINT nID)
{
    Frame()->SendMessage(WM_COMMAND, MAKEWPARAM(static_cast<WORD>(nID), 0), 0);
}

void TarvexWorld::Idle()
{
    app->OnIdle(0);
}

bool TarvexWorld::RunUntil(const std::function<bool()>& pred, int ms)
{
    const auto deadline = Clock::now() + std::chrono::milliseconds(ms);
    while (!pred()) {
        if (Clock::now() >= deadline)
            return false;
        QEventLoop loop;
        QTimer::singleShot(20, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return true;
}

void TarvexWorld::SetHost(const std::string& host)
{
    WriteProfile("Server", "Host", host);
}

void TarvexWorld::WriteProfile(const char* section, const char* key, const std::string& value)
{
    ASSERT_TRUE(app->WriteProfileString(section, key, value.c_str()));
}

std::string TarvexWorld::ReadProfile(const char* section, const char* key)
{
    return app->GetProfileString(section, key, "<none>").str();
}

void TarvexWorld::SetTickers(CTarvexDoc* pDoc, const Strings& tickers)
{
    pDoc->m_tickerList.RemoveAll();
    for (const std::string& t : tickers)
        pDoc->m_tickerList.AddTail(CString(t));
}

Strings TarvexWorld::Tickers(const CTarvexDoc* pDoc)
{
    Strings out;
    for (POSITION pos = pDoc->m_tickerList.GetHeadPosition(); pos != nullptr;)
        out.push_back(pDoc->m_tickerList.GetNext(pos).str());
    return out;
}

void TarvexWorld::SetRows(CTarvexDoc* pDoc, const Table& rows)
{
    pDoc->m_rowList.DeleteAll();
    for (const Strings& row : rows) {
        auto pRow = std::make_unique<CStringList>(10);
        for (const std::string& cell : row)
            pRow->AddTail(CString(cell));
        pDoc->m_rowList.AddTail(pRow.release());
    }
    pDoc->UpdateAllViews(nullptr, 0, nullptr);
}

Table TarvexWorld::Rows(const CTarvexDoc* pDoc)
{
    Table out;
    for (POSITION pos = pDoc->m_rowList.GetHeadPosition(); pos != nullptr;) {
        const CStringList* pRow = pDoc->m_rowList.GetNext(pos);
        Strings cells;
        for (POSITION cell = pRow->GetHeadPosition(); cell != nullptr;)
            cells.push_back(pRow->GetNext(cell).str());
        out.push_back(cells);
    }
    return out;
}

ListSnapshot TarvexWorld::Snapshot(CTarvexView* pView)
{
    ListSnapshot s;
    CListCtrl& list = pView->GetListCtrl();
    const int nColumns = list.GetColumnCount();
    for (int c = 0; c < nColumns; ++c)
        s.headings.push_back(list.GetColumnHeading(c).str());
    for (int n = 0; n < list.GetItemCount(); ++n) {
        Strings line;
        for (int c = 0; c < nColumns; ++c)
            line.push_back(list.GetItemText(n, c).str());
        s.lines.push_back(line);
    }
    return s;
}

void TarvexWorld::Select(CTarvexView* pView, const std::vector<int>& lines)
{
    CListCtrl& list = pView->GetListCtrl();
    for (int n = 0; n < list.GetItemCount(); ++n)
        list.SetItemState(n, 0, LVIS_SELECTED);
    for (int n : lines)
        list.SetItemState(n, LVIS_SELECTED, LVIS_SELECTED);
}

std::string TarvexWorld::Pane(int nIndex) const
{
    return Frame()->m_wndStatusBar.GetPaneText(nIndex).str();
}

std::string QuotePage(const Table& rows)
{
    std::string html = "<html><head><title>Quotes</title></head><body>\n<table border=1>\n";
    bool first = true;
    for (const Strings& row : rows) {
        html += "<tr>";
        for (const std::string& cell : row)
            html += (first ? "<th>" : "<td>") + cell + (first ? "</th>" : "</td>");
        html += "</tr>\n";
        first = false;
    }
    return html + "</table>\n</body></html>\n";
}

std::string RequestTarget(const std::string& head)
{
    const std::size_t sp = head.find(' ');
    const std::size_t sp2 = head.find(' ', sp + 1);
    if (sp == std::string::npos || sp2 == std::string::npos)
        return std::string();
    return head.substr(sp + 1, sp2 - sp - 1);
}

std::string SymbolsOf(const std::string& head)
{
    const std::string target = RequestTarget(head);
    const std::string expected = "/cgi-bin/squote.exe?SOURCE=msn&format=fraction&tables=table&TICKER=";
    if (target.compare(0, expected.size(), expected) != 0)
        return target;
    return target.substr(expected.size());
}
