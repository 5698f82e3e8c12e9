// File access of the library's OS layer: an open file handle with exact reads, and the safe
// rewrite that puts new content into a temporary file beside the original and then replaces
// it. One object per thread; the handle is closed by the destructor on every path.
#pragma once

#include <cstddef>
#include <cstdint>

namespace PlOSAL
{

// A run of bytes handed to CPlFile::Replace.
struct SPlBytes
{
    const uint8_t* pData;
    size_t nSize;
};

class CPlFile
{
public:
    enum EMode
    {
        eRead,         // read access, other readers allowed, existing files only
        eReadWriteOnly // read and write access, nobody else may hold the file, existing only
    };

    CPlFile() = default;
    ~CPlFile();
    CPlFile(const CPlFile&) = delete;
    CPlFile& operator=(const CPlFile&) = delete;

    bool Open(const wchar_t* path, EMode mode);
    bool IsOpen() const;
    void Close();

    // Length of the open file; false when it cannot be told.
    bool Size(uint64_t& size) const;
    // Reads exactly `size` bytes at the current position; a short read is a failure.
    bool Read(void* buffer, size_t size);

    // Replaces the whole content of the file opened with eReadWriteOnly by the parts given,
    // in order: they are written to a new file in the same folder, which then takes the
    // original's place. On failure the original is untouched and the new file is removed.
    // The handle is closed afterwards in either case.
    bool Replace(const SPlBytes* parts, size_t count);

private:
#ifdef _WIN32
    void* m_hFile = reinterpret_cast<void*>(-1);
    wchar_t* m_pszPath = nullptr;
#else
    int m_fd = -1;
    char* m_pszPath = nullptr; // the real path of the file, for the replacement beside it
#endif
};

} // namespace PlOSAL
