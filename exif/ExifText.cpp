// ExifText.cpp - the compiled-in display texts and their lookup with fallbacks.

#include "ExifText.h"

#include "osal/PlPlatform.h"

#include <atomic>
#include <cstring>
#include <iterator>
#include <vector>

namespace PlExif
{

namespace
{

struct STextRow
{
    uint32_t id;
    const char* text; // UTF-8
};

const STextRow kEnglish[] = {
#include "texts/en.inc"
};
const STextRow kGerman[] = {
#include "texts/de.inc"
};
const STextRow kSpanish[] = {
#include "texts/es.inc"
};
const STextRow kFrench[] = {
#include "texts/fr.inc"
};
const STextRow kItalian[] = {
#include "texts/it.inc"
};
const STextRow kDutch[] = {
#include "texts/nl.inc"
};

struct STextTable
{
    uint16_t language;
    const STextRow* rows;
    size_t count;
};

const STextTable kTables[] = {
    {kLangEnglishUK, kEnglish, std::size(kEnglish)}, {kLangGerman, kGerman, std::size(kGerman)},
    {kLangSpanish, kSpanish, std::size(kSpanish)},   {kLangFrench, kFrench, std::size(kFrench)},
    {kLangItalian, kItalian, std::size(kItalian)},   {kLangDutch, kDutch, std::size(kDutch)},
};

// Process-wide; relaxed atomics give the unsynchronised read the callers expect without a data
// race in the language model.
std::atomic<uint16_t> g_language{0};

// The table of a language identifier other than 0 (an exact identifier, else for a neutral one
// the table of that primary language).
const STextTable* FindKnownTable(uint16_t language)
{
    for (const STextTable& table : kTables)
    {
        if (table.language == language)
            return &table;
    }
    // A neutral identifier (primary language only) finds the table of that primary language.
    if (language < 0x400)
    {
        for (const STextTable& table : kTables)
        {
            if ((table.language & 0x3FF) == language)
                return &table;
        }
    }
    return nullptr;
}

// The table of a language identifier; 0 means the user's own language where the library has it.
const STextTable* FindTable(uint16_t language)
{
    if (language == 0)
    {
        language = PlOSAL::UserLanguage();
        if (language == 0)
            return nullptr;
        language &= 0x3FF;
    }
    return FindKnownTable(language);
}

// The texts of every table as wide texts, converted once on first use; an empty text stands for
// a row without text. Read-only once built, so any thread may read them.
struct SWideTables
{
    std::vector<PlOSAL::PlWString> texts[std::size(kTables)];

    SWideTables()
    {
        for (size_t t = 0; t < std::size(kTables); ++t)
        {
            const STextTable& table = kTables[t];
            texts[t].reserve(table.count);
            for (size_t i = 0; i < table.count; ++i)
            {
                const char* utf8 = table.rows[i].text;
                texts[t].push_back(utf8 == nullptr ? PlOSAL::PlWString()
                                                   : PlOSAL::FromUtf8(utf8, std::strlen(utf8)));
            }
        }
    }
};

// Kept for the life of the process (never destroyed), so that texts can be looked up from static
// destructors too.
const SWideTables& WideTables()
{
    static const SWideTables* const tables = new SWideTables();
    return *tables;
}

// The wide text of id in table, or nullptr when the table has no text for it.
const PlOSAL::PlWString* FindText(const STextTable* table, uint32_t id)
{
    if (table == nullptr)
        return nullptr;
    // The rows are in id order, so the row of an id is found by its position first.
    size_t index = table->count;
    if (id >= table->rows[0].id && id - table->rows[0].id < table->count &&
        table->rows[id - table->rows[0].id].id == id)
    {
        index = id - table->rows[0].id;
    }
    else
    {
        for (size_t i = 0; i < table->count; ++i)
        {
            if (table->rows[i].id == id)
            {
                index = i;
                break;
            }
        }
    }
    if (index == table->count)
        return nullptr;
    const PlOSAL::PlWString& text = WideTables().texts[table - kTables][index];
    return text.empty() ? nullptr : &text;
}

} // namespace

uint16_t GetCurrentLanguage()
{
    return g_language.load(std::memory_order_relaxed);
}

void SetCurrentLanguage(uint16_t language)
{
    g_language.store(language, std::memory_order_relaxed);
}

bool LookupText(uint16_t language, uint32_t id, PlOSAL::PlWString& text)
{
    const PlOSAL::PlWString* found = FindText(FindTable(language), id);
    if (found == nullptr)
        return false;
    text = *found;
    return true;
}

namespace
{

const PlOSAL::PlWString* FindLoadedText(uint32_t id)
{
    // The same fallbacks as looking up the current language, its primary language and English
    // in turn, with the user's language (for a current language of 0) read once.
    const uint16_t current = GetCurrentLanguage();
    const uint16_t primary = static_cast<uint16_t>(current & 0x3FF);
    const STextTable* first = FindTable(current);
    const STextTable* second = primary == current ? first : FindTable(primary);
    const PlOSAL::PlWString* found = FindText(first, id);
    if (found == nullptr && second != first)
        found = FindText(second, id);
    if (found == nullptr)
        found = FindText(FindKnownTable(kLangEnglishUK), id);
    return found;
}

} // namespace

bool LoadText(uint32_t id, PlOSAL::PlWString& text)
{
    const PlOSAL::PlWString* found = FindLoadedText(id);
    if (found == nullptr)
        return false;
    text = *found;
    return true;
}

const PlOSAL::PlWString& LoadTextRef(uint32_t id)
{
    static const PlOSAL::PlWString* const empty = new PlOSAL::PlWString();
    const PlOSAL::PlWString* found = FindLoadedText(id);
    return found != nullptr ? *found : *empty;
}

PlOSAL::PlWString LoadTextOrEmpty(uint32_t id)
{
    PlOSAL::PlWString text;
    LoadText(id, text);
    return text;
}

} // namespace PlExif
