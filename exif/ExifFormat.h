// ExifFormat.h - the value formatters of the definition table: each writes a tag's value as
// display text (into a text that starts empty) and answers EError. They read the tables and the
// current language only, so they run on the thread that uses the tag's context.
#pragma once

#include "ExifTag.h"

namespace PlExif
{

EError FormatText(const CExifTag& tag, PlWString& text);
EError FormatLong(const CExifTag& tag, PlWString& text);
EError FormatShort(const CExifTag& tag, PlWString& text);
EError FormatByte(const CExifTag& tag, PlWString& text);
EError FormatGpsVersion(const CExifTag& tag, PlWString& text);
EError FormatRational(const CExifTag& tag, PlWString& text);
EError FormatSRational(const CExifTag& tag, PlWString& text);
EError FormatGpsCoordinate(const CExifTag& tag, PlWString& text);
EError FormatLatitudeRef(const CExifTag& tag, PlWString& text);
EError FormatLongitudeRef(const CExifTag& tag, PlWString& text);
EError FormatExposureTime(const CExifTag& tag, PlWString& text);
EError FormatShutterSpeed(const CExifTag& tag, PlWString& text);
EError FormatFNumber(const CExifTag& tag, PlWString& text);
EError FormatAperture(const CExifTag& tag, PlWString& text);
EError FormatFocalLength(const CExifTag& tag, PlWString& text);
EError FormatFocalLength35(const CExifTag& tag, PlWString& text);
EError FormatDateTime(const CExifTag& tag, PlWString& text);
EError FormatDateTimeFixed(const CExifTag& tag, PlWString& text);
EError FormatComment(const CExifTag& tag, PlWString& text);
EError FormatCompression(const CExifTag& tag, PlWString& text);
EError FormatPhotometric(const CExifTag& tag, PlWString& text);
EError FormatOrientation(const CExifTag& tag, PlWString& text);
EError FormatPlanar(const CExifTag& tag, PlWString& text);
EError FormatResolutionUnit(const CExifTag& tag, PlWString& text);
EError FormatYCbCrPositioning(const CExifTag& tag, PlWString& text);
EError FormatExposureProgram(const CExifTag& tag, PlWString& text);
EError FormatMeteringMode(const CExifTag& tag, PlWString& text);
EError FormatLightSource(const CExifTag& tag, PlWString& text);
EError FormatFlash(const CExifTag& tag, PlWString& text);
EError FormatColorSpace(const CExifTag& tag, PlWString& text);
EError FormatSensingMethod(const CExifTag& tag, PlWString& text);

// A printf pattern of the text table applied to one number. The pattern must hold exactly one
// conversion of the expected kind (d or i for an integer; f, optionally with l, for a double);
// any other pattern gives an empty text rather than being handed to printf.
PlWString ApplyIntPattern(const PlWString& pattern, long long value);
PlWString ApplyDoublePattern(const PlWString& pattern, double value);

} // namespace PlExif
