#pragma once
// The framework's standard command ids, control-bar ids and string ids,
// with their customary values, for menus, toolbars and accelerator tables
// of the program's resources.

#include "AfxTypes.h"

// Dialog buttons (also IDOK/IDCANCEL results, see AfxWin.h).
#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

// File commands.
constexpr UINT ID_FILE_NEW = 0xE100;       // 57600
constexpr UINT ID_FILE_OPEN = 0xE101;      // 57601
constexpr UINT ID_FILE_CLOSE = 0xE102;     // 57602
constexpr UINT ID_FILE_SAVE = 0xE103;      // 57603
constexpr UINT ID_FILE_SAVE_AS = 0xE104;   // 57604
constexpr UINT ID_FILE_PAGE_SETUP = 0xE105;
constexpr UINT ID_FILE_PRINT_SETUP = 0xE106;
constexpr UINT ID_FILE_PRINT = 0xE107;
constexpr UINT ID_FILE_PRINT_DIRECT = 0xE108;
constexpr UINT ID_FILE_PRINT_PREVIEW = 0xE109;
constexpr UINT ID_FILE_MRU_FIRST = 0xE110;
constexpr UINT ID_FILE_MRU_FILE1 = 0xE110; // 57616
constexpr UINT ID_FILE_MRU_FILE2 = 0xE111;
constexpr UINT ID_FILE_MRU_FILE3 = 0xE112;
constexpr UINT ID_FILE_MRU_FILE4 = 0xE113;
constexpr UINT ID_FILE_MRU_LAST = 0xE11F;

// Edit commands.
constexpr UINT ID_EDIT_CLEAR = 0xE120;
constexpr UINT ID_EDIT_CLEAR_ALL = 0xE121;
constexpr UINT ID_EDIT_COPY = 0xE122;      // 57634
constexpr UINT ID_EDIT_CUT = 0xE123;       // 57635
constexpr UINT ID_EDIT_FIND = 0xE124;
constexpr UINT ID_EDIT_PASTE = 0xE125;     // 57637
constexpr UINT ID_EDIT_REPEAT = 0xE128;
constexpr UINT ID_EDIT_REPLACE = 0xE129;
constexpr UINT ID_EDIT_SELECT_ALL = 0xE12A;
constexpr UINT ID_EDIT_UNDO = 0xE12B;      // 57643
constexpr UINT ID_EDIT_REDO = 0xE12C;

// Window commands.
constexpr UINT ID_WINDOW_NEW = 0xE130;       // 57648
constexpr UINT ID_WINDOW_ARRANGE = 0xE131;   // 57649
constexpr UINT ID_WINDOW_CASCADE = 0xE132;   // 57650
constexpr UINT ID_WINDOW_TILE_HORZ = 0xE133; // 57651
constexpr UINT ID_WINDOW_TILE_VERT = 0xE134;
constexpr UINT ID_WINDOW_SPLIT = 0xE135;

// Application commands.
constexpr UINT ID_APP_ABOUT = 0xE140;      // 57664
constexpr UINT ID_APP_EXIT = 0xE141;       // 57665
constexpr UINT ID_HELP_INDEX = 0xE142;
constexpr UINT ID_HELP_FINDER = 0xE143;
constexpr UINT ID_HELP_USING = 0xE144;
constexpr UINT ID_CONTEXT_HELP = 0xE145;
constexpr UINT ID_HELP = 0xE146;
constexpr UINT ID_DEFAULT_HELP = 0xE147;

// Panes.
constexpr UINT ID_NEXT_PANE = 0xE150;      // 57680
constexpr UINT ID_PREV_PANE = 0xE151;      // 57681

// View commands.
constexpr UINT ID_VIEW_TOOLBAR = 0xE800;    // 59392
constexpr UINT ID_VIEW_STATUS_BAR = 0xE801; // 59393

// Status bar: the message pane and the keyboard indicators.
constexpr UINT ID_SEPARATOR = 0;
constexpr UINT ID_INDICATOR_EXT = 0xE700;
constexpr UINT ID_INDICATOR_CAPS = 0xE701;
constexpr UINT ID_INDICATOR_NUM = 0xE702;
constexpr UINT ID_INDICATOR_SCRL = 0xE703;
constexpr UINT ID_INDICATOR_OVR = 0xE704;
constexpr UINT ID_INDICATOR_REC = 0xE705;

// Control-bar window ids.
constexpr UINT AFX_IDW_TOOLBAR = 0xE800;
constexpr UINT AFX_IDW_STATUS_BAR = 0xE801;
constexpr UINT AFX_IDW_PANE_FIRST = 0xE900;

// Strings the program supplies.
constexpr UINT AFX_IDS_APP_TITLE = 0xE000;    // 57344: application name, message-box caption
constexpr UINT AFX_IDS_IDLEMESSAGE = 0xE001;  // 57345: "Ready"

// The framework's own strings (the registry knows their English texts;
// a program may register its own under the same ids).
constexpr UINT AFX_IDS_ALLFILTER = 0xF000;           // "All Files (*.*)"
constexpr UINT AFX_IDS_UNTITLED = 0xF001;            // "Untitled"
constexpr UINT AFX_IDS_OPENFILE = 0xF002;            // "Open"
constexpr UINT AFX_IDS_SAVEFILE = 0xF003;            // "Save As"
constexpr UINT AFX_IDS_SAVEFILECOPY = 0xF004;        // "Save As"
constexpr UINT AFX_IDP_INVALID_FILENAME = 0xF100;    // "Invalid filename."
constexpr UINT AFX_IDP_FAILED_TO_OPEN_DOC = 0xF101;  // "Failed to open document."
constexpr UINT AFX_IDP_FAILED_TO_SAVE_DOC = 0xF102;  // "Failed to save document."
constexpr UINT AFX_IDP_ASK_TO_SAVE = 0xF103;         // "Save changes to %1?"
constexpr UINT AFX_IDP_FAILED_TO_CREATE_DOC = 0xF104;// "Failed to create empty document."
constexpr UINT AFX_IDP_FILE_TOO_LARGE = 0xF105;      // "The file is too large to open."
constexpr UINT AFX_IDP_FAILED_TO_LAUNCH_HELP = 0xF106; // "Failed to launch help."
constexpr UINT AFX_IDP_INTERNAL_FAILURE = 0xF107;    // "Internal application error."
constexpr UINT AFX_IDP_COMMAND_FAILURE = 0xF108;     // "Command failed."
constexpr UINT AFX_IDP_FAILED_MEMORY_ALLOC = 0xF109; // "Insufficient memory to perform operation."
constexpr UINT AFX_IDP_PARSE_INT = 0xF110;           // "Please enter an integer."
constexpr UINT AFX_IDP_PARSE_REAL = 0xF111;          // "Please enter a number."
constexpr UINT AFX_IDP_PARSE_INT_RANGE = 0xF112;     // "Please enter an integer between %1 and %2."
constexpr UINT AFX_IDP_PARSE_REAL_RANGE = 0xF113;    // "Please enter a number between %1 and %2."
constexpr UINT AFX_IDP_PARSE_STRING_SIZE = 0xF114;   // "Please enter no more than %1 characters."
constexpr UINT AFX_IDP_PARSE_UINT = 0xF116;          // "Please enter a positive integer."
constexpr UINT AFX_IDP_FAILED_INVALID_FORMAT = 0xF120; // "Unexpected file format."
constexpr UINT AFX_IDP_FAILED_INVALID_PATH = 0xF121; // "%1\nCannot find this file.\n..."
constexpr UINT AFX_IDP_FAILED_DISK_FULL = 0xF122;    // "Destination disk drive is full."
constexpr UINT AFX_IDP_FAILED_ACCESS_READ = 0xF123;  // "Unable to read from %1, it is opened by someone else."
constexpr UINT AFX_IDP_FAILED_ACCESS_WRITE = 0xF124; // "Unable to write to %1, it is read-only or opened by someone else."
constexpr UINT AFX_IDP_FAILED_IO_ERROR_READ = 0xF125;  // "An unexpected error occurred while reading %1."
constexpr UINT AFX_IDP_FAILED_IO_ERROR_WRITE = 0xF126; // "An unexpected error occurred while writing %1."
constexpr UINT AFX_IDP_FILE_NOT_FOUND = 0xF130;      // "%1 was not found."
constexpr UINT AFX_IDP_FILE_ACCESS_DENIED = 0xF131;  // "Access to %1 was denied."
