// Symbols and file names are data, never commands: symbols and page files
// whose text is full of shell syntax are added, refreshed, shown, saved and
// opened without any of it being run, and the manual is handed to the
// desktop as a file path, not as a command line.

#include "TarvexWorld.h"

#include "CCommandLineInfo.h"
#include "CDialog.h"
#include "LoopbackServer.h"
#include "Resource.h"
#include "ScratchFolder.h"
#include "UrlRecorder.h"

#include <QDesktopServices>
#include <QLineEdit>
#include <QTest>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

class ShellSafetyTest : public TarvexWorld {
protected:
    // File names cannot hold a "/", so their traps name files relative to
    // the working folder, which is marks/ for the test.
    void SetUp() override
    {
        TarvexWorld::SetUp();
        oldCwd = fs::current_path();
        fs::current_path(marks.Path());
    }
    void TearDown() override
    {
        TarvexWorld::TearDown();
        fs::current_path(oldCwd);
    }

    // Texts that would each create a file in marks/ if a shell saw them.
    Strings Traps(const std::string& tag) const
    {
        const std::string m = marks.Path() + "/" + tag;
        return {
            "$(touch " + m + "1)", "`touch " + m + "2`", "; touch " + m + "3", "| touch " + m + "4 #",
            "&& touch " + m + "5", "'$(touch " + m + "6)'", "\"; touch " + m + "7 \"", "\n touch " + m + "8",
        };
    }
    std::vector<std::string> Marks() const
    {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(marks.Path()))
            names.push_back(e.path().filename().string());
        return names;
    }

    ScratchFolder marks;
    ScratchFolder files;
    fs::path oldCwd;
};

TEST_F(ShellSafetyTest, SymbolsAndFileNamesFullOfShellSyntaxAreOnlyData)
{
    const Strings traps = Traps("s");
    LoopbackServer server(LoopbackServer::answering([&](const std::string&) {
        // The reply's cells carry shell syntax too.
        return LoopbackServer::reply(200, QuotePage({ { "SYMBOL" }, { Traps("r")[0] }, { Traps("r")[1] } }));
    }));
    SetHost("127.0.0.1:" + std::to_string(server.port()));
    Start();
    CTarvexDoc* doc = ActiveDoc();

    // Added through the dialog (six characters at most) ...
    CDialog::SetShowHook([](CDialog* d) {
        auto* edit = qobject_cast<QLineEdit*>(d->GetDlgItem(IDC_SYMBOL)->GetWidget());
        QTest::keyClicks(edit, "$(id)");
        d->OnOK();
    });
    Command(ID_EDIT_ADD);
    CDialog::SetShowHook(nullptr);
    EXPECT_EQ(Tickers(doc), Strings{ "$(ID)" });

    // ... and as a page file could hold them.
    Strings tickers = Tickers(doc);
    tickers.insert(tickers.end(), traps.begin(), traps.end());
    SetTickers(doc, tickers);
    doc->UpdateQuotes();
    ASSERT_EQ(server.requests().size(), 2u);
    const std::string sent = SymbolsOf(server.requests().back());
    EXPECT_EQ(sent.find_first_of("$`;|&'\" \n()"), std::string::npos) << sent;
    EXPECT_EQ(Rows(doc).size(), 3u);
    // Shown as the parser left them: upper-cased, otherwise untouched.
    auto upper = [](const std::string& s) { return CString(s).MakeUpper().str(); };
    EXPECT_EQ(Snapshot(ActiveView()).lines,
              (std::vector<Strings>{ { upper(Traps("r")[0]) }, { upper(Traps("r")[1]) } }));

    // Saved under a name that is itself shell syntax, and opened again:
    // from the open command's path, and from the command line.
    const std::string saved = files / "$(touch f1);`touch f2`.quo";
    ASSERT_TRUE(doc->DoSave(saved.c_str())) << (messages.empty() ? "" : messages[0]);
    ASSERT_TRUE(fs::is_regular_file(saved));
    const std::string copy = files / "'; touch f3 #.quo";
    fs::copy_file(saved, copy);
    auto* pOpened = dynamic_cast<CTarvexDoc*>(app->OpenDocumentFile(copy.c_str()));
    ASSERT_NE(pOpened, nullptr);
    EXPECT_EQ(Tickers(pOpened), tickers);
    pOpened->UpdateQuotes();

    const std::string third = files / "| touch f4 &.quo";
    fs::copy_file(saved, third);
    app->m_argv = { CString(third) };
    CCommandLineInfo cmdInfo;
    app->ParseCommandLine(cmdInfo);
    ASSERT_TRUE(app->ProcessShellCommand(cmdInfo));
    ASSERT_EQ(Docs().size(), 3u);
    EXPECT_EQ(Tickers(Docs()[2]), tickers);
    Command(ID_EDIT_UPDATE);

    // The names went into the recent-file list, which is written at exit.
    app->ExitInstance();
    EXPECT_TRUE(messages.empty());
    EXPECT_TRUE(beeps.empty());
    EXPECT_TRUE(Marks().empty());
}

TEST_F(ShellSafetyTest, HelpIsHandedToTheDesktopAsAFilePath)
{
    const std::string helpDir = files / "help $(touch h1);`touch h2`";
    fs::create_directories(helpDir);
    std::ofstream(helpDir + "/index.html") << "<html><body>Manual</body></html>\n";
    ::setenv("TARVEX_HELP_DIR", helpDir.c_str(), 1);
    UrlRecorder opener;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &opener, "open");
    Start();

    Command(ID_HELP_CONTENTS);

    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    ::unsetenv("TARVEX_HELP_DIR");
    ASSERT_EQ(opener.urls.size(), 1u);
    const QUrl& url = opener.urls[0];
    EXPECT_TRUE(url.isLocalFile()) << url.toString().toStdString();
    EXPECT_EQ(url.toLocalFile().toStdString(), fs::canonical(helpDir + "/index.html").string());
    EXPECT_TRUE(messages.empty());
    EXPECT_TRUE(Marks().empty());
}

} // namespace
