#include "CArchive.h"

#include "CArchiveException.h"
#include "CFile.h"

#include <algorithm>
#include <cassert>
#include <cstring>
#include <exception>
#include <string>

namespace {

constexpr WORD kWideMarker = 0xFFFE;
constexpr WORD kEscape16 = 0xFFFF;
constexpr BYTE kEscape8 = 0xFF;

void AppendUtf8(std::string& out, DWORD cp)
{
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

} // namespace

CArchive::CArchive(CFile* pFile, UINT nMode, int nBufSize)
    : m_pFile(pFile),
      m_nMode(nMode == load ? load : store),
      m_buffer(static_cast<std::size_t>(std::max(nBufSize, 16))),
      m_nUncaught(std::uncaught_exceptions())
{
    assert(pFile != nullptr);
}

CArchive::~CArchive()
{
    if (m_pFile && IsStoring() && std::uncaught_exceptions() <= m_nUncaught) {
        try {
            Close();
        } catch (...) {
            // A destructor must not throw; Close reports errors to callers
            // that care.
        }
    }
    Abort();
}

void CArchive::ThrowArchive(int cause) const
{
    throw CArchiveException(cause, m_pFile ? m_pFile->GetFilePath().GetString() : nullptr);
}

UINT CArchive::Read(void* lpBuf, UINT nMax)
{
    if (!m_pFile)
        ThrowArchive(CArchiveException::genericException);
    if (!IsLoading())
        ThrowArchive(CArchiveException::writeOnly);
    auto* out = static_cast<BYTE*>(lpBuf);
    std::size_t done = 0;
    while (done < nMax) {
        if (m_nBufCur == m_nBufMax) {
            const std::size_t want = nMax - done;
            if (want >= m_buffer.size()) {
                // Large reads go straight into the caller's memory.
                const UINT n = m_pFile->Read(out + done, static_cast<UINT>(want));
                done += n;
                break;
            }
            m_nBufCur = 0;
            m_nBufMax = m_pFile->Read(m_buffer.data(), static_cast<UINT>(m_buffer.size()));
            if (m_nBufMax == 0)
                break;
        }
        const std::size_t n = std::min(m_nBufMax - m_nBufCur, nMax - done);
        std::memcpy(out + done, m_buffer.data() + m_nBufCur, n);
        m_nBufCur += n;
        done += n;
    }
    return static_cast<UINT>(done);
}

void CArchive::ReadExact(void* lpBuf, std::size_t nCount)
{
    auto* out = static_cast<BYTE*>(lpBuf);
    while (nCount > 0) {
        const UINT chunk = static_cast<UINT>(std::min<std::size_t>(nCount, 0x40000000u));
        const UINT n = Read(out, chunk);
        if (n != chunk)
            ThrowArchive(CArchiveException::endOfFile);
        out += n;
        nCount -= n;
    }
}

void CArchive::Write(const void* lpBuf, UINT nMax)
{
    if (!m_pFile)
        ThrowArchive(CArchiveException::genericException);
    if (!IsStoring())
        ThrowArchive(CArchiveException::readOnly);
    const auto* in = static_cast<const BYTE*>(lpBuf);
    std::size_t left = nMax;
    while (left > 0) {
        if (m_nBufCur == m_buffer.size())
            WriteBuffer();
        if (m_nBufCur == 0 && left >= m_buffer.size()) {
            m_pFile->Write(in, static_cast<UINT>(left));
            return;
        }
        const std::size_t n = std::min(m_buffer.size() - m_nBufCur, left);
        std::memcpy(m_buffer.data() + m_nBufCur, in, n);
        m_nBufCur += n;
        in += n;
        left -= n;
    }
}

void CArchive::WriteBuffer()
{
    if (m_nBufCur > 0) {
        // Forget the bytes before writing, so a failed write is not
        // repeated by a later Close or the destructor.
        const std::size_t n = m_nBufCur;
        m_nBufCur = 0;
        m_pFile->Write(m_buffer.data(), static_cast<UINT>(n));
    }
}

ULONGLONG CArchive::BytesLeft() const
{
    const ULONGLONG inBuffer = m_nBufMax - m_nBufCur;
    const ULONGLONG length = m_pFile->GetLength();
    const ULONGLONG position = m_pFile->GetPosition();
    return inBuffer + (length > position ? length - position : 0);
}

void CArchive::WriteCount(DWORD_PTR dwCount)
{
    if (dwCount < 0xFFFFu) {
        *this << static_cast<WORD>(dwCount);
    } else {
        if (dwCount > 0xFFFFFFFFu)
            ThrowArchive(CArchiveException::genericException);
        *this << kEscape16 << static_cast<DWORD>(dwCount);
    }
}

DWORD_PTR CArchive::ReadCount()
{
    WORD w = 0;
    *this >> w;
    if (w != kEscape16)
        return w;
    DWORD dw = 0;
    *this >> dw;
    return dw;
}

CArchive& CArchive::operator<<(BYTE by)
{
    Write(&by, 1);
    return *this;
}

CArchive& CArchive::operator<<(WORD w)
{
    const BYTE b[2] = {static_cast<BYTE>(w), static_cast<BYTE>(w >> 8)};
    Write(b, 2);
    return *this;
}

CArchive& CArchive::operator<<(DWORD dw)
{
    const BYTE b[4] = {static_cast<BYTE>(dw), static_cast<BYTE>(dw >> 8),
                       static_cast<BYTE>(dw >> 16), static_cast<BYTE>(dw >> 24)};
    Write(b, 4);
    return *this;
}

CArchive& CArchive::operator<<(LONG l)
{
    return *this << static_cast<DWORD>(l);
}

CArchive& CArchive::operator<<(const CString& str)
{
    const std::size_t len = str.str().size();
    if (len < 255) {
        *this << static_cast<BYTE>(len);
    } else if (len < 0xFFFE) {
        *this << kEscape8 << static_cast<WORD>(len);
    } else {
        if (len > 0xFFFFFFFFu)
            ThrowArchive(CArchiveException::genericException);
        *this << kEscape8 << kEscape16 << static_cast<DWORD>(len);
    }
    Write(str.str().data(), static_cast<UINT>(len));
    return *this;
}

CArchive& CArchive::operator>>(BYTE& by)
{
    ReadExact(&by, 1);
    return *this;
}

CArchive& CArchive::operator>>(WORD& w)
{
    BYTE b[2];
    ReadExact(b, 2);
    w = static_cast<WORD>(b[0] | (b[1] << 8));
    return *this;
}

CArchive& CArchive::operator>>(DWORD& dw)
{
    BYTE b[4];
    ReadExact(b, 4);
    dw = static_cast<DWORD>(b[0]) | (static_cast<DWORD>(b[1]) << 8) |
         (static_cast<DWORD>(b[2]) << 16) | (static_cast<DWORD>(b[3]) << 24);
    return *this;
}

CArchive& CArchive::operator>>(LONG& l)
{
    DWORD dw = 0;
    *this >> dw;
    l = static_cast<LONG>(dw);
    return *this;
}

bool CArchive::ReadLengthPrefix(ULONGLONG& nLength)
{
    BYTE b = 0;
    *this >> b;
    if (b != kEscape8) {
        nLength = b;
        return true;
    }
    WORD w = 0;
    *this >> w;
    if (w == kWideMarker)
        return false;
    if (w != kEscape16) {
        nLength = w;
        return true;
    }
    DWORD dw = 0;
    *this >> dw;
    nLength = dw;
    return true;
}

CArchive& CArchive::operator>>(CString& str)
{
    ULONGLONG nLength = 0;
    bool wide = false;
    if (!ReadLengthPrefix(nLength)) {
        wide = true;
        if (!ReadLengthPrefix(nLength))
            ThrowArchive(CArchiveException::badSchema);
    }
    const ULONGLONG nBytes = wide ? nLength * 2 : nLength;
    // Only ask the file when the buffer cannot hold the string: a file
    // that claims more than it has must not make us allocate it.
    if (nBytes > m_nBufMax - m_nBufCur && nBytes > BytesLeft())
        ThrowArchive(CArchiveException::endOfFile);

    if (!wide) {
        std::string s(static_cast<std::size_t>(nBytes), '\0');
        ReadExact(s.data(), s.size());
        str = CString(std::move(s));
    } else {
        std::vector<BYTE> raw(static_cast<std::size_t>(nBytes));
        ReadExact(raw.data(), raw.size());
        std::vector<WORD> units(static_cast<std::size_t>(nLength));
        for (std::size_t i = 0; i < units.size(); ++i)
            units[i] = static_cast<WORD>(raw[2 * i] | (raw[2 * i + 1] << 8));
        str = CString(Utf16ToUtf8(units.data(), units.size()));
    }
    return *this;
}

std::string CArchive::Utf16ToUtf8(const WORD* pUnits, std::size_t nUnits)
{
    std::string out;
    out.reserve(nUnits);
    for (std::size_t i = 0; i < nUnits; ++i) {
        const DWORD u = pUnits[i];
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < nUnits && pUnits[i + 1] >= 0xDC00 &&
            pUnits[i + 1] <= 0xDFFF) {
            const DWORD lo = pUnits[++i];
            AppendUtf8(out, 0x10000 + ((u - 0xD800) << 10) + (lo - 0xDC00));
        } else if (u >= 0xD800 && u <= 0xDFFF) {
            AppendUtf8(out, 0xFFFD);
        } else {
            AppendUtf8(out, u);
        }
    }
    return out;
}

void CArchive::Flush()
{
    if (!m_pFile || !IsStoring())
        return;
    WriteBuffer();
    m_pFile->Flush();
}

void CArchive::Close()
{
    Flush();
    m_pFile = nullptr;
}

void CArchive::Abort() noexcept
{
    m_nBufCur = m_nBufMax = 0;
    m_pFile = nullptr;
}
