// Start-up step that reads the stub's own defaults from its file: where the setup information
// lies in the payload, and the stub's culture. Main thread, before the command line is read.
#pragma once

class CApp;

namespace stub
{

void ReadStubDefaults(CApp& app);

} // namespace stub
