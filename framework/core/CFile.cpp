#include "CFile.h"

#include "CFileException.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

int RetryClose(int fd)
{
    // close() must not be retried on EINTR on Linux: the descriptor is gone.
    return ::close(fd);
}

} // namespace

CFile::CFile() = default;

CFile::CFile(int hFile) : m_hFile(hFile) {}

CFile::CFile(LPCSTR lpszFileName, UINT nOpenFlags)
{
    CFileException e;
    if (!Open(lpszFileName, nOpenFlags, &e))
        throw e;
}

CFile::~CFile()
{
    Abort();
}

BOOL CFile::Open(LPCSTR lpszFileName, UINT nOpenFlags, CFileException* pError)
{
    Abort();
    m_strFileName = lpszFileName;

    auto fail = [&](int err) {
        if (pError)
            *pError = CFileException(CFileException::OsErrorToException(err), err, lpszFileName);
        return FALSE;
    };

    if (!lpszFileName || !*lpszFileName)
        return fail(ENOENT);

    int flags = O_CLOEXEC | O_NOCTTY | O_NONBLOCK;  // O_NONBLOCK: never hang on a FIFO here
    switch (nOpenFlags & 0x3u) {
    case modeRead: flags |= O_RDONLY; break;
    case modeWrite: flags |= O_WRONLY; break;
    case modeReadWrite: flags |= O_RDWR; break;
    default: return fail(EINVAL);
    }
    if (nOpenFlags & modeCreate)
        flags |= O_CREAT;

    const int fd = ::open(lpszFileName, flags, 0666);
    if (fd < 0)
        return fail(errno);

    auto failClose = [&](int err) {
        RetryClose(fd);
        return fail(err);
    };

    struct stat st {};
    if (::fstat(fd, &st) != 0)
        return failClose(errno);
    if (S_ISDIR(st.st_mode))
        return failClose(EISDIR);
    const int fl = ::fcntl(fd, F_GETFL);
    if (fl < 0 || ::fcntl(fd, F_SETFL, fl & ~O_NONBLOCK) != 0)
        return failClose(errno);

    const UINT share = nOpenFlags & 0x70u;
    int lockOp = 0;
    if (share == shareExclusive || share == shareDenyRead)
        lockOp = LOCK_EX;
    else if (share == shareDenyWrite)
        lockOp = LOCK_SH;
    if (lockOp != 0) {
        int rc;
        do {
            rc = ::flock(fd, lockOp | LOCK_NB);
        } while (rc != 0 && errno == EINTR);
        if (rc != 0) {
            const int err = errno;
            RetryClose(fd);
            if (pError) {
                const int cause = err == EWOULDBLOCK ? CFileException::sharingViolation
                                                     : CFileException::OsErrorToException(err);
                *pError = CFileException(cause, err, lpszFileName);
            }
            return FALSE;
        }
    }

    if ((nOpenFlags & modeCreate) && !(nOpenFlags & modeNoTruncate) && S_ISREG(st.st_mode)) {
        if (::ftruncate(fd, 0) != 0)
            return failClose(errno);
    }

    m_hFile = fd;
    return TRUE;
}

UINT CFile::Read(void* lpBuf, UINT nCount)
{
    if (m_hFile == hFileNull)
        CFileException::Throw(CFileException::invalidFile, EBADF, m_strFileName);
    auto* p = static_cast<char*>(lpBuf);
    UINT done = 0;
    while (done < nCount) {
        const std::size_t chunk = std::min<std::size_t>(nCount - done, SSIZE_MAX);
        const ssize_t n = ::read(m_hFile, p + done, chunk);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            ThrowErrno(errno);
        }
        if (n == 0)
            break;
        done += static_cast<UINT>(n);
    }
    return done;
}

void CFile::Write(const void* lpBuf, UINT nCount)
{
    if (m_hFile == hFileNull)
        CFileException::Throw(CFileException::invalidFile, EBADF, m_strFileName);
    const auto* p = static_cast<const char*>(lpBuf);
    UINT done = 0;
    while (done < nCount) {
        const ssize_t n = ::write(m_hFile, p + done, nCount - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            ThrowErrno(errno);
        }
        if (n == 0)
            CFileException::Throw(CFileException::diskFull, ENOSPC, m_strFileName);
        done += static_cast<UINT>(n);
    }
}

ULONGLONG CFile::Seek(LONGLONG lOff, UINT nFrom)
{
    int whence = SEEK_SET;
    if (nFrom == current)
        whence = SEEK_CUR;
    else if (nFrom == end)
        whence = SEEK_END;
    const off_t pos = ::lseek(m_hFile, static_cast<off_t>(lOff), whence);
    if (pos < 0) {
        const int err = errno;
        throw CFileException(err == EINVAL ? CFileException::badSeek
                                           : CFileException::OsErrorToException(err),
                             err, m_strFileName);
    }
    return static_cast<ULONGLONG>(pos);
}

ULONGLONG CFile::GetLength() const
{
    struct stat st {};
    if (::fstat(m_hFile, &st) != 0)
        ThrowErrno(errno);
    return st.st_size > 0 ? static_cast<ULONGLONG>(st.st_size) : 0;
}

ULONGLONG CFile::GetPosition() const
{
    const off_t pos = ::lseek(m_hFile, 0, SEEK_CUR);
    if (pos < 0)
        ThrowErrno(errno);
    return static_cast<ULONGLONG>(pos);
}

void CFile::SetLength(ULONGLONG dwNewLen)
{
    if (::ftruncate(m_hFile, static_cast<off_t>(dwNewLen)) != 0)
        ThrowErrno(errno);
}

void CFile::Flush()
{
    if (m_hFile == hFileNull)
        return;
    if (::fsync(m_hFile) != 0 && errno != EINVAL && errno != EROFS)
        ThrowErrno(errno);  // EINVAL/EROFS: a pipe or device that cannot sync
}

void CFile::Close()
{
    if (m_hFile == hFileNull)
        return;
    const int fd = m_hFile;
    m_hFile = hFileNull;
    if (RetryClose(fd) != 0 && errno != EINTR)
        ThrowErrno(errno);
}

void CFile::Abort()
{
    if (m_hFile != hFileNull) {
        RetryClose(m_hFile);
        m_hFile = hFileNull;
    }
}

CString CFile::GetFileName() const
{
    const int slash = m_strFileName.ReverseFind('/');
    return slash < 0 ? m_strFileName : m_strFileName.Mid(slash + 1);
}

void CFile::ThrowErrno(int err) const
{
    CFileException::ThrowOsError(err, m_strFileName);
}
