// ExifText.h - the display texts (ids 101 to 254) in six languages, compiled in, and the
// process-wide current language with the lookup and its fallbacks. The tables are constant; the
// current language is read without synchronisation and set before formatting starts.
#pragma once

#include "osal/PlString.h"

#include <cstdint>

namespace PlExif
{

constexpr uint16_t kLangEnglishUK = 2057;
constexpr uint16_t kLangGerman = 1031;
constexpr uint16_t kLangSpanish = 1034;
constexpr uint16_t kLangFrench = 1036;
constexpr uint16_t kLangItalian = 1040;
constexpr uint16_t kLangDutch = 1043;

uint16_t GetCurrentLanguage();
void SetCurrentLanguage(uint16_t language);

// The text of id in exactly one language table (a neutral identifier, primary language only,
// finds the table of that primary language; 0 the table of the user's language). An empty text
// counts as not found; text is left as it was then.
bool LookupText(uint16_t language, uint32_t id, PlOSAL::PlWString& text);

// The text in the current language, else in its primary language, else in English. Answers
// whether one was found; when not, text is left as it was.
bool LoadText(uint32_t id, PlOSAL::PlWString& text);
PlOSAL::PlWString LoadTextOrEmpty(uint32_t id);
// The same text without a copy; it stays valid as long as the library is loaded.
const PlOSAL::PlWString& LoadTextRef(uint32_t id);

} // namespace PlExif
