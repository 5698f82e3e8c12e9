// ExifText.cpp - the compiled-in display texts and their lookup with fallbacks.

#include "ExifText.h"

#include "osal/PlPlatform.h"

#include <atomic>
#include <cstring>
#include <iterator>

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

const STextTable* FindTable(uint16_t language)
{
    if (language == 0)
    {
        // No language chosen: the user's own language where the library has it.
        language = PlOSAL::UserLanguage();
        if (language == 0)
            return nullptr;
        language &= 0x3FF;
    }
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
    const STextTable* table = FindTable(language);
    if (table == nullptr)
        return false;
    // The rows are in id order, so the row of an id is found by its position first.
    const STextRow* row = nullptr;
    if (id >= table->rows[0].id && id - table->rows[0].id < table->count &&
        table->rows[id - table->rows[0].id].id == id)
    {
        row = &table->rows[id - table->rows[0].id];
    }
    else
    {
        for (size_t i = 0; i < table->count; ++i)
        {
            if (table->rows[i].id == id)
            {
                row = &table->rows[i];
                break;
            }
        }
    }
    if (row == nullptr || row->text == nullptr || row->text[0] == 0)
        return false;
    text = PlOSAL::FromUtf8(row->text, std::strlen(row->text));
    return true;
}

bool LoadText(uint32_t id, PlOSAL::PlWString& text)
{
    const uint16_t current = GetCurrentLanguage();
    return LookupText(current, id, text) ||
           LookupText(static_cast<uint16_t>(current & 0x3FF), id, text) ||
           LookupText(kLangEnglishUK, id, text);
}

PlOSAL::PlWString LoadTextOrEmpty(uint32_t id)
{
    PlOSAL::PlWString text;
    LoadText(id, text);
    return text;
}

} // namespace PlExif
