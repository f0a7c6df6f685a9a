#include "tools/settings_dlg.h"

#include "core/display_name.h"
#include "core/file_dialogs.h"
#include "core/files.h"
#include "core/format_string.h"
#include "core/modal_seam.h"
#include "core/trace_log.h"
#include "core/translate.h"
#include "hostapi/host_window.h"
#include "hostapi/velmar_application.h"
#include "resources/resource.h"
#include "tools/preset_file_check.h"
#include "tools/spc_preset_dlg.h"

#include <algorithm>
#include <map>
#include <set>

namespace {

constexpr DWORD kHelpContext = 6;
constexpr wchar_t kExchangeFile[] = L"SpcSettings.ini";

std::vector<std::wstring> ExchangeFilters()
{
    return {Translate(L"Файл настроек (*.ini)"), L"*.ini", Translate(L"Все файлы (*.*)"), L"*.*"};
}

_variant_t Count(size_t count)
{
    return _variant_t(static_cast<long>(count));
}

} // namespace

void SettingsDlg::Show()
{
    TraceScope scope(L"SettingsDlg::Show");
    SettingsDlg dialog;
    dialog.settings_.LoadFromRegistry();
    const HWND owner = HostMainWindow(HeldVelmar5());
    // OK saves from inside the dialog: the result says nothing more.
    dialog.Run(IDD_SETTINGS, owner);
}

SettingsDlg::SettingsDlg() : ModalDialog(kHelpContext) {}

void SettingsDlg::OnInitDialog()
{
    LineUpButtons();
    SetTexts(L"Настройки", {
        {IDC_MAIN_WINDOW_GROUP, L"Главное окно"},
        {IDC_RESTORE_SELECT, L"Показывать главное окно после отмены вставки"},
        {IDC_POS_LEADER_GROUP, L"Обозначение позиции"},
        {IDC_POS_LEADER_ASSY, L"Создавать для крепежных соединений в чертеже"},
        {IDC_POS_LEADER_3D, L"Создавать для стандартных изделий в сборке"},
        {IDC_SPC_OBJECT_GROUP, L"Объект спецификации"},
        {IDC_CREATE_SPC_OBJECT, L"Создавать объект спецификации"},
        {IDC_ACTIVE_PRESET_LABEL, L"Шаблон настроек объекта спецификации:"},
        {IDC_EDIT_SPC_OBJECT, L"Открывать окно редактирования объекта спецификации"},
        {IDC_PRESET_LIST_LABEL, L"Шаблоны настроек объекта спецификации:"},
        {IDC_ADD_PRESET, L"Добавить..."},
        {IDC_CHANGE_PRESET, L"Изменить..."},
        {IDC_DELETE_PRESET, L"Удалить"},
        {IDC_EXPORT_PRESETS, L"Экспорт..."},
        {IDC_IMPORT_PRESETS, L"Импорт..."},
        {IDOK, L"ОК"},
        {IDCANCEL, L"Отмена"},
        {IDHELP, L"Справка"},
    });
    Check(IDC_RESTORE_SELECT, settings_.RestoreSelect);
    Check(IDC_POS_LEADER_ASSY, settings_.PosLeaderInAssy);
    Check(IDC_POS_LEADER_3D, settings_.PosLeader3D);
    Check(IDC_CREATE_SPC_OBJECT, settings_.CreateSpcObject);
    Check(IDC_EDIT_SPC_OBJECT, settings_.EditSpcObject);
    // The preset the commands take: a stored number outside the list means preset 0 to them.
    FillPresetLists(static_cast<int>(settings_.ActivePresetIndex()), -1);

    versionFont_ = SetDerivedFont(Item(IDC_VERSION), [](LOGFONTW& font) { font.lfHeight = 9; });
    SetItemText(IDC_VERSION, GetFileVersionString(GetModulePath()));
    UpdateControls();
}

void SettingsDlg::OnDestroy() noexcept
{
    versionFont_.reset();
}

bool SettingsDlg::OnCommand(int id, int code)
{
    switch (id) {
    case IDOK:
        OnOK();
        return true;
    case IDC_CREATE_SPC_OBJECT:
        UpdateControls();
        return true;
    case IDC_PRESET_LIST:
        if (code == LBN_SELCHANGE)
            UpdateControls();
        else if (code == LBN_DBLCLK)
            ChangePreset();
        return true;
    case IDC_ADD_PRESET:
        AddPreset();
        return true;
    case IDC_CHANGE_PRESET:
        ChangePreset();
        return true;
    case IDC_DELETE_PRESET:
        DeletePreset();
        return true;
    case IDC_EXPORT_PRESETS:
        ExportPresets();
        return true;
    case IDC_IMPORT_PRESETS:
        ImportPresets();
        return true;
    }
    return false;
}

void SettingsDlg::FillPresetLists(int comboSelection, int listSelection)
{
    SendDlgItemMessageW(window_, IDC_PRESET_LIST, LB_RESETCONTENT, 0, 0);
    names_ = settings_.GetPresetNames();
    FillCombo(IDC_ACTIVE_PRESET, names_);
    for (const auto& name : names_)
        SendDlgItemMessageW(window_, IDC_PRESET_LIST, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
    SelectCombo(IDC_ACTIVE_PRESET, comboSelection);
    SendDlgItemMessageW(window_, IDC_PRESET_LIST, LB_SETCURSEL, static_cast<WPARAM>(listSelection), 0);
}

void SettingsDlg::UpdateControls()
{
    const int selected = SelectedPreset();
    Enable(IDC_CHANGE_PRESET, selected >= 0);
    Enable(IDC_DELETE_PRESET, selected >= 1);
    Enable(IDC_EDIT_SPC_OBJECT, IsChecked(IDC_CREATE_SPC_OBJECT));
    // The registry keeps no more presets than this, those behind a missing key among them: one more would
    // lose one at OK.
    Enable(IDC_ADD_PRESET, settings_.Presets.size() < settings_.MaxListed());
}

int SettingsDlg::SelectedPreset() const
{
    return static_cast<int>(SendDlgItemMessageW(window_, IDC_PRESET_LIST, LB_GETCURSEL, 0, 0));
}

void SettingsDlg::AddPreset()
{
    if (settings_.Presets.size() >= settings_.MaxListed())
        return;
    NMSpcPreset preset(Translate(L"Новый шаблон"));
    if (!SpcPresetDlg::Show(window_, names_, preset, -1))
        return;
    settings_.Presets.push_back(preset);
    names_.push_back(preset.PresetName);
    SendDlgItemMessageW(window_, IDC_ACTIVE_PRESET, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(names_.back().c_str()));
    const auto row = SendDlgItemMessageW(window_, IDC_PRESET_LIST, LB_ADDSTRING, 0,
                                         reinterpret_cast<LPARAM>(names_.back().c_str()));
    SendDlgItemMessageW(window_, IDC_PRESET_LIST, LB_SETCURSEL, static_cast<WPARAM>(row), 0);
    SetFocus(Item(IDC_PRESET_LIST));
    UpdateControls();
}

void SettingsDlg::ChangePreset()
{
    const int i = SelectedPreset();
    if (i < 0)
        return;
    NMSpcPreset preset = settings_.Presets[i];
    if (SpcPresetDlg::Show(window_, names_, preset, i)) {
        settings_.Presets[i] = preset;
        if (preset.PresetName != names_[i]) {
            names_[i] = preset.PresetName;
            const auto text = reinterpret_cast<LPARAM>(names_[i].c_str());
            const int active = ComboSelection(IDC_ACTIVE_PRESET);
            SendDlgItemMessageW(window_, IDC_ACTIVE_PRESET, CB_DELETESTRING, static_cast<WPARAM>(i), 0);
            SendDlgItemMessageW(window_, IDC_ACTIVE_PRESET, CB_INSERTSTRING, static_cast<WPARAM>(i), text);
            SelectCombo(IDC_ACTIVE_PRESET, active);
            SendDlgItemMessageW(window_, IDC_PRESET_LIST, LB_DELETESTRING, static_cast<WPARAM>(i), 0);
            SendDlgItemMessageW(window_, IDC_PRESET_LIST, LB_INSERTSTRING, static_cast<WPARAM>(i), text);
            SendDlgItemMessageW(window_, IDC_PRESET_LIST, LB_SETCURSEL, static_cast<WPARAM>(i), 0);
        }
    }
    SetFocus(Item(IDC_PRESET_LIST));
}

void SettingsDlg::DeletePreset()
{
    // Preset 0 is the one every command falls back to: it stays.
    const int i = SelectedPreset();
    if (i < 1)
        return;
    const std::wstring text = FormatString(Translate(L"Удалить шаблон \"%s\" ?"), names_[i].c_str());
    if (ShowMessageBox(window_, text, Translate(L"Удаление шаблона"), MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    settings_.Presets.erase(settings_.Presets.begin() + i);
    names_.erase(names_.begin() + i);
    const int active = ComboSelection(IDC_ACTIVE_PRESET);
    SendDlgItemMessageW(window_, IDC_ACTIVE_PRESET, CB_DELETESTRING, static_cast<WPARAM>(i), 0);
    // The same preset stays active, or the one before it when the active one went.
    if (i <= active)
        SelectCombo(IDC_ACTIVE_PRESET, active - 1);
    SendDlgItemMessageW(window_, IDC_PRESET_LIST, LB_DELETESTRING, static_cast<WPARAM>(i), 0);
    const int next = std::min(i, static_cast<int>(names_.size()) - 1);
    SendDlgItemMessageW(window_, IDC_PRESET_LIST, LB_SETCURSEL, static_cast<WPARAM>(next), 0);
    UpdateControls();
}

void SettingsDlg::ExportPresets()
{
    TraceScope scope(L"SettingsDlg::ExportPresets");
    std::wstring path = kExchangeFile;
    if (!SaveFileDlg(window_, path, ExchangeFilters(), L"ini"))
        return;
    if (!settings_.SaveToIniFile(path))
        Tell(Translate(L"Не удалось сохранить файл.") + L"\r\n" + path, MB_ICONEXCLAMATION);
}

void SettingsDlg::ImportPresets()
{
    TraceScope scope(L"SettingsDlg::ImportPresets");
    std::wstring path = kExchangeFile;
    if (!OpenFileDlg(window_, path, ExchangeFilters(), L"ini"))
        return;
    const auto checks = CheckPresetFile(path);
    std::set<std::wstring> sound;
    std::map<std::wstring, std::wstring> named; // each section as the messages name it
    std::wstring damaged;
    for (const auto& check : checks) {
        named[check.Section] = L"\r\n" + check.Section + L" \"" + check.Name + L"\"";
        if (check.Sound)
            sound.insert(check.Section);
        else
            damaged += named[check.Section];
    }
    uint32_t replaced = 0;
    uint32_t added = 0;
    std::vector<std::wstring> full;
    if (!settings_.LoadFromIniFile(path, replaced, added,
                                   [&](const std::wstring& section) { return sound.count(section) != 0; }, &full)) {
        Tell(Translate(L"Не удалось прочитать файл.") + L"\r\n" + path, MB_ICONEXCLAMATION);
        return;
    }
    if (checks.empty()) {
        Tell(Translate(L"В файле нет шаблонов настроек.") + L"\r\n" + path, MB_ICONEXCLAMATION);
        return;
    }
    // Imports only replace by name or append: the user's choice of the active preset keeps its index.
    FillPresetLists(ComboSelection(IDC_ACTIVE_PRESET), SelectedPreset());
    UpdateControls();
    std::wstring text = FormatString(Translate(L"Шаблоны настроек: %d создан(о), %d обновлен(о)."),
                                     Count(added), Count(replaced));
    UINT icon = MB_ICONINFORMATION;
    if (!full.empty()) {
        // Presets behind a missing key are not in the list the user sees, yet they take room in it.
        const size_t hidden = settings_.PresetsBehindGap();
        text += L"\r\n";
        text += hidden == 0
                    ? FormatString(Translate(L"Не загружено шаблонов: %d (шаблонов может быть не больше %d)."),
                                   Count(full.size()), Count(NMAllSettings::kMaxPresets))
                    : FormatString(Translate(L"Не загружено шаблонов: %d (шаблонов может быть не больше %d, в том "
                                             L"числе %d, которые хранятся в реестре после пропущенного шаблона и "
                                             L"не показаны в списке)."),
                                   Count(full.size()), Count(NMAllSettings::kMaxPresets), Count(hidden));
        for (const auto& section : full)
            text += named[section];
        icon = MB_ICONEXCLAMATION;
    }
    if (!damaged.empty()) {
        text += L"\r\n\r\n" + Translate(L"Повреждённые шаблоны не загружены:") + damaged;
        icon = MB_ICONEXCLAMATION;
    }
    Tell(text, icon);
}

void SettingsDlg::OnOK()
{
    settings_.RestoreSelect = IsChecked(IDC_RESTORE_SELECT);
    settings_.PosLeaderInAssy = IsChecked(IDC_POS_LEADER_ASSY);
    settings_.PosLeader3D = IsChecked(IDC_POS_LEADER_3D);
    settings_.CreateSpcObject = IsChecked(IDC_CREATE_SPC_OBJECT);
    // The box always shows an active preset: the one shown is the one stored.
    settings_.SpcPresetNum = ComboSelection(IDC_ACTIVE_PRESET);
    settings_.EditSpcObject = IsChecked(IDC_EDIT_SPC_OBJECT);
    if (!settings_.SaveToRegistry()) {
        Tell(Translate(L"Не удалось сохранить настройки."), MB_ICONEXCLAMATION);
        return;
    }
    EndDialog(window_, IDOK);
}

void SettingsDlg::Tell(const std::wstring& text, UINT icon)
{
    ShowMessageBox(window_, text, LibraryDisplayName(), MB_OK | icon);
}
