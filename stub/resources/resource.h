// Resource ids shared by the .rc files and the code.
#pragma once

#define IDI_APP 128
#define IDD_CMDLINE_HELP 130
#define IDC_HELP_TEXT 1003
