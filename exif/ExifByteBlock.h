// ExifByteBlock.h - an owned block of bytes (pointer and size) whose allocation reports failure
// instead of throwing. Belongs to one object, used by one thread at a time.
#pragma once

#include <cstdint>
#include <cstring>
#include <memory>
#include <new>

namespace PlExif
{

class CByteBlock
{
public:
    CByteBlock() = default;
    CByteBlock(CByteBlock&&) = default;
    CByteBlock& operator=(CByteBlock&&) = default;

    // Replaces the block by size new bytes (zeroed); false, block unchanged, on failure.
    bool Allocate(size_t size)
    {
        std::unique_ptr<uint8_t[]> data(new (std::nothrow) uint8_t[size == 0 ? 1 : size]());
        if (!data)
            return false;
        m_pData = std::move(data);
        m_nSize = size;
        return true;
    }
    // Replaces the block by size new bytes the caller fills completely before reading any; false,
    // block unchanged, on failure.
    bool AllocateForOverwrite(size_t size)
    {
        std::unique_ptr<uint8_t[]> data(new (std::nothrow) uint8_t[size == 0 ? 1 : size]);
        if (!data)
            return false;
        m_pData = std::move(data);
        m_nSize = size;
        return true;
    }
    // Replaces the block by a copy of size bytes; false, block unchanged, on failure.
    bool Assign(const uint8_t* bytes, size_t size)
    {
        CByteBlock copy;
        if (!copy.Allocate(size))
            return false;
        if (size != 0)
            std::memcpy(copy.m_pData.get(), bytes, size);
        *this = std::move(copy);
        return true;
    }
    void Free()
    {
        m_pData.reset();
        m_nSize = 0;
    }

    uint8_t* Data() const { return m_pData.get(); }
    size_t Size() const { return m_nSize; }
    bool Empty() const { return m_pData == nullptr; }
    // Whether [p, p + size) lies inside the block.
    bool Contains(const uint8_t* p, size_t size) const
    {
        if (m_pData == nullptr || p == nullptr)
            return false;
        const auto begin = reinterpret_cast<uintptr_t>(m_pData.get());
        const auto at = reinterpret_cast<uintptr_t>(p);
        return at >= begin && at - begin <= m_nSize && size <= m_nSize - (at - begin);
    }

private:
    std::unique_ptr<uint8_t[]> m_pData;
    size_t m_nSize = 0;
};

} // namespace PlExif
