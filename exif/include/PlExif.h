// PlExif.h - the public interface of the PlEXIF library: the context handle PlExifContext, the
// reference-counted tag, string, buffer and iterator interfaces, the tag ids and the error codes.
// A context with its tags and iterators is used by one thread at a time; AddRef and Release may
// be called from any thread. This is the only header a client includes.
//
// Conventions on Linux (LP64): unsigned long and long values keep their 32-bit meaning (larger
// values are refused with eErrFailed); wide texts are passed as wchar_t and hold one UTF-16 code
// unit per wchar_t on output (a code point above U+FFFF given on input becomes a surrogate
// pair), so lengths in characters are the same as on Windows. Before SetLanguageID is called,
// display texts follow the user's locale (LC_ALL, LC_MESSAGES, LANG) where it is English, German,
// Spanish, French, Italian or Dutch, and are English otherwise; on Windows they follow the
// user's interface language in the same way.
#pragma once

#include <cstdint>

#ifdef _WIN32
#include <windows.h>
#endif

#if defined(PLEXIF_STATIC)
#define PLEXIF_API
#elif defined(_WIN32)
#if defined(PLEXIF_BUILD)
#define PLEXIF_API __declspec(dllexport)
#else
#define PLEXIF_API __declspec(dllimport)
#endif
#else
#define PLEXIF_API __attribute__((visibility("default")))
#endif

namespace PlExif
{

#ifdef _WIN32
using ::SYSTEMTIME;
#else
// The Windows date record: year, month, day of week, day, hour, minute, second, milliseconds.
struct SYSTEMTIME
{
    std::uint16_t wYear;
    std::uint16_t wMonth;
    std::uint16_t wDayOfWeek;
    std::uint16_t wDay;
    std::uint16_t wHour;
    std::uint16_t wMinute;
    std::uint16_t wSecond;
    std::uint16_t wMilliseconds;
};
#endif

// Result of almost every operation: 0 is success, every failure has the top bit set.
enum EError : std::uint32_t
{
    eOk = 0x00000000,
    eErrFailed = 0x80000000,
    eErrFileOpen = 0x80000001,
    eErrFileType = 0x80000002,
    eErrNoExif = 0x80000004,
    eErrNoTags = 0x80000005,
    eErrNotFound = 0x80000006,
    eTagRemoved = 0x80000008,
    eErrWrongType = 0x80000009,
    eErrEndOfTags = 0x8000000A,
    eErrOutOfMemory = 0x8000000B,
    eErrTooLarge = 0x8000000C,
    eErrReadOnlyTag = 0x8000000D,
    eErrNoValue = 0x8000000E,
};

// The 86 tags the library knows. Ids 17, 18, 20, 21 and 22 (thumbnail offset and length, the
// three directory pointers) are managed by the library and read-only for clients.
enum EExifTagId : int
{
    eTagImageWidth = 0,
    eTagImageLength = 1,
    eTagCompression = 2,
    eTagPhotometricInterpretation = 3,
    eTagImageDescription = 4,
    eTagMake = 5,
    eTagModel = 6,
    eTagOrientation = 7,
    eTagSamplesPerPixel = 8,
    eTagXResolution = 9,
    eTagYResolution = 10,
    eTagPlanarConfiguration = 11,
    eTagResolutionUnit = 12,
    eTagSoftware = 13,
    eTagDateTime = 14,
    eTagArtist = 15,
    eTagCopyright = 16,
    eTagJPEGInterchangeFormat = 17,
    eTagJPEGInterchangeFormatLength = 18,
    eTagYCbCrPositioning = 19,
    eTagExifIFDPointer = 20,
    eTagGPSInfoIFDPointer = 21,
    eTagInteroperabilityIFDPointer = 22,
    eTagExposureTime = 23,
    eTagFNumber = 24,
    eTagExposureProgram = 25,
    eTagSpectralSensitivity = 26,
    eTagISOSpeedRatings = 27,
    eTagDateTimeOriginal = 28,
    eTagDateTimeDigitized = 29,
    eTagCompressedBitsPerPixel = 30,
    eTagShutterSpeedValue = 31,
    eTagApertureValue = 32,
    eTagBrightnessValue = 33,
    eTagExposureBiasValue = 34,
    eTagMaxApertureValue = 35,
    eTagMeteringMode = 36,
    eTagLightSource = 37,
    eTagFlash = 38,
    eTagFocalLength = 39,
    eTagUserComment = 40,
    eTagSubSecTime = 41,
    eTagSubSecTimeOriginal = 42,
    eTagSubSecTimeDigitized = 43,
    eTagColorSpace = 44,
    eTagPixelXDimension = 45,
    eTagPixelYDimension = 46,
    eTagFlashEnergy = 47,
    eTagFocalPlaneXResolution = 48,
    eTagFocalPlaneYResolution = 49,
    eTagFocalPlaneResolutionUnit = 50,
    eTagExposureIndex = 51,
    eTagSensingMethod = 52,
    eTagFocalLengthIn35mmFilm = 53,
    eTagGPSVersionID = 54,
    eTagGPSLatitudeRef = 55,
    eTagGPSLatitude = 56,
    eTagGPSLongitudeRef = 57,
    eTagGPSLongitude = 58,
    eTagGPSAltitudeRef = 59,
    eTagGPSAltitude = 60,
    eTagGPSTimeStamp = 61,
    eTagGPSSatellites = 62,
    eTagGPSStatus = 63,
    eTagGPSMeasureMode = 64,
    eTagGPSDOP = 65,
    eTagGPSSpeedRef = 66,
    eTagGPSSpeed = 67,
    eTagGPSTrackRef = 68,
    eTagGPSTrack = 69,
    eTagGPSImgDirectionRef = 70,
    eTagGPSImgDirection = 71,
    eTagGPSMapDatum = 72,
    eTagGPSDestLatitudeRef = 73,
    eTagGPSDestLatitude = 74,
    eTagGPSDestLongitudeRef = 75,
    eTagGPSDestLongitude = 76,
    eTagGPSDestBearingRef = 77,
    eTagGPSDestBearing = 78,
    eTagGPSDestDistanceRef = 79,
    eTagGPSDestDistance = 80,
    eTagGPSProcessingMethod = 81,
    eTagGPSAreaInformation = 82,
    eTagGPSDateStamp = 83,
    eTagGPSDifferential = 84,
    eTagInteroperabilityIndex = 85,
};

// A text handed out by the library; an independent copy that outlives its context.
class IPlExifString
{
public:
    virtual unsigned long AddRef() = 0;
    virtual unsigned long Release() = 0;
    // Copies at most count characters into buffer and fills the rest of the count characters
    // with NULs; a text of count or more characters is not terminated. Always eOk.
    virtual EError GetString(wchar_t* buffer, long count) = 0;
    // Number of characters, without terminator.
    virtual long GetLength() = 0;

protected:
    ~IPlExifString() = default;
};

// Bytes handed out by the library; an independent copy that outlives its context.
class IPlExifBuffer
{
public:
    virtual unsigned long AddRef() = 0;
    virtual unsigned long Release() = 0;
    virtual ~IPlExifBuffer() = default;
    virtual const unsigned char* GetData() = 0;
    virtual unsigned long GetSize() = 0;
};

// One EXIF field. Values are converted between the context's byte order and the host's.
class IPlExifTag
{
public:
    virtual unsigned long AddRef() const = 0;
    virtual unsigned long Release() const = 0;
    virtual ~IPlExifTag() = default;
    virtual unsigned long GetTagIdCount() const = 0;
    // TIFF field type: 1 BYTE, 2 ASCII, 3 SHORT, 4 LONG, 5 RATIONAL, 7 UNDEFINED, 9 SLONG,
    // 10 SRATIONAL.
    virtual unsigned long GetType() const = 0;
    virtual EError GetDisplayName(IPlExifString*& name) const = 0;
    virtual EError GetValueText(IPlExifString*& text) const = 0;
    virtual EError GetShort(unsigned short& value) const = 0;
    virtual EError GetLong(unsigned long& value) const = 0;
    virtual EError GetSLong(long& value) const = 0;
    virtual EError GetString(IPlExifString*& text) const = 0;
    virtual EError GetRational(unsigned long& numerator, unsigned long& denominator) const = 0;
    virtual EError GetDateTime(SYSTEMTIME& dateTime) const = 0;
    virtual EError GetUndefined(IPlExifBuffer*& bytes) const = 0;
    virtual EError SetByte(unsigned char value) { return SetBytes(&value, 1); }
    virtual EError SetBytes(const unsigned char* values, unsigned long count) = 0;
    virtual EError SetString(const wchar_t* text) = 0;
    virtual EError SetShort(unsigned short value) { return SetShorts(&value, 1); }
    virtual EError SetShorts(const unsigned short* values, unsigned long count) = 0;
    virtual EError SetLong(unsigned long value) { return SetLongs(&value, 1); }
    virtual EError SetLongs(const unsigned long* values, unsigned long count) = 0;
    // count numerator/denominator pairs.
    virtual EError SetRationals(const unsigned long* pairs, unsigned long count) = 0;
    virtual EError SetUndefined(const unsigned char* bytes, unsigned long size) = 0;
    virtual EError SetSLong(long value) { return SetSLongs(&value, 1); }
    virtual EError SetSLongs(const long* values, unsigned long count) = 0;
    virtual EError SetSRationals(const long* pairs, unsigned long count) = 0;
};

class IPlExifTag_constIterator
{
public:
    virtual unsigned long AddRef() = 0;
    virtual unsigned long Release() = 0;
    // The next Next starts again at the first tag. Always eOk.
    virtual EError Reset() = 0;
    // eOk with the next tag (carrying a reference for the caller), or eErrEndOfTags.
    virtual EError Next(const IPlExifTag*& tag) = 0;

protected:
    ~IPlExifTag_constIterator() = default;
};

// Walks the tags of IFD0, GPS, Exif, Interoperability and IFD1, each in ascending tag number.
class IPlExifTagIterator : public IPlExifTag_constIterator
{
public:
    using IPlExifTag_constIterator::Next;
    virtual EError Next(IPlExifTag*& tag) = 0;
    virtual ~IPlExifTagIterator() = default;
};

class CExifContext;

// The handle a client holds: one reference to an internal context with the APP1 segment, the
// five tag directories and the thumbnail. Copies are independent deep copies.
class PLEXIF_API PlExifContext
{
public:
    PlExifContext();
    PlExifContext(const PlExifContext& other);
    PlExifContext& operator=(const PlExifContext& other);
    virtual ~PlExifContext();

    void Clear();

    EError ReadFromFile(const wchar_t* path);
    EError ReadFromData(const unsigned char* data, unsigned long size);
    EError WriteToFile(const wchar_t* path) const;
    EError WriteWholeApp1ToBuffer(IPlExifBuffer*& buffer) const;
    static EError IsTaggedFile(const wchar_t* path);

    long GetNumTags() const;
    EError GetTagIterator(IPlExifTagIterator*& iterator) const;
    EError GetTag(EExifTagId id, const IPlExifTag*& tag) const;
    EError GetTag(EExifTagId id, IPlExifTag*& tag);
    EError CreateTag(EExifTagId id, IPlExifTag*& tag);
    EError RemoveTag(EExifTagId id);
    EError GetTagDisplayName(EExifTagId id, IPlExifString*& name) const;

    const unsigned char* GetThumbnail() const;
    EError GetThumbnailSize(unsigned long& size) const;
    EError SetThumbnail(const unsigned char* data, unsigned long size, unsigned long* reserved);
    EError RemoveThumbnail();

private:
    CExifContext* m_pContext;
};

// Sets the process-wide display language from a Windows language identifier: German (primary
// language 7) selects 1031, every other value 2057 (English, United Kingdom).
PLEXIF_API void SetLanguageID(unsigned short languageId);

} // namespace PlExif
