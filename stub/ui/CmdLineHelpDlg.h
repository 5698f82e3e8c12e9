// CCmdLineHelpDlg: the usage help of the stub's command line (template 130), in the current
// installation language. Run modally on the main thread.
#pragma once

#include "framework/Dialog.h"

namespace stub
{

enum : UINT
{
    IDD_CMDLINE_HELP = 130,
    IDC_HELP_TEXT = 1003,
};

class CCmdLineHelpDlg : public CDialog
{
public:
    CCmdLineHelpDlg() : CDialog(IDD_CMDLINE_HELP) {}
    ~CCmdLineHelpDlg() override = default;

    BOOL OnInitDialog() override;

protected:
    const MessageMap* GetMessageMap() const override;
};

} // namespace stub
