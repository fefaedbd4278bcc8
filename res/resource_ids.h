// The program's resource and command identifiers, shared by every part of the window. The
// numbers are the program's own: menus, accelerators, the toolbar and the string table use them.
//
// Why the names look like a Windows application framework's: the C-prefixed classes (CVaskelApp,
// CMainFrame, CVaskelDoc, CVaskelView), InitInstance/ExitInstance, command id 57601 and the other
// framework ids below, the LVIS_* row state bits and the profile path under "Local
// AppWizard-Generated Applications" are the names the program's design gives. They stay because
// stored profiles and the tests rely on them; do not rename them to fit the toolkit.
#pragma once

namespace vaskel::res {

// Resources.
inline constexpr int IDR_MAINFRAME = 128;  // menu bar, accelerators, toolbar, icon, template
inline constexpr int IDD_ABOUTBOX = 100;
inline constexpr int IDD_PLEASE_WAIT = 136;
inline constexpr int IDD_TIP = 103;
inline constexpr int IDR_CONTEXT_MENU = 142;
inline constexpr int IDD_UNPACK = 134;

// Commands.
inline constexpr int ID_TIP_OF_THE_DAY = 104;
inline constexpr int ID_FILE_UNPACK = 32778;
inline constexpr int ID_EDIT_SELECT_ALL = 32781;
inline constexpr int ID_HELP_CONTENTS = 32788;
inline constexpr int ID_HELP_HOME_PAGE = 32789;
inline constexpr int ID_OPERATE_RUN = 32792;
inline constexpr int ID_OPERATE_UNPACK = 32796;
inline constexpr int ID_HELP_EMAIL = 32797;
inline constexpr int ID_EDIT_FIND = 32800;  // Ctrl+F: the find box
inline constexpr int ID_FILE_UNPACK_PROJECT = 32801;
inline constexpr int ID_FILE_OPEN = 57601;
inline constexpr int ID_FILE_MRU_FILE1 = 57616;
inline constexpr int ID_FILE_MRU_FILE4 = 57619;
inline constexpr int ID_APP_ABOUT = 57664;
inline constexpr int ID_APP_EXIT = 57665;
inline constexpr int ID_VIEW_TOOLBAR = 59392;
inline constexpr int ID_VIEW_STATUS_BAR = 59393;

// Status bar indicators.
inline constexpr int ID_INDICATOR_CAPS = 59137;
inline constexpr int ID_INDICATOR_NUM = 59138;
inline constexpr int ID_INDICATOR_SCRL = 59139;

// Controls.
inline constexpr int IDC_ABOUT_EMAIL = 1004;
inline constexpr int IDC_ABOUT_HOME_PAGE = 1005;
inline constexpr int IDC_ABOUT_TELEPHONE = 1017;
inline constexpr int IDC_TIP_AREA = 1000;  // the white area with the bulb and the heading
inline constexpr int IDC_TIP_SHOW_AT_STARTUP = 1001;
inline constexpr int IDC_TIP_NEXT = 1002;
inline constexpr int IDC_TIP_TEXT = 1004;
inline constexpr int IDC_UNPACK_FOLDER = 1000;
inline constexpr int IDC_UNPACK_BROWSE = 1001;
inline constexpr int IDC_UNPACK_SELECTED = 1002;
inline constexpr int IDC_UNPACK_ALL = 1003;
inline constexpr int IDC_UNPACK_USE_PATH = 1006;

// Strings without a command of their own.
inline constexpr int IDS_HELP_MENU = 109;
inline constexpr int IDS_TIP_MENU_ITEM = 105;
inline constexpr int IDS_APP_TITLE = 57344;
inline constexpr int IDS_IDLE_MESSAGE = 57345;
inline constexpr int IDS_NEW_DOCUMENT_TITLE = 61443;
inline constexpr int IDS_ALL_FILES_FILTER = 61442;
inline constexpr int IDS_UNREGISTER_DONE = 61707;
inline constexpr int IDS_TIP_HEADING = 106;
inline constexpr int IDS_TIPS_FILE_MISSING = 107;
inline constexpr int IDS_TIPS_FILE_TROUBLE = 108;

// wx takes window, menu and tool ids below 0x7FFF only; ids from 0x7FFF up are given to it with
// the top bit cleared (32778 becomes 10, 57601 becomes 24833), which meets none of the others.
constexpr int WxId(int id) { return id >= 0x7FFF ? id - 0x8000 : id; }

}  // namespace vaskel::res
