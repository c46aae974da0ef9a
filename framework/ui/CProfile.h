#pragma once
// The application's profile: an INI file read and written through GLib's
// key files. Sections and keys are kept exactly as given (spaces and case
// included).
//
// Reading never fails: a missing or unreadable file, a missing section or
// key give the caller's default, and a file that cannot be parsed is
// reported on stderr (once per version of the file) and treated as missing.
//
// Integers are read the way INI integers have always been read: blanks
// and tabs at the front are skipped, then an optional sign, then decimal
// digits, or hexadecimal ones after "0x"; reading stops at the first other
// character and the value wraps to 32 bits. A value with no digits reads
// as 0 (the default is only for a missing key). So "abc" -> 0, " 12a" ->
// 12, "-5" -> 0xFFFFFFFB (-5 as an int), "99999999999" -> 1215752191
// (the value modulo 2^32), "0x1F" -> 31.
//
// Writing replaces the whole file atomically (a temporary file renamed
// over it), creating the folder when needed. A file that exists but cannot
// be parsed is left alone: the write fails (FALSE, a message on stderr)
// rather than destroy what the user has in it.

#include "AfxTypes.h"
#include "CString.h"

#include <memory>

class CProfile {
public:
    explicit CProfile(const CString& path);
    ~CProfile();
    CProfile(const CProfile&) = delete;
    CProfile& operator=(const CProfile&) = delete;

    const CString& GetPath() const { return m_strPath; }

    UINT GetInt(LPCSTR lpszSection, LPCSTR lpszEntry, int nDefault) const;
    BOOL WriteInt(LPCSTR lpszSection, LPCSTR lpszEntry, int nValue);
    CString GetString(LPCSTR lpszSection, LPCSTR lpszEntry, LPCSTR lpszDefault) const;
    // lpszValue nullptr removes the key; lpszEntry nullptr the section.
    BOOL WriteString(LPCSTR lpszSection, LPCSTR lpszEntry, LPCSTR lpszValue);

    // The integer reading described above.
    static UINT ParseInt(const char* pszText);

    // $XDG_CONFIG_HOME, or ~/.config when it is unset or not absolute.
    static CString GetConfigDir();

private:
    // The file as last read, kept while its identity (device, inode, size,
    // modification time) stays the same: every refresh reads the server's
    // host, and parsing the file each time would cost more than the rest
    // of a loopback refresh. Any change to the file, ours or an editor's,
    // makes the next read load it again.
    struct Cache;
    const Cache& Current() const;

    CString m_strPath;
    mutable std::unique_ptr<Cache> m_pCache;
};
