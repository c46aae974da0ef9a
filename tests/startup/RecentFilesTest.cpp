// The recent-file list: kept across runs in the profile, at most four
// entries newest first, shown in the File menu, and opened from there.
#include "StartedProgram.h"

#include "AfxRes.h"
#include "CRecentFileList.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QMenuBar>

namespace {

class RecentFiles : public StartedProgram {
protected:
    void SetUp() override
    {
        StartedProgram::SetUp();
        Start();
    }

    Strings List() const
    {
        Strings names;
        for (const CString& name : app->GetRecentFileList())
            names.push_back(name.str());
        return names;
    }

    // The recent-file items of the File menu now shown: text and enabled
    // state of the visible ones.
    std::vector<std::pair<std::string, bool>> MenuItems()
    {
        Idle();
        std::vector<std::pair<std::string, bool>> items;
        QMenuBar* bar = Frame()->GetMenuBar();
        if (bar == nullptr || bar->actions().isEmpty())
            return items;
        QMenu* file = bar->actions().front()->menu();
        for (QAction* a : file->actions()) {
            const UINT nID = a->data().toUInt();
            if (a->isVisible() && nID >= ID_FILE_MRU_FIRST && nID <= ID_FILE_MRU_LAST)
                items.emplace_back(a->text().toStdString(), a->isEnabled());
        }
        return items;
    }
};

TEST_F(RecentFiles, SurviveARestartAtMostFourNewestFirst)
{
    std::vector<std::string> paths;
    for (const char* name : { "a.quo", "b.quo", "c.quo", "d.quo", "e.quo" })
        paths.push_back(WritePage(name, { "IBM" }));
    for (const std::string& path : paths)
        ASSERT_NE(app->OpenDocumentFile(path.c_str()), nullptr);
    EXPECT_EQ(List(), Strings({ paths[4], paths[3], paths[2], paths[1] }));

    Restart();
    EXPECT_EQ(List(), Strings({ paths[4], paths[3], paths[2], paths[1] }));
    // Opened again, an entry moves to the front and is not listed twice.
    ASSERT_NE(app->OpenDocumentFile(paths[2].c_str()), nullptr);
    EXPECT_EQ(List(), Strings({ paths[2], paths[4], paths[3], paths[1] }));

    // A relative name is kept as the absolute path of the file.
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(dir.path()));
    EXPECT_NE(app->OpenDocumentFile("a.quo"), nullptr);
    QDir::setCurrent(previous);
    EXPECT_EQ(List().front(), paths[0]);

    Restart();
    EXPECT_EQ(List(), Strings({ paths[0], paths[2], paths[4], paths[3] }));
}

TEST_F(RecentFiles, TheFileMenuShowsTheListAbbreviated)
{
    // Empty: the grayed placeholder only.
    using Items = std::vector<std::pair<std::string, bool>>;
    EXPECT_EQ(MenuItems(), Items({ { "Recent File", false } }));

    const std::string shortName = WritePage("R&D.quo", { "IBM" });
    const std::string longName = WritePage("a-page-with-a-rather-long-name.quo", { "IBM" });
    ASSERT_NE(app->OpenDocumentFile(shortName.c_str()), nullptr);
    ASSERT_NE(app->OpenDocumentFile(longName.c_str()), nullptr);
    // Both menus (with and without an active page) show the same list.
    for (int closed = 0; closed < 2; ++closed) {
        SCOPED_TRACE(closed);
        const Items items = MenuItems();
        ASSERT_EQ(items.size(), 2u);
        EXPECT_EQ(items[0], std::make_pair(std::string("&1 a-page-with-a-rather-long-name.quo"), true));
        const std::string second = CRecentFileList::AbbreviateName(shortName.c_str(), 30).str();
        EXPECT_LE(second.size(), 30u);
        EXPECT_EQ(second.substr(second.size() - 8), "/R&D.quo");
        std::string escaped = second;
        escaped.replace(escaped.find('&'), 1, "&&");
        EXPECT_EQ(items[1], std::make_pair("&2 " + escaped, true));
        while (ActiveDoc() != nullptr)
            Command(ID_FILE_CLOSE);
    }
}

TEST_F(RecentFiles, ChoosingAnEntryOpensOrActivatesItAndDropsOneThatIsGone)
{
    const std::string kept = WritePage("kept.quo", { "IBM" });
    const std::string gone = WritePage("gone.quo", { "MSFT" });
    ASSERT_NE(app->OpenDocumentFile(kept.c_str()), nullptr);
    ASSERT_NE(app->OpenDocumentFile(gone.c_str()), nullptr);
    while (ActiveDoc() != nullptr)
        Command(ID_FILE_CLOSE);
    ASSERT_EQ(List(), Strings({ gone, kept }));

    Command(ID_FILE_MRU_FILE2);
    ASSERT_NE(ActiveDoc(), nullptr);
    CTarvexDoc* page = ActiveDoc();
    EXPECT_EQ(page->GetPathName(), kept);
    EXPECT_EQ(Tickers(page), Strings({ "IBM" }));
    EXPECT_EQ(List(), Strings({ kept, gone }));
    Command(ID_FILE_NEW);
    Command(ID_FILE_MRU_FILE1);
    EXPECT_EQ(ActiveDoc(), page); // open already: activated
    EXPECT_EQ(Docs().size(), 2u);
    EXPECT_EQ(beeps, 0); // no refresh until the next pass

    ASSERT_TRUE(QFile::remove(QString::fromStdString(gone)));
    Command(ID_FILE_MRU_FILE2);
    EXPECT_EQ(messages, Strings({ gone + " was not found." }));
    EXPECT_EQ(List(), Strings({ kept }));
    EXPECT_EQ(Docs().size(), 2u);
    // A place beyond the list does nothing.
    messages.clear();
    Command(ID_FILE_MRU_FILE3);
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(Docs().size(), 2u);
}

TEST(RecentFileNames, AbbreviatedToThirtyCharacters)
{
    struct Case {
        const char* path;
        const char* shown;
    };
    const Case cases[] = {
        { "/tmp/tech.quo", "/tmp/tech.quo" },
        { "/home/user/pages/2024/tech.quo", "/home/user/pages/2024/tech.quo" }, // 30: fits
        { "/home/user/documents/quotes/tech.quo", "/.../documents/quotes/tech.quo" },
        { "/home/user/a-very-long-folder-name/tech.quo", "/.../tech.quo" },
        { "/srv/a-page-whose-name-alone-is-too-long.quo", "a-page-whose-name-alone-is-too-long.quo" },
        { "relative/folders/leading/to/tech.quo", ".../leading/to/tech.quo" },
        { "/home/user/documents/quotes/\xc3\xa9t\xc3\xa9.quo", "/.../documents/quotes/\xc3\xa9t\xc3\xa9.quo" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(CRecentFileList::AbbreviateName(c.path, 30), c.shown);
    }
}

} // namespace
