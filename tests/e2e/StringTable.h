// The stub's texts as the tests expect them, read from the string-table sources themselves
// (stub/resources/strings/*.rc), so the expectation is the text the translators wrote.
#pragma once

#include <string>

// The text of string id `id` (block base + local id) in the file of `culture`, UTF-8.
std::string StubString(const std::string& culture, unsigned id);
