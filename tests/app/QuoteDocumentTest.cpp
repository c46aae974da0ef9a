#include "CArchive.h"
#include "CFile.h"
#include "CFileException.h"
#include "CMemFile.h"
#include "CRowList.h"
#include "CStringList.h"
#include "CTarvexDoc.h"
#include "CView.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <sys/stat.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<unsigned char>;

// A Quote row that counts its living instances, so a leak or a double
// delete shows without a sanitizer too.
class CountedRow : public CStringList {
public:
    CountedRow() : CStringList(10) { ++s_nAlive; }
    ~CountedRow() override { --s_nAlive; }
    static int s_nAlive;
};
int CountedRow::s_nAlive = 0;

std::vector<std::string> Tickers(const CTarvexDoc& doc)
{
    std::vector<std::string> out;
    for (POSITION pos = doc.m_tickerList.GetHeadPosition(); pos;)
        out.push_back(doc.m_tickerList.GetNext(pos).str());
    return out;
}

void AddTickers(CTarvexDoc& doc, const std::vector<std::string>& tickers)
{
    for (const std::string& t : tickers)
        doc.m_tickerList.AddTail(CString(t));
}

class TempDir {
public:
    TempDir()
    {
        const char* tmp = std::getenv("TMPDIR");
        std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/tarvex-doc.XXXXXX";
        if (!::mkdtemp(pattern.data()))
            throw std::runtime_error("mkdtemp failed");
        m_path = pattern;
    }
    ~TempDir()
    {
        std::error_code ec;
        fs::remove_all(m_path, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    std::string operator/(const std::string& name) const { return (m_path / name).string(); }
    std::vector<std::string> Entries() const
    {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(m_path))
            names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

private:
    fs::path m_path;
};

void WriteBytes(const std::string& path, const Bytes& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

Bytes ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(RowList, DeleteAllAndDestructorFreeEveryRowOnce)
{
    {
        CRowList rows;
        for (int i = 0; i < 25; ++i) {  // more than two node blocks
            auto* pRow = new CountedRow;
            pRow->AddTail("CELL");
            rows.AddTail(pRow);
        }
        EXPECT_EQ(CountedRow::s_nAlive, 25);
        rows.DeleteAll();
        EXPECT_EQ(CountedRow::s_nAlive, 0);
        EXPECT_TRUE(rows.IsEmpty());

        rows.DeleteAll();  // emptying an empty table is harmless
        rows.AddTail(new CountedRow);
        rows.AddTail(new CountedRow);
    }
    EXPECT_EQ(CountedRow::s_nAlive, 0);
}

TEST(RowList, GetNextWalksQuoteRowsInOrder)
{
    CRowList rows;
    for (const char* cell : {"A", "B", "C"}) {
        auto* pRow = new CStringList(10);
        pRow->AddTail(cell);
        rows.AddTail(pRow);
    }
    std::string seen;
    for (POSITION pos = rows.GetHeadPosition(); pos;)
        seen += rows.GetNext(pos)->GetHead().str();
    EXPECT_EQ(seen, "ABC");
}

TEST(QuoteDocument, NewPageIsEmpty)
{
    // Made the way the document template makes it.
    const CRuntimeClass* pClass = RUNTIME_CLASS(CTarvexDoc);
    EXPECT_STREQ(pClass->m_lpszClassName, "CTarvexDoc");
    std::unique_ptr<CObject> pObject(pClass->CreateObject());
    auto* pDoc = dynamic_cast<CTarvexDoc*>(pObject.get());
    ASSERT_NE(pDoc, nullptr);
    EXPECT_TRUE(pDoc->IsKindOf(RUNTIME_CLASS(CDocument)));
    CTarvexDoc& doc = *pDoc;
    EXPECT_EQ(doc.m_bBusy, FALSE);
    ASSERT_TRUE(doc.OnNewDocument());
    EXPECT_TRUE(doc.m_tickerList.IsEmpty());
    EXPECT_TRUE(doc.m_rowList.IsEmpty());
    EXPECT_TRUE(doc.m_strPage.IsEmpty());
    EXPECT_EQ(doc.m_bBusy, FALSE);
    EXPECT_FALSE(doc.IsModified());
    EXPECT_TRUE(doc.GetPathName().IsEmpty());
    EXPECT_TRUE(doc.GetErrorMessage().IsEmpty());
}

TEST(QuoteDocument, DestroyingAPageFreesItsRows)
{
    {
        CTarvexDoc doc;
        doc.m_rowList.AddTail(new CountedRow);
        doc.m_rowList.AddTail(new CountedRow);
    }
    EXPECT_EQ(CountedRow::s_nAlive, 0);
}

TEST(QuoteDocument, SerializeStoresOnlyTheTickerList)
{
    CTarvexDoc doc;
    AddTickers(doc, {"ABC", "XYZ"});
    doc.m_strPage = "<table>";
    doc.m_rowList.AddTail(new CStringList(10));

    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        doc.Serialize(ar);
        ar.Close();
    }
    const std::vector<BYTE> expected = {0x02, 0x00, 0x03, 'A', 'B', 'C', 0x03, 'X', 'Y', 'Z'};
    EXPECT_EQ(file.GetBuffer(), expected);
}

TEST(QuoteDocument, SerializeRoundTripKeepsEmptyAndDuplicateSymbols)
{
    const std::vector<std::string> tickers = {"ABC", "", "XYZ", "ABC", std::string(300, 'Q')};
    CTarvexDoc out;
    AddTickers(out, tickers);
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        out.Serialize(ar);
        ar.Close();
    }
    CMemFile in(file.Detach());
    CTarvexDoc doc;
    {
        CArchive ar(&in, CArchive::load);
        doc.Serialize(ar);
        ar.Close();
    }
    EXPECT_EQ(Tickers(doc), tickers);
}

struct OpenCase {
    const char* name;
    Bytes bytes;
    bool ok;
    std::vector<std::string> tickers;
};

TEST(QuoteDocument, OpenDocumentLoadsOrRefusesWholeFiles)
{
    const OpenCase cases[] = {
        {"empty file", {}, true, {}},
        {"empty list", {0x00, 0x00}, true, {}},
        {"two symbols", {0x02, 0x00, 0x03, 'A', 'B', 'C', 0x03, 'X', 'Y', 'Z'}, true, {"ABC", "XYZ"}},
        {"a byte after the last string", {0x01, 0x00, 0x01, 'A', 0x7F}, true, {"A"}},
        {"wide string", {0x01, 0x00, 0xFF, 0xFE, 0xFF, 0x03, 'A', 0, 'B', 0, 'C', 0}, true, {"ABC"}},
        {"count promises more strings", {0x03, 0x00, 0x03, 'A', 'B', 'C', 0x03, 'X', 'Y', 'Z'}, false, {}},
        {"string cut short", {0x01, 0x00, 0x05, 'A', 'B'}, false, {}},
        {"count cut short", {0x01}, false, {}},
        {"huge length", {0x02, 0x00, 0x01, 'A', 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F, 'B'}, false, {}},
        {"huge count", {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x01, 'A'}, false, {}},
        {"two wide markers", {0x02, 0x00, 0x01, 'A', 0xFF, 0xFE, 0xFF, 0xFF, 0xFE, 0xFF, 0x01, 'B', 0}, false, {}},
    };
    TempDir dir;
    for (const OpenCase& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = dir / "page.quo";
        WriteBytes(path, c.bytes);
        CTarvexDoc doc;
        EXPECT_EQ(doc.OnOpenDocument(path.c_str()), c.ok ? TRUE : FALSE);
        EXPECT_EQ(Tickers(doc), c.tickers);
        EXPECT_EQ(doc.GetErrorMessage().str(), c.ok ? "" : "Unexpected file format.");
        EXPECT_FALSE(doc.IsModified());
        EXPECT_TRUE(doc.m_rowList.IsEmpty());
    }
}

TEST(QuoteDocument, OpenDocumentNamesTheFileThatCannotBeOpened)
{
    TempDir dir;
    CTarvexDoc doc;
    const std::string missing = dir / "missing.quo";
    EXPECT_FALSE(doc.OnOpenDocument(missing.c_str()));
    EXPECT_EQ(doc.GetErrorMessage().str(), missing + " was not found.");

    const std::string folder = dir / "folder.quo";
    fs::create_directory(folder);
    EXPECT_FALSE(doc.OnOpenDocument(folder.c_str()));
    EXPECT_EQ(doc.GetErrorMessage().str(), "Access to " + folder + " was denied.");

    const std::string good = dir / "good.quo";
    WriteBytes(good, {0x01, 0x00, 0x01, 'A'});
    EXPECT_TRUE(doc.OnOpenDocument(good.c_str()));
    EXPECT_TRUE(doc.GetErrorMessage().IsEmpty());  // no stale text after success
}

// A page whose Serialize fails in a way no file error explains.
class ThrowingDoc : public CTarvexDoc {
public:
    void Serialize(CArchive&) override { throw std::runtime_error("boom"); }
};

TEST(QuoteDocument, NoExceptionLeavesOpenOrSave)
{
    TempDir dir;
    const std::string path = dir / "page.quo";
    WriteBytes(path, {0x01, 0x00, 0x01, 'A'});
    ThrowingDoc doc;
    EXPECT_FALSE(doc.OnOpenDocument(path.c_str()));
    EXPECT_EQ(doc.GetErrorMessage().str(), "Failed to open document.");
    EXPECT_FALSE(doc.OnSaveDocument(path.c_str()));
    EXPECT_EQ(doc.GetErrorMessage().str(), "Failed to save document.");
    EXPECT_EQ(ReadBytes(path), Bytes({0x01, 0x00, 0x01, 'A'}));
    EXPECT_EQ(dir.Entries(), std::vector<std::string>({"page.quo"}));
}

TEST(QuoteDocument, SaveThenOpenGivesTheSameList)
{
    TempDir dir;
    const std::string path = dir / "page.quo";
    CTarvexDoc doc;
    AddTickers(doc, {"MSFT", "", "IBM", "IBM"});
    doc.SetModifiedFlag(TRUE);
    ::umask(022);
    ASSERT_TRUE(doc.OnSaveDocument(path.c_str())) << doc.GetErrorMessage().str();
    EXPECT_FALSE(doc.IsModified());
    EXPECT_TRUE(doc.GetErrorMessage().IsEmpty());
    EXPECT_EQ(ReadBytes(path), Bytes({0x04, 0x00, 0x04, 'M', 'S', 'F', 'T', 0x00, 0x03, 'I', 'B', 'M', 0x03, 'I', 'B', 'M'}));
    EXPECT_EQ(fs::status(path).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read | fs::perms::others_read);
    EXPECT_EQ(dir.Entries(), std::vector<std::string>({"page.quo"}));

    CTarvexDoc reopened;
    ASSERT_TRUE(reopened.OnOpenDocument(path.c_str()));
    EXPECT_EQ(Tickers(reopened), Tickers(doc));

    // Saving over it again keeps the file's own permission bits.
    ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
    CTarvexDoc empty;
    ASSERT_TRUE(empty.OnSaveDocument(path.c_str()));
    EXPECT_EQ(ReadBytes(path), Bytes({0x00, 0x00}));
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
}

// A file whose writes fail, as on a full disk or a broken device.
class FailingFile : public CFile {
public:
    FailingFile(int hFile, int cause) : CFile(hFile), m_cause(cause) {}
    void Write(const void*, UINT) override { CFileException::Throw(m_cause, -1, nullptr); }

private:
    int m_cause;
};

class FailingWriteDoc : public CTarvexDoc {
public:
    explicit FailingWriteDoc(int cause) : m_cause(cause) {}

protected:
    std::unique_ptr<CFile> CreateSaveFile(int hFile, LPCSTR) override
    {
        return std::make_unique<FailingFile>(hFile, m_cause);
    }

private:
    int m_cause;
};

TEST(QuoteDocument, FailedWriteLeavesTheOldFileAsItWas)
{
    struct Case {
        int cause;
        const char* message;
    };
    const Case cases[] = {
        {CFileException::diskFull, "There is not enough space on the disk."},
        {CFileException::genericException, "Failed to save document."},
    };
    TempDir dir;
    const std::string path = dir / "page.quo";
    const Bytes old = {0x01, 0x00, 0x03, 'O', 'L', 'D'};
    WriteBytes(path, old);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        FailingWriteDoc doc(c.cause);
        AddTickers(doc, {"NEW", "NEWER"});
        doc.SetModifiedFlag(TRUE);
        EXPECT_FALSE(doc.OnSaveDocument(path.c_str()));
        EXPECT_EQ(doc.GetErrorMessage().str(), c.message);
        EXPECT_TRUE(doc.IsModified());  // the changes are still unsaved
        EXPECT_EQ(ReadBytes(path), old);
        EXPECT_EQ(dir.Entries(), std::vector<std::string>({"page.quo"}));  // no temporary file left
    }
}

TEST(QuoteDocument, SaveIntoMissingFolderFailsAndCreatesNothing)
{
    TempDir dir;
    const std::string path = dir / "no-such-folder/page.quo";
    CTarvexDoc doc;
    AddTickers(doc, {"ABC"});
    EXPECT_FALSE(doc.OnSaveDocument(path.c_str()));
    EXPECT_EQ(doc.GetErrorMessage().str(), path + " contains an invalid path.");
    EXPECT_TRUE(dir.Entries().empty());

    const std::string folder = dir / "folder.quo";
    fs::create_directory(folder);
    EXPECT_FALSE(doc.OnSaveDocument(folder.c_str()));
    EXPECT_EQ(doc.GetErrorMessage().str(), "Access to " + folder + " was denied.");
    EXPECT_TRUE(fs::is_directory(folder));
    EXPECT_EQ(dir.Entries(), std::vector<std::string>({"folder.quo"}));
}

TEST(QuoteDocument, SaveThroughSymlinkUpdatesTheTargetAndKeepsTheLink)
{
    TempDir dir;
    fs::create_directory(dir / "real");
    const std::string target = dir / "real/page.quo";
    WriteBytes(target, {0x00, 0x00});
    const std::string link = dir / "link.quo";
    fs::create_symlink("real/page.quo", link);
    const std::string dangling = dir / "later.quo";
    fs::create_symlink("real/later.quo", dangling);

    CTarvexDoc doc;
    AddTickers(doc, {"ABC"});
    ASSERT_TRUE(doc.OnSaveDocument(link.c_str())) << doc.GetErrorMessage().str();
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(ReadBytes(target), Bytes({0x01, 0x00, 0x03, 'A', 'B', 'C'}));

    // A link to a file not made yet gets its target created.
    ASSERT_TRUE(doc.OnSaveDocument(dangling.c_str())) << doc.GetErrorMessage().str();
    EXPECT_TRUE(fs::is_symlink(dangling));
    EXPECT_EQ(ReadBytes(dir / "real/later.quo"), Bytes({0x01, 0x00, 0x03, 'A', 'B', 'C'}));

    EXPECT_EQ(dir.Entries(), std::vector<std::string>({"later.quo", "link.quo", "real"}));
    std::vector<std::string> inReal;
    for (const auto& e : fs::directory_iterator(dir / "real"))
        inReal.push_back(e.path().filename().string());
    std::sort(inReal.begin(), inReal.end());
    EXPECT_EQ(inReal, std::vector<std::string>({"later.quo", "page.quo"}));
}

// A view without a window that records what it is told.
class RecordingView : public CView {
public:
    RecordingView(std::string name, std::vector<std::string>& log) : m_name(std::move(name)), m_log(log)
    {
        m_bAutoDelete = FALSE;
    }
    void OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint) override
    {
        const auto* pFrom = dynamic_cast<RecordingView*>(pSender);
        m_log.push_back(m_name + " from " + (pFrom ? pFrom->m_name : "nobody") + " hint " +
                        std::to_string(lHint) + (pHint ? " with object" : ""));
    }

private:
    std::string m_name;
    std::vector<std::string>& m_log;
};

TEST(QuoteDocument, UpdateAllViewsTellsEveryViewButTheSender)
{
    std::vector<std::string> log;
    CTarvexDoc doc;
    RecordingView a("A", log), b("B", log), c("C", log);
    doc.AddView(&a);
    doc.AddView(&b);
    doc.AddView(&c);
    EXPECT_EQ(b.GetDocument(), &doc);

    std::vector<CView*> order;
    for (POSITION pos = doc.GetFirstViewPosition(); pos;)
        order.push_back(doc.GetNextView(pos));
    EXPECT_EQ(order, std::vector<CView*>({&a, &b, &c}));

    doc.UpdateAllViews(nullptr, 0, nullptr);
    CStringList hint(10);
    doc.UpdateAllViews(&b, 7, &hint);
    EXPECT_EQ(log, std::vector<std::string>({"A from nobody hint 0", "B from nobody hint 0", "C from nobody hint 0",
                                             "A from B hint 7 with object", "C from B hint 7 with object"}));

    log.clear();
    doc.RemoveView(&a);
    EXPECT_EQ(a.GetDocument(), nullptr);
    {
        RecordingView shortLived("D", log);
        doc.AddView(&shortLived);
    }  // a view that goes away leaves the document
    doc.UpdateAllViews(nullptr);
    EXPECT_EQ(log, std::vector<std::string>({"B from nobody hint 0", "C from nobody hint 0"}));
    EXPECT_EQ(doc.GetViewCount(), 2);
}

} // namespace
