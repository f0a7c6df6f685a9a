#pragma once
// The preset editor (dialog 102): name, section and subsection, nested or additional block, and the
// preset's own columns of one spc preset.
#include "objects/spc_preset.h"
#include "tools/modal_dialog.h"
#include "tools/number_range.h"
#include "tools/spc_column.h"

#include <cstdint>
#include <string>
#include <vector>

// The section codes the section combo boxes offer under the current interface language, in their order;
// the item after them is "<другой>".
std::vector<int32_t> SectionCodes();
// The item of a section code: its place among SectionCodes, else the "<другой>" item.
int SectionIndex(int32_t code);
// The item of a block number in a block combo of itemCount items, the last being "<другой>": number - 1
// for the numbers the items stand for, the last item for any other.
int BlockIndex(int32_t number, int itemCount);

class SpcPresetDlg : public ModalDialog {
public:
    // Edits preset in place (callers pass a copy or a new preset: the modes change as they are clicked).
    // names are every preset's name; index is the preset's place among them, -1 for a new one. The name
    // of preset 0 cannot be changed. True when the user confirmed with OK.
    static bool Show(HWND owner, const std::vector<std::wstring>& names, NMSpcPreset& preset, int index);

private:
    SpcPresetDlg(const std::vector<std::wstring>& names, NMSpcPreset& preset, int index);

    void OnInitDialog() override;
    bool OnCommand(int id, int code) override;
    bool OnNotify(const NMHDR& header) override;
    void UpdateControls();
    bool Validate();
    void Apply();
    void AddColumn();
    void ChangeColumn();
    void DeleteColumn();
    int SelectedColumn() const;
    void SelectColumn(int index);
    void FitColumns();
    void OnSectionChosen(int combo, int field, int32_t NMSpcPreset::*code);
    void OnBlockChosen(int combo, int field);
    bool IsOther(int combo) const;

    const std::vector<std::wstring>& names_;
    NMSpcPreset& preset_;
    int index_;
    std::vector<SpcColumn> columns_;
    bool columnsEdited_ = false;
};
