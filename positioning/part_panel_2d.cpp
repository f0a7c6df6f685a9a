#include "positioning/part_panel_2d.h"

#include "core/com_convert.h"
#include "core/registry.h"
#include "core/trace_log.h"
#include "core/translate.h"
#include "hostapi/entity_access.h"
#include "hostapi/vtable_call.h"
#include "objects/main_settings.h"

namespace {

constexpr uint32_t kHelpId = 1;
constexpr long kLeaderComboSetting = 38;

enum : long { kLeaderModeComboBox = 9145, kCreateSpcCheckBox = 9146, kPresetComboBox = 9147 };

std::wstring LeaderKeyPath()
{
    return std::wstring(kSettingsKeyPath) + L"\\fmPosLead";
}

} // namespace

uint32_t StoredLeaderMode()
{
    const RegKey key = OpenRegKey(HKEY_CURRENT_USER, LeaderKeyPath(), KEY_READ);
    if (!key)
        return PartPanel2D::LeaderNew;
    // Anything but one of the three modes (another type, a number out of range) counts as none stored.
    const DWORD mode = ReadRegDword(key.get(), L"PosLeadMode", PartPanel2D::LeaderNew);
    return mode <= PartPanel2D::LeaderNone ? mode : PartPanel2D::LeaderNew;
}

PartPanel2D::PartPanel2D(IVel5Application* application5, IVel7Application* application7, const std::wstring& pageCaption,
                         NMAllSettings* settings, bool isTCS, IDispatch* placementInfo, IDispatch* placedObject)
    : VelBasePanel2D(application5, application7, Translate(L"Вставка детали"), pageCaption, placementInfo, placedObject,
                     kHelpId, true),
      Settings(settings)
{
    TraceScope scope(L":PartPanel2D");
    if (!Settings)
        throw _com_error(E_POINTER);
    const IVel7ControlPtr check = AddCheckBox(kCreateSpcCheckBox, Translate(L"Создавать объект спецификации"),
                                              Settings->CreateSpcObject);
    const IVel7ComboBoxPtr presets = AddComboBox(kPresetComboBox, Settings->GetPresetNames(),
                                                 static_cast<long>(Settings->ActivePresetIndex()));
    SpcControls = std::make_unique<VelPPCheckList>(check, presets);
    AddGroupTitle(L"", true);
    const std::vector<std::wstring> modes = {Translate(L"Проставить новое обозначение позиции"),
                                             Translate(L"Добавить к существующему обозначению"),
                                             Translate(L"Не проставлять обозначение позиции")};
    LeaderMode = StoredLeaderMode();
    if (isTCS) {
        if (!Settings->PosLeaderInAssy)
            LeaderMode = LeaderNone;
        StoreLeaderMode = Settings->PosLeaderInAssy;
    }
    scope.Value(L"LeaderMode", _variant_t(static_cast<unsigned long>(LeaderMode)));
    LeaderModes = AddComboBox(kLeaderModeComboBox, modes, static_cast<long>(LeaderMode));
    V7Call(LeaderModes, &IVel7ComboBox::put_Setting37, kLeaderComboSetting);
    SpcControls->SyncEnabled();
    UpdatePrompt();
}

PartPanel2D::~PartPanel2D() = default;

VARIANT_BOOL PartPanel2D::ChangeControlValue(IDispatch* control)
{
    TraceScope scope(L"PartPanel2D::ChangeControlValue");
    const long id = V7Get(RequireHost(QueryHost<IVel7Control>(control)), &IVel7Control::get_Id);
    scope.Value(L"id", id);
    switch (id) {
    case kLeaderModeComboBox: {
        const std::wstring value = VariantToWString(V7Get(LeaderModes, &IVel7Control::get_Value));
        // A value that is none of the three modes leaves the mode as it was.
        const long index = V7Get(LeaderModes, &IVel7ComboBox::ItemIndex, _bstr_t(value.c_str()));
        if (index >= 0)
            LeaderMode = static_cast<uint32_t>(index);
        break;
    }
    case kCreateSpcCheckBox:
        Settings->CreateSpcObject = SpcControls->IsChecked();
        SpcControls->SyncEnabled();
        UpdatePrompt();
        break;
    case kPresetComboBox: {
        const int32_t item = SpcControls->CurrentItem();
        if (item >= 0)
            Settings->SpcPresetNum = item;
        break;
    }
    default:
        break;
    }
    return VARIANT_FALSE;
}

void PartPanel2D::OnAccepted()
{
    TraceScope scope(L"PartPanel2D::OnAccepted");
    scope.Value(L"LeaderMode", _variant_t(static_cast<unsigned long>(LeaderMode)));
    if (!StoreLeaderMode)
        return;
    if (const RegKey key = CreateRegKey(HKEY_CURRENT_USER, LeaderKeyPath(), KEY_WRITE))
        WriteRegDword(key.get(), L"PosLeadMode", LeaderMode);
}
