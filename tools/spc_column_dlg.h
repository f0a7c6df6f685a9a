#pragma once
// The column editor (dialog 103): the type, number, value and optional attribute of one column of a
// preset's column set.
#include "tools/modal_dialog.h"
#include "tools/spc_column.h"

#include <vector>

class SpcColumnDlg : public ModalDialog {
public:
    // Edits column in place; columns is the preset's whole list, index the column's place in it (-1 when
    // the column is new). True when the user confirmed with OK.
    static bool Show(HWND owner, const std::vector<SpcColumn>& columns, SpcColumn& column, int index);

private:
    SpcColumnDlg(const std::vector<SpcColumn>& columns, SpcColumn& column, int index);

    void OnInitDialog() override;
    bool OnCommand(int id, int code) override;
    void UpdateControls();
    bool Validate();
    void Apply();

    const std::vector<SpcColumn>& columns_;
    SpcColumn& column_;
    int index_;
    uint32_t type_;
    int32_t number_ = 0;
};
