// pl-driver.exe REPORT_FILE STEP... -- PROGRAM [ARGS...]
//
// Starts PROGRAM and drives its dialogs the way a user would, one step after another:
//   --dialog         wait for the next dialog (class #32770) of the program and record its title
//                    and every control (id, class, text) in the report
//   --shot FILE.png  save a screenshot of the current dialog
//   --press ID       press the button with that control id in the current dialog
//   --close          close the current dialog with its system menu (WM_CLOSE)
//   --timeout MS     time allowed for each wait (default 20000)
// and finally waits for the program's end and records its full 32-bit exit code. The report is
// UTF-8, one record a line, fields separated by tabs; \n, \t and \\ in texts are escaped.
#include "CommandLine.h"
#include "PngWriter.h"

#include <windows.h>

#include <cstdio>
#include <set>
#include <string>

namespace
{

FILE* g_report = nullptr;

std::string Utf8(const std::wstring& text)
{
    int cb = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr,
                                 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(cb), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), out.data(), cb,
                        nullptr, nullptr);
    return out;
}

std::string Escape(const std::wstring& text)
{
    std::string out;
    for (char c : Utf8(text))
    {
        if (c == '\n')
            out += "\\n";
        else if (c == '\r')
            out += "\\r";
        else if (c == '\t')
            out += "\\t";
        else if (c == '\\')
            out += "\\\\";
        else
            out += c;
    }
    return out;
}

void Record(const std::string& line)
{
    fprintf(g_report, "%s\n", line.c_str());
    fflush(g_report);
}

std::wstring WindowText(HWND hWnd)
{
    int cch = GetWindowTextLengthW(hWnd);
    std::wstring text(static_cast<size_t>(cch) + 1, L'\0');
    cch = GetWindowTextW(hWnd, text.data(), cch + 1);
    text.resize(static_cast<size_t>(cch));
    return text;
}

std::wstring ClassName(HWND hWnd)
{
    wchar_t name[256];
    int cch = GetClassNameW(hWnd, name, 256);
    return std::wstring(name, cch > 0 ? cch : 0);
}

struct FindState
{
    DWORD pid;
    const std::set<HWND>* seen;
    HWND found;
};

BOOL CALLBACK FindDialog(HWND hWnd, LPARAM lParam)
{
    auto* state = reinterpret_cast<FindState*>(lParam);
    DWORD pid = 0;
    GetWindowThreadProcessId(hWnd, &pid);
    if (pid == state->pid && IsWindowVisible(hWnd) && ClassName(hWnd) == L"#32770" &&
        state->seen->count(hWnd) == 0)
    {
        state->found = hWnd;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK RecordControl(HWND hWnd, LPARAM)
{
    Record("control\t" + std::to_string(GetDlgCtrlID(hWnd)) + "\t" + Escape(ClassName(hWnd)) +
           "\t" + Escape(WindowText(hWnd)));
    return TRUE;
}

bool SaveScreenshot(HWND hWnd, const std::wstring& path)
{
    RECT rc;
    if (!GetWindowRect(hWnd, &rc))
        return false;
    const int width = rc.right - rc.left, height = rc.bottom - rc.top;
    if (width <= 0 || height <= 0)
        return false;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height; // top-down
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, rc.left, rc.top, SRCCOPY);
    GdiFlush();
    std::vector<uint8_t> rgb(static_cast<size_t>(width) * height * 3);
    const uint8_t* bgra = static_cast<const uint8_t*>(bits);
    for (size_t i = 0; i < static_cast<size_t>(width) * height; ++i)
    {
        rgb[i * 3] = bgra[i * 4 + 2];
        rgb[i * 3 + 1] = bgra[i * 4 + 1];
        rgb[i * 3 + 2] = bgra[i * 4];
    }
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return WritePng(path, static_cast<uint32_t>(width), static_cast<uint32_t>(height), rgb);
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    int separator = 0;
    for (int i = 2; i < argc; ++i)
        if (std::wstring(argv[i]) == L"--")
        {
            separator = i;
            break;
        }
    if (argc < 4 || separator == 0 || separator + 1 >= argc)
    {
        fwprintf(stderr, L"usage: pl-driver REPORT_FILE STEP... -- PROGRAM [ARGS...]\n");
        return 2;
    }
    g_report = _wfopen(argv[1], L"wb");
    if (g_report == nullptr)
        return 4;

    std::vector<std::wstring> args(argv + separator + 1, argv + argc);
    std::wstring line = BuildCommandLine(args);
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(args[0].c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &si, &pi))
    {
        Record("error\tcannot start program (" + std::to_string(GetLastError()) + ")");
        return 3;
    }

    DWORD timeout = 20000;
    HWND current = nullptr;
    std::set<HWND> seen;
    int status = 0;
    for (int i = 2; i < separator && status == 0; ++i)
    {
        std::wstring step = argv[i];
        const wchar_t* value = i + 1 < separator ? argv[i + 1] : nullptr;
        if (step == L"--timeout" && value != nullptr)
        {
            timeout = static_cast<DWORD>(_wtoi(value));
            ++i;
        }
        else if (step == L"--dialog")
        {
            FindState state{pi.dwProcessId, &seen, nullptr};
            for (DWORD waited = 0; state.found == nullptr && waited < timeout; waited += 50)
            {
                EnumWindows(FindDialog, reinterpret_cast<LPARAM>(&state));
                if (state.found == nullptr)
                {
                    if (WaitForSingleObject(pi.hProcess, 50) == WAIT_OBJECT_0)
                        break;
                }
            }
            if (state.found == nullptr)
            {
                Record("error\tno dialog appeared");
                status = 5;
                break;
            }
            current = state.found;
            seen.insert(current);
            Sleep(500); // let it paint
            Record("dialog\t" + Escape(WindowText(current)));
            EnumChildWindows(current, RecordControl, 0);
        }
        else if (step == L"--shot" && value != nullptr)
        {
            ++i;
            if (current == nullptr || !SaveScreenshot(current, value))
                Record("error\tscreenshot failed");
        }
        else if (step == L"--press" && value != nullptr)
        {
            ++i;
            HWND button = current != nullptr ? GetDlgItem(current, _wtoi(value)) : nullptr;
            if (button == nullptr)
            {
                Record("error\tno such button");
                status = 6;
                break;
            }
            PostMessageW(button, BM_CLICK, 0, 0);
        }
        else if (step == L"--close")
        {
            if (current != nullptr)
                PostMessageW(current, WM_CLOSE, 0, 0);
        }
        else
        {
            Record("error\tunknown step");
            status = 2;
        }
    }

    if (WaitForSingleObject(pi.hProcess, timeout) != WAIT_OBJECT_0)
    {
        Record("error\tprogram did not end");
        TerminateProcess(pi.hProcess, 0xDEAD);
        WaitForSingleObject(pi.hProcess, 5000);
        status = status != 0 ? status : 7;
    }
    DWORD code = 0;
    GetExitCodeProcess(pi.hProcess, &code);
    Record("exit\t" + std::to_string(code));
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    fclose(g_report);
    return status;
}
