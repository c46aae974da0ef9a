#include "CCommandLineInfo.h"

bool CCommandLineInfo::IsFlag(const CString& arg)
{
    if (arg.GetLength() < 2)
        return false;
    if (arg.GetAt(0) == '-')
        return true;
    return arg.GetAt(0) == '/' && arg.Find('/', 1) < 0 && arg.Find('.', 1) < 0;
}

void CCommandLineInfo::ParseParam(const char* pszParam, BOOL bFlag, BOOL)
{
    const CString param(pszParam);
    if (bFlag) {
        CString flag = param;
        flag.MakeLower();
        if (flag == "pt")
            m_nShellCommand = FilePrintTo;
        else if (flag == "p")
            m_nShellCommand = FilePrint;
        else if (flag == "dde")
            m_nShellCommand = FileDDE;
        else if (flag == "embedding")
            m_bRunEmbedded = TRUE;
        else if (flag == "automation")
            m_bRunAutomated = TRUE;
        return;
    }
    if (m_strFileName.IsEmpty()) {
        m_strFileName = param;
        if (m_nShellCommand == FileNew)
            m_nShellCommand = FileOpen;
    } else if (m_nShellCommand == FilePrintTo) {
        // The printer, driver and port that follow the file.
        if (m_strPrinterName.IsEmpty())
            m_strPrinterName = param;
        else if (m_strDriverName.IsEmpty())
            m_strDriverName = param;
        else if (m_strPortName.IsEmpty())
            m_strPortName = param;
    }
}
