#include "stub/payload/ReportZipError.h"

#include "plcore/win32/ZipErrorText.h"
#include "stub/app/App.h"
#include "stub/i18n/LocalizedString.h"

namespace stub
{

std::wstring ZipErrorMessage(const plcore::ZipException& e, const std::wstring& path)
{
    return plcore::FormatZipError(e, path, LoadLocalizedString);
}

void ReportZipError(const plcore::ZipException& e, const std::wstring& path, HWND dialog)
{
    const std::wstring text = ZipErrorMessage(e, path);
    if (!GetApp().m_bQuiet && dialog != nullptr)
        ::SetForegroundWindow(dialog);
    AfxMessageBox(text.c_str(), MB_ICONERROR | MB_OK);
}

} // namespace stub
