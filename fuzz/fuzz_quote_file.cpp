// Fuzz target for the quote page file reader. Findings, besides crashes and
// sanitizer reports:
// - an allocation while loading that is larger than the file could ever
//   justify (a length or count taken on trust before the bytes are there);
// - a file that loads from memory but not from disk, or the other way
//   round, or with a different list;
// - a refused file that leaves symbols behind or another message than
//   "Unexpected file format.";
// - a file the program itself would write that does not save back to the
//   same bytes, and a loaded list that does not survive save and load.

#include "CArchive.h"
#include "CMemFile.h"
#include "CString.h"
#include "CStringList.h"
#include "CTarvexDoc.h"

#include <sanitizer/allocator_interface.h>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;
using List = std::vector<std::string>;

std::atomic<bool> g_bWatching{false};
std::atomic<std::size_t> g_nLargest{0};

void OnMalloc(const volatile void*, std::size_t size)
{
    if (!g_bWatching.load(std::memory_order_relaxed))
        return;
    std::size_t prev = g_nLargest.load(std::memory_order_relaxed);
    while (size > prev && !g_nLargest.compare_exchange_weak(prev, size, std::memory_order_relaxed)) {
    }
}

void OnFree(const volatile void*) {}

// Fixed costs of a load that do not depend on the file: the archive's
// buffer, the path, list blocks.
constexpr std::size_t kFixedAllowance = 16 * 1024;

class AllocationWatch {
public:
    AllocationWatch()
    {
        g_nLargest = 0;
        g_bWatching = true;
    }
    ~AllocationWatch() { g_bWatching = false; }
    AllocationWatch(const AllocationWatch&) = delete;
    AllocationWatch& operator=(const AllocationWatch&) = delete;
    std::size_t Largest() const { return g_nLargest.load(); }
};

[[noreturn]] void Finding(const char* what)
{
    std::fprintf(stderr, "fuzz_quote_file: %s\n", what);
    std::abort();
}

List ListOf(const CStringList& list)
{
    List out;
    for (POSITION pos = list.GetHeadPosition(); pos != nullptr;)
        out.push_back(list.GetNext(pos).str());
    return out;
}

// The list when the bytes are exactly what the writer makes of it: the
// count and every length prefix in their shortest form, no wide strings,
// nothing after the last string.
std::optional<List> WriterOutputList(const Bytes& b)
{
    std::size_t pos = 0;
    auto take = [&](std::size_t n, std::uint32_t& value) {
        if (b.size() - pos < n)
            return false;
        value = 0;
        for (std::size_t i = 0; i < n; ++i)
            value |= static_cast<std::uint32_t>(b[pos + i]) << (8 * i);
        pos += n;
        return true;
    };
    std::uint32_t count = 0;
    if (!take(2, count))
        return std::nullopt;
    if (count == 0xFFFF && (!take(4, count) || count < 0xFFFF))
        return std::nullopt;
    List list;
    for (std::uint32_t i = 0; i < count; ++i) {
        std::uint32_t length = 0;
        if (!take(1, length))
            return std::nullopt;
        if (length == 0xFF) {
            if (!take(2, length) || length == 0xFFFE || length < 0xFF)
                return std::nullopt;
            if (length == 0xFFFF && (!take(4, length) || length < 0xFFFE))
                return std::nullopt;
        }
        if (b.size() - pos < length)
            return std::nullopt;
        list.emplace_back(reinterpret_cast<const char*>(b.data() + pos), length);
        pos += length;
    }
    if (pos != b.size())
        return std::nullopt;
    return list;
}

std::optional<List> LoadFromMemory(const Bytes& bytes)
{
    CTarvexDoc doc;
    CMemFile file(bytes.data(), bytes.size());
    try {
        CArchive ar(&file, CArchive::load);
        if (file.GetLength() != 0)
            doc.Serialize(ar);
    } catch (...) {
        if (!doc.m_tickerList.IsEmpty())
            Finding("a refused load left symbols in the list");
        return std::nullopt;
    }
    return ListOf(doc.m_tickerList);
}

Bytes Save(const List& list)
{
    CTarvexDoc doc;
    for (const std::string& s : list)
        doc.m_tickerList.AddTail(CString(s));
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        doc.Serialize(ar);
        ar.Close();
    }
    return file.Detach();
}

std::string g_strPath;

std::optional<List> LoadFromDisk(const Bytes& bytes)
{
    const int fd = ::open(g_strPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0)
        Finding("cannot write the scratch file");
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n <= 0) {
            ::close(fd);
            Finding("cannot write the scratch file");
        }
        done += static_cast<std::size_t>(n);
    }
    ::close(fd);

    CTarvexDoc doc;
    if (!doc.OnOpenDocument(g_strPath.c_str())) {
        if (doc.GetErrorMessage() != "Unexpected file format.")
            Finding("a malformed file was refused with another message");
        if (!doc.m_tickerList.IsEmpty())
            Finding("a refused file left symbols in the page");
        return std::nullopt;
    }
    return ListOf(doc.m_tickerList);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    __sanitizer_install_malloc_and_free_hooks(OnMalloc, OnFree);
    const char* tmp = std::getenv("TMPDIR");
    std::string dir = std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/tarvex-fuzz.XXXXXX";
    if (::mkdtemp(dir.data()) == nullptr)
        Finding("mkdtemp failed");
    g_strPath = dir + "/page.quo";
    // The folder goes when the run ends; a crash leaves it for the post
    // mortem, which is what a crash is for.
    static const std::string s_dir = dir;
    std::atexit([] {
        ::unlink(g_strPath.c_str());
        ::rmdir(s_dir.c_str());
    });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const Bytes bytes(data, data + size);
    const std::size_t allowance = kFixedAllowance + 4 * size;

    std::optional<List> fromMemory;
    {
        AllocationWatch watch;
        fromMemory = LoadFromMemory(bytes);
        if (watch.Largest() > allowance) {
            std::fprintf(stderr, "largest allocation %zu bytes for a file of %zu\n", watch.Largest(), size);
            Finding("loading allocated more than the file can hold");
        }
    }
    std::optional<List> fromDisk;
    {
        AllocationWatch watch;
        fromDisk = LoadFromDisk(bytes);
        if (watch.Largest() > allowance) {
            std::fprintf(stderr, "largest allocation %zu bytes for a file of %zu\n", watch.Largest(), size);
            Finding("opening allocated more than the file can hold");
        }
    }
    if (fromMemory != fromDisk)
        Finding("the file loads differently from memory and from disk");

    if (const std::optional<List> written = WriterOutputList(bytes)) {
        if (!fromMemory || *fromMemory != *written)
            Finding("a file the program writes does not load as written");
        if (Save(*fromMemory) != bytes)
            Finding("a file the program writes does not save back to the same bytes");
    }
    if (fromMemory) {
        const Bytes saved = Save(*fromMemory);
        const std::optional<List> reloaded = LoadFromMemory(saved);
        if (!reloaded || *reloaded != *fromMemory)
            Finding("a loaded list does not survive saving and loading");
        if (WriterOutputList(saved) != reloaded)
            Finding("the writer wrote a file outside its own format");
    }
    return 0;
}
