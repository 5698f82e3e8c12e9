#include "framework/OccManager.h"

bool COccManager::PreCreateDialog(const DLGTEMPLATE*, DWORD, bool, std::vector<BYTE>&)
{
    return false;
}
