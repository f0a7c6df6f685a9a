#include "objects/spc_preset.h"

#include <algorithm>
#include <variant>

#include "core/ini_file.h"
#include "core/number_text.h"
#include "core/registry.h"
#include "core/string_utils.h"
#include "core/trace_log.h"
#include "core/translate.h"
#include "core/variables.h"

namespace {

// The name of the preset that an empty registry gives (translated when shown).
constexpr wchar_t kDefaultPresetName[] = L"По умолчанию";

// The stored fields in the order of every stored form; the name is the registry value, the INI key and
// the key of the preset text.
using FieldMember = std::variant<std::wstring NMSpcPreset::*, bool NMSpcPreset::*, int32_t NMSpcPreset::*>;
struct Field {
    const wchar_t* name;
    FieldMember member;
};
const Field kFields[] = {
    {L"PresetName", &NMSpcPreset::PresetName},
    {L"SectionMode", &NMSpcPreset::SectionMode},
    {L"SectionNum", &NMSpcPreset::SectionNum},
    {L"SubSectionMode", &NMSpcPreset::SubSectionMode},
    {L"SubSectionNum", &NMSpcPreset::SubSectionNum},
    {L"ExtSectionMode", &NMSpcPreset::ExtSectionMode},
    {L"NestedBlockNum", &NMSpcPreset::NestedBlockNum},
    {L"NestedSectionNum", &NMSpcPreset::NestedSectionNum},
    {L"AdditionalBlockNum", &NMSpcPreset::AdditionalBlockNum},
    {L"ColumnsMode", &NMSpcPreset::ColumnsMode},
    {L"Columns", &NMSpcPreset::Columns},
};

template <typename... F>
struct Overloaded : F... {
    using F::operator()...;
};

// Booleans and numbers in the INI form: "1" and "0", decimal texts. Texts go in double quotes: the
// profile functions trim the end spaces of a value and take off one pair of quotes around it, so a name
// such as "Гайки " or one already in quotes comes back only from a quoted value.
std::wstring IniText(const NMSpcPreset& preset, const FieldMember& member)
{
    return std::visit(Overloaded{
        [&](std::wstring NMSpcPreset::*text) { return L'"' + preset.*text + L'"'; },
        [&](bool NMSpcPreset::*flag) { return std::wstring(preset.*flag ? L"1" : L"0"); },
        [&](int32_t NMSpcPreset::*number) { return IntToStr(preset.*number); },
    }, member);
}

} // namespace

NMSpcPreset::NMSpcPreset()
{
    TraceScope scope(L":NMSpcPreset(void)");
    SetDefaultNumbers();
}

NMSpcPreset::NMSpcPreset(const std::wstring& name) : PresetName(name), Columns(kDefaultSpcColumns)
{
    TraceScope scope(L":NMSpcPreset(const std::wstring&)");
    scope.String(L"PresetName", PresetName);
    SetDefaultNumbers();
}

NMSpcPreset::NMSpcPreset(const Variables& vars)
{
    TraceScope scope(L":NMSpcPreset(const Variables&)");
    // The modes are the active preset's to give (Correct); until then they hold the defaults.
    SetDefaultNumbers();
    SectionNum = vars.GetInt(L"spcSection");
    SubSectionNum = vars.GetInt(L"spcSubSection");
    NestedBlockNum = vars.GetInt(L"spcNestedBlock");
    NestedSectionNum = vars.GetInt(L"spcNestedSection");
    AdditionalBlockNum = vars.GetInt(L"spcAdditionalBlock");
    Columns = vars.GetString(L"spcColumns");
}

NMSpcPreset::NMSpcPreset(const NMSpcPreset& other)
{
    TraceScope scope(L":NMSpcPreset(const NMSpcPreset&)");
    CopyFrom(other);
}

NMSpcPreset& NMSpcPreset::operator=(const NMSpcPreset& other)
{
    CopyFrom(other);
    return *this;
}

NMSpcPreset::~NMSpcPreset()
{
    try {
        TraceScope scope(L"~NMSpcPreset");
    } catch (...) {
        // Nothing to undo: the trace is all a destructor writes.
    }
}

void NMSpcPreset::SetDefaultNumbers()
{
    const int32_t section = IsRussianLanguage() ? 25 : 20;
    SectionMode = false;
    SectionNum = section;
    SubSectionMode = false;
    SubSectionNum = 0;
    ExtSectionMode = 0;
    NestedBlockNum = 1;
    NestedSectionNum = section;
    AdditionalBlockNum = 1;
    ColumnsMode = false;
}

bool NMSpcPreset::LoadFromRegistry(const std::wstring& keyPath)
{
    TraceScope scope(L"NMSpcPreset::LoadFromRegistry");
    scope.String(L"keyPath", keyPath);
    const RegKey key = OpenRegKey(HKEY_CURRENT_USER, keyPath, KEY_READ);
    // Whatever the key lacks keeps the defaults of a fresh installation.
    PresetName = Translate(kDefaultPresetName);
    Columns = kDefaultSpcColumns;
    SetDefaultNumbers();
    for (const auto& field : kFields) {
        std::visit(Overloaded{
            [&](std::wstring NMSpcPreset::*text) { this->*text = ReadRegString(key.get(), field.name, this->*text); },
            [&](bool NMSpcPreset::*flag) { this->*flag = ReadRegBool(key.get(), field.name, this->*flag); },
            [&](int32_t NMSpcPreset::*number) { this->*number = ReadRegInt32(key.get(), field.name, this->*number); },
        }, field.member);
    }
    scope.Value(L"exists", _variant_t(static_cast<long>(static_cast<bool>(key))));
    return static_cast<bool>(key);
}

bool NMSpcPreset::SaveToRegistry(const std::wstring& keyPath) const
{
    TraceScope scope(L"NMSpcPreset::SaveToRegistry");
    scope.String(L"keyPath", keyPath);
    const RegKey key = CreateRegKey(HKEY_CURRENT_USER, keyPath, KEY_WRITE);
    if (!key) {
        scope.WriteLine(L"cannot create the key");
        return false;
    }
    bool written = true;
    for (const auto& field : kFields) {
        written = std::visit(Overloaded{
            [&](std::wstring NMSpcPreset::*text) { return WriteRegString(key.get(), field.name, this->*text); },
            [&](bool NMSpcPreset::*flag) { return WriteRegDword(key.get(), field.name, this->*flag ? 1 : 0); },
            [&](int32_t NMSpcPreset::*number) {
                return WriteRegDword(key.get(), field.name, static_cast<DWORD>(this->*number));
            },
        }, field.member) && written;
    }
    scope.Value(L"written", _variant_t(static_cast<long>(written)));
    return written;
}

bool NMSpcPreset::SaveToIni(const std::wstring& fileName, const std::wstring& aPresetKey) const
{
    TraceScope scope(L"NMSpcPreset::SaveToIni");
    scope.String(L"aPresetKey", aPresetKey);
    // One write of the whole section: the profile functions rewrite the file with every call.
    std::wstring lines;
    for (const auto& field : kFields) {
        std::wstring text = IniText(*this, field.member);
        // A line break would end the value and let the rest stand in the file as lines of their own, even
        // as a section of its own that the next import takes for a preset.
        if (text.find_first_of(L"\r\n") != std::wstring::npos) {
            scope.String(L"line breaks written as spaces", field.name);
            std::replace_if(text.begin(), text.end(), [](wchar_t c) { return c == L'\r' || c == L'\n'; }, L' ');
        }
        lines += field.name;
        lines += L'=';
        lines += text;
        lines.push_back(L'\0');
    }
    lines.push_back(L'\0');
    return WritePrivateProfileSectionW(aPresetKey.c_str(), lines.c_str(), fileName.c_str()) != FALSE;
}

void NMSpcPreset::LoadFromIni(const std::wstring& fileName, const std::wstring& aPresetKey)
{
    TraceScope scope(L"NMSpcPreset::LoadFromIni");
    scope.String(L"aPresetKey", aPresetKey);
    // Unlike the registry, a missing number reads as 0: every field comes from the section.
    for (const auto& field : kFields) {
        const auto number = [&] {
            return GetPrivateProfileIntW(aPresetKey.c_str(), field.name, 0, fileName.c_str());
        };
        std::visit(Overloaded{
            [&](std::wstring NMSpcPreset::*text) { this->*text = GetIniString(fileName, aPresetKey, field.name); },
            [&](bool NMSpcPreset::*flag) { this->*flag = number() != 0; },
            [&](int32_t NMSpcPreset::*number_) { this->*number_ = static_cast<int32_t>(number()); },
        }, field.member);
    }
}

void NMSpcPreset::LoadFromString(const std::wstring& aPreset)
{
    TraceScope scope(L"NMSpcPreset::LoadFromString");
    scope.String(L"aPreset", aPreset);
    for (const auto& line : Split(aPreset, L"\n")) {
        const auto equals = line.find(L'=');
        if (equals == std::wstring::npos)
            continue;
        const std::wstring key = line.substr(0, equals);
        const std::wstring value = line.substr(equals + 1);
        for (const auto& field : kFields) {
            if (key != field.name)
                continue;
            std::visit(Overloaded{
                [&](std::wstring NMSpcPreset::*text) { this->*text = value; },
                [&](bool NMSpcPreset::*flag) { this->*flag = StrToUInt32(value) != 0; },
                [&](int32_t NMSpcPreset::*number) { this->*number = static_cast<int32_t>(StrToUInt32(value)); },
            }, field.member);
        }
    }
}

void NMSpcPreset::Correct(const NMSpcPreset& other)
{
    TraceScope scope(L"NMSpcPreset::Correct");
    SectionMode = other.SectionMode;
    if (SectionMode)
        SectionNum = other.SectionNum;
    SubSectionMode = other.SubSectionMode;
    if (SubSectionMode)
        SubSectionNum = other.SubSectionNum;
    ExtSectionMode = other.ExtSectionMode;
    if (ExtSectionMode == 1) {
        NestedBlockNum = other.NestedBlockNum;
        NestedSectionNum = other.NestedSectionNum;
    } else if (ExtSectionMode != 0) {
        AdditionalBlockNum = other.AdditionalBlockNum;
    }
    ColumnsMode = other.ColumnsMode;
    if (ColumnsMode)
        Columns = other.Columns;
}

void NMSpcPreset::CopyFrom(const NMSpcPreset& other)
{
    TraceScope scope(L"NMSpcPreset::CopyFrom");
    // The parsed columns belong to the part they were parsed against: they are never copied.
    PresetName = other.PresetName;
    SectionMode = other.SectionMode;
    SectionNum = other.SectionNum;
    SubSectionMode = other.SubSectionMode;
    SubSectionNum = other.SubSectionNum;
    ExtSectionMode = other.ExtSectionMode;
    NestedBlockNum = other.NestedBlockNum;
    NestedSectionNum = other.NestedSectionNum;
    AdditionalBlockNum = other.AdditionalBlockNum;
    ColumnsMode = other.ColumnsMode;
    Columns = other.Columns;
}

void NMSpcPreset::DebugInfo() const
{
    TraceScope scope(L"NMSpcPreset::DebugInfo");
    scope.Hex(L"(void*) this", static_cast<std::int64_t>(reinterpret_cast<std::intptr_t>(this)));
    for (const auto& field : kFields) {
        std::visit(Overloaded{
            [&](std::wstring NMSpcPreset::*text) { scope.String(field.name, this->*text); },
            [&](bool NMSpcPreset::*flag) { scope.Value(field.name, _variant_t(static_cast<long>(this->*flag))); },
            [&](int32_t NMSpcPreset::*number) { scope.Value(field.name, _variant_t(static_cast<long>(this->*number))); },
        }, field.member);
    }
}
