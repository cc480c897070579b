// Numbers of the resources in quellmar.rc and of the commands and controls
// of the two windows; shared by the resource script and the C++ code.
#pragma once

#define IDI_QUELLMAR 1
#define IDR_MAINMENU 100
#define IDR_ACCELERATORS 101
#define IDR_ABOUT_JPEG 102
#define IDD_ABOUT 103

// Commands: the menu items, the tool buttons and the keys send these.
#define IDM_OPEN 1001
#define IDM_CLOSE 1002
#define IDM_QUIT 1003
#define IDM_HTML_EXPORT 1004
#define IDM_HTML_VIEW 1005
#define IDM_ABOUT 1006

// Controls of the main window.
#define IDC_TOOLBAR 2001
#define IDC_STATUSBAR 2002
#define IDC_PROGRESSBAR 2003
#define IDC_HISTORY 2004
#define IDC_DIVES 2005
#define IDC_DIVES_LABEL 2006
#define IDC_OPTIONS 2007
#define IDC_GIF 2008
#define IDC_NOTE 2009
#define IDC_INFORMATION 2010
#define IDC_MEMO 2011
#define IDC_PX 2012
#define IDC_PX_LABEL 2013

// Controls of the about dialog.
#define IDC_PANEL 3001
#define IDC_PICTURE 3002
#define IDC_PRODUCT_NAME 3003
#define IDC_VERSION 3004
#define IDC_CREDIT 3005
#define IDC_COMMENTS 3006
#define IDC_EMAIL 3007
#define IDC_WEB 3008
