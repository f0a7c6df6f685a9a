#pragma once
// The main settings with the list of specification presets: preset 0 in the key "SPC_OPTIONS" under
// the settings key, preset i (1 to 99) in "SPC_OPTIONS\PRESET<i>"; exported to and imported from an
// INI file with one section "Preset<i>" per preset.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "objects/main_settings.h"
#include "objects/spc_preset.h"

// "Preset<index>": the INI section of the preset at index.
std::wstring PresetIniSection(std::size_t index);

class NMAllSettings : public NMMainSettings {
public:
    // Presets 0 to 99 are all that a load reads back; the list never stores more.
    static constexpr std::size_t kMaxPresets = 100;

    // The main values, then preset 0 (always present, defaults when its key is missing) and presets
    // 1, 2, ... up to the first missing key. Replaces the list, and counts the preset keys behind that one.
    void LoadFromRegistry() override;
    // The main values, then every preset (at most kMaxPresets); only when all are written are the keys of
    // the stored list that the new list no longer reaches deleted. Presets behind a missing key keep their
    // keys, unless the new list reaches them: then they are written after it, in their order, as far as
    // room is left. When anything cannot be written or deleted, the settings stored before are written back
    // and it is false.
    bool SaveToRegistry() override;
    // Deletes the keys PRESET1 to PRESET99 with their subkeys; false when one of them stays.
    bool DeleteAllPresetsFromRegistry();

    // Writes the file anew (UTF-16 with FF FE) with one section per preset; false when it cannot be written.
    bool SaveToIniFile(const std::wstring& aFileName) const;
    // Merges the sections Preset0 to Preset99 into the list by exact name: a known name replaces that
    // preset, a new one is appended while the list has room (MaxListed). Both counts are set to 0 first.
    // False (and nothing changed) when the file cannot be read. With take given, only the sections it
    // accepts (by section name) are merged; with full given, it is set to the sections of new presets the
    // list had no room for.
    bool LoadFromIniFile(const std::wstring& aFileName, uint32_t& replaced, uint32_t& added,
                         const std::function<bool(const std::wstring& section)>& take = {},
                         std::vector<std::wstring>* full = nullptr);

    std::vector<std::wstring> GetPresetNames() const;
    // The preset at SpcPresetNum, or preset 0 when that number is outside the list. An empty list (no
    // load yet) throws std::out_of_range.
    NMSpcPreset& GetActivePreset();
    // The index GetActivePreset takes: SpcPresetNum, or 0 when that is outside the list.
    std::size_t ActivePresetIndex() const;

    // The presets whose keys the last load found behind a missing key: the list does not show them, but a
    // save keeps them after the list, so they take their room among the kMaxPresets.
    std::size_t PresetsBehindGap() const noexcept { return behindGap_; }
    // The most presets the list holds without a save losing one of those behind a missing key.
    std::size_t MaxListed() const noexcept { return kMaxPresets - behindGap_; }

    std::vector<NMSpcPreset> Presets;

private:
    std::size_t behindGap_ = 0;

    // Deletes the keys PRESET<first> to PRESET<end - 1> with their subkeys; false when one of them stays.
    bool DeletePresetKeys(std::size_t first, std::size_t end);
};
