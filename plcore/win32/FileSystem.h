// The stub's small path and folder helpers over Win32 (paths use "\" as separator), and the
// system message text of a Win32 error code. Any thread.
#pragma once

#include <windows.h>

#include <string>

namespace plcore
{

// Appends "\" to a non-empty path that does not end with one; an empty path stays empty.
std::wstring AddTrailingBackslash(const std::wstring& path);
std::wstring JoinPath(const std::wstring& folder, const std::wstring& name);
bool DirectoryExists(const std::wstring& path);

// The shell's folder creation (shell32 ordinal 165): makes `path` and every missing parent.
// Returns 0 or a Win32 error code.
int CreateFolderPath(HWND owner, const std::wstring& path);

// The system's text for `code` without trailing white space, then " (code)"; only " (code)" when
// the system has no text.
std::wstring FormatSystemError(DWORD code);

// Closes a kernel handle when it goes out of scope.
class CHandle
{
public:
    CHandle() = default;
    explicit CHandle(HANDLE h) : m_h(h) {}
    CHandle(const CHandle&) = delete;
    CHandle& operator=(const CHandle&) = delete;
    ~CHandle() { Close(); }

    void Reset(HANDLE h)
    {
        Close();
        m_h = h;
    }
    void Close()
    {
        if (IsValid())
            ::CloseHandle(m_h);
        m_h = INVALID_HANDLE_VALUE;
    }
    bool IsValid() const { return m_h != INVALID_HANDLE_VALUE && m_h != nullptr; }
    HANDLE Get() const { return m_h; }

private:
    HANDLE m_h = INVALID_HANDLE_VALUE;
};

} // namespace plcore
