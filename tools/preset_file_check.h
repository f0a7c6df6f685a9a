#pragma once
// The sections of a preset exchange file checked before an import takes them: a hand-edited file may hold
// words or huge numbers where numbers belong (the profile functions read them as 0 or cut), modes outside
// their values, empty names or column texts the column editor could never have written. A section that
// breaks a rule of the preset or column editor would replace a good preset by a broken one.
#include <string>
#include <vector>

struct PresetSectionCheck {
    std::wstring Section; // "Preset<i>"
    std::wstring Name;    // its preset name as stored
    bool Sound = false;   // every field as the editors would have left it
};

// Every section Preset0 to Preset99 that holds any preset field, in order. A name that an earlier sound
// section of the file already has makes a section unsound. A file that cannot be read has none.
std::vector<PresetSectionCheck> CheckPresetFile(const std::wstring& path);
