#include "tools/preset_file_check.h"

#include "core/ini_file.h"
#include "core/string_utils.h"
#include "core/variables.h"
#include "objects/all_settings.h"
#include "objects/spc_column_set.h"
#include "tools/number_range.h"

#include <algorithm>
#include <cstdint>
#include <cwctype>
#include <optional>
#include <set>
#include <utility>

namespace {

constexpr NumberRange kFlag{0, 1};
constexpr NumberRange kAnyNumber{INT32_MIN, INT32_MAX};

const wchar_t* const kKeys[] = {
    L"PresetName", L"SectionMode", L"SectionNum", L"SubSectionMode", L"SubSectionNum", L"ExtSectionMode",
    L"NestedBlockNum", L"NestedSectionNum", L"AdditionalBlockNum", L"ColumnsMode", L"Columns",
};

class Section {
public:
    // One read of the whole section: the profile functions open the file for every call.
    Section(const std::wstring& path, const std::wstring& name)
    {
        const auto lines = GetIniSection(path, name);
        for (const wchar_t* key : kKeys) {
            // Keys are found without regard to case, as the profile functions find them.
            const auto line = std::find_if(lines.begin(), lines.end(),
                                           [&](const auto& l) { return _wcsicmp(l.first.c_str(), key) == 0; });
            values_.emplace_back(key, line == lines.end() ? std::wstring() : line->second);
        }
    }

    bool IsEmpty() const
    {
        return std::all_of(values_.begin(), values_.end(), [](const auto& value) { return value.second.empty(); });
    }
    const std::wstring& Text(const wchar_t* key) const
    {
        return std::find_if(values_.begin(), values_.end(), [&](const auto& value) { return value.first == key; })
            ->second;
    }
    std::optional<int32_t> Number(const wchar_t* key, NumberRange range) const
    {
        return NumberInRange(Text(key), range);
    }

private:
    std::vector<std::pair<std::wstring, std::wstring>> values_;
};

bool HasName(const std::wstring& name)
{
    return std::any_of(name.begin(), name.end(), [](wchar_t c) { return std::iswspace(c) == 0; });
}

// Every number a number, each flag 0 or 1, and the numbers a mode uses in their ranges. The block mode
// is any number, as the presets read it: 1 the nested block, any other but 0 the additional block.
bool AreNumbersSound(const Section& section)
{
    const auto sectionMode = section.Number(L"SectionMode", kFlag);
    const auto subSectionMode = section.Number(L"SubSectionMode", kFlag);
    const auto extMode = section.Number(L"ExtSectionMode", kAnyNumber);
    if (!sectionMode || !subSectionMode || !extMode || !section.Number(L"ColumnsMode", kFlag))
        return false;
    const auto within = [&](const wchar_t* key, bool used, NumberRange range) {
        return section.Number(key, used ? range : kAnyNumber).has_value();
    };
    return within(L"SectionNum", *sectionMode == 1, kSectionRange) &&
           within(L"SubSectionNum", *subSectionMode == 1, kSubSectionRange) &&
           within(L"NestedBlockNum", *extMode == 1, kBlockRange) &&
           within(L"NestedSectionNum", *extMode == 1, kBlockRange) &&
           within(L"AdditionalBlockNum", *extMode != 0 && *extMode != 1, kBlockRange);
}

// Own columns as the spc code reads them: each descriptor gives a record (a piece the reader would skip
// fills nothing, and was never written by the library). A column text under the default columns is kept by
// the presets as it stands and read by nothing.
bool AreColumnsSound(const Section& section)
{
    if (section.Number(L"ColumnsMode", kFlag) == 0)
        return true;
    const Variables none;
    const auto descriptors = Split(section.Text(L"Columns"), L";");
    return std::all_of(descriptors.begin(), descriptors.end(), [&](const std::wstring& descriptor) {
        return ParseColumnDescriptor(descriptor, none).has_value();
    });
}

} // namespace

std::vector<PresetSectionCheck> CheckPresetFile(const std::wstring& path)
{
    std::vector<PresetSectionCheck> checks;
    std::set<std::wstring> names;
    for (std::size_t i = 0; i < NMAllSettings::kMaxPresets; ++i) {
        const std::wstring name = PresetIniSection(i);
        const Section section(path, name);
        if (section.IsEmpty())
            continue;
        PresetSectionCheck check{name, section.Text(L"PresetName")};
        check.Sound = HasName(check.Name) && !names.count(check.Name) && AreNumbersSound(section) &&
                      AreColumnsSound(section);
        if (check.Sound)
            names.insert(check.Name);
        checks.push_back(std::move(check));
    }
    return checks;
}
