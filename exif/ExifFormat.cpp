// ExifFormat.cpp - turning tag values into display text.

#include "ExifFormat.h"

#include "ExifContext.h"
#include "ExifTagDef.h"
#include "ExifText.h"
#include "osal/PlPlatform.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <string>

namespace PlExif
{

namespace
{

constexpr size_t kDateRoom = 30;
constexpr size_t kTimeRoom = 9;
constexpr size_t kFixedDateRoom = 255;
constexpr size_t kFixedJoinRoom = 255;

// Text ids of the formatters.
constexpr uint32_t kTextDatePattern = 101;
constexpr uint32_t kTextTimePattern = 102;
constexpr uint32_t kTextFocalPattern = 123;
constexpr uint32_t kTextFocal35Pattern = 124;
constexpr uint32_t kTextFractionSecondsPattern = 126;
constexpr uint32_t kTextSecondsPattern = 127;
constexpr uint32_t kTextFNumberPattern = 128;
constexpr uint32_t kTextUnknown = 194;
constexpr uint32_t kTextCommentNotReadable = 248;

const char16_t kFixedDatePattern[] = u"dddd','d'.'MMMM yyyy','";
const char16_t kFixedTimePattern[] = u"HH':'mm':'ss";

PlWString Printf(const char* pattern, ...) __attribute__((format(printf, 1, 2)));
PlWString Printf(const char* pattern, ...)
{
    char buffer[128];
    va_list args;
    va_start(args, pattern);
    const int n = std::vsnprintf(buffer, sizeof buffer, pattern, args);
    va_end(args);
    if (n < 0)
        return {};
    return PlOSAL::FromAscii(buffer);
}

// A whole number in decimal, as "%i" and "%u" print it, without going through the C library's
// formatter (the most common value text).
PlWString Decimal(int64_t value)
{
    char16_t digits[24];
    char16_t* end = digits + std::size(digits);
    char16_t* p = end;
    uint64_t magnitude =
        value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
    do
    {
        *--p = static_cast<char16_t>(u'0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (value < 0)
        *--p = u'-';
    return PlWString(p, end);
}

// The integer part of v as an int; false for a value that has none (infinite, NaN, too large).
bool IntegerPart(double v, int& out)
{
    if (!std::isfinite(v) || v >= 2147483648.0 || v <= -2147483649.0)
        return false;
    out = static_cast<int>(v);
    return true;
}

// The value bytes of an ASCII tag up to the first NUL, as a wide text.
PlWString AsciiValue(const CExifTag& tag)
{
    const size_t size = static_cast<size_t>(tag.GetValueSize());
    const void* nul = std::memchr(tag.m_pValue, 0, size);
    const size_t length = nul ? static_cast<const uint8_t*>(nul) - tag.m_pValue : size;
    return PlOSAL::FromAnsi(tag.m_pValue, length);
}

bool HasValue(const CExifTag& tag)
{
    return tag.m_pValue != nullptr && tag.m_nCount != 0;
}

// The conversion of a pattern: [flags][width][.precision][length]conversion.
struct SConversion
{
    size_t begin = 0;
    size_t end = 0;
    char16_t kind = 0;
};

bool FindSingleConversion(const PlWString& pattern, SConversion& conv)
{
    int found = 0;
    for (size_t i = 0; i < pattern.size(); ++i)
    {
        if (pattern[i] != u'%')
            continue;
        if (i + 1 < pattern.size() && pattern[i + 1] == u'%')
        {
            ++i;
            continue;
        }
        size_t j = i + 1;
        while (j < pattern.size() &&
               std::u16string_view(u"-+ #0").find(pattern[j]) != std::u16string_view::npos)
            ++j;
        while (j < pattern.size() && pattern[j] >= u'0' && pattern[j] <= u'9')
            ++j;
        if (j < pattern.size() && pattern[j] == u'.')
        {
            ++j;
            while (j < pattern.size() && pattern[j] >= u'0' && pattern[j] <= u'9')
                ++j;
        }
        if (j < pattern.size() && pattern[j] == u'l')
            ++j;
        if (j >= pattern.size() || j - i > 12)
            return false;
        const char16_t kind = pattern[j];
        if (kind != u'd' && kind != u'i' && kind != u'f')
            return false;
        conv.begin = i;
        conv.end = j + 1;
        conv.kind = kind;
        ++found;
        i = j;
    }
    return found == 1;
}

// The literal text of a pattern part, with "%%" standing for '%'.
PlWString Literal(const PlWString& part)
{
    PlWString out;
    for (size_t i = 0; i < part.size(); ++i)
    {
        out.push_back(part[i]);
        if (part[i] == u'%' && i + 1 < part.size() && part[i + 1] == u'%')
            ++i;
    }
    return out;
}

template <class T> PlWString ApplyPattern(const PlWString& pattern, bool integer, T value)
{
    SConversion conv;
    if (!FindSingleConversion(pattern, conv) || (conv.kind == u'f') == integer)
        return {};
    std::string conversion;
    for (size_t i = conv.begin; i < conv.end; ++i)
        conversion.push_back(static_cast<char>(pattern[i]));
    char buffer[400];
    const int n = std::snprintf(buffer, sizeof buffer, conversion.c_str(), value);
    if (n < 0 || static_cast<size_t>(n) >= sizeof buffer)
        return {};
    return Literal(pattern.substr(0, conv.begin)) + PlOSAL::FromAscii(buffer) +
           Literal(pattern.substr(conv.end));
}

PlWString PatternInt(uint32_t textId, int value)
{
    return ApplyIntPattern(LoadTextRef(textId), value);
}

PlWString PatternDouble(uint32_t textId, double value)
{
    return ApplyDoublePattern(LoadTextRef(textId), value);
}

struct SValueText
{
    uint32_t value;
    uint32_t textId;
};

template <size_t N>
EError FormatEnumerated(const CExifTag& tag, PlWString& text, const SValueText (&map)[N])
{
    unsigned short value = 0;
    const EError result = tag.GetShort(value);
    if (result != eOk)
        return result;
    uint32_t textId = kTextUnknown;
    for (const SValueText& entry : map)
    {
        if (entry.value == value)
            textId = entry.textId;
    }
    LoadText(textId, text);
    return eOk;
}

// The text of another tag of IFD0 through its row's formatter, or empty.
PlWString Ifd0Text(const CExifTag& tag, uint16_t number)
{
    PlWString text;
    const CExifContext* context = tag.m_pContext;
    const CExifTag* other = context ? context->FindTag(eIfd0, number) : nullptr;
    const SExifTagDef* row = FindRow(eIfd0, number);
    if (other != nullptr && row != nullptr && row->formatter(*other, text) != eOk)
        text.clear();
    return text;
}

// Factor from a camera's focal length to its 35 mm equivalent, for cameras that do not write one.
double CameraFocalFactor(const CExifTag& tag)
{
    const PlWString make = Ifd0Text(tag, kTagMake);
    if (make.compare(0, 7, u"Minolta") != 0 || make.size() < 7)
        return 0;
    const PlWString model = Ifd0Text(tag, kTagModel);
    if (model.size() >= 8 && model.compare(0, 8, u"DiMAGE 7") == 0)
        return 3.9;
    if (model.size() >= 8 && model.compare(0, 8, u"DiMAGE 5") == 0)
        return 4.9;
    return 0;
}

EError FormatRefWith(const CExifTag& tag, PlWString& text, const char16_t* first,
                     uint32_t firstText, const char16_t* second, uint32_t secondText)
{
    if (!HasValue(tag))
        return eErrNoValue;
    if (tag.m_nType != eTypeAscii)
        return eErrFailed;
    const PlWString value = AsciiValue(tag);
    LoadText(value == first ? firstText : value == second ? secondText : kTextUnknown, text);
    return eOk;
}

void FormatDateParts(const CExifTag& tag, const PlWString& datePattern, size_t dateRoom,
                     const PlWString& timePattern, PlWString& text)
{
    PlOSAL::SPlDateTime when;
    tag.ParseDateTime(when);
    PlWString date, time;
    // A part that is not a valid date or does not fit its room stays empty.
    PlOSAL::FormatLocaleDate(when, datePattern, dateRoom, date);
    PlOSAL::FormatLocaleTime(when, timePattern, kTimeRoom, time);
    text = date + time;
}

// The first rational of the tag; a denominator of 0 is refused with eErrFailed.
EError GetDividableRational(const CExifTag& tag, unsigned long& num, unsigned long& den)
{
    const EError result = tag.GetRational(num, den);
    if (result == eOk && den == 0)
        return eErrFailed;
    return result;
}

} // namespace

PlWString ApplyIntPattern(const PlWString& pattern, long long value)
{
    if (value < INT32_MIN || value > INT32_MAX)
        return {};
    SConversion conv;
    // "%ld" takes a long, the others an int.
    if (FindSingleConversion(pattern, conv) && pattern[conv.end - 2] == u'l')
        return ApplyPattern(pattern, true, static_cast<long>(value));
    return ApplyPattern(pattern, true, static_cast<int>(value));
}

PlWString ApplyDoublePattern(const PlWString& pattern, double value)
{
    if (!std::isfinite(value))
        return {};
    return ApplyPattern(pattern, false, value);
}

EError FormatText(const CExifTag& tag, PlWString& text)
{
    if (!HasValue(tag))
        return eErrNoValue;
    if (tag.m_nType != eTypeAscii)
        return eErrFailed;
    text = AsciiValue(tag);
    return eOk;
}

EError FormatLong(const CExifTag& tag, PlWString& text)
{
    unsigned long value = 0;
    const EError result = tag.GetLong(value);
    if (result == eOk)
        text = Decimal(static_cast<unsigned>(value));
    return result;
}

EError FormatShort(const CExifTag& tag, PlWString& text)
{
    unsigned short value = 0;
    const EError result = tag.GetShort(value);
    if (result == eOk)
        text = Decimal(value);
    return result;
}

EError FormatByte(const CExifTag& tag, PlWString& text)
{
    uint8_t value = 0;
    const EError result = tag.GetByte(value);
    if (result == eOk)
        text = Decimal(value);
    return result;
}

EError FormatGpsVersion(const CExifTag& tag, PlWString& text)
{
    uint8_t b[4] = {};
    const EError result = tag.GetByteAt(b[0], 0);
    if (result != eOk)
        return result;
    for (uint32_t i = 1; i < 4; ++i)
    {
        if (tag.GetByteAt(b[i], i) != eOk)
        {
            text.clear();
            return eOk;
        }
    }
    text = Decimal(b[0]) + u'.' + Decimal(b[1]) + u'.' + Decimal(b[2]) + u'.' + Decimal(b[3]);
    return eOk;
}

EError FormatRational(const CExifTag& tag, PlWString& text)
{
    unsigned long num = 0, den = 0;
    if (tag.GetRational(num, den) != eOk)
        return eOk;
    const double q = double(num) / double(den);
    if (std::isfinite(q))
        text = Printf("%.2f", q);
    return eOk;
}

EError FormatSRational(const CExifTag& tag, PlWString& text)
{
    int32_t num = 0, den = 0;
    if (tag.GetSRational(num, den) != eOk)
        return eOk;
    const double q = double(num) / double(den);
    if (std::isfinite(q))
        text = Printf("%.2f", q);
    return eOk;
}

EError FormatGpsCoordinate(const CExifTag& tag, PlWString& text)
{
    double q[3] = {};
    for (uint32_t i = 0; i < 3; ++i)
    {
        uint32_t num = 0, den = 0;
        if (tag.GetRationalAt(num, den, i) != eOk)
            return eOk;
        q[i] = double(num) / double(den);
        if (!std::isfinite(q[i]))
            return eOk;
    }
    text = Printf("%.f %.f %.2f", q[0], q[1], q[2]);
    return eOk;
}

EError FormatLatitudeRef(const CExifTag& tag, PlWString& text)
{
    return FormatRefWith(tag, text, u"N", 207, u"S", 208);
}

EError FormatLongitudeRef(const CExifTag& tag, PlWString& text)
{
    return FormatRefWith(tag, text, u"E", 209, u"W", 210);
}

EError FormatExposureTime(const CExifTag& tag, PlWString& text)
{
    unsigned long num = 0, den = 0;
    const EError result = GetDividableRational(tag, num, den);
    if (result != eOk)
        return result;
    const double t = double(num) / double(den);
    int value = 0;
    if (t < 1)
    {
        if (IntegerPart(1 / t + 0.5, value))
            text = PatternInt(kTextFractionSecondsPattern, value);
    }
    else if (IntegerPart(t, value))
    {
        text = PatternInt(kTextSecondsPattern, value);
    }
    return eOk;
}

EError FormatShutterSpeed(const CExifTag& tag, PlWString& text)
{
    int32_t num = 0, den = 0;
    if (tag.GetSRational(num, den) != eOk)
        return eOk;
    const double v = double(num) / double(den);
    int value = 0;
    if (v >= 1)
    {
        if (IntegerPart(std::pow(2.0, v), value))
            text = PatternInt(kTextFractionSecondsPattern, value);
    }
    else if (IntegerPart(std::pow(2.0, -v), value))
    {
        text = PatternInt(kTextSecondsPattern, value);
    }
    return eOk;
}

EError FormatFNumber(const CExifTag& tag, PlWString& text)
{
    unsigned long num = 0, den = 0;
    const EError result = GetDividableRational(tag, num, den);
    if (result != eOk)
        return result;
    text = PatternDouble(kTextFNumberPattern, double(num) / double(den));
    return eOk;
}

EError FormatAperture(const CExifTag& tag, PlWString& text)
{
    unsigned long num = 0, den = 0;
    const EError result = GetDividableRational(tag, num, den);
    if (result != eOk)
        return result;
    text = PatternDouble(kTextFNumberPattern, std::pow(2.0, double(num) / double(den) * 0.5));
    return eOk;
}

EError FormatFocalLength(const CExifTag& tag, PlWString& text)
{
    unsigned long num = 0, den = 0;
    const EError result = GetDividableRational(tag, num, den);
    if (result != eOk)
        return result;
    const double factor = CameraFocalFactor(tag);
    int value = 0;
    if (factor == 0)
        text = PatternDouble(kTextFocalPattern, double(num) / double(den));
    else if (IntegerPart(double(num) * factor / double(den), value))
        text = PatternInt(kTextFocal35Pattern, value);
    return eOk;
}

EError FormatFocalLength35(const CExifTag& tag, PlWString& text)
{
    unsigned short value = 0;
    const EError result = tag.GetShort(value);
    if (result == eOk)
        text = PatternInt(kTextFocal35Pattern, value);
    return result;
}

EError FormatDateTime(const CExifTag& tag, PlWString& text)
{
    if (!HasValue(tag))
        return eErrNoValue;
    FormatDateParts(tag, LoadTextRef(kTextDatePattern), kDateRoom, LoadTextRef(kTextTimePattern),
                    text);
    return eOk;
}

EError FormatDateTimeFixed(const CExifTag& tag, PlWString& text)
{
    if (!HasValue(tag))
        return eErrNoValue;
    // Sub-second values ("50", "123") are not dates: shown as they stand.
    if (tag.m_nType == eTypeAscii && AsciiValue(tag).size() < 19)
    {
        text = AsciiValue(tag);
        return eOk;
    }
    FormatDateParts(tag, kFixedDatePattern, kFixedDateRoom, kFixedTimePattern, text);
    if (text.size() >= kFixedJoinRoom)
        text.resize(kFixedJoinRoom - 1);
    return eOk;
}

EError FormatComment(const CExifTag& tag, PlWString& text)
{
    if (!HasValue(tag))
        return eErrNoValue;
    const uint8_t* v = tag.m_pValue;
    const size_t size = static_cast<size_t>(tag.GetValueSize());
    if (size >= 8 && std::memcmp(v, "ASCII\0", 6) == 0)
    {
        const void* nul = std::memchr(v + 8, 0, size - 8);
        const size_t length = nul ? static_cast<const uint8_t*>(nul) - (v + 8) : size - 8;
        text = PlOSAL::FromAnsi(v + 8, length);
        return eOk;
    }
    if (size >= 8 && std::memcmp(v, "UNICODE\0", 8) == 0)
    {
        // The character code does not say the byte order. Cameras write big-endian and
        // little-endian files alike, and the comment setter writes little-endian: take the order
        // in which more characters look like Latin text, the file's order when it is a tie.
        const size_t units = (size - 8) / 2;
        size_t beLike = 0, leLike = 0;
        for (size_t i = 0; i < units; ++i)
        {
            const uint8_t b0 = v[8 + 2 * i], b1 = v[9 + 2 * i];
            beLike += b0 == 0 && b1 != 0;
            leLike += b1 == 0 && b0 != 0;
        }
        const bool bigEndian = beLike != leLike ? beLike > leLike : tag.IsBigEndian();
        text.clear();
        for (size_t i = 0; i < units; ++i)
        {
            const char16_t unit = static_cast<char16_t>(ReadU16(v + 8 + 2 * i, bigEndian));
            if (unit == 0)
                break;
            text.push_back(unit);
        }
        return eOk;
    }
    LoadText(kTextCommentNotReadable, text);
    return eOk;
}

EError FormatCompression(const CExifTag& tag, PlWString& text)
{
    static const SValueText kMap[] = {{1, 249}, {6, 250}};
    return FormatEnumerated(tag, text, kMap);
}

EError FormatPhotometric(const CExifTag& tag, PlWString& text)
{
    static const SValueText kMap[] = {{2, 251}, {6, 252}};
    return FormatEnumerated(tag, text, kMap);
}

EError FormatOrientation(const CExifTag& tag, PlWString& text)
{
    static const SValueText kMap[] = {{1, 197}, {2, 198}, {3, 200}, {4, 199},
                                      {5, 201}, {6, 202}, {7, 204}, {8, 203}};
    return FormatEnumerated(tag, text, kMap);
}

EError FormatPlanar(const CExifTag& tag, PlWString& text)
{
    static const SValueText kMap[] = {{1, 253}, {2, 254}};
    return FormatEnumerated(tag, text, kMap);
}

EError FormatResolutionUnit(const CExifTag& tag, PlWString& text)
{
    static const SValueText kMap[] = {{2, 240}, {3, 241}};
    return FormatEnumerated(tag, text, kMap);
}

EError FormatYCbCrPositioning(const CExifTag& tag, PlWString& text)
{
    static const SValueText kMap[] = {{1, 195}, {2, 196}};
    return FormatEnumerated(tag, text, kMap);
}

EError FormatExposureProgram(const CExifTag& tag, PlWString& text)
{
    static const SValueText kMap[] = {{0, 211}, {1, 212}, {2, 213}, {3, 214}, {4, 215},
                                      {5, 216}, {6, 217}, {7, 218}, {8, 219}};
    return FormatEnumerated(tag, text, kMap);
}

EError FormatMeteringMode(const CExifTag& tag, PlWString& text)
{
    static const SValueText kMap[] = {{1, 234}, {2, 235}, {3, 236},  {4, 237},
                                      {5, 238}, {6, 239}, {255, 229}};
    return FormatEnumerated(tag, text, kMap);
}

EError FormatLightSource(const CExifTag& tag, PlWString& text)
{
    static const SValueText kMap[] = {{1, 220},  {2, 221},  {3, 222},  {17, 223}, {18, 224},
                                      {19, 225}, {20, 226}, {21, 227}, {22, 228}, {255, 229}};
    return FormatEnumerated(tag, text, kMap);
}

EError FormatFlash(const CExifTag& tag, PlWString& text)
{
    static const SValueText kMap[] = {{0, 230}, {1, 231}, {5, 232}, {7, 233}};
    return FormatEnumerated(tag, text, kMap);
}

EError FormatColorSpace(const CExifTag& tag, PlWString& text)
{
    static const SValueText kMap[] = {{1, 205}, {65535, 206}};
    return FormatEnumerated(tag, text, kMap);
}

EError FormatSensingMethod(const CExifTag& tag, PlWString& text)
{
    static const SValueText kMap[] = {{1, 211}, {2, 242}, {3, 243}, {4, 244},
                                      {5, 245}, {7, 246}, {8, 247}};
    return FormatEnumerated(tag, text, kMap);
}

} // namespace PlExif
