#include "objects/all_settings.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <optional>
#include <stdexcept>

#include "core/files.h"
#include "core/format_string.h"
#include "core/ini_file.h"
#include "core/registry.h"
#include "core/trace_log.h"

namespace {

std::wstring PresetKeyPath(std::size_t index)
{
    const std::wstring options = std::wstring(kSettingsKeyPath) + L"\\SPC_OPTIONS";
    if (index == 0)
        return options;
    return options + FormatString(L"\\PRESET%d", _variant_t(static_cast<long>(index)));
}

bool HasPresetKey(std::size_t index)
{
    return static_cast<bool>(OpenRegKey(HKEY_CURRENT_USER, PresetKeyPath(index), KEY_READ));
}

bool CanReadFile(const std::wstring& path)
{
    if (GetFileLength(path) < 0)
        return false;
    std::unique_ptr<FILE, int (*)(FILE*)> file(_wfopen(path.c_str(), L"rb"), &fclose);
    return file != nullptr;
}

} // namespace

std::wstring PresetIniSection(std::size_t index)
{
    return FormatString(L"Preset%d", _variant_t(static_cast<long>(index)));
}

void NMAllSettings::LoadFromRegistry()
{
    TraceScope scope(L"NMAllSettings::LoadFromRegistry");
    NMMainSettings::LoadFromRegistry();
    Presets.clear();
    // Preset 0 always exists: a missing key gives a preset of defaults.
    Presets.emplace_back().LoadFromRegistry(PresetKeyPath(0));
    // A missing key ends the list, even when later keys exist.
    std::size_t i = 1;
    for (; i < kMaxPresets; ++i) {
        NMSpcPreset preset;
        if (!preset.LoadFromRegistry(PresetKeyPath(i)))
            break;
        Presets.push_back(preset);
    }
    // The later keys are not shown, but a save keeps them: they take room the list cannot have.
    behindGap_ = 0;
    for (++i; i < kMaxPresets; ++i)
        if (HasPresetKey(i))
            ++behindGap_;
    scope.Value(L"Presets.size()", _variant_t(static_cast<unsigned long long>(Presets.size())));
    if (behindGap_ > 0)
        scope.Value(L"presets behind a missing key", _variant_t(static_cast<unsigned long long>(behindGap_)));
}

bool NMAllSettings::SaveToRegistry()
{
    TraceScope scope(L"NMAllSettings::SaveToRegistry");
    // What is stored now, every preset key included, also those a load never reaches past a missing key:
    // a save that fails part-way writes it back, so the user keeps the settings as they were.
    NMMainSettings storedMain;
    storedMain.LoadFromRegistry();
    std::vector<std::optional<NMSpcPreset>> stored(kMaxPresets);
    std::size_t listed = 0; // the stored list as a load reads it: up to the first missing key
    for (std::size_t i = 0; i < kMaxPresets; ++i) {
        // Preset 0 is always in the list: a missing key reads as its defaults.
        if (i > 0 && !HasPresetKey(i))
            continue;
        stored[i].emplace().LoadFromRegistry(PresetKeyPath(i));
        if (listed == i)
            listed = i + 1;
    }

    const std::size_t count = std::min(Presets.size(), kMaxPresets);
    if (count < Presets.size())
        scope.Value(L"presets not saved", _variant_t(static_cast<unsigned long long>(Presets.size() - count)));
    // Keys behind a missing one hold presets the user never saw in the list. They keep their keys while the
    // new list stays short of them; a list that reaches them would write over them, so they follow it.
    std::vector<std::size_t> behind;
    for (std::size_t i = listed; i < kMaxPresets; ++i)
        if (stored[i])
            behind.push_back(i);
    const bool moved = !behind.empty() && count > behind.front();
    const std::size_t following = moved ? std::min(behind.size(), kMaxPresets - count) : 0;
    if (moved && following < behind.size())
        scope.Value(L"presets behind a missing key not saved",
                    _variant_t(static_cast<unsigned long long>(behind.size() - following)));

    bool written = NMMainSettings::SaveToRegistry();
    for (std::size_t i = 0; i < count; ++i)
        written = Presets[i].SaveToRegistry(PresetKeyPath(i)) && written;
    for (std::size_t i = 0; i < following; ++i)
        written = stored[behind[i]]->SaveToRegistry(PresetKeyPath(count + i)) && written;
    if (moved)
        scope.Value(L"presets behind a missing key written after the list",
                    _variant_t(static_cast<unsigned long long>(following)));
    // Only the presets the user saw in the list and took out of it go, and the keys the ones behind a
    // missing key have left.
    if (written)
        written = moved ? DeletePresetKeys(count + following, kMaxPresets)
                        : DeletePresetKeys(std::max<std::size_t>(count, 1), std::max(count, listed));
    if (written)
        return true;

    scope.WriteLine(L"settings not written; the stored settings written back");
    storedMain.SaveToRegistry();
    for (std::size_t i = 0; i < kMaxPresets; ++i) {
        if (stored[i])
            stored[i]->SaveToRegistry(PresetKeyPath(i));
        else
            DeletePresetKeys(i, i + 1);
    }
    return false;
}

bool NMAllSettings::DeleteAllPresetsFromRegistry()
{
    TraceScope scope(L"NMAllSettings::DeleteAllPresetsFromRegistry");
    return DeletePresetKeys(1, kMaxPresets);
}

bool NMAllSettings::DeletePresetKeys(std::size_t first, std::size_t end)
{
    bool deleted = true;
    for (std::size_t i = first; i < end; ++i) {
        if (!HasPresetKey(i))
            continue;
        DeleteRegKeyTree(HKEY_CURRENT_USER, PresetKeyPath(i));
        deleted = !HasPresetKey(i) && deleted;
    }
    return deleted;
}

bool NMAllSettings::SaveToIniFile(const std::wstring& aFileName) const
{
    TraceScope scope(L"NMAllSettings::SaveToIniFile");
    scope.String(L"aFileName", aFileName);
    scope.Value(L"Presets.size()", _variant_t(static_cast<unsigned long long>(Presets.size())));
    // A file that begins with the UTF-16 byte-order mark makes the profile functions write Unicode text.
    if (!WriteUnicodeFile(L"", aFileName)) {
        scope.WriteLine(L"cannot create the file");
        return false;
    }
    bool written = true;
    const std::size_t count = std::min(Presets.size(), kMaxPresets);
    for (std::size_t i = 0; i < count; ++i)
        written = Presets[i].SaveToIni(aFileName, PresetIniSection(i)) && written;
    return written;
}

bool NMAllSettings::LoadFromIniFile(const std::wstring& aFileName, uint32_t& replaced, uint32_t& added,
                                    const std::function<bool(const std::wstring& section)>& take,
                                    std::vector<std::wstring>* full)
{
    TraceScope scope(L"NMAllSettings::LoadFromIniFile");
    scope.String(L"aFileName", aFileName);
    scope.Value(L"Presets.size()", _variant_t(static_cast<unsigned long long>(Presets.size())));
    replaced = 0;
    added = 0;
    if (full)
        full->clear();
    // The profile functions read a missing file as empty sections: the import would report nothing done.
    if (!CanReadFile(aFileName)) {
        scope.WriteLine(L"cannot read the file");
        return false;
    }
    // The names are taken once: two new sections of one name are both appended.
    const std::vector<std::wstring> names = GetPresetNames();
    for (std::size_t i = 0; i < kMaxPresets; ++i) {
        const std::wstring section = PresetIniSection(i);
        const std::wstring name = GetIniString(aFileName, section, L"PresetName");
        if (name.empty())
            continue;
        if (take && !take(section)) {
            scope.String(L"not taken", section);
            continue;
        }
        const auto known = std::find(names.begin(), names.end(), name);
        if (known != names.end()) {
            Presets[known - names.begin()].LoadFromIni(aFileName, section);
            ++replaced;
        } else if (Presets.size() < MaxListed()) {
            Presets.emplace_back().LoadFromIni(aFileName, section);
            ++added;
        } else {
            scope.String(L"not taken, the list is full", section);
            if (full)
                full->push_back(section);
        }
    }
    scope.Value(L"replaced", _variant_t(static_cast<unsigned long>(replaced)));
    scope.Value(L"added", _variant_t(static_cast<unsigned long>(added)));
    return true;
}

std::vector<std::wstring> NMAllSettings::GetPresetNames() const
{
    TraceScope scope(L"NMAllSettings::GetPresetNames");
    std::vector<std::wstring> names;
    names.reserve(Presets.size());
    for (const auto& preset : Presets)
        names.push_back(preset.PresetName);
    return names;
}

NMSpcPreset& NMAllSettings::GetActivePreset()
{
    TraceScope scope(L"NMAllSettings::GetActivePreset");
    scope.Value(L"SpcPresetNum", _variant_t(static_cast<long>(SpcPresetNum)));
    if (Presets.empty())
        throw std::out_of_range("NMAllSettings::GetActivePreset: no presets loaded");
    const std::size_t active = ActivePresetIndex();
    if (active != static_cast<std::size_t>(SpcPresetNum))
        scope.WriteLine(L"SpcPresetNum outside the list; preset 0 used");
    return Presets[active];
}

std::size_t NMAllSettings::ActivePresetIndex() const
{
    // A hand-edited registry or a list cut short at a missing key can leave the number outside the list.
    if (SpcPresetNum < 0 || static_cast<std::size_t>(SpcPresetNum) >= Presets.size())
        return 0;
    return static_cast<std::size_t>(SpcPresetNum);
}
