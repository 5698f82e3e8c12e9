// Lays out an EXIF APP1 segment byte for byte: header, directories with their out-of-line
// values packed behind them without padding, the directory pointers and the thumbnail offset
// filled in afterwards, the thumbnail last. One builder per segment and thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace PlExif
{

class CApp1Builder
{
public:
    // Largest segment whose length field (total size minus the marker) fits 16 bits.
    static constexpr size_t kMaxTotalSize = 65537;

    // Value fields filled in once the place they point to is known.
    enum EFixup
    {
        eFixNone,
        eFixExif,    // 0x8769 in IFD0
        eFixGps,     // 0x8825 in IFD0
        eFixInterop, // 0xA005 in the Exif IFD
        eFixThumb,   // 0x0201 in IFD1
        eFixCount
    };

    // One entry as it is written; the value bytes are already in the segment's byte order.
    struct SEntry
    {
        uint16_t wTag = 0;
        uint16_t wType = 0;
        uint32_t nCount = 0;
        const uint8_t* pValue = nullptr; // null for a tag without a value
        uint32_t nValueSize = 0;         // count times the element size of the type
        uint32_t nFieldBytes = 0;        // bytes of pValue copied into an inline value field (<= 4)
        EFixup eFixup = eFixNone;
    };

    explicit CApp1Builder(bool bigEndian);

    // Marker, length placeholder, identifier and the TIFF header pointing at offset 8.
    void Begin();
    // Writes a directory at the current offset, entries in the order given (ascending tag
    // number), and answers the segment position of its next-directory field.
    size_t WriteDirectory(const SEntry* entries, size_t count);
    // True while the value field of a fixup is remembered and not yet filled.
    bool Pending(EFixup fixup) const { return m_fixups[fixup] != 0; }
    // Fills a remembered fixup with `offset` and forgets it.
    void Fill(EFixup fixup, uint32_t offset);
    // Writes a TIFF offset into a field at a segment position (a next-directory field).
    void Patch(size_t position, uint32_t offset);
    void Append(const uint8_t* data, size_t size);
    // Current TIFF offset: where the next directory or block goes.
    uint32_t TiffOffset() const;
    // Writes the length field. False when the segment does not fit its 16-bit length; nothing
    // beyond the limit is ever stored.
    bool Finish();

    const std::vector<uint8_t>& Segment() const { return m_out; }

private:
    bool Room(size_t size);
    uint8_t* Grow(size_t size);

    bool m_bBigEndian;
    bool m_bOverflow = false;
    std::vector<uint8_t> m_out;
    size_t m_fixups[eFixCount] = {};
};

} // namespace PlExif
