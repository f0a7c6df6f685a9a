#pragma once
// The settings dialog (dialog 101, command 6): the main settings and the spc presets, edited on
// a private copy. OK writes the copy to the registry; Cancel drops it. Presets are added, changed and
// deleted through the preset editor, and exported to or imported from an INI file.
#include "core/window_utils.h"
#include "objects/all_settings.h"
#include "tools/modal_dialog.h"

#include <string>
#include <vector>

class SettingsDlg : public ModalDialog {
public:
    // Command 6: loads the settings and runs the dialog over Velmar's main window. Without Velmar's
    // application it raises E_POINTER before anything is shown.
    static void Show();

private:
    SettingsDlg();

    void OnInitDialog() override;
    bool OnCommand(int id, int code) override;
    void OnDestroy() noexcept override;
    void FillPresetLists(int comboSelection, int listSelection);
    void UpdateControls();
    int SelectedPreset() const;
    void AddPreset();
    void ChangePreset();
    void DeletePreset();
    void ExportPresets();
    void ImportPresets();
    void OnOK();
    void Tell(const std::wstring& text, UINT icon);

    NMAllSettings settings_;
    std::vector<std::wstring> names_;
    UniqueGdiObject versionFont_;
};
