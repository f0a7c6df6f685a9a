#include "core/translate.h"

#include "core/data_convert_error.h"
#include "core/files.h"
#include "core/format_string.h"
#include "core/number_text.h"
#include "core/string_utils.h"
#include "core/trace_log.h"

#include <cwchar>
#include <memory>

namespace {

std::unique_ptr<std::map<std::wstring, std::wstring>> g_dictionary;
bool g_russian = false;

bool IsDigit(wchar_t c)
{
    return c >= L'0' && c <= L'9';
}

// U+0007 and two decimal digits stand for the character of that code (CR, LF and tab are written so).
// A U+0007 without two digits after it is kept as it is. "\a00" gives a zero character inside the text,
// which a Win32 call will take as the end of it.
std::wstring DecodeEscapes(const std::wstring& text)
{
    if (text.find(L'\a') == std::wstring::npos)
        return text;
    std::wstring decoded;
    decoded.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'\a' && i + 2 < text.size() && IsDigit(text[i + 1]) && IsDigit(text[i + 2])) {
            decoded += static_cast<wchar_t>((text[i + 1] - L'0') * 10 + (text[i + 2] - L'0'));
            i += 2;
        } else {
            decoded += text[i];
        }
    }
    return decoded;
}

void TraceSkippedLine(const std::wstring& path, size_t lineNumber)
{
    if (TraceLog* log = TraceLog::Current())
        log->WriteLine(FormatString(L"ReadLngFile: bad entry id in \"%s\", line %d", _variant_t(path.c_str()),
                                    _variant_t(static_cast<unsigned long>(lineNumber))));
}

} // namespace

void ReadLngFile(const std::wstring& path, std::map<int, std::wstring>& table, const std::wstring& marker)
{
    const std::vector<std::wstring> lines = Split(ReadUnicodeFile(path), L"\r\n");
    bool inSection = false;
    // The first line is never read, whatever it holds.
    for (size_t i = 1; i < lines.size(); ++i) {
        const std::wstring& line = lines[i];
        if (line.empty())
            continue;
        if (line[0] == L'#') {
            inSection = line == marker;
            continue;
        }
        if (!inSection)
            continue;
        const size_t space = line.find(L' ');
        if (space == std::wstring::npos)
            continue;
        int32_t id = 0;
        try {
            id = StrToInt32(line.substr(0, space));
        } catch (const DataConvertError&) {
            // A hand-edited file must not take the library down: the line is left out.
            TraceSkippedLine(path, i + 1);
            continue;
        }
        table[id] = DecodeEscapes(line.substr(space + 1));
    }
}

void LoadLanguage(const std::wstring& folder, const std::wstring& language) noexcept
{
    try {
        if (language.empty() || g_dictionary)
            return;
        const std::wstring defaultPath = folder + L"default.lng";
        const std::wstring languagePath = folder + language + L".lng";
        g_russian = _wcsicmp(language.c_str(), L"russian") == 0;
        if (GetFileLength(defaultPath) == -1 || GetFileLength(languagePath) == -1)
            return;
        std::map<int, std::wstring> defaults;
        std::map<int, std::wstring> translations;
        ReadLngFile(defaultPath, defaults, L"#I");
        ReadLngFile(languagePath, translations, L"#I");
        auto dictionary = std::make_unique<std::map<std::wstring, std::wstring>>();
        for (const auto& [id, text] : defaults) {
            const auto found = translations.find(id);
            if (found != translations.end())
                (*dictionary)[text] = found->second;
        }
        g_dictionary = std::move(dictionary);
    } catch (...) {
        // Untranslated texts are better than no library: the next request of the name tries again.
        TraceCurrentException(L"LoadLanguage");
    }
}

std::wstring Translate(const std::wstring& text)
{
    if (!g_dictionary)
        return text;
    const auto found = g_dictionary->find(text);
    return found == g_dictionary->end() ? text : found->second;
}

bool IsRussianLanguage() noexcept
{
    return g_russian;
}

void FreeLanguage() noexcept
{
    g_dictionary.reset();
}

namespace testhooks {

void ResetLanguage() noexcept
{
    g_dictionary.reset();
    g_russian = false;
}

bool HasLanguageDictionary() noexcept
{
    return g_dictionary != nullptr;
}

} // namespace testhooks
