#include "CProfile.h"

#include <glib.h>

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
    KeyFilePtr kf(g_key_file_new());
    if (Load(m_strPath, kf.get()) != LoadResult::Loaded)
        return static_cast<UINT>(nDefault);
    GCharPtr value(g_key_file_get_value(kf.get(), lpszSection, lpszEntry, nullptr));
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
    KeyFilePtr kf(g_key_file_new());
    if (Load(m_strPath, kf.get()) != LoadResult::Loaded)
        return fallback;
    GCharPtr value(g_key_file_get_string(kf.get(), lpszSection, lpszEntry, nullptr));
    if (!value) {
        // Present but not valid key-file escapes: take the raw text.
        value.reset(g_key_file_get_value(kf.get(), lpszSection, lpszEntry, nullptr));
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
    return Save(m_strPath, kf.get()) ? TRUE : FALSE;
}
