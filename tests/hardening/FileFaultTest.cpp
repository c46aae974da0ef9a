// Quote page files that are broken, and saves that cannot complete: every
// malformed file is refused as the user opens it, with "Unexpected file
// format." and no page; a save that fails, on a full disk, into a folder
// that cannot be written or through a symlink, leaves the old file as it
// was, byte for byte.

#include "TarvexWorld.h"

#include "ScratchFolder.h"

#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <cstdio>

namespace fs = std::filesystem;

namespace {

using Bytes = std::string;

void WriteBytes(const std::string& path, const Bytes& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

Bytes ReadBytes(const std::string& path)
{
    Bytes out;
    if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
        char buffer[4096];
        std::size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0)
            out.append(buffer, n);
        std::fclose(f);
    }
    return out;
}

Bytes B(std::initializer_list<int> bytes)
{
    Bytes out;
    for (int b : bytes)
        out += static_cast<char>(b);
    return out;
}

class FileFaultTest : public TarvexWorld {
protected:
    void SetUp() override
    {
        TarvexWorld::SetUp();
        Start();
    }
};

TEST_F(FileFaultTest, MalformedFilesOpenNoPage)
{
    struct Case {
        const char* name;
        Bytes bytes;
    };
    const Case cases[] = {
        // Counts cut short or promising more than follows.
        { "one byte of count", B({ 0x01 }) },
        { "escaped count cut short", B({ 0xFF, 0xFF, 0x01, 0x00 }) },
        { "count without strings", B({ 0x02, 0x00 }) },
        { "count one too many", B({ 0x02, 0x00, 0x01, 'A' }) },
        { "huge count", B({ 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x01, 'A' }) },
        { "escaped count of 65536", B({ 0xFF, 0xFF, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00 }) },
        // Length prefixes cut short.
        { "escape byte only", B({ 0x01, 0x00, 0xFF }) },
        { "two-byte length cut", B({ 0x01, 0x00, 0xFF, 0x01 }) },
        { "four-byte length cut", B({ 0x01, 0x00, 0xFF, 0xFF, 0xFF, 0x05, 0x00 }) },
        // Lengths beyond the file.
        { "string cut short", B({ 0x01, 0x00, 0x05, 'A', 'B' }) },
        { "two-byte length beyond the file", B({ 0x01, 0x00, 0xFF, 0xFD, 0xFF, 'A' }) },
        { "huge length", B({ 0x01, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F, 'A' }) },
        { "largest length", B({ 0x01, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 'A' }) },
        // Wide strings.
        { "wide marker cut", B({ 0x01, 0x00, 0xFF, 0xFE }) },
        { "wide marker without length", B({ 0x01, 0x00, 0xFF, 0xFE, 0xFF }) },
        { "two wide markers", B({ 0x01, 0x00, 0xFF, 0xFE, 0xFF, 0xFF, 0xFE, 0xFF, 0x01, 'B', 0x00 }) },
        { "odd wide length", B({ 0x01, 0x00, 0xFF, 0xFE, 0xFF, 0x02, 'A', 0x00, 'B' }) },
        { "wide length of 2^31 units", B({ 0x01, 0x00, 0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x80,
                                           'A', 0x00 }) },
        { "huge wide length", B({ 0x01, 0x00, 0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 'A', 0x00 }) },
        { "good string then a broken one", B({ 0x02, 0x00, 0x03, 'A', 'B', 'C', 0xFF, 0xFE, 0xFF, 0x09, 'X' }) },
    };
    ScratchFolder dir;
    const std::size_t pagesBefore = Docs().size();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = dir / "page.quo";
        WriteBytes(path, c.bytes);
        messages.clear();
        EXPECT_EQ(app->OpenDocumentFile(path.c_str()), nullptr);
        EXPECT_EQ(messages, Strings{ "Unexpected file format." });
        EXPECT_EQ(Docs().size(), pagesBefore);
        EXPECT_EQ(ReadBytes(path), c.bytes); // opening never writes
    }
    // The same folder still opens a good file.
    const std::string good = dir / "good.quo";
    WriteBytes(good, B({ 0x02, 0x00, 0x03, 'A', 'B', 'C', 0x03, 'X', 'Y', 'Z' }));
    messages.clear();
    auto* pDoc = dynamic_cast<CTarvexDoc*>(app->OpenDocumentFile(good.c_str()));
    ASSERT_NE(pDoc, nullptr);
    EXPECT_EQ(Tickers(pDoc), (Strings{ "ABC", "XYZ" }));
    EXPECT_TRUE(messages.empty());
}

// A tmpfs mounted for the length of a test. Needs the right to mount
// (root with CAP_SYS_ADMIN); Mounted() says whether it worked.
class SmallMount {
public:
    SmallMount(const std::string& where, const char* options) : m_where(where)
    {
        m_bMounted = ::mount("tarvex-test", where.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, options) == 0;
        m_error = errno;
    }
    ~SmallMount()
    {
        if (m_bMounted)
            ::umount2(m_where.c_str(), MNT_DETACH);
    }
    SmallMount(const SmallMount&) = delete;
    SmallMount& operator=(const SmallMount&) = delete;
    bool Mounted() const { return m_bMounted; }
    std::string Error() const { return std::strerror(m_error); }
    bool MakeReadOnly()
    {
        return ::mount(nullptr, m_where.c_str(), nullptr, MS_REMOUNT | MS_RDONLY | MS_NOSUID | MS_NODEV, nullptr) == 0;
    }

private:
    std::string m_where;
    bool m_bMounted = false;
    int m_error = 0;
};

std::vector<std::string> Entries(const std::string& folder)
{
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

const Bytes kOld = B({ 0x02, 0x00, 0x03, 'O', 'L', 'D', 0x03, 'O', 'N', 'E' });

// A page of some 25 KB: more than a full disk takes, less than an empty one.
void ManySymbols(CTarvexDoc* pDoc)
{
    pDoc->m_tickerList.RemoveAll();
    for (int i = 0; i < 3000; ++i)
        pDoc->m_tickerList.AddTail(CString("SYM") + CString(std::to_string(i)));
}

TEST_F(FileFaultTest, SaveOntoAFullDiskKeepsTheOldFile)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "mounting a small disk needs root";
    ScratchFolder dir;
    const std::string disk = dir / "disk";
    fs::create_directory(disk);
    SmallMount mount(disk, "size=64k,mode=0755");
    if (!mount.Mounted())
        GTEST_SKIP() << "cannot mount a tmpfs here: " << mount.Error();

    const std::string path = disk + "/page.quo";
    WriteBytes(path, kOld);
    // A link from outside the disk: the save goes through it to the file.
    const std::string link = dir / "link.quo";
    fs::create_symlink(path, link);
    {
        // Fill what is left; the last write fails with ENOSPC.
        std::ofstream fill(disk + "/fill", std::ios::binary);
        const std::string block(4096, 'x');
        for (int i = 0; i < 64 && fill; ++i)
            fill.write(block.data(), static_cast<std::streamsize>(block.size()));
    }

    CTarvexDoc* pDoc = ActiveDoc();
    ManySymbols(pDoc);
    for (const std::string& target : { path, link }) {
        SCOPED_TRACE(target);
        messages.clear();
        EXPECT_FALSE(pDoc->DoSave(target.c_str()));
        EXPECT_EQ(messages, Strings{ "There is not enough space on the disk." });
        EXPECT_EQ(ReadBytes(path), kOld);
        EXPECT_EQ(Entries(disk), (std::vector<std::string>{ "fill", "page.quo" })); // no temporary file left
        EXPECT_TRUE(fs::is_symlink(link));
    }
    // With room again the same save goes through.
    fs::remove(disk + "/fill");
    messages.clear();
    EXPECT_TRUE(pDoc->DoSave(link.c_str()));
    EXPECT_TRUE(messages.empty());
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_GT(ReadBytes(path).size(), kOld.size());
}

TEST_F(FileFaultTest, SaveIntoAFolderThatCannotBeWrittenKeepsTheOldFile)
{
    ScratchFolder dir;
    const std::string folder = dir / "folder";
    fs::create_directory(folder);
    // Root writes through permission bits, so as root the folder is a
    // read-only mount; anyone else gets a folder without write bits.
    std::unique_ptr<SmallMount> mount;
    if (::geteuid() == 0) {
        mount = std::make_unique<SmallMount>(folder, "size=64k,mode=0755");
        if (!mount->Mounted())
            GTEST_SKIP() << "cannot mount a tmpfs here: " << mount->Error();
    }
    const std::string path = folder + "/page.quo";
    WriteBytes(path, kOld);
    const std::string link = dir / "link.quo";
    fs::create_symlink(path, link);
    if (mount)
        ASSERT_TRUE(mount->MakeReadOnly()) << std::strerror(errno);
    else
        ASSERT_EQ(::chmod(folder.c_str(), 0555), 0);

    CTarvexDoc* pDoc = ActiveDoc();
    SetTickers(pDoc, { "NEW" });
    for (const std::string& target : { path, link, folder + "/new.quo" }) {
        SCOPED_TRACE(target);
        messages.clear();
        EXPECT_FALSE(pDoc->DoSave(target.c_str()));
        EXPECT_EQ(messages, Strings{ "Access to " + target + " was denied." });
        EXPECT_EQ(ReadBytes(path), kOld);
        EXPECT_EQ(Entries(folder), std::vector<std::string>{ "page.quo" });
    }
    if (!mount)
        ::chmod(folder.c_str(), 0755);
}

TEST_F(FileFaultTest, SaveUnderAPathThatIsNoFolderCreatesNothing)
{
    ScratchFolder dir;
    const std::string file = dir / "plain";
    WriteBytes(file, kOld);
    const std::string path = file + "/page.quo";
    CTarvexDoc* pDoc = ActiveDoc();
    SetTickers(pDoc, { "NEW" });
    messages.clear();
    EXPECT_FALSE(pDoc->DoSave(path.c_str()));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find(path), std::string::npos) << messages[0];
    EXPECT_EQ(ReadBytes(file), kOld);
    EXPECT_EQ(Entries(dir / ""), std::vector<std::string>{ "plain" });
}

} // namespace
