// Pages in files through the File commands of the started program: Open
// (followed by a refresh of every page), Save, Save As, Close, and the
// messages of each way a file can fail.
#include "StartedProgram.h"

#include "AfxRes.h"
#include "CDocTemplate.h"
#include "CFile.h"
#include "CFileException.h"
#include "CMultiDocTemplate.h"
#include "CChildFrame.h"
#include "CTarvexView.h"
#include "Resource.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QTimer>

#include <stdexcept>
#include <unistd.h>

namespace {

// Runs fn on the program's file dialog once it shows (from inside its own
// loop); fn must close it.
class FileDialogScript {
public:
    explicit FileDialogScript(std::function<void(QFileDialog*)> fn) : m_fn(std::move(fn))
    {
        m_timer.setInterval(10);
        QObject::connect(&m_timer, &QTimer::timeout, &m_timer, [this] {
            for (QWidget* w : QApplication::topLevelWidgets()) {
                auto* dialog = qobject_cast<QFileDialog*>(w);
                if (dialog != nullptr && dialog->isVisible()) {
                    m_timer.stop();
                    ++m_runs;
                    m_fn(dialog);
                    if (dialog->isVisible()) {
                        ADD_FAILURE() << "the file dialog stayed open";
                        dialog->reject();
                    }
                    return;
                }
            }
        });
        m_timer.start();
    }
    int Runs() const { return m_runs; }

private:
    std::function<void(QFileDialog*)> m_fn;
    QTimer m_timer;
    int m_runs = 0;
};

// The names the dialog lists in folder, once it has read them.
Strings Listed(QFileDialog* dialog, const QString& folder, int expected)
{
    auto* model = dialog->findChild<QFileSystemModel*>();
    if (model == nullptr)
        return {};
    QStringList names;
    for (int i = 0; i < 400; ++i) {
        const QModelIndex root = model->index(folder);
        names.clear();
        for (int row = 0; row < model->rowCount(root); ++row)
            names << model->index(row, 0, root).data().toString();
        if (names.size() >= expected)
            break;
        QEventLoop loop;
        QTimer::singleShot(10, &loop, &QEventLoop::quit);
        loop.exec();
    }
    names.sort(Qt::CaseInsensitive);
    Strings result;
    for (const QString& name : names)
        result.push_back(name.toStdString());
    return result;
}

// The user picks a filter in the dialog's list of filters.
void PickFilter(QFileDialog* dialog, int index)
{
    for (QComboBox* combo : dialog->findChildren<QComboBox*>()) {
        if (combo->count() == dialog->nameFilters().size() && combo->itemText(0) == dialog->nameFilters()[0]) {
            combo->setCurrentIndex(index);
            emit combo->activated(index);
            emit combo->textActivated(combo->itemText(index));
        }
    }
}

class PageFiles : public StartedProgram {
protected:
    void SetUp() override
    {
        StartedProgram::SetUp();
        Start();
    }
};

TEST_F(PageFiles, OpenThenCancelStillRefreshesEveryPage)
{
    // Three pages: two with symbols (each refresh of those asks the
    // refusing server and beeps), and the empty Tarvex1.
    ASSERT_NE(app->OpenDocumentFile(WritePage("one.quo", { "IBM" }).c_str()), nullptr);
    ASSERT_NE(app->OpenDocumentFile(WritePage("two.quo", { "MSFT", "AAPL" }).c_str()), nullptr);
    ASSERT_EQ(Docs().size(), 3u);
    EXPECT_EQ(beeps, 0); // opening alone does not refresh

    QStringList filters;
    QString suffix;
    QFileDialog::AcceptMode mode = QFileDialog::AcceptSave;
    FileDialogScript script([&](QFileDialog* d) {
        filters = d->nameFilters();
        suffix = d->defaultSuffix();
        mode = d->acceptMode();
        d->reject();
    });
    Command(ID_FILE_OPEN);
    EXPECT_EQ(script.Runs(), 1);
    EXPECT_EQ(filters, QStringList({ "Tarvex Files (*.quo)", "All Files (*.*)" }));
    EXPECT_EQ(suffix, "QUO");
    EXPECT_EQ(mode, QFileDialog::AcceptOpen);
    EXPECT_EQ(beeps, 2);
    EXPECT_EQ(Docs().size(), 3u);
    EXPECT_TRUE(messages.empty());
}

TEST_F(PageFiles, OpenFilterMatchesTheExtensionInAnyCaseAndAllFilesListsAll)
{
    const QString folder = dir.path() + "/pages";
    ASSERT_TRUE(QDir().mkpath(folder));
    for (const char* name : { "a.quo", "B.QUO", "c.Quo", "d.txt", "e" }) {
        QFile file(folder + "/" + name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray("\x01\x00\x03IBM", 6));
    }
    Strings pageFilter;
    Strings allFiles;
    FileDialogScript script([&](QFileDialog* d) {
        d->setDirectory(folder);
        pageFilter = Listed(d, folder, 3);
        PickFilter(d, 1);
        allFiles = Listed(d, folder, 5);
        // selectFile leaves a name field that has the focus as it is.
        if (QWidget* focus = QApplication::focusWidget())
            focus->clearFocus();
        d->selectFile(folder + "/B.QUO");
        static_cast<QDialog*>(d)->accept(); // as the Open or Save button does
    });
    Command(ID_FILE_OPEN);
    EXPECT_EQ(pageFilter, Strings({ "a.quo", "B.QUO", "c.Quo" }));
    EXPECT_EQ(allFiles, Strings({ "a.quo", "B.QUO", "c.Quo", "d.txt", "e" }));
    ASSERT_NE(ActiveDoc(), nullptr);
    EXPECT_EQ(ActiveDoc()->GetTitle(), "B.QUO");
    EXPECT_EQ(Tickers(ActiveDoc()), Strings({ "IBM" }));
    EXPECT_EQ(beeps, 1); // the refresh after File Open, of the new page
}

TEST_F(PageFiles, OpeningAnOpenPageActivatesItAndRefreshes)
{
    const std::string path = WritePage("open.quo", { "IBM" });
    app->answers = { path };
    Command(ID_FILE_OPEN);
    CTarvexDoc* page = ActiveDoc();
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->GetTitle(), "open.quo");
    EXPECT_EQ(beeps, 1);

    Command(ID_FILE_NEW);
    ASSERT_NE(ActiveDoc(), page);
    EXPECT_EQ(ActiveDoc()->GetTitle(), "Tarvex2");
    // Through a path that names the same file another way.
    app->answers = { Path("./open.quo") };
    Command(ID_FILE_OPEN);
    EXPECT_EQ(ActiveDoc(), page);
    EXPECT_EQ(Docs().size(), 3u);
    EXPECT_EQ(beeps, 2);
    EXPECT_TRUE(messages.empty());
}

TEST_F(PageFiles, SaveAsProposesTheTitleCutAtTheFirstSpecialCharacter)
{
    struct Case {
        const char* title;
        const char* proposed;
    };
    const Case cases[] = {
        { "Tarvex1", "Tarvex1.QUO" },
        { "My page", "My.QUO" },
        { "Tech#2", "Tech.QUO" },
        { "50%", "50.QUO" },
        { "a;b c", "a.QUO" },
        { "in/out", "in.QUO" },
        { "back\\slash", "back.QUO" },
        { " lead", ".QUO" },
    };
    CTarvexDoc* page = ActiveDoc();
    ASSERT_NE(page, nullptr);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title);
        page->SetTitle(c.title);
        app->prompts.clear();
        app->answers = { "" }; // Cancel
        Command(ID_FILE_SAVE_AS);
        ASSERT_EQ(app->prompts.size(), 1u);
        EXPECT_EQ(app->prompts[0].proposed, c.proposed);
        EXPECT_EQ(app->prompts[0].nIDSTitle, AFX_IDS_SAVEFILE);
        EXPECT_FALSE(app->prompts[0].open);
    }
    // File Save of a page never saved is Save As.
    page->SetTitle("Tarvex1");
    app->prompts.clear();
    app->answers = { "" };
    Command(ID_FILE_SAVE);
    ASSERT_EQ(app->prompts.size(), 1u);
    EXPECT_EQ(app->prompts[0].proposed, "Tarvex1.QUO");
    EXPECT_TRUE(page->GetPathName().IsEmpty());
    EXPECT_TRUE(messages.empty());
}

TEST_F(PageFiles, SavedPageReopensWithTheSameTickerList)
{
    const Strings tickers = { "IBM", "MSFT", "", "IBM", "BRK.A" };
    CTarvexDoc* page = ActiveDoc();
    SetTickers(page, tickers);
    const std::string path = Path("saved.QUO");
    app->answers = { path };
    Command(ID_FILE_SAVE_AS);
    EXPECT_EQ(page->GetPathName(), path);
    EXPECT_EQ(page->GetTitle(), "saved.QUO");
    EXPECT_FALSE(page->IsModified());
    EXPECT_EQ(app->GetRecentFileList().front(), path);

    // File Save now writes in place without asking.
    SetTickers(page, { "IBM", "MSFT", "", "IBM", "BRK.A", "T" });
    app->prompts.clear();
    Command(ID_FILE_SAVE);
    EXPECT_TRUE(app->prompts.empty());

    // Close asks nothing (nothing sets the modified flag) and the page goes.
    Command(ID_FILE_CLOSE);
    EXPECT_EQ(Docs().size(), 0u);
    ASSERT_NE(app->OpenDocumentFile(path.c_str()), nullptr);
    ASSERT_EQ(Docs().size(), 1u);
    EXPECT_EQ(Tickers(Docs()[0]), Strings({ "IBM", "MSFT", "", "IBM", "BRK.A", "T" }));
    EXPECT_EQ(beeps, 0);
    EXPECT_TRUE(messages.empty());
}

TEST_F(PageFiles, SaveAsDialogAddsTheDefaultExtension)
{
    SetTickers(ActiveDoc(), { "IBM" });
    QString proposed;
    std::string afterAllFiles;
    FileDialogScript script([&](QFileDialog* d) {
        proposed = d->selectedFiles().value(0);
        if (QWidget* focus = QApplication::focusWidget())
            focus->clearFocus();
        // Picking "All Files (*.*)" leaves the proposed name as it is.
        PickFilter(d, 1);
        afterAllFiles = QFileInfo(d->selectedFiles().value(0)).fileName().toStdString();
        d->setDirectory(dir.path());
        d->selectFile("mine");
        static_cast<QDialog*>(d)->accept(); // as the Open or Save button does
    });
    Command(ID_FILE_SAVE_AS);
    EXPECT_TRUE(proposed.endsWith("/Tarvex1.QUO")) << proposed.toStdString();
    EXPECT_EQ(afterAllFiles, "Tarvex1.QUO");
    EXPECT_EQ(ActiveDoc()->GetPathName(), Path("mine.QUO"));
    EXPECT_TRUE(QFile::exists(QString::fromStdString(Path("mine.QUO"))));
    EXPECT_TRUE(messages.empty());
}

// A page whose file cannot be written once it is made.
class UnwritablePage : public CTarvexDoc {
protected:
    std::unique_ptr<CFile> CreateSaveFile(int hFile, LPCSTR) override
    {
        ::close(hFile);
        return nullptr;
    }
};

// A page whose contents break while they are read.
class BreakingPage : public CTarvexDoc {
public:
    void Serialize(CArchive&) override { throw std::runtime_error("broken"); }
};

TEST_F(PageFiles, EachFailureShowsItsText)
{
    const std::string missing = Path("missing.quo");
    const std::string folder = Path("folder");
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(folder)));
    // The count promises three symbols; two follow.
    const std::string truncated = Path("short.quo");
    {
        QFile file(QString::fromStdString(truncated));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray("\x03\x00\x03" "ABC\x03XYZ", 10));
    }
    const std::string saved = WritePage("kept.quo", { "KEEP" });

    struct OpenCase {
        std::string path;
        std::string message;
    };
    const OpenCase opens[] = {
        { missing, missing + " was not found." },
        { folder, "Access to " + folder + " was denied." },
        { truncated, "Unexpected file format." },
    };
    for (const OpenCase& c : opens) {
        SCOPED_TRACE(c.path);
        messages.clear();
        EXPECT_EQ(app->OpenDocumentFile(c.path.c_str()), nullptr);
        EXPECT_EQ(messages, Strings({ c.message }));
        EXPECT_EQ(Docs().size(), 1u);
    }

    // Through File Open too: the message, then the refresh all the same.
    SetTickers(ActiveDoc(), { "IBM" });
    messages.clear();
    app->answers = { truncated };
    Command(ID_FILE_OPEN);
    EXPECT_EQ(messages, Strings({ "Unexpected file format." }));
    EXPECT_EQ(beeps, 1);

    // A failure with no text of its own.
    {
        CMultiDocTemplate breaking(IDR_TARVEXTYPE, AfxFactory<BreakingPage>(), AfxFactory<CChildFrame>(),
                                   AfxFactory<CTarvexView>());
        messages.clear();
        EXPECT_EQ(breaking.OpenDocumentFile(saved.c_str()), nullptr);
        EXPECT_EQ(messages, Strings({ "Failed to open document." }));
    }

    // Saving: the page keeps its name and its file when a save fails.
    CTarvexDoc* page = app->OpenDocumentFile(saved.c_str()) != nullptr ? ActiveDoc() : nullptr;
    ASSERT_NE(page, nullptr);
    struct SaveCase {
        std::string target;
        std::string message;
    };
    const SaveCase saves[] = {
        { folder, "Access to " + folder + " was denied." },
        { folder + "/", "Invalid filename." },
        { Path("no-such-folder/x.QUO"), Path("no-such-folder/x.QUO") + " contains an invalid path." },
    };
    for (const SaveCase& c : saves) {
        SCOPED_TRACE(c.target);
        messages.clear();
        app->answers = { c.target };
        Command(ID_FILE_SAVE_AS);
        EXPECT_EQ(messages, Strings({ c.message }));
        EXPECT_EQ(page->GetPathName(), saved);
    }
    UnwritablePage unwritable;
    messages.clear();
    EXPECT_FALSE(unwritable.DoSave(Path("unwritable.quo").c_str()));
    EXPECT_EQ(messages, Strings({ "Failed to save document." }));
    EXPECT_FALSE(QFile::exists(QString::fromStdString(Path("unwritable.quo"))));
    // The file that was there is untouched.
    QFile kept(QString::fromStdString(saved));
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), QByteArray("\x01\x00\x04KEEP", 7));
}

} // namespace
