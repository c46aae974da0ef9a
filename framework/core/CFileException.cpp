#include "CFileException.h"

#include <cerrno>
#include <cstring>

namespace {

const char* CauseName(int cause)
{
    switch (cause) {
    case CFileException::none: return "no error";
    case CFileException::fileNotFound: return "file not found";
    case CFileException::badPath: return "bad path";
    case CFileException::tooManyOpenFiles: return "too many open files";
    case CFileException::accessDenied: return "access denied";
    case CFileException::invalidFile: return "invalid file";
    case CFileException::removeCurrentDir: return "cannot remove the current directory";
    case CFileException::directoryFull: return "directory full";
    case CFileException::badSeek: return "bad seek";
    case CFileException::hardIO: return "hardware I/O error";
    case CFileException::sharingViolation: return "sharing violation";
    case CFileException::lockViolation: return "lock violation";
    case CFileException::diskFull: return "disk full";
    case CFileException::endOfFile: return "end of file";
    default: return "file error";
    }
}

} // namespace

CFileException::CFileException(int cause, LONG lOsError, LPCSTR lpszFileName)
    : m_cause(cause), m_lOsError(lOsError), m_strFileName(lpszFileName)
{
    m_what = CauseName(cause);
    if (!m_strFileName.IsEmpty())
        m_what += std::string(": ") + m_strFileName.str();
    if (lOsError > 0)
        m_what += std::string(" (") + std::strerror(lOsError) + ")";
}

int CFileException::OsErrorToException(LONG lOsError)
{
    switch (lOsError) {
    case 0: return none;
    case ENOENT: case ENXIO: case ENODEV: return fileNotFound;
    case ENOTDIR: case ENAMETOOLONG: case ELOOP: case EINVAL: return badPath;
    case EMFILE: case ENFILE: return tooManyOpenFiles;
    case EACCES: case EPERM: case EROFS: case EISDIR: case ETXTBSY: return accessDenied;
    case EBADF: return invalidFile;
    case EBUSY: return sharingViolation;
    case EWOULDBLOCK: return sharingViolation;  // a lock held by someone else
    case ENOLCK: case EDEADLK: return lockViolation;
    case ENOSPC: case EDQUOT: case EFBIG: return diskFull;
    case ESPIPE: case EOVERFLOW: return badSeek;
    case EIO: return hardIO;
    default: return genericException;
    }
}

void CFileException::ThrowOsError(LONG lOsError, LPCSTR lpszFileName)
{
    throw CFileException(OsErrorToException(lOsError), lOsError, lpszFileName);
}

void CFileException::Throw(int cause, LONG lOsError, LPCSTR lpszFileName)
{
    throw CFileException(cause, lOsError, lpszFileName);
}

const char* CFileException::what() const noexcept
{
    return m_what.empty() ? "file error" : m_what.c_str();
}
