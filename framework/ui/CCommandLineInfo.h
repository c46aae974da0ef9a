#pragma once
// The command line in its standard forms: nothing (a new document), a file
// name (open it), "/p" or "/pt" with a file (print it), "/dde" (wait for
// the desktop to send a file). Flags start with "/" or "-".

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

    // One argument; bFlag when it started with "/" or "-" (removed).
    virtual void ParseParam(const char* pszParam, BOOL bFlag, BOOL bLast);

    BOOL m_bShowSplash = TRUE;
    BOOL m_bRunEmbedded = FALSE;
    BOOL m_bRunAutomated = FALSE;
    Command m_nShellCommand = FileNew;
    CString m_strFileName;
    CString m_strPrinterName;
    CString m_strDriverName;
    CString m_strPortName;
};
