#pragma once
// The language dictionary: Russian text as the program writes it -> its translation, joined from
// "default.lng" and "<language>.lng" beside the library.
#include <map>
#include <string>

// Builds the dictionary once (folder ends with "\\"). Never throws: a file that cannot be read or
// parsed leaves the texts untranslated and is traced.
void LoadLanguage(const std::wstring& folder, const std::wstring& language) noexcept;

// The translation of text, or text itself.
std::wstring Translate(const std::wstring& text);

// True when the last language name given to LoadLanguage was "russian" (any case).
bool IsRussianLanguage() noexcept;

// Reads one language file into table (id -> text) from the sections opened by marker. Throws the
// file reader's "File not found: " text; lines whose id is not a number are skipped and traced.
void ReadLngFile(const std::wstring& path, std::map<int, std::wstring>& table, const std::wstring& marker);

// Deletes the dictionary (module unload).
void FreeLanguage() noexcept;

namespace testhooks {
// Drops the dictionary and clears the Russian flag.
void ResetLanguage() noexcept;
bool HasLanguageDictionary() noexcept;
} // namespace testhooks
