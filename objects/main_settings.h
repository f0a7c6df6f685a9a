#pragma once
// The user's choices that steer a command, kept as REG_DWORD values under HKEY_CURRENT_USER
// "Software\Orbex\Normset\RNMClient\VELMAR_SETTINGS". A command or dialog loads its own copy.
#include <cstdint>

inline constexpr wchar_t kSettingsKeyPath[] = L"Software\\Orbex\\Normset\\RNMClient\\VELMAR_SETTINGS";

class NMMainSettings {
public:
    // The defaults of an empty registry, until LoadFromRegistry.
    NMMainSettings() = default;
    virtual ~NMMainSettings() = default;

    // Missing key or value, or a value that is not a REG_DWORD: the default.
    virtual void LoadFromRegistry();
    // Writes every value but "debug_mode"; false when the key could not be created or a value not written.
    virtual bool SaveToRegistry();

    bool RestoreSelect = true;    // go back to the reference book after an insertion
    bool PosLeaderInAssy = false; // position leaders in assemblies
    bool PosLeader3D = false;     // position leaders in 3D documents
    bool CreateSpcObject = true;  // create specification objects for inserted parts
    int32_t SpcPresetNum = 0;     // index of the active preset
    bool EditSpcObject = true;    // update specification objects of edited parts
    bool debug_mode = false;      // read only: never written by the library
};
