// Protection against DLL planting: the stub's first act restricts where DLLs are loaded from.
// Main thread, before anything else runs.
#pragma once

namespace stub
{

// Makes the system folder the only place DLLs are loaded from, and loads from there by full
// path the DLLs that themes, the shell and COM would otherwise pull in by plain name.
void RestrictDllSearchPath();

} // namespace stub
