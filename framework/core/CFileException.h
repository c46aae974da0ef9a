#pragma once
// A file operation that failed, with the reason in a platform-neutral form
// (m_cause), the OS error (errno) and the file's name.

#include "AfxTypes.h"
#include "CString.h"

#include <exception>
#include <string>

class CFileException : public std::exception {
public:
    enum {
        none,
        genericException,
        fileNotFound,
        badPath,
        tooManyOpenFiles,
        accessDenied,
        invalidFile,
        removeCurrentDir,
        directoryFull,
        badSeek,
        hardIO,
        sharingViolation,
        lockViolation,
        diskFull,
        endOfFile,
    };

    CFileException() = default;
    explicit CFileException(int cause, LONG lOsError = -1, LPCSTR lpszFileName = nullptr);

    // The cause for an errno value. EISDIR counts as accessDenied, which is
    // what a user sees when a folder is opened as a document elsewhere.
    static int OsErrorToException(LONG lOsError);
    [[noreturn]] static void ThrowOsError(LONG lOsError, LPCSTR lpszFileName = nullptr);
    [[noreturn]] static void Throw(int cause, LONG lOsError = -1, LPCSTR lpszFileName = nullptr);

    const char* what() const noexcept override;

    int m_cause = none;
    LONG m_lOsError = -1;
    CString m_strFileName;

private:
    std::string m_what;
};
