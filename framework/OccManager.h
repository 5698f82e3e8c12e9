// COccManager: the control-container hook. The framework asks it for the template to create each
// dialog from, so a derived manager can substitute one (for example with another font).
// Main thread only.
#pragma once

#include <windows.h>

#include <vector>

class COccManager
{
public:
    virtual ~COccManager() = default;

    // Called before a dialog is created from `pTemplate` (`cbTemplate` bytes). A manager that wants
    // another template fills `substitute` and returns true; the framework then creates the dialog
    // from `substitute`. `bAlreadySubstituted` is true when the framework replaced the template
    // already.
    virtual bool PreCreateDialog(const DLGTEMPLATE* pTemplate, DWORD cbTemplate,
                                 bool bAlreadySubstituted, std::vector<BYTE>& substitute);
};
