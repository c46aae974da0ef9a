#include "CProfile.h"

#include <glib.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

struct KeyFileDeleter {
    void operator()(GKeyFile* kf) const { g_key_file_free(kf); }
};
using KeyFilePtr = std::unique_ptr<GKeyFile, KeyFileDeleter>;

struct CharDeleter {
    void operator()(gchar* p) const { g_free(p); }
};
using GCharPtr = std::unique_ptr<gchar, CharDeleter>;

enum class LoadResult { Loaded, Missing, Unusable };

LoadResult Load(const CString& path, GKeyFile* kf)
{
    GError* error = nullptr;
    const GKeyFileFlags flags = static_cast<GKeyFileFlags>(G_KEY_FILE_KEEP_COMMENTS);
    if (g_key_file_load_from_file(kf, path.GetString(), flags, &error))
        return LoadResult::Loaded;
    const bool missing = error->domain == G_FILE_ERROR && error->code == G_FILE_ERROR_NOENT;
    if (!missing)
        std::fprintf(stderr, "profile %s: %s\n", path.GetString(), error->message);
    g_error_free(error);
    return missing ? LoadResult::Missing : LoadResult::Unusable;
}

bool Save(const CString& path, GKeyFile* kf)
{
    gchar* dir = g_path_get_dirname(path.GetString());
    g_mkdir_with_parents(dir, 0700);
    g_free(dir);
    GError* error = nullptr;
    // g_key_file_save_to_file writes a temporary file and renames it.
    if (!g_key_file_save_to_file(kf, path.GetString(), &error)) {
        std::fprintf(stderr, "profile %s: %s\n", path.GetString(), error->message);
        g_error_free(error);
        return false;
    }
    return true;
}

} // namespace

struct CProfile::Cache {
    bool bStatOk = false;
    struct stat st {};
    LoadResult result = LoadResult::Missing;
    KeyFilePtr kf;

    bool SameFile(const struct stat& other) const
    {
        return st.st_dev == other.st_dev && st.st_ino == other.st_ino && st.st_size == other.st_size
            && st.st_mtim.tv_sec == other.st_mtim.tv_sec && st.st_mtim.tv_nsec == other.st_mtim.tv_nsec
            && st.st_ctim.tv_sec == other.st_ctim.tv_sec && st.st_ctim.tv_nsec == other.st_ctim.tv_nsec;
    }
};

CProfile::CProfile(const CString& path)
    : m_strPath(path)
{
}

CProfile::~CProfile() = default;

const CProfile::Cache& CProfile::Current() const
{
    struct stat st {};
    const bool bStatOk = ::stat(m_strPath.GetString(), &st) == 0;
    if (m_pCache && bStatOk && m_pCache->bStatOk && m_pCache->SameFile(st))
        return *m_pCache;
    auto cache = std::make_unique<Cache>();
    cache->bStatOk = bStatOk;
    cache->st = st;
    cache->kf.reset(g_key_file_new());
    cache->result = bStatOk ? Load(m_strPath, cache->kf.get()) : LoadResult::Missing;
    m_pCache = std::move(cache);
    return *m_pCache;
}

UINT CProfile::ParseInt(const char* pszText)
{
    if (pszText == nullptr)
        return 0;
    const char* p = pszText;
    while (*p == ' ' || *p == '\t')
        ++p;
    bool negative = false;
    if (*p == '-' || *p == '+') {
        negative = *p == '-';
        ++p;
    }
    UINT value = 0; // unsigned arithmetic: wraps modulo 2^32 by definition
    if (p[0] == '0' && (p[1] == 'x' || p[1] == 'X') && g_ascii_isxdigit(p[2])) {
        for (p += 2; g_ascii_isxdigit(*p); ++p)
            value = value * 16u + static_cast<UINT>(g_ascii_xdigit_value(*p));
    } else {
        for (; *p >= '0' && *p <= '9'; ++p)
            value = value * 10u + static_cast<UINT>(*p - '0');
    }
    return negative ? 0u - value : value;
}

CString CProfile::GetConfigDir()
{
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg != nullptr && xdg[0] == '/')
        return CString(xdg);
    const char* home = std::getenv("HOME");
    if (home == nullptr || home[0] == '\0')
        home = g_get_home_dir();
    return CString(home) + "/.config";
}

UINT CProfile::GetInt(LPCSTR lpszSection, LPCSTR lpszEntry, int nDefault) const
{
    const Cache& cache = Current();
    if (cache.result != LoadResult::Loaded)
        return static_cast<UINT>(nDefault);
    GKeyFile* kf = cache.kf.get();
    GCharPtr value(g_key_file_get_value(kf, lpszSection, lpszEntry, nullptr));
    if (!value)
        return static_cast<UINT>(nDefault);
    return ParseInt(value.get());
}

BOOL CProfile::WriteInt(LPCSTR lpszSection, LPCSTR lpszEntry, int nValue)
{
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%d", nValue);
    return WriteString(lpszSection, lpszEntry, buffer);
}

CString CProfile::GetString(LPCSTR lpszSection, LPCSTR lpszEntry, LPCSTR lpszDefault) const
{
    const CString fallback(lpszDefault);
    const Cache& cache = Current();
    if (cache.result != LoadResult::Loaded)
        return fallback;
    GKeyFile* kf = cache.kf.get();
    GCharPtr value(g_key_file_get_string(kf, lpszSection, lpszEntry, nullptr));
    if (!value) {
        // Present but not valid key-file escapes: take the raw text.
        value.reset(g_key_file_get_value(kf, lpszSection, lpszEntry, nullptr));
        if (!value)
            return fallback;
    }
    return CString(value.get());
}

BOOL CProfile::WriteString(LPCSTR lpszSection, LPCSTR lpszEntry, LPCSTR lpszValue)
{
    if (lpszSection == nullptr || lpszSection[0] == '\0')
        return FALSE;
    KeyFilePtr kf(g_key_file_new());
    if (Load(m_strPath, kf.get()) == LoadResult::Unusable) {
        std::fprintf(stderr, "profile %s: not written, to keep its present content\n", m_strPath.GetString());
        return FALSE;
    }
    if (lpszEntry == nullptr)
        g_key_file_remove_group(kf.get(), lpszSection, nullptr);
    else if (lpszValue == nullptr)
        g_key_file_remove_key(kf.get(), lpszSection, lpszEntry, nullptr);
    else
        g_key_file_set_string(kf.get(), lpszSection, lpszEntry, lpszValue);
    const bool bSaved = Save(m_strPath, kf.get());
    // Read back from the file next time, whatever happened to it.
    m_pCache.reset();
    return bSaved ? TRUE : FALSE;
}
