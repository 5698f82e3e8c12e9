#include "stub/ui/CmdLineHelpDlg.h"

#include "stub/i18n/LocalizedString.h"

namespace stub
{

const CDialog::MessageMap* CCmdLineHelpDlg::GetMessageMap() const
{
    static const MessageMapEntry entries[] = {{0, nullptr}};
    static const MessageMap map = {CDialog::GetMessageMap(), entries};
    return &map;
}

BOOL CCmdLineHelpDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    SetDlgItemText(IDC_HELP_TEXT, LoadLocalizedString(IDS_COMMAND_LINE_HELP));
    SetDlgItemText(IDOK, LoadLocalizedString(IDS_OK));
    SetWindowText(LoadLocalizedString(IDS_TITLE));
    return TRUE;
}

} // namespace stub
