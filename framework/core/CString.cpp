#include "CString.h"

#include <algorithm>
#include <cassert>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string_view>

namespace {

bool IsSpaceByte(char ch)
{
    switch (ch) {
    case ' ': case '\t': case '\n': case '\v': case '\f': case '\r':
        return true;
    default:
        return false;
    }
}

std::string_view View(const char* psz)
{
    return psz ? std::string_view(psz) : std::string_view();
}

int Sign(int n) { return n < 0 ? -1 : (n > 0 ? 1 : 0); }

char AsciiLower(char ch)
{
    return (ch >= 'A' && ch <= 'Z') ? static_cast<char>(ch + ('a' - 'A')) : ch;
}

constexpr unsigned char kLatin1Lead = 0xC3;

} // namespace

CString::CString(const char* psz) : m_str(View(psz)) {}

CString::CString(const char* buf, int nLength)
{
    if (buf && nLength > 0)
        m_str.assign(buf, static_cast<std::size_t>(nLength));
}

CString::CString(const std::string& s) : m_str(s) {}

CString::CString(std::string&& s) noexcept : m_str(std::move(s)) {}

CString::CString(char ch, int nRepeat)
    : m_str(static_cast<std::size_t>(std::max(nRepeat, 0)), ch) {}

CString& CString::operator=(const char* psz)
{
    m_str.assign(View(psz));
    return *this;
}

CString& CString::operator=(char ch)
{
    m_str.assign(1, ch);
    return *this;
}

char CString::GetAt(int nIndex) const
{
    assert(nIndex >= 0 && nIndex < GetLength());
    if (nIndex < 0 || nIndex >= GetLength())
        return '\0';
    return m_str[static_cast<std::size_t>(nIndex)];
}

void CString::SetAt(int nIndex, char ch)
{
    assert(nIndex >= 0 && nIndex < GetLength());
    if (nIndex >= 0 && nIndex < GetLength())
        m_str[static_cast<std::size_t>(nIndex)] = ch;
}

int CString::Find(const char* pszSub, int nStart) const
{
    if (nStart < 0)
        nStart = 0;
    if (nStart > GetLength())
        return -1;
    const std::size_t pos = m_str.find(View(pszSub), static_cast<std::size_t>(nStart));
    return pos == std::string::npos ? -1 : static_cast<int>(pos);
}

int CString::Find(char ch, int nStart) const
{
    if (nStart < 0)
        nStart = 0;
    if (nStart >= GetLength())
        return -1;
    const std::size_t pos = m_str.find(ch, static_cast<std::size_t>(nStart));
    return pos == std::string::npos ? -1 : static_cast<int>(pos);
}

int CString::ReverseFind(char ch) const
{
    const std::size_t pos = m_str.rfind(ch);
    return pos == std::string::npos ? -1 : static_cast<int>(pos);
}

CString CString::Mid(int nFirst) const
{
    return Mid(nFirst, GetLength());
}

CString CString::Mid(int nFirst, int nCount) const
{
    // 64-bit arithmetic: nFirst + nCount may not fit in an int.
    const long long len = GetLength();
    const long long first = std::clamp<long long>(nFirst, 0, len);
    const long long count = std::clamp<long long>(nCount, 0, len - first);
    return CString(m_str.substr(static_cast<std::size_t>(first), static_cast<std::size_t>(count)));
}

CString CString::Left(int nCount) const
{
    return Mid(0, nCount);
}

CString CString::Right(int nCount) const
{
    const int count = std::clamp(nCount, 0, GetLength());
    return Mid(GetLength() - count, count);
}

CString& CString::TrimLeft()
{
    std::size_t i = 0;
    while (i < m_str.size() && IsSpaceByte(m_str[i]))
        ++i;
    m_str.erase(0, i);
    return *this;
}

CString& CString::TrimRight()
{
    std::size_t n = m_str.size();
    while (n > 0 && IsSpaceByte(m_str[n - 1]))
        --n;
    m_str.erase(n);
    return *this;
}

CString& CString::MakeUpper()
{
    // The ASCII runs between lead bytes go through a branch-free loop the
    // compiler vectorises: a whole 64000-byte reply is upper-cased before
    // every parse.
    char* const p = m_str.data();
    const std::size_t n = m_str.size();
    std::size_t i = 0;
    while (i < n) {
        const void* pLead = std::memchr(p + i, kLatin1Lead, n - i);
        const std::size_t end = pLead != nullptr ? static_cast<std::size_t>(static_cast<const char*>(pLead) - p) : n;
        for (std::size_t k = i; k < end; ++k) {
            const auto b = static_cast<unsigned char>(p[k]);
            p[k] = static_cast<char>(b - (static_cast<unsigned char>(b - 'a') < 26u ? 0x20 : 0));
        }
        if (end + 1 >= n)
            break;
        const auto c = static_cast<unsigned char>(p[end + 1]);
        if (c >= 0xA0 && c <= 0xBE && c != 0xB7)  // à..þ without ÷
            p[end + 1] = static_cast<char>(c - 0x20);
        i = end + 2;  // the second byte of the pair is never a lead byte
    }
    return *this;
}

CString& CString::MakeLower()
{
    for (std::size_t i = 0; i < m_str.size(); ++i) {
        const auto b = static_cast<unsigned char>(m_str[i]);
        if (b >= 'A' && b <= 'Z') {
            m_str[i] = static_cast<char>(b + 0x20);
        } else if (b == kLatin1Lead && i + 1 < m_str.size()) {
            const auto c = static_cast<unsigned char>(m_str[i + 1]);
            if (c >= 0x80 && c <= 0x9E && c != 0x97)  // À..Þ without ×
                m_str[i + 1] = static_cast<char>(c + 0x20);
            ++i;
        }
    }
    return *this;
}

int CString::Compare(const char* psz) const
{
    return Sign(std::string_view(m_str).compare(View(psz)));
}

int CString::Compare(const CString& s) const
{
    return Sign(m_str.compare(s.m_str));
}

int CString::CompareNoCase(const char* psz) const
{
    const std::string_view other = View(psz);
    const std::size_t n = std::min(m_str.size(), other.size());
    for (std::size_t i = 0; i < n; ++i) {
        const auto a = static_cast<unsigned char>(AsciiLower(m_str[i]));
        const auto b = static_cast<unsigned char>(AsciiLower(other[i]));
        if (a != b)
            return a < b ? -1 : 1;
    }
    if (m_str.size() == other.size())
        return 0;
    return m_str.size() < other.size() ? -1 : 1;
}

CString& CString::operator+=(const CString& s)
{
    m_str += s.m_str;
    return *this;
}

CString& CString::operator+=(const char* psz)
{
    m_str += View(psz);
    return *this;
}

CString& CString::operator+=(char ch)
{
    m_str += ch;
    return *this;
}

void CString::Format(const char* pszFormat, ...)
{
    if (!pszFormat) {
        m_str.clear();
        return;
    }
    va_list args;
    va_start(args, pszFormat);
    va_list copy;
    va_copy(copy, args);
    const int needed = std::vsnprintf(nullptr, 0, pszFormat, copy);
    va_end(copy);
    if (needed <= 0) {
        va_end(args);
        m_str.clear();
        return;
    }
    std::string out(static_cast<std::size_t>(needed) + 1, '\0');
    std::vsnprintf(out.data(), out.size(), pszFormat, args);
    va_end(args);
    out.resize(static_cast<std::size_t>(needed));
    m_str = std::move(out);
}

CString operator+(const CString& a, const CString& b) { CString r(a); r += b; return r; }
CString operator+(const CString& a, const char* b) { CString r(a); r += b; return r; }
CString operator+(const char* a, const CString& b) { CString r(a); r += b; return r; }
CString operator+(const CString& a, char b) { CString r(a); r += b; return r; }
CString operator+(char a, const CString& b) { CString r(a); r += b; return r; }

bool operator==(const CString& a, const CString& b) { return a.str() == b.str(); }
bool operator==(const CString& a, const char* b) { return a.Compare(b) == 0; }
bool operator==(const char* a, const CString& b) { return b.Compare(a) == 0; }
bool operator!=(const CString& a, const CString& b) { return !(a == b); }
bool operator!=(const CString& a, const char* b) { return !(a == b); }
bool operator!=(const char* a, const CString& b) { return !(a == b); }
bool operator<(const CString& a, const CString& b) { return a.Compare(b) < 0; }
bool operator<(const CString& a, const char* b) { return a.Compare(b) < 0; }
bool operator<(const char* a, const CString& b) { return b.Compare(a) > 0; }
bool operator>(const CString& a, const CString& b) { return a.Compare(b) > 0; }
bool operator>(const CString& a, const char* b) { return a.Compare(b) > 0; }
bool operator>(const char* a, const CString& b) { return b.Compare(a) < 0; }
