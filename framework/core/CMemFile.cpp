#include "CMemFile.h"

#include "CFileException.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

CMemFile::CMemFile(std::vector<BYTE> bytes) : m_data(std::move(bytes)) {}

CMemFile::CMemFile(const void* lpBuffer, std::size_t nBytes)
{
    if (lpBuffer && nBytes > 0) {
        const auto* p = static_cast<const BYTE*>(lpBuffer);
        m_data.assign(p, p + nBytes);
    }
}

BOOL CMemFile::Open(LPCSTR lpszFileName, UINT, CFileException* pError)
{
    if (pError)
        *pError = CFileException(CFileException::genericException, -1, lpszFileName);
    return FALSE;
}

UINT CMemFile::Read(void* lpBuf, UINT nCount)
{
    if (m_nPosition >= m_data.size() || nCount == 0)
        return 0;
    const std::size_t n = std::min<std::size_t>(nCount, m_data.size() - m_nPosition);
    std::memcpy(lpBuf, m_data.data() + m_nPosition, n);
    m_nPosition += n;
    return static_cast<UINT>(n);
}

void CMemFile::Write(const void* lpBuf, UINT nCount)
{
    if (nCount == 0)
        return;
    const std::size_t newEnd = m_nPosition + nCount;
    if (newEnd > m_data.size())
        m_data.resize(newEnd);
    std::memcpy(m_data.data() + m_nPosition, lpBuf, nCount);
    m_nPosition = newEnd;
}

ULONGLONG CMemFile::Seek(LONGLONG lOff, UINT nFrom)
{
    LONGLONG base = 0;
    if (nFrom == current)
        base = static_cast<LONGLONG>(m_nPosition);
    else if (nFrom == end)
        base = static_cast<LONGLONG>(m_data.size());
    if ((lOff < 0 && base + lOff < 0) || (lOff > 0 && base > INT64_MAX - lOff))
        throw CFileException(CFileException::badSeek, EINVAL);
    m_nPosition = static_cast<std::size_t>(base + lOff);
    return m_nPosition;
}

ULONGLONG CMemFile::GetLength() const
{
    return m_data.size();
}

ULONGLONG CMemFile::GetPosition() const
{
    return m_nPosition;
}

void CMemFile::SetLength(ULONGLONG dwNewLen)
{
    m_data.resize(static_cast<std::size_t>(dwNewLen));
}

std::vector<BYTE> CMemFile::Detach()
{
    std::vector<BYTE> out = std::move(m_data);
    m_data.clear();
    m_nPosition = 0;
    return out;
}
