#include "plcore/win32/FontOccManager.h"

#include "plcore/DialogTemplate.h"

#include <cstdlib>
#include <string>

namespace plcore
{
namespace
{

bool IsWindows6OrLater()
{
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof(info);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (!GetVersionExW(&info))
        return false;
#pragma GCC diagnostic pop
    return info.dwMajorVersion >= 6;
}

} // namespace

bool CFontOccManager::PreCreateDialog(const DLGTEMPLATE* pTemplate, DWORD cbTemplate,
                                      bool bAlreadySubstituted, std::vector<BYTE>& substitute)
{
    if (bAlreadySubstituted || pTemplate == nullptr || !IsWindows6OrLater())
        return false;

    // The structure size of the Vista layout (with iPaddedBorderWidth).
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = 504;
    static_assert(sizeof(NONCLIENTMETRICSW) >= 504);
    if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0))
        return false;

    HDC hdc = GetDC(nullptr);
    int pixelsPerInch = hdc != nullptr ? GetDeviceCaps(hdc, LOGPIXELSY) : 0;
    if (hdc != nullptr)
        ReleaseDC(nullptr, hdc);
    if (pixelsPerInch <= 0)
        return false;
    const int points = MulDiv(std::abs(metrics.lfMessageFont.lfHeight), 72, pixelsPerInch);

    std::u16string face;
    for (const WCHAR* p = metrics.lfMessageFont.lfFaceName; *p != 0; ++p)
        face.push_back(static_cast<char16_t>(*p));

    auto copy = ReplaceDialogFont(reinterpret_cast<const uint8_t*>(pTemplate), cbTemplate, face,
                                  static_cast<uint16_t>(points));
    if (!copy)
        return false;
    substitute.assign(copy->begin(), copy->end());
    return true;
}

} // namespace plcore
