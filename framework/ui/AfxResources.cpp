#include "AfxResources.h"

#include "AfxRes.h"

namespace {

// The framework's standard English texts. Command strings hold the status
// prompt, a line break, and the tooltip.
const std::map<UINT, const char*>& StandardStrings()
{
    static const std::map<UINT, const char*> strings = {
        { AFX_IDS_IDLEMESSAGE, "Ready" },
        { AFX_IDS_ALLFILTER, "All Files (*.*)" },
        { AFX_IDS_UNTITLED, "Untitled" },
        { AFX_IDS_OPENFILE, "Open" },
        { AFX_IDS_SAVEFILE, "Save As" },
        { AFX_IDS_SAVEFILECOPY, "Save As" },
        { AFX_IDP_INVALID_FILENAME, "Invalid filename." },
        { AFX_IDP_FAILED_TO_OPEN_DOC, "Failed to open document." },
        { AFX_IDP_FAILED_TO_SAVE_DOC, "Failed to save document." },
        { AFX_IDP_ASK_TO_SAVE, "Save changes to %1?" },
        { AFX_IDP_FAILED_TO_CREATE_DOC, "Failed to create empty document." },
        { AFX_IDP_FILE_TOO_LARGE, "The file is too large to open." },
        { AFX_IDP_FAILED_TO_LAUNCH_HELP, "Failed to launch help." },
        { AFX_IDP_INTERNAL_FAILURE, "Internal application error." },
        { AFX_IDP_COMMAND_FAILURE, "Command failed." },
        { AFX_IDP_FAILED_MEMORY_ALLOC, "Insufficient memory to perform operation." },
        { AFX_IDP_PARSE_INT, "Please enter an integer." },
        { AFX_IDP_PARSE_REAL, "Please enter a number." },
        { AFX_IDP_PARSE_INT_RANGE, "Please enter an integer between %1 and %2." },
        { AFX_IDP_PARSE_REAL_RANGE, "Please enter a number between %1 and %2." },
        { AFX_IDP_PARSE_STRING_SIZE, "Please enter no more than %1 characters." },
        { AFX_IDP_PARSE_UINT, "Please enter a positive integer." },
        { AFX_IDP_FAILED_INVALID_FORMAT, "Unexpected file format." },
        { AFX_IDP_FAILED_INVALID_PATH, "%1\nCannot find this file.\nPlease verify that the correct path and file name are given." },
        { AFX_IDP_FAILED_DISK_FULL, "Destination disk drive is full." },
        { AFX_IDP_FAILED_ACCESS_READ, "Unable to read from %1, it is opened by someone else." },
        { AFX_IDP_FAILED_ACCESS_WRITE, "Unable to write to %1, it is read-only or opened by someone else." },
        { AFX_IDP_FAILED_IO_ERROR_READ, "An unexpected error occurred while reading %1." },
        { AFX_IDP_FAILED_IO_ERROR_WRITE, "An unexpected error occurred while writing %1." },
        { AFX_IDP_FILE_NOT_FOUND, "%1 was not found." },
        { AFX_IDP_FILE_ACCESS_DENIED, "Access to %1 was denied." },

        { ID_FILE_NEW, "Create a new document\nNew" },
        { ID_FILE_OPEN, "Open an existing document\nOpen" },
        { ID_FILE_CLOSE, "Close the active document\nClose" },
        { ID_FILE_SAVE, "Save the active document\nSave" },
        { ID_FILE_SAVE_AS, "Save the active document with a new name\nSave As" },
        { ID_FILE_PAGE_SETUP, "Change the printing options\nPage Setup" },
        { ID_FILE_PRINT_SETUP, "Change the printer and printing options\nPrint Setup" },
        { ID_FILE_PRINT, "Print the active document\nPrint" },
        { ID_FILE_PRINT_PREVIEW, "Display full pages\nPrint Preview" },
        { ID_FILE_MRU_FILE1, "Open this document" },
        { ID_FILE_MRU_FILE2, "Open this document" },
        { ID_FILE_MRU_FILE3, "Open this document" },
        { ID_FILE_MRU_FILE4, "Open this document" },
        { ID_APP_ABOUT, "Display program information, version number and copyright\nAbout" },
        { ID_APP_EXIT, "Quit the application; prompts to save documents\nExit" },
        { ID_NEXT_PANE, "Switch to the next window pane\nNext Pane" },
        { ID_PREV_PANE, "Switch back to the previous window pane\nPrevious Pane" },
        { ID_WINDOW_NEW, "Open another window for the active document\nNew Window" },
        { ID_WINDOW_ARRANGE, "Arrange icons at the bottom of the window\nArrange Icons" },
        { ID_WINDOW_CASCADE, "Arrange windows so they overlap\nCascade Windows" },
        { ID_WINDOW_TILE_HORZ, "Arrange windows as non-overlapping tiles\nTile Windows" },
        { ID_WINDOW_TILE_VERT, "Arrange windows as non-overlapping tiles\nTile Windows" },
        { ID_EDIT_CLEAR, "Erase the selection\nErase" },
        { ID_EDIT_CLEAR_ALL, "Erase everything\nErase All" },
        { ID_EDIT_COPY, "Copy the selection and put it on the Clipboard\nCopy" },
        { ID_EDIT_CUT, "Cut the selection and put it on the Clipboard\nCut" },
        { ID_EDIT_FIND, "Find the specified text\nFind" },
        { ID_EDIT_PASTE, "Insert Clipboard contents\nPaste" },
        { ID_EDIT_REPEAT, "Repeat the last action\nRepeat" },
        { ID_EDIT_REPLACE, "Replace specific text with different text\nReplace" },
        { ID_EDIT_SELECT_ALL, "Select the entire document\nSelect All" },
        { ID_EDIT_UNDO, "Undo the last action\nUndo" },
        { ID_EDIT_REDO, "Redo the previously undone action\nRedo" },
        { ID_VIEW_TOOLBAR, "Show or hide the toolbar\nToggle ToolBar" },
        { ID_VIEW_STATUS_BAR, "Show or hide the status bar\nToggle StatusBar" },
        { ID_INDICATOR_EXT, "EXT" },
        { ID_INDICATOR_CAPS, "CAP" },
        { ID_INDICATOR_NUM, "NUM" },
        { ID_INDICATOR_SCRL, "SCRL" },
        { ID_INDICATOR_OVR, "OVR" },
        { ID_INDICATOR_REC, "REC" },
    };
    return strings;
}

} // namespace

AfxResources& AfxResources::Get()
{
    static AfxResources resources;
    return resources;
}

void AfxResources::Clear()
{
    m_strings.clear();
    m_menus.clear();
    m_accels.clear();
    m_toolBars.clear();
    m_icons.clear();
    m_dialogs.clear();
}

void AfxResources::AddString(UINT nID, const CString& text)
{
    m_strings[nID] = text;
}

BOOL AfxResources::LoadString(UINT nID, CString& rString) const
{
    if (auto it = m_strings.find(nID); it != m_strings.end()) {
        rString = it->second;
        return TRUE;
    }
    if (auto it = StandardStrings().find(nID); it != StandardStrings().end()) {
        rString = it->second;
        return TRUE;
    }
    rString.Empty();
    return FALSE;
}

void AfxResources::AddMenu(UINT nID, AfxMenuResource menu)
{
    m_menus[nID] = std::move(menu);
}

const AfxMenuResource* AfxResources::FindMenu(UINT nID) const
{
    auto it = m_menus.find(nID);
    return it == m_menus.end() ? nullptr : &it->second;
}

void AfxResources::AddAccelerators(UINT nID, AfxAccelResource table)
{
    m_accels[nID] = std::move(table);
}

const AfxAccelResource* AfxResources::FindAccelerators(UINT nID) const
{
    auto it = m_accels.find(nID);
    return it == m_accels.end() ? nullptr : &it->second;
}

void AfxResources::AddToolBar(UINT nID, AfxToolBarResource toolBar)
{
    m_toolBars[nID] = std::move(toolBar);
}

const AfxToolBarResource* AfxResources::FindToolBar(UINT nID) const
{
    auto it = m_toolBars.find(nID);
    return it == m_toolBars.end() ? nullptr : &it->second;
}

void AfxResources::AddIcon(UINT nID, const QIcon& icon)
{
    m_icons[nID] = icon;
}

QIcon AfxResources::FindIcon(UINT nID) const
{
    auto it = m_icons.find(nID);
    return it == m_icons.end() ? QIcon() : it->second;
}

void AfxResources::AddDialog(UINT nID, AfxDialogTemplate dialog)
{
    m_dialogs[nID] = std::move(dialog);
}

const AfxDialogTemplate* AfxResources::FindDialog(UINT nID) const
{
    auto it = m_dialogs.find(nID);
    return it == m_dialogs.end() ? nullptr : &it->second;
}

BOOL AfxLoadString(UINT nID, CString& rString)
{
    return AfxResources::Get().LoadString(nID, rString);
}

CString AfxLoadString(UINT nID)
{
    CString s;
    AfxResources::Get().LoadString(nID, s);
    return s;
}
