// Texts of the stub in the current installation language: local string id plus the current
// block base, loaded from the program's own string table. User-interface thread only.
#pragma once

#include <string>

namespace stub
{

// Local string ids of the catalogue.
enum : unsigned
{
    IDS_CANCEL = 129,
    IDS_PREPARING = 130,
    IDS_EXTRACTING_PERCENT = 131,
    IDS_CHOOSE_DESTINATION = 132,
    IDS_UNIT_KB = 133,
    IDS_LOW_DISK_SPACE = 134,
    IDS_CANNOT_READ_SETUP_FILE = 135,
    IDS_UNIT_MB = 136,
    IDS_CANNOT_EXTRACT = 137,
    IDS_UNIT_GB = 138,
    IDS_UNIT_TB = 139,
    IDS_OK = 140,
    IDS_SETUP_FILE_CORRUPTED = 155,
    IDS_INTERNAL_ERROR = 156,
    IDS_CONFIRM_CANCEL = 157,
    IDS_COMMAND_LINE_HELP = 158,
    IDS_STARTING_INSTALLATION = 159,
    IDS_OVERWRITE_ALL = 160,
    IDS_OVERWRITE_ALL_QUESTION = 161,
    IDS_FILE_SIZE_MISMATCH = 162,
    IDS_TITLE = 163,
    IDS_LANGUAGE_TITLE = 164,
    IDS_LANGUAGE_PROMPT = 165,
};

// The entry localId + the current language's block base; an empty text when there is none.
std::wstring LoadLocalizedString(unsigned localId);
// The entry with an absolute id of the string table; an empty text when there is none.
std::wstring LoadStringById(unsigned id);

} // namespace stub
