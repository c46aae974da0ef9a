#include "CArchive.h"
#include "CArchiveException.h"
#include "CMemFile.h"
#include "CStringList.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <new>
#include <optional>
#include <string>
#include <vector>

// Records the largest single allocation, so a test can tell that a length
// claimed by a file was refused before any buffer of that size was made.
namespace {
std::size_t g_largestAllocation = 0;
}

// noinline keeps the compiler from pairing the inlined malloc and free
// across these replacements and warning about a mismatch.
__attribute__((noinline)) void* operator new(std::size_t n)
{
    if (n > g_largestAllocation)
        g_largestAllocation = n;
    if (void* p = std::malloc(n ? n : 1))
        return p;
    throw std::bad_alloc();
}
__attribute__((noinline)) void operator delete(void* p) noexcept { std::free(p); }
__attribute__((noinline)) void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace {

using Bytes = std::vector<BYTE>;
using Strings = std::vector<std::string>;

Bytes Store(const Strings& strings, int nBufSize = 4096)
{
    CStringList list;
    for (const auto& s : strings)
        list.AddTail(CString(s));
    CMemFile file;
    CArchive ar(&file, CArchive::store, nBufSize);
    list.Serialize(ar);
    ar.Close();
    return file.Detach();
}

Strings Load(const Bytes& bytes, int nBufSize = 4096)
{
    CMemFile file(bytes);
    CArchive ar(&file, CArchive::load, nBufSize);
    CStringList list;
    list.Serialize(ar);
    ar.Close();
    Strings out;
    for (POSITION pos = list.GetHeadPosition(); pos;)
        out.push_back(list.GetNext(pos).str());
    return out;
}

// The cause of the CArchiveException that loading throws, or nullopt.
std::optional<int> LoadFailure(const Bytes& bytes)
{
    try {
        Load(bytes);
    } catch (const CArchiveException& e) {
        return e.m_cause;
    }
    return std::nullopt;
}

Bytes Prefix(const Bytes& bytes, std::size_t n)
{
    return Bytes(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(n));
}

struct LayoutCase {
    const char* name;
    Strings strings;
    Bytes head;  // the file starts with these bytes
    std::size_t totalSize;
};

TEST(ArchiveFormatTest, WritesTheDocumentedLayoutAndReadsItBack)
{
    const LayoutCase cases[] = {
        {"two symbols", {"ABC", "XYZ"}, {0x02, 0x00, 0x03, 'A', 'B', 'C', 0x03, 'X', 'Y', 'Z'}, 10},
        {"empty list", {}, {0x00, 0x00}, 2},
        {"empty string", {""}, {0x01, 0x00, 0x00}, 3},
        {"254 bytes", {std::string(254, 'a')}, {0x01, 0x00, 0xFE, 'a'}, 2 + 1 + 254},
        {"255 bytes", {std::string(255, 'a')}, {0x01, 0x00, 0xFF, 0xFF, 0x00, 'a'}, 2 + 3 + 255},
        {"65533 bytes", {std::string(65533, 'a')}, {0x01, 0x00, 0xFF, 0xFD, 0xFF, 'a'}, 2 + 3 + 65533},
        {"65534 bytes",
         {std::string(65534, 'a')},
         {0x01, 0x00, 0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00, 'a'},
         2 + 7 + 65534},
        {"65534 strings", Strings(65534, ""), {0xFE, 0xFF, 0x00}, 2 + 65534},
        {"65535 strings", Strings(65535, ""), {0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00}, 6 + 65535},
        {"bytes kept as they are", {std::string("\xC3\xA9\0x", 4)}, {0x01, 0x00, 0x04, 0xC3, 0xA9, 0x00, 'x'}, 7},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Bytes bytes = Store(c.strings);
        ASSERT_EQ(bytes.size(), c.totalSize);
        EXPECT_EQ(Prefix(bytes, c.head.size()), c.head);
        EXPECT_EQ(Load(bytes), c.strings);
    }
}

TEST(ArchiveFormatTest, SmallBuffersDoNotChangeTheBytes)
{
    Strings strings;
    for (int i = 0; i < 300; ++i)
        strings.push_back(std::string(static_cast<std::size_t>(i * 7 % 400), static_cast<char>('A' + i % 26)));
    const Bytes reference = Store(strings);
    EXPECT_EQ(Store(strings, 16), reference);
    EXPECT_EQ(Load(reference, 16), strings);
    EXPECT_EQ(Load(reference, 1), strings);  // clamped to a minimum size
}

TEST(ArchiveFormatTest, SixtyFourThousandStringsRoundTrip)
{
    Strings strings;
    for (int i = 0; i < 64000; ++i)
        strings.push_back("S" + std::to_string(i));
    EXPECT_EQ(Load(Store(strings)), strings);
}

struct LoadCase {
    const char* name;
    Bytes bytes;
    Strings expected;
};

TEST(ArchiveFormatTest, ReadsLongerAndWideForms)
{
    const LoadCase cases[] = {
        {"wide ABC", {0x01, 0x00, 0xFF, 0xFE, 0xFF, 0x03, 'A', 0, 'B', 0, 'C', 0}, {"ABC"}},
        {"wide with 3-byte length", {0x01, 0x00, 0xFF, 0xFE, 0xFF, 0xFF, 0x02, 0x00, 'A', 0, 'B', 0}, {"AB"}},
        {"wide with 7-byte length",
         {0x01, 0x00, 0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0x01, 0x00, 0x00, 0x00, 'Z', 0},
         {"Z"}},
        {"wide empty", {0x01, 0x00, 0xFF, 0xFE, 0xFF, 0x00}, {""}},
        {"wide e-acute and euro", {0x01, 0x00, 0xFF, 0xFE, 0xFF, 0x02, 0xE9, 0x00, 0xAC, 0x20}, {"\xC3\xA9\xE2\x82\xAC"}},
        {"non-minimal 3-byte length", {0x01, 0x00, 0xFF, 0x01, 0x00, 'Q'}, {"Q"}},
        {"6-byte count", {0xFF, 0xFF, 0x02, 0x00, 0x00, 0x00, 0x01, 'A', 0x01, 'B'}, {"A", "B"}},
        {"trailing byte ignored", {0x01, 0x00, 0x01, 'A', 0x99}, {"A"}},
        {"trailing garbage ignored", {0x00, 0x00, 0xFF, 0xFF, 0xFF}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Load(c.bytes), c.expected);
    }
}

struct FailureCase {
    const char* name;
    Bytes bytes;
    int cause;
};

TEST(ArchiveFormatTest, RefusesTruncatedAndMalformedFiles)
{
    const int eof = CArchiveException::endOfFile;
    const FailureCase cases[] = {
        {"no bytes at all", {}, eof},
        {"half a count", {0x01}, eof},
        {"escaped count cut short", {0xFF, 0xFF, 0x01, 0x00}, eof},
        {"count 3 but 2 strings", {0x03, 0x00, 0x01, 'A', 0x01, 'B'}, eof},
        {"string shorter than its length", {0x01, 0x00, 0x05, 'A', 'B'}, eof},
        {"3-byte prefix cut short", {0x01, 0x00, 0xFF, 0x01}, eof},
        {"7-byte prefix cut short", {0x01, 0x00, 0xFF, 0xFF, 0xFF, 0x01, 0x00}, eof},
        {"wide marker and nothing else", {0x01, 0x00, 0xFF, 0xFE, 0xFF}, eof},
        {"wide length beyond the file", {0x01, 0x00, 0xFF, 0xFE, 0xFF, 0x05, 'A', 0x00}, eof},
        {"odd number of wide bytes", {0x01, 0x00, 0xFF, 0xFE, 0xFF, 0x02, 'A', 0x00, 'B'}, eof},
        {"double wide marker", {0x01, 0x00, 0xFF, 0xFE, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00}, CArchiveException::badSchema},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(LoadFailure(c.bytes), std::optional<int>(c.cause));
    }
}

TEST(ArchiveFormatTest, HugeLengthsAreRefusedBeforeAllocating)
{
    const Bytes narrow = {0x01, 0x00, 0xFF, 0xFF, 0xFF, 0xF0, 0xFF, 0xFF, 0xFF, 'A', 'B'};
    const Bytes wide = {0x01, 0x00, 0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F, 'A', 0};
    for (const Bytes& bytes : {narrow, wide}) {
        g_largestAllocation = 0;
        EXPECT_EQ(LoadFailure(bytes), std::optional<int>(CArchiveException::endOfFile));
        EXPECT_LT(g_largestAllocation, std::size_t{1} << 20);
    }
}

TEST(ArchiveFormatTest, Utf16ConversionReplacesUnpairedSurrogates)
{
    struct Case {
        std::vector<WORD> units;
        std::string utf8;
    };
    const Case cases[] = {
        {{0x41}, "A"},
        {{0x00E9, 0x07FF}, "\xC3\xA9\xDF\xBF"},
        {{0x20AC, 0xFFFF}, "\xE2\x82\xAC\xEF\xBF\xBF"},
        {{0xD83D, 0xDE00}, "\xF0\x9F\x98\x80"},
        {{0xD83D}, "\xEF\xBF\xBD"},
        {{0xDE00, 0x41}, "\xEF\xBF\xBD" "A"},
        {{0xD83D, 0xD83D, 0xDE00}, "\xEF\xBF\xBD\xF0\x9F\x98\x80"},
        {{0xD83D, 0x41}, "\xEF\xBF\xBD" "A"},
        {{0x0000}, std::string(1, '\0')},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CArchive::Utf16ToUtf8(c.units.data(), c.units.size()), c.utf8);
}

TEST(ArchiveTest, NumbersAreLittleEndian)
{
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        ar << BYTE{0x12} << WORD{0x3456} << DWORD{0x789ABCDE};
        ar.Close();
    }
    EXPECT_EQ(file.GetBuffer(), (Bytes{0x12, 0x56, 0x34, 0xDE, 0xBC, 0x9A, 0x78}));
    file.SeekToBegin();
    CArchive ar(&file, CArchive::load);
    BYTE b = 0;
    WORD w = 0;
    DWORD d = 0;
    ar >> b >> w >> d;
    EXPECT_EQ(b, 0x12);
    EXPECT_EQ(w, 0x3456);
    EXPECT_EQ(d, 0x789ABCDEu);
    EXPECT_THROW(ar >> b, CArchiveException);
}

TEST(ArchiveTest, WrongDirectionAndOversizedCountsThrow)
{
    CMemFile file(Bytes{0x00, 0x00});
    CArchive loading(&file, CArchive::load);
    EXPECT_TRUE(loading.IsLoading());
    try {
        loading << BYTE{1};
        FAIL() << "writing to a loading archive must throw";
    } catch (const CArchiveException& e) {
        EXPECT_EQ(e.m_cause, CArchiveException::readOnly);
    }

    CMemFile out;
    CArchive storing(&out, CArchive::store);
    EXPECT_TRUE(storing.IsStoring());
    BYTE b = 0;
    EXPECT_THROW(storing >> b, CArchiveException);
    EXPECT_THROW(storing.WriteCount(DWORD_PTR{0x100000000u}), CArchiveException);
    storing.WriteCount(0xFFFFFFFFu);
    storing.Close();
    EXPECT_EQ(out.GetBuffer(), (Bytes{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}));
}

TEST(ArchiveTest, DestructorFlushesUnlessAnExceptionUnwinds)
{
    CMemFile kept;
    {
        CArchive ar(&kept, CArchive::store);
        ar << BYTE{7};
    }
    EXPECT_EQ(kept.GetBuffer(), (Bytes{7}));

    CMemFile dropped;
    try {
        CArchive ar(&dropped, CArchive::store);
        ar << BYTE{7};
        throw std::runtime_error("save failed");
    } catch (const std::runtime_error&) {
    }
    EXPECT_TRUE(dropped.GetBuffer().empty());
}

} // namespace
