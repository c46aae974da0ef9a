#include "CArchive.h"
#include "CFile.h"
#include "CFileException.h"
#include "CStringList.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

class CFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const char* tmp = std::getenv("TMPDIR");
        std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/tarvex-cfile.XXXXXX";
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        m_dir = pattern;
    }
    void TearDown() override
    {
        const std::string cmd = "rm -rf '" + m_dir + "'";
        EXPECT_EQ(std::system(cmd.c_str()), 0);
    }

    std::string Path(const char* name) const { return m_dir + "/" + name; }

    static std::string Slurp(const std::string& path)
    {
        std::string out;
        if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
            char buf[4096];
            std::size_t n;
            while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
                out.append(buf, n);
            std::fclose(f);
        }
        return out;
    }

    static void Spit(const std::string& path, const std::string& bytes)
    {
        std::FILE* f = std::fopen(path.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        EXPECT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), f), bytes.size());
        std::fclose(f);
    }

    std::string m_dir;
};

TEST_F(CFileTest, SavesAndOpensAQuotePageFile)
{
    const std::string path = Path("page.quo");
    {
        CStringList list;
        list.AddTail("ABC");
        list.AddTail("XYZ");
        CFile file;
        ASSERT_TRUE(file.Open(path.c_str(), CFile::modeCreate | CFile::modeReadWrite | CFile::shareExclusive));
        CArchive ar(&file, CArchive::store);
        list.Serialize(ar);
        ar.Close();
        file.Close();
    }
    EXPECT_EQ(Slurp(path), std::string("\x02\x00\x03" "ABC\x03" "XYZ", 10));

    CFile file;
    ASSERT_TRUE(file.Open(path.c_str(), CFile::modeRead | CFile::shareDenyWrite));
    EXPECT_EQ(file.GetLength(), 10u);
    EXPECT_EQ(file.GetFilePath().str(), path);
    EXPECT_EQ(file.GetFileName().str(), "page.quo");
    CArchive ar(&file, CArchive::load);
    CStringList loaded;
    loaded.Serialize(ar);
    ASSERT_EQ(loaded.GetCount(), 2);
    EXPECT_EQ(loaded.GetHead().str(), "ABC");
    EXPECT_EQ(loaded.GetTail().str(), "XYZ");
}

TEST_F(CFileTest, ReadReturnsZeroAtTheEndAndCreateTruncatesUnlessAsked)
{
    const std::string path = Path("data");
    Spit(path, "hello");
    {
        CFile file;
        ASSERT_TRUE(file.Open(path.c_str(), CFile::modeRead));
        char buf[16] = {};
        EXPECT_EQ(file.Read(buf, sizeof buf), 5u);
        EXPECT_EQ(std::string(buf), "hello");
        EXPECT_EQ(file.Read(buf, sizeof buf), 0u);
        EXPECT_EQ(file.GetPosition(), 5u);
        EXPECT_EQ(file.Seek(1, CFile::begin), 1u);
        EXPECT_EQ(file.Read(buf, 2), 2u);
        EXPECT_EQ(std::string(buf, 2), "el");
    }
    {
        CFile file;
        ASSERT_TRUE(file.Open(path.c_str(), CFile::modeCreate | CFile::modeNoTruncate | CFile::modeWrite));
        EXPECT_EQ(file.GetLength(), 5u);
    }
    {
        CFile file;
        ASSERT_TRUE(file.Open(path.c_str(), CFile::modeCreate | CFile::modeWrite));
        EXPECT_EQ(file.GetLength(), 0u);
        file.Write("new", 3);
        file.Flush();
        file.Close();
        EXPECT_FALSE(file.IsOpen());
        file.Close();  // closing twice is harmless
    }
    EXPECT_EQ(Slurp(path), "new");
}

struct OpenFailure {
    const char* name;
    std::string path;
    UINT flags;
    int cause;
    int osError;
};

TEST_F(CFileTest, OpenFailuresReportCauseErrnoAndName)
{
    Spit(Path("plain"), "x");
    ASSERT_EQ(::mkdir(Path("folder").c_str(), 0755), 0);
    const OpenFailure cases[] = {
        {"missing file", Path("missing.quo"), CFile::modeRead, CFileException::fileNotFound, ENOENT},
        {"missing folder", Path("nowhere/x.quo"), CFile::modeCreate | CFile::modeWrite,
         CFileException::fileNotFound, ENOENT},
        {"file used as folder", Path("plain/x.quo"), CFile::modeRead, CFileException::badPath, ENOTDIR},
        {"folder opened for reading", Path("folder"), CFile::modeRead, CFileException::accessDenied, EISDIR},
        {"folder opened for writing", Path("folder"), CFile::modeReadWrite, CFileException::accessDenied, EISDIR},
        {"name too long", Path(std::string(5000, 'n').c_str()), CFile::modeRead, CFileException::badPath,
         ENAMETOOLONG},
        {"empty name", "", CFile::modeRead, CFileException::fileNotFound, ENOENT},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CFile file;
        CFileException error;
        EXPECT_FALSE(file.Open(c.path.c_str(), c.flags, &error));
        EXPECT_FALSE(file.IsOpen());
        EXPECT_EQ(error.m_cause, c.cause);
        EXPECT_EQ(error.m_lOsError, c.osError);
        EXPECT_EQ(error.m_strFileName.str(), c.path);
        EXPECT_FALSE(file.Open(c.path.c_str(), c.flags));  // no error object: still no throw
    }
    EXPECT_THROW(CFile(Path("missing.quo").c_str(), CFile::modeRead), CFileException);
}

TEST_F(CFileTest, UnreadableFileIsAccessDenied)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "root reads every file";
    const std::string path = Path("secret.quo");
    Spit(path, "x");
    ASSERT_EQ(::chmod(path.c_str(), 0), 0);
    CFile file;
    CFileException error;
    EXPECT_FALSE(file.Open(path.c_str(), CFile::modeRead, &error));
    EXPECT_EQ(error.m_cause, CFileException::accessDenied);
    EXPECT_EQ(error.m_lOsError, EACCES);
}

TEST_F(CFileTest, ExclusiveAccessShutsOutOtherOpens)
{
    const std::string path = Path("shared.quo");
    Spit(path, "x");
    {
        CFile writer;
        ASSERT_TRUE(writer.Open(path.c_str(), CFile::modeCreate | CFile::modeReadWrite | CFile::shareExclusive));
        CFile reader;
        CFileException error;
        EXPECT_FALSE(reader.Open(path.c_str(), CFile::modeRead | CFile::shareDenyWrite, &error));
        EXPECT_EQ(error.m_cause, CFileException::sharingViolation);
        CFile anyone;
        EXPECT_TRUE(anyone.Open(path.c_str(), CFile::modeRead | CFile::shareDenyNone));
    }
    Spit(path, "x");  // the exclusive open above emptied it
    {
        CFile reader1;
        CFile reader2;
        ASSERT_TRUE(reader1.Open(path.c_str(), CFile::modeRead | CFile::shareDenyWrite));
        EXPECT_TRUE(reader2.Open(path.c_str(), CFile::modeRead | CFile::shareDenyWrite));
        // A saver must not empty a file that a reader holds: the refusal
        // comes before the truncation.
        CFile writer;
        CFileException error;
        EXPECT_FALSE(writer.Open(path.c_str(), CFile::modeCreate | CFile::modeReadWrite | CFile::shareExclusive,
                                 &error));
        EXPECT_EQ(error.m_cause, CFileException::sharingViolation);
    }
    EXPECT_EQ(Slurp(path), "x");
}

TEST_F(CFileTest, WriteOnAFullDiskThrowsDiskFull)
{
    CFile file;
    if (!file.Open("/dev/full", CFile::modeWrite))
        GTEST_SKIP() << "/dev/full is not available";
    const std::vector<char> data(100, 'x');
    try {
        file.Write(data.data(), static_cast<UINT>(data.size()));
        FAIL() << "a write to a full disk must throw";
    } catch (const CFileException& e) {
        EXPECT_EQ(e.m_cause, CFileException::diskFull);
        EXPECT_EQ(e.m_lOsError, ENOSPC);
        EXPECT_EQ(e.m_strFileName.str(), "/dev/full");
    }
}

TEST_F(CFileTest, ErrnoMapping)
{
    const std::pair<int, int> cases[] = {
        {ENOENT, CFileException::fileNotFound},  {EACCES, CFileException::accessDenied},
        {EPERM, CFileException::accessDenied},   {EROFS, CFileException::accessDenied},
        {EISDIR, CFileException::accessDenied},  {ENOSPC, CFileException::diskFull},
        {EDQUOT, CFileException::diskFull},      {ENAMETOOLONG, CFileException::badPath},
        {ENOTDIR, CFileException::badPath},      {EMFILE, CFileException::tooManyOpenFiles},
        {EIO, CFileException::hardIO},           {EPROTO, CFileException::genericException},
    };
    for (const auto& [err, cause] : cases)
        EXPECT_EQ(CFileException::OsErrorToException(err), cause) << "errno " << err;
}

} // namespace
