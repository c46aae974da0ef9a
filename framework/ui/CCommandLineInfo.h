#pragma once
// The command line in its standard forms: nothing (a new document), a file
// name (open it), "/p" or "/pt" with a file (print it; "/pt" takes the
// printer, driver and port after the file), "/dde" (wait for the desktop
// to send a file). Flags start with "-", or with "/" when what follows
// cannot be a path (see IsFlag).

#include "CString.h"

class CCommandLineInfo {
public:
    enum Command {
        FileNew,
        FileOpen,
        FilePrint,
        FilePrintTo,
        FileDDE,
        FileNothing = -1,
    };

    CCommandLineInfo() = default;
    virtual ~CCommandLineInfo() = default;

    // One argument; bFlag when it was a flag (its "/" or "-" removed).
    virtual void ParseParam(const char* pszParam, BOOL bFlag, BOOL bLast);

    // Whether an argument is a flag: "-" and at least one more character,
    // or "/" followed by a word without "/" or "." ("/p", "/dde"). Paths
    // begin with "/" here too; "/x.quo" or "/home/a" are files.
    static bool IsFlag(const CString& arg);

    BOOL m_bShowSplash = TRUE;
    BOOL m_bRunEmbedded = FALSE;
    BOOL m_bRunAutomated = FALSE;
    Command m_nShellCommand = FileNew;
    CString m_strFileName;
    CString m_strPrinterName;
    CString m_strDriverName;
    CString m_strPortName;
};
