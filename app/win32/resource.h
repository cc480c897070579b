// Numbers of the resources in quellmar.rc and of the commands and controls
// of the two windows; shared by the resource script and the C++ code.
#pragma once

#define IDI_QUELLMAR 1
#define IDR_MAIN_MENU 100
#define IDR_ACCELERATORS 101
#define IDR_ABOUT_JPEG 102
#define IDD_ABOUT_DIALOG 103

// Commands: the menu items, the tool buttons and the keys send these.
#define IDM_OPEN_CSV 1001
#define IDM_CLOSE_CSV 1002
#define IDM_QUIT 1003
#define IDM_EXPORT_HTML 1004
#define IDM_VIEW_HTML 1005
#define IDM_ABOUT 1006
#define IDM_EXPORT_UDDF 1007

// Controls of the main window.
#define IDC_TOOL_BAR 2001
#define IDC_STATUS_BAR 2002
#define IDC_PROGRESS_BAR 2003
#define IDC_HISTORY_BOX 2004
#define IDC_DIVE_LIST 2005
#define IDC_DIVE_LIST_LABEL 2006
#define IDC_OPTIONS_GROUP 2007
#define IDC_GIF_BOX 2008
#define IDC_NOTE_BOX 2009
#define IDC_INFO_GROUP 2010
#define IDC_INFO_MEMO 2011
#define IDC_PIXELS_EDIT 2012
#define IDC_PIXELS_LABEL 2013

// Controls of the about dialog.
#define IDC_FRAME_PANEL 3001
#define IDC_PICTURE 3002
#define IDC_TITLE_LABEL 3003
#define IDC_VERSION_LABEL 3004
#define IDC_CREDIT_LABEL 3005
#define IDC_COMMENT_LABEL 3006
#define IDC_EMAIL_LINK 3007
#define IDC_WEB_LINK 3008
