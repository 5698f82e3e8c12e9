// CFontOccManager: the control-container hook that gives every dialog the system message font on
// Windows 6 and later. Installed once at start-up; used on the user-interface thread.
#pragma once

#include "framework/OccManager.h"

namespace plcore
{

class CFontOccManager : public COccManager
{
public:
    bool PreCreateDialog(const DLGTEMPLATE* pTemplate, DWORD cbTemplate, bool bAlreadySubstituted,
                         std::vector<BYTE>& substitute) override;
};

} // namespace plcore
