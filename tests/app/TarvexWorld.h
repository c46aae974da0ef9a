#pragma once
// The whole program in one test: a CTarvexApp started with InitInstance
// (Internet handle, resources, main frame, the page "Tarvex1"), its own
// profile, message boxes and beeps captured, and torn down again after the
// test. The refresh timer is stopped after start-up unless a test asks for
// the schedule, so that no pass of its own disturbs what a server counts.

#include "CMainFrame.h"
#include "CString.h"
#include "CTarvexApp.h"
#include "CTarvexDoc.h"
#include "CTarvexView.h"
#include "RefusingPort.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class CDocTemplate;

using Strings = std::vector<std::string>;
using Table = std::vector<Strings>;

// What a list control shows: its column headings and, per line, the text
// of each column.
struct ListSnapshot {
    Strings headings;
    Table lines;
    bool operator==(const ListSnapshot& o) const { return headings == o.headings && lines == o.lines; }
};
void PrintTo(const ListSnapshot& s, std::ostream* os);

class TarvexWorld : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Writes profile values first (they are read during start-up), then
    // starts the program.
    void Start(bool bKeepSchedule = false);

    CMainFrame* Frame() const;
    CDocTemplate* Template() const;
    std::vector<CTarvexDoc*> Docs() const;
    CTarvexDoc* ActiveDoc() const;
    CTarvexView* ActiveView() const;
    std::vector<CTarvexView*> Views(CTarvexDoc* pDoc) const;

    // Sends a command to the main window as a menu item would.
    void Command(UINT nID);
    void Idle();
    // Runs the event loop (timers included) until pred holds or ms pass.
    bool RunUntil(const std::function<bool()>& pred, int ms);

    void SetHost(const std::string& host);
    void WriteProfile(const char* section, const char* key, const std::string& value);
    std::string ReadProfile(const char* section, const char* key);

    static void SetTickers(CTarvexDoc* pDoc, const Strings& tickers);
    static Strings Tickers(const CTarvexDoc* pDoc);
    // Replaces the Row table and updates the views, as a refresh does.
    static void SetRows(CTarvexDoc* pDoc, const Table& rows);
    static Table Rows(const CTarvexDoc* pDoc);
    static ListSnapshot Snapshot(CTarvexView* pView);
    static void Select(CTarvexView* pView, const std::vector<int>& lines);
    std::string Pane(int nIndex) const;

    std::unique_ptr<CTarvexApp> app;
    std::vector<UINT> beeps;
    std::vector<std::string> messages;
    // A port nobody answers on: the host until a test sets its own.
    RefusingPort refusing;
};

// The quote reply of an HTML page whose first table holds rows.
std::string QuotePage(const Table& rows);
// The request target of a request head ("/path?query").
std::string RequestTarget(const std::string& head);
// The symbols part of a quote request target (after "TICKER="), or the
// whole target when it does not have the expected path and prefix.
std::string SymbolsOf(const std::string& head);

using Clock = std::chrono::steady_clock;
