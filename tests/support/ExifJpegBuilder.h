// Builds small JPEG images with an EXIF APP1 segment in memory for the EXIF tests: directories
// of raw entries in either byte order, out-of-line values packed behind each directory, the
// pointer tags and the thumbnail filled in. Header-only test support; any thread.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace pltest
{

using Bytes = std::vector<uint8_t>;

struct SRawEntry
{
    uint16_t wTag;
    uint16_t wType;
    uint32_t nCount;
    Bytes value; // in the TIFF's byte order; padded to 4 when it fits the field
};

class CExifJpegBuilder
{
public:
    explicit CExifJpegBuilder(bool bigEndian = false) : m_bBig(bigEndian) {}

    bool BigEndian() const { return m_bBig; }
    Bytes U16(std::initializer_list<uint16_t> v) const
    {
        Bytes b;
        for (uint16_t x : v)
            Put16(b, x);
        return b;
    }
    Bytes U32(std::initializer_list<uint32_t> v) const
    {
        Bytes b;
        for (uint32_t x : v)
            Put32(b, x);
        return b;
    }
    static Bytes Ascii(const std::string& s)
    {
        Bytes b(s.begin(), s.end());
        b.push_back(0);
        return b;
    }

    SRawEntry Short(uint16_t tag, uint16_t v) const { return {tag, 3, 1, U16({v})}; }
    SRawEntry Long(uint16_t tag, uint32_t v) const { return {tag, 4, 1, U32({v})}; }
    SRawEntry Text(uint16_t tag, const std::string& s) const
    {
        return {tag, 2, static_cast<uint32_t>(s.size() + 1), Ascii(s)};
    }
    SRawEntry Rational(uint16_t tag, uint32_t n, uint32_t d) const
    {
        return {tag, 5, 1, U32({n, d})};
    }

    std::vector<SRawEntry> ifd0, exif, gps, interop, ifd1;
    Bytes thumbnail;

    // The TIFF structure: header, IFD0, Exif, Interop, GPS, IFD1, thumbnail.
    Bytes Tiff() const
    {
        Bytes t = m_bBig ? Bytes{'M', 'M', 0, 42} : Bytes{'I', 'I', 42, 0};
        Put32(t, 8);
        std::vector<SRawEntry> d0 = ifd0, dx = exif, d1 = ifd1;
        if (!exif.empty() || !interop.empty())
            d0.push_back(Long(0x8769, 0));
        if (!gps.empty())
            d0.push_back(Long(0x8825, 0));
        if (!interop.empty())
            dx.push_back(Long(0xA005, 0));
        if (!thumbnail.empty())
        {
            d1.push_back(Long(0x0201, 0));
            d1.push_back(Long(0x0202, static_cast<uint32_t>(thumbnail.size())));
        }
        const size_t next0 = Dir(t, d0);
        if (!dx.empty())
        {
            Patch(t, Field(t, 0x8769), static_cast<uint32_t>(t.size()));
            Dir(t, dx);
        }
        if (!interop.empty())
        {
            Patch(t, Field(t, 0xA005), static_cast<uint32_t>(t.size()));
            Dir(t, interop);
        }
        if (!gps.empty())
        {
            Patch(t, Field(t, 0x8825), static_cast<uint32_t>(t.size()));
            Dir(t, gps);
        }
        if (!d1.empty())
        {
            Patch(t, next0, static_cast<uint32_t>(t.size()));
            Dir(t, d1);
            if (!thumbnail.empty())
            {
                Patch(t, Field(t, 0x0201), static_cast<uint32_t>(t.size()));
                t.insert(t.end(), thumbnail.begin(), thumbnail.end());
            }
        }
        return t;
    }

    static Bytes App1(const Bytes& tiff, const char* id = "Exif")
    {
        const size_t length = 2 + 6 + tiff.size();
        Bytes s(2 + length, 0);
        s[0] = 0xFF;
        s[1] = 0xE1;
        s[2] = static_cast<uint8_t>(length >> 8);
        s[3] = static_cast<uint8_t>(length);
        for (size_t i = 0; i < 4; ++i)
            s[4 + i] = static_cast<uint8_t>(id[i]);
        std::copy(tiff.begin(), tiff.end(), s.begin() + 10);
        return s;
    }

    // A JFIF APP0 segment of `size` bytes with its marker.
    static Bytes App0(size_t size = 18)
    {
        Bytes s(size, 0);
        s[0] = 0xFF;
        s[1] = 0xE0;
        s[2] = static_cast<uint8_t>((size - 2) >> 8);
        s[3] = static_cast<uint8_t>(size - 2);
        for (size_t i = 0; i < 4; ++i)
            s[4 + i] = static_cast<uint8_t>("JFIF"[i]);
        return s;
    }

    // SOI, the segments, a stand-in for the image data, EOI; at least 128 bytes long.
    static Bytes Jpeg(const std::vector<Bytes>& segments, const Bytes& lead = {})
    {
        Bytes j = lead;
        j.push_back(0xFF);
        j.push_back(0xD8);
        for (const Bytes& s : segments)
            j.insert(j.end(), s.begin(), s.end());
        const Bytes image = {0xFF, 0xDA, 0x00, 0x04, 0x11, 0x22, 0x33, 0x44, 0x55, 0xFF, 0xD9};
        j.insert(j.end(), image.begin(), image.end());
        while (j.size() < 160)
            j.push_back(0);
        return j;
    }

    Bytes Jpeg() const { return Jpeg({App1(Tiff())}); }

private:
    void Put16(Bytes& b, uint16_t v) const
    {
        if (m_bBig)
            b.insert(b.end(), {uint8_t(v >> 8), uint8_t(v)});
        else
            b.insert(b.end(), {uint8_t(v), uint8_t(v >> 8)});
    }
    void Put32(Bytes& b, uint32_t v) const
    {
        if (m_bBig)
            b.insert(b.end(), {uint8_t(v >> 24), uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v)});
        else
            b.insert(b.end(), {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)});
    }
    void Patch(Bytes& b, size_t pos, uint32_t v) const
    {
        Bytes n;
        Put32(n, v);
        std::copy(n.begin(), n.end(), b.begin() + static_cast<long>(pos));
    }
    // Position of the value field of the last entry written with this tag number.
    size_t Field(const Bytes&, uint16_t tag) const
    {
        for (size_t i = m_fields.size(); i-- > 0;)
            if (m_fields[i].first == tag)
                return m_fields[i].second;
        return 0;
    }
    // Writes a directory in the order given, its out-of-line values behind it; answers the
    // position of its next-directory field.
    size_t Dir(Bytes& t, const std::vector<SRawEntry>& entries) const
    {
        const size_t start = t.size();
        Put16(t, static_cast<uint16_t>(entries.size()));
        size_t data = start + 2 + 12 * entries.size() + 4;
        Bytes values;
        for (const SRawEntry& e : entries)
        {
            Put16(t, e.wTag);
            Put16(t, e.wType);
            Put32(t, e.nCount);
            m_fields.emplace_back(e.wTag, t.size());
            if (e.value.size() <= 4)
            {
                Bytes f = e.value;
                f.resize(4, 0);
                t.insert(t.end(), f.begin(), f.end());
            }
            else
            {
                Put32(t, static_cast<uint32_t>(data + values.size()));
                values.insert(values.end(), e.value.begin(), e.value.end());
            }
        }
        const size_t next = t.size();
        Put32(t, 0);
        t.insert(t.end(), values.begin(), values.end());
        return next;
    }

    bool m_bBig;
    mutable std::vector<std::pair<uint16_t, size_t>> m_fields;
};

} // namespace pltest
