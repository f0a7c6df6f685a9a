#include "objects/main_settings.h"

#include "core/registry.h"
#include "core/trace_log.h"

void NMMainSettings::LoadFromRegistry()
{
    TraceScope scope(L"NMMainSettings::LoadFromRegistry");
    const RegKey key = OpenRegKey(HKEY_CURRENT_USER, kSettingsKeyPath, KEY_READ);
    const NMMainSettings defaults;
    RestoreSelect = ReadRegBool(key.get(), L"RestoreSelect", defaults.RestoreSelect);
    PosLeaderInAssy = ReadRegBool(key.get(), L"PosLeaderInAssy", defaults.PosLeaderInAssy);
    PosLeader3D = ReadRegBool(key.get(), L"PosLeader3D", defaults.PosLeader3D);
    CreateSpcObject = ReadRegBool(key.get(), L"CreateSpcObject", defaults.CreateSpcObject);
    SpcPresetNum = ReadRegInt32(key.get(), L"SpcPresetNum", defaults.SpcPresetNum);
    EditSpcObject = ReadRegBool(key.get(), L"EditSpcObject", defaults.EditSpcObject);
    debug_mode = ReadRegBool(key.get(), L"debug_mode", defaults.debug_mode);
}

bool NMMainSettings::SaveToRegistry()
{
    TraceScope scope(L"NMMainSettings::SaveToRegistry");
    const RegKey key = CreateRegKey(HKEY_CURRENT_USER, kSettingsKeyPath, KEY_WRITE);
    if (!key) {
        scope.WriteLine(L"cannot create the key");
        return false;
    }
    bool written = WriteRegDword(key.get(), L"RestoreSelect", RestoreSelect ? 1 : 0);
    written = WriteRegDword(key.get(), L"PosLeaderInAssy", PosLeaderInAssy ? 1 : 0) && written;
    written = WriteRegDword(key.get(), L"PosLeader3D", PosLeader3D ? 1 : 0) && written;
    written = WriteRegDword(key.get(), L"CreateSpcObject", CreateSpcObject ? 1 : 0) && written;
    written = WriteRegDword(key.get(), L"SpcPresetNum", static_cast<DWORD>(SpcPresetNum)) && written;
    written = WriteRegDword(key.get(), L"EditSpcObject", EditSpcObject ? 1 : 0) && written;
    return written;
}
