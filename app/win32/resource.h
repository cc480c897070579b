// Numbers of the resources in quellmar.rc and of the main window's bars;
// shared by the resource script and the C++ code. The commands and the
// controls are numbered by CommandId and ControlId (controls.h).
#pragma once

#define IDI_QUELLMAR 1
#define IDR_ABOUT_JPEG 102
#define IDD_ABOUT_DIALOG 103

// The bars of the main window.
#define IDC_TOOL_BAR 2001
#define IDC_STATUS_BAR 2002
#define IDC_PROGRESS_BAR 2003
