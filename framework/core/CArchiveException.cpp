#include "CArchiveException.h"

CArchiveException::CArchiveException(int cause, LPCSTR lpszArchiveName)
    : m_cause(cause), m_strFileName(lpszArchiveName)
{
}

const char* CArchiveException::what() const noexcept
{
    switch (m_cause) {
    case none: return "no archive error";
    case readOnly: return "archive: writing to an archive opened for loading";
    case endOfFile: return "archive: unexpected end of file";
    case writeOnly: return "archive: reading from an archive opened for storing";
    case badIndex: return "archive: bad index";
    case badClass: return "archive: bad class";
    case badSchema: return "archive: malformed data";
    default: return "archive error";
    }
}
