// pl-run.exe RESULT_FILE PROGRAM [ARGS...]: runs PROGRAM, waits for it and writes its full 32-bit
// exit code in decimal to RESULT_FILE. A Linux shell sees only the low 8 bits of a Windows exit
// code, so the end-to-end tests read it here, on the Windows side.
#include "CommandLine.h"

#include <windows.h>

#include <cstdio>

int wmain(int argc, wchar_t** argv)
{
    if (argc < 3)
    {
        fwprintf(stderr, L"usage: pl-run RESULT_FILE PROGRAM [ARGS...]\n");
        return 2;
    }
    std::vector<std::wstring> args(argv + 2, argv + argc);
    std::wstring line = BuildCommandLine(args);
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(argv[2], line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                        &pi))
    {
        fwprintf(stderr, L"pl-run: cannot start %ls (error %lu)\n", argv[2], GetLastError());
        return 3;
    }
    WaitForSingleObject(pi.hProcess, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);

    FILE* f = _wfopen(argv[1], L"w");
    if (f == nullptr)
        return 4;
    fprintf(f, "%lu\n", static_cast<unsigned long>(code));
    fclose(f);
    return 0;
}
