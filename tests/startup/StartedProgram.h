#pragma once
// The program started as its main() starts it, minus the message loop: a
// CTarvexApp with its own profile in a temporary folder, InitInstance run,
// message boxes, beeps and file dialogs captured, and everything torn
// down after the test. Requests go to a port that refuses them, so each
// refresh of a page with symbols shows as one beep. The refresh timer is
// stopped, so only the commands under test refresh.

#include "CMainFrame.h"
#include "CString.h"
#include "CTarvexApp.h"
#include "CTarvexDoc.h"
#include "RefusingPort.h"

#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class CDocTemplate;

using Strings = std::vector<std::string>;

// What the program's file dialog was asked, and what it answered.
struct FilePrompt {
    std::string proposed;
    UINT nIDSTitle = 0;
    bool open = false;
};

// The application with its file dialog replaceable: with an answer set the
// dialog is not shown, and that answer is the user's choice ("" cancels).
class TestApp : public CTarvexApp {
public:
    BOOL DoPromptFileName(CString& fileName, UINT nIDSTitle, DWORD lFlags, BOOL bOpenFileDialog,
                          CDocTemplate* pTemplate) override;

    std::vector<FilePrompt> prompts;
    // Answers for the next dialogs, in order; when none is left the real
    // dialog runs.
    std::vector<std::string> answers;
};

class StartedProgram : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Runs InitInstance; profile values written before are read by it.
    void Start();
    // Ends the program as a run ends (ExitInstance, window gone) and
    // starts a new application object on the same profile.
    void Restart();
    void Stop();

    CMainFrame* Frame() const;
    CDocTemplate* Template() const;
    std::vector<CTarvexDoc*> Docs() const;
    CTarvexDoc* ActiveDoc() const;
    // Sends a command to the main window as a menu item would.
    void Command(UINT nID);
    void Idle();

    void WriteProfile(const char* section, const char* key, const std::string& value);

    // A page file in the temporary folder, written byte for byte in the
    // page format; returns its path.
    std::string WritePage(const std::string& name, const Strings& tickers);
    std::string Path(const std::string& name) const;
    static Strings Tickers(const CTarvexDoc* pDoc);
    static void SetTickers(CTarvexDoc* pDoc, const Strings& tickers);

    QTemporaryDir dir;
    std::unique_ptr<TestApp> app;
    std::vector<std::string> messages;
    int beeps = 0;
    RefusingPort refusing;
};
