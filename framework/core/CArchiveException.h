#pragma once
// A failure of CArchive: mostly a file that does not hold what its format
// promises (endOfFile, badSchema).

#include "AfxTypes.h"
#include "CString.h"

#include <exception>

class CArchiveException : public std::exception {
public:
    enum {
        none,
        genericException,
        readOnly,   // writing to a loading archive
        endOfFile,  // the data ends before a count, a prefix or a string does
        writeOnly,  // reading from a storing archive
        badIndex,
        badClass,
        badSchema,  // malformed data, such as a second wide-string marker
    };

    explicit CArchiveException(int cause = none, LPCSTR lpszArchiveName = nullptr);

    const char* what() const noexcept override;

    int m_cause = none;
    CString m_strFileName;
};
