#pragma once
// The sections of a preset exchange file checked before an import takes them: a hand-edited file may hold
// words or huge numbers where numbers belong (the profile functions read them as 0 or cut), modes outside
// their values, numbers a mode uses outside the preset editor's ranges, empty names or own column texts
// the spc code cannot read. Such a section would replace a good preset by a broken one.
#include <string>
#include <vector>

struct PresetSectionCheck {
    std::wstring Section; // "Preset<i>"
    std::wstring Name;    // its preset name as stored
    bool Sound = false;   // no field breaks a rule above
};

// Every section Preset0 to Preset99 that holds any preset field, in order. A name that an earlier sound
// section of the file already has makes a section unsound. A file that cannot be read has none.
std::vector<PresetSectionCheck> CheckPresetFile(const std::wstring& path);
