#include "PlFile.h"

#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <string>

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace PlOSAL
{

#ifdef _WIN32

namespace
{
bool WriteAll(HANDLE h, const uint8_t* p, size_t n)
{
    while (n > 0)
    {
        DWORD chunk = n > 0x40000000 ? 0x40000000 : static_cast<DWORD>(n);
        DWORD done = 0;
        if (!WriteFile(h, p, chunk, &done, nullptr) || done != chunk)
            return false;
        p += done;
        n -= done;
    }
    return true;
}
} // namespace

CPlFile::~CPlFile()
{
    Close();
}

bool CPlFile::IsOpen() const
{
    return m_hFile != INVALID_HANDLE_VALUE;
}

void CPlFile::Close()
{
    if (m_hFile != INVALID_HANDLE_VALUE)
        CloseHandle(m_hFile);
    m_hFile = INVALID_HANDLE_VALUE;
    std::free(m_pszPath);
    m_pszPath = nullptr;
}

bool CPlFile::Open(const wchar_t* path, EMode mode)
{
    Close();
    if (!path || !*path)
        return false;
    const DWORD access = mode == eRead ? GENERIC_READ : GENERIC_READ | GENERIC_WRITE;
    const DWORD share = mode == eRead ? FILE_SHARE_READ : 0;
    m_hFile =
        CreateFileW(path, access, share, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (m_hFile == INVALID_HANDLE_VALUE)
        return false;
    m_pszPath = _wcsdup(path);
    if (!m_pszPath)
    {
        Close();
        return false;
    }
    return true;
}

bool CPlFile::Size(uint64_t& size) const
{
    LARGE_INTEGER li;
    if (!IsOpen() || !GetFileSizeEx(m_hFile, &li))
        return false;
    size = static_cast<uint64_t>(li.QuadPart);
    return true;
}

bool CPlFile::Read(void* buffer, size_t size)
{
    auto* p = static_cast<uint8_t*>(buffer);
    while (size > 0)
    {
        DWORD chunk = size > 0x40000000 ? 0x40000000 : static_cast<DWORD>(size);
        DWORD done = 0;
        if (!IsOpen() || !ReadFile(m_hFile, p, chunk, &done, nullptr) || done != chunk)
            return false;
        p += done;
        size -= done;
    }
    return true;
}

bool CPlFile::Replace(const SPlBytes* parts, size_t count)
{
    if (!IsOpen())
        return false;
    std::wstring path = m_pszPath;
    std::wstring dir = path;
    const size_t slash = dir.find_last_of(L"\\/");
    dir = slash == std::wstring::npos ? std::wstring(L".") : dir.substr(0, slash + 1);

    wchar_t temp[MAX_PATH + 1];
    if (!GetTempFileNameW(dir.c_str(), L"plx", 0, temp))
    {
        Close();
        return false;
    }
    HANDLE h = CreateFileW(temp, GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    bool ok = h != INVALID_HANDLE_VALUE;
    for (size_t i = 0; ok && i < count; ++i)
        ok = WriteAll(h, parts[i].pData, parts[i].nSize);
    if (h != INVALID_HANDLE_VALUE)
    {
        ok = FlushFileBuffers(h) && ok;
        ok = CloseHandle(h) && ok;
    }
    // The original is kept open (and so locked against other writers) until the new content
    // is complete.
    Close();
    if (ok)
        ok = MoveFileExW(temp, path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!ok)
        DeleteFileW(temp);
    return ok;
}

#else // POSIX

namespace
{

// Paths arrive as wide text (code points or UTF-16 code units) and go to the system as UTF-8.
std::string ToUtf8(const wchar_t* text)
{
    std::string out;
    for (; *text; ++text)
    {
        uint32_t c = static_cast<uint32_t>(*text);
        // Texts may hold UTF-16 code units, so a surrogate pair becomes one character.
        const uint32_t low = static_cast<uint32_t>(text[1]);
        if (c >= 0xD800 && c <= 0xDBFF && low >= 0xDC00 && low <= 0xDFFF)
        {
            c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
            ++text;
        }
        if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
            c = 0xFFFD;
        if (c < 0x80)
            out += static_cast<char>(c);
        else if (c < 0x800)
        {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
        else if (c < 0x10000)
        {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
        else
        {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

bool WriteAll(int fd, const uint8_t* p, size_t n)
{
    while (n > 0)
    {
        const ssize_t done = ::write(fd, p, n);
        if (done < 0 && errno == EINTR)
            continue;
        if (done <= 0)
            return false;
        p += done;
        n -= static_cast<size_t>(done);
    }
    return true;
}

} // namespace

CPlFile::~CPlFile()
{
    Close();
}

bool CPlFile::IsOpen() const
{
    return m_fd >= 0;
}

void CPlFile::Close()
{
    if (m_fd >= 0)
        ::close(m_fd); // also gives up the lock taken for writing
    m_fd = -1;
    std::free(m_pszPath);
    m_pszPath = nullptr;
}

bool CPlFile::Open(const wchar_t* path, EMode mode)
{
    Close();
    if (!path || !*path)
        return false;
    const std::string name = ToUtf8(path);
    // Without O_NONBLOCK a FIFO or device named like a photo would block the open; only
    // regular files are accepted, and on those the flag changes nothing.
    m_fd = ::open(name.c_str(), (mode == eRead ? O_RDONLY : O_RDWR) | O_CLOEXEC | O_NONBLOCK);
    if (m_fd < 0)
        return false;
    struct stat st;
    if (::fstat(m_fd, &st) != 0 || !S_ISREG(st.st_mode))
    {
        Close();
        return false;
    }
    if (mode == eReadWriteOnly)
    {
        // Another program that holds a lock on the file keeps us out, as a file opened
        // without sharing does on Windows.
        if (::flock(m_fd, LOCK_EX | LOCK_NB) != 0)
        {
            Close();
            return false;
        }
        m_pszPath = ::realpath(name.c_str(), nullptr);
        if (!m_pszPath)
        {
            Close();
            return false;
        }
    }
    return true;
}

bool CPlFile::Size(uint64_t& size) const
{
    struct stat st;
    if (m_fd < 0 || ::fstat(m_fd, &st) != 0)
        return false;
    size = static_cast<uint64_t>(st.st_size);
    return true;
}

bool CPlFile::Read(void* buffer, size_t size)
{
    auto* p = static_cast<uint8_t*>(buffer);
    while (size > 0)
    {
        const ssize_t done = m_fd < 0 ? -1 : ::read(m_fd, p, size);
        if (done < 0 && errno == EINTR)
            continue;
        if (done <= 0)
            return false;
        p += done;
        size -= static_cast<size_t>(done);
    }
    return true;
}

bool CPlFile::Replace(const SPlBytes* parts, size_t count)
{
    if (m_fd < 0 || !m_pszPath)
        return false;
    const std::string path = m_pszPath;
    const size_t slash = path.rfind('/');
    std::string temp = path.substr(0, slash + 1) + "." + path.substr(slash + 1) + ".XXXXXX";

    struct stat st;
    bool ok = ::fstat(m_fd, &st) == 0;
    const int fd = ok ? ::mkstemp(temp.data()) : -1;
    ok = fd >= 0;
    if (ok)
    {
        // Keep owner and permissions; a user who may not give the file away keeps it.
        (void)!::fchown(fd, st.st_uid, st.st_gid);
        ok = ::fchmod(fd, st.st_mode & 07777) == 0;
        for (size_t i = 0; ok && i < count; ++i)
            ok = WriteAll(fd, parts[i].pData, parts[i].nSize);
        ok = ok && ::fsync(fd) == 0;
        ok = ::close(fd) == 0 && ok;
        ok = ok && ::rename(temp.c_str(), path.c_str()) == 0;
        if (!ok)
            ::unlink(temp.c_str());
    }
    Close();
    return ok;
}

#endif

} // namespace PlOSAL
