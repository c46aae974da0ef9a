#pragma once
// 8-bit text in the system's ANSI code page, which is UTF-8 on this
// platform. Held in a std::string, so embedded NUL bytes are kept.

#include "AfxTypes.h"

#include <string>

class CString {
public:
    CString() = default;
    CString(const char* psz);  // NOLINT: implicit like the framework's; nullptr = empty
    CString(const char* buf, int nLength);
    CString(const std::string& s);  // NOLINT: implicit on purpose
    CString(std::string&& s) noexcept;  // NOLINT: implicit on purpose
    explicit CString(char ch, int nRepeat = 1);
    CString(const CString&) = default;
    CString(CString&&) noexcept = default;
    CString& operator=(const CString&) = default;
    CString& operator=(CString&&) noexcept = default;
    CString& operator=(const char* psz);
    CString& operator=(char ch);
    ~CString() = default;

    int GetLength() const { return static_cast<int>(m_str.size()); }
    BOOL IsEmpty() const { return m_str.empty() ? TRUE : FALSE; }
    void Empty() { m_str.clear(); }

    // Out-of-range indexes are a caller's fault: asserted in debug builds,
    // and answered with '\0' (GetAt) or ignored (SetAt) in release builds.
    char GetAt(int nIndex) const;
    char operator[](int nIndex) const { return GetAt(nIndex); }
    void SetAt(int nIndex, char ch);

    // Byte positions, -1 when not found. A negative nStart counts as 0.
    // An empty sub-string is found at nStart itself when nStart is at most
    // the length (like std::string::find), else -1.
    int Find(const char* pszSub, int nStart = 0) const;
    int Find(char ch, int nStart = 0) const;
    int ReverseFind(char ch) const;

    // Arguments out of range are clamped to the text: Mid(-3) is the whole
    // text, Mid(99) of a shorter text is empty, Left(-1) is empty.
    CString Mid(int nFirst) const;
    CString Mid(int nFirst, int nCount) const;
    CString Left(int nCount) const;
    CString Right(int nCount) const;

    // White space is exactly space, tab, LF, VT, FF and CR; no byte of 0x80
    // or above counts, so multi-byte characters are never cut.
    CString& TrimLeft();
    CString& TrimRight();
    CString& Trim() { TrimRight(); return TrimLeft(); }

    // ASCII letters plus the Latin-1 letters U+00E0..U+00FE (U+00C0..U+00DE)
    // in their two-byte UTF-8 form; the division and multiplication signs
    // and ÿ/ß (whose partners are outside Latin-1) stay as they are. The
    // byte length never changes and no character is split.
    CString& MakeUpper();
    CString& MakeLower();

    int Compare(const char* psz) const;  // byte-wise, unsigned bytes
    int Compare(const CString& s) const;
    int CompareNoCase(const char* psz) const;  // ASCII letters only

    CString& operator+=(const CString& s);
    CString& operator+=(const char* psz);
    CString& operator+=(char ch);

    operator LPCSTR() const { return m_str.c_str(); }  // NOLINT: implicit like the framework's
    const char* GetString() const { return m_str.c_str(); }
    const std::string& str() const { return m_str; }

    void Format(const char* pszFormat, ...) __attribute__((format(printf, 2, 3)));

private:
    std::string m_str;
};

CString operator+(const CString& a, const CString& b);
CString operator+(const CString& a, const char* b);
CString operator+(const char* a, const CString& b);
CString operator+(const CString& a, char b);
CString operator+(char a, const CString& b);

bool operator==(const CString& a, const CString& b);
bool operator==(const CString& a, const char* b);
bool operator==(const char* a, const CString& b);
bool operator!=(const CString& a, const CString& b);
bool operator!=(const CString& a, const char* b);
bool operator!=(const char* a, const CString& b);
bool operator<(const CString& a, const CString& b);
bool operator<(const CString& a, const char* b);
bool operator<(const char* a, const CString& b);
bool operator>(const CString& a, const CString& b);
bool operator>(const CString& a, const char* b);
bool operator>(const char* a, const CString& b);
