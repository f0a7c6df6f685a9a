#include "tools/spc_preset_dlg.h"

#include "core/display_name.h"
#include "core/format_string.h"
#include "core/list_view.h"
#include "core/modal_seam.h"
#include "core/trace_log.h"
#include "core/translate.h"
#include "resources/resource.h"
#include "tools/spc_column_dlg.h"

#include <algorithm>
#include <cwctype>
#include <iterator>

#include <commctrl.h>

namespace {

constexpr DWORD kHelpContext = 150;

// Block items exist only in the Russian interface; item i stands for block number i + 1.
const wchar_t* const kNestedBlocks[] = {
    L"Комплект монтажных частей",
    L"Комплект сменных частей",
    L"Комплект запасных частей",
    L"Комплект инструмента и принадлежностей",
    L"Комплект укладочных средств",
};
const wchar_t* const kAdditionalBlocks[] = {
    L"Устанавливают по #ХХХ.ХХХХХХ.ХХХ#",
    L"Устанавливают при электромонтаже",
};

std::vector<std::wstring> WithOther(std::vector<std::wstring> items)
{
    items.push_back(Translate(L"<другой>"));
    return items;
}

std::vector<std::wstring> SectionLabels()
{
    if (IsRussianLanguage())
        return WithOther({LibraryDisplayName(), Translate(L"Прочие изделия"), Translate(L"Детали"),
                          Translate(L"Комплекты")});
    return WithOther({Translate(L"Assemblies"), Translate(L"Parts"), Translate(L"Materials")});
}

template <size_t N>
std::vector<std::wstring> BlockLabels(const wchar_t* const (&labels)[N])
{
    std::vector<std::wstring> items;
    if (IsRussianLanguage())
        for (const wchar_t* label : labels)
            items.push_back(Translate(label));
    return WithOther(std::move(items));
}

std::wstring NumberText(int32_t number)
{
    return FormatString(L"%d", _variant_t(static_cast<long>(number)));
}

const wchar_t* const kColumnHeaders[] = {L"Тип и номер колонки", L"Значение (строка)", L"Значение (запись)"};

std::vector<std::wstring> RowTexts(const SpcColumn& column)
{
    return {SpcColumnDisplayText(column), column.Value, column.Attribute};
}

bool IsBlank(const std::wstring& text)
{
    return std::all_of(text.begin(), text.end(), [](wchar_t c) { return std::iswspace(c) != 0; });
}

} // namespace

std::vector<int32_t> SectionCodes()
{
    if (IsRussianLanguage())
        return {25, 30, 20, 40};
    return {10, 20, 30};
}

int SectionIndex(int32_t code)
{
    const auto codes = SectionCodes();
    return static_cast<int>(std::find(codes.begin(), codes.end(), code) - codes.begin());
}

int BlockIndex(int32_t number, int itemCount)
{
    return number >= 1 && number < itemCount ? number - 1 : itemCount - 1;
}

bool SpcPresetDlg::Show(HWND owner, const std::vector<std::wstring>& names, NMSpcPreset& preset, int index)
{
    TraceScope scope(L"SpcPresetDlg::Show");
    scope.Value(L"index", _variant_t(static_cast<long>(index)));
    SpcPresetDlg dialog(names, preset, index);
    return dialog.Run(IDD_SPC_PRESET, owner) == IDOK;
}

SpcPresetDlg::SpcPresetDlg(const std::vector<std::wstring>& names, NMSpcPreset& preset, int index)
    : ModalDialog(kHelpContext), names_(names), preset_(preset), index_(index),
      columns_(ParseSpcColumnSet(preset.Columns))
{
}

void SpcPresetDlg::OnInitDialog()
{
    LineUpButtons();
    SendDlgItemMessageW(window_, IDC_COLUMN_LIST, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT,
                        LVS_EX_FULLROWSELECT);
    SetTexts(L"Шаблон настроек объекта спецификации", {
        {IDC_PRESET_NAME_LABEL, L"Название шаблона:"},
        {IDC_SECTION_GROUP, L"Раздел и подраздел спецификации"},
        {IDC_SECTION_DEFAULT, L"по умолчанию"},
        {IDC_SECTION_OWN, L"раздел"},
        {IDC_SUBSECTION, L"установить подраздел"},
        {IDC_EXT_GROUP, L"Блок вложенных или дополнительных разделов спецификации"},
        {IDC_EXT_DEFAULT, L"по умолчанию"},
        {IDC_EXT_NESTED, L"блок вложенных разделов"},
        {IDC_NESTED_SECTION_LABEL, L"вложенный раздел"},
        {IDC_EXT_ADDITIONAL, L"блок дополнительных разделов"},
        {IDC_COLUMNS_GROUP, L"Заполняемые колонки спецификации"},
        {IDC_COLUMNS_DEFAULT, L"по умолчанию"},
        {IDC_COLUMNS_OWN, L"другие"},
        {IDC_ADD_COLUMN, L"Добавить..."},
        {IDC_CHANGE_COLUMN, L"Изменить..."},
        {IDC_DELETE_COLUMN, L"Удалить"},
        {IDOK, L"ОК"},
        {IDCANCEL, L"Отмена"},
        {IDHELP, L"Справка"},
    });
    SetItemText(IDC_PRESET_NAME, preset_.PresetName);
    Enable(IDC_PRESET_NAME, index_ != 0);

    CheckRadioButton(window_, IDC_SECTION_DEFAULT, IDC_SECTION_OWN,
                     preset_.SectionMode ? IDC_SECTION_OWN : IDC_SECTION_DEFAULT);
    FillCombo(IDC_SECTION_COMBO, SectionLabels());
    SelectCombo(IDC_SECTION_COMBO, SectionIndex(preset_.SectionNum));
    SetItemText(IDC_SECTION_NUM, NumberText(preset_.SectionNum));
    Check(IDC_SUBSECTION, preset_.SubSectionMode);
    SetItemText(IDC_SUBSECTION_NUM, NumberText(preset_.SubSectionNum));

    // A mode outside 0..2 checks none of the three, and Apply then keeps it.
    const int extRadios[] = {IDC_EXT_DEFAULT, IDC_EXT_NESTED, IDC_EXT_ADDITIONAL};
    for (int mode = 0; mode < 3; ++mode)
        Check(extRadios[mode], preset_.ExtSectionMode == mode);
    const auto nestedBlocks = BlockLabels(kNestedBlocks);
    const auto additionalBlocks = BlockLabels(kAdditionalBlocks);
    FillCombo(IDC_NESTED_BLOCK_COMBO, nestedBlocks);
    SelectCombo(IDC_NESTED_BLOCK_COMBO, BlockIndex(preset_.NestedBlockNum, static_cast<int>(nestedBlocks.size())));
    SetItemText(IDC_NESTED_BLOCK_NUM, NumberText(preset_.NestedBlockNum));
    FillCombo(IDC_NESTED_SECTION_COMBO, SectionLabels());
    SelectCombo(IDC_NESTED_SECTION_COMBO, SectionIndex(preset_.NestedSectionNum));
    SetItemText(IDC_NESTED_SECTION_NUM, NumberText(preset_.NestedSectionNum));
    FillCombo(IDC_ADDITIONAL_COMBO, additionalBlocks);
    SelectCombo(IDC_ADDITIONAL_COMBO,
                BlockIndex(preset_.AdditionalBlockNum, static_cast<int>(additionalBlocks.size())));
    SetItemText(IDC_ADDITIONAL_NUM, NumberText(preset_.AdditionalBlockNum));

    CheckRadioButton(window_, IDC_COLUMNS_DEFAULT, IDC_COLUMNS_OWN,
                     preset_.ColumnsMode ? IDC_COLUMNS_OWN : IDC_COLUMNS_DEFAULT);
    HWND list = Item(IDC_COLUMN_LIST);
    for (int i = 0; i < 3; ++i)
        ListViewAddColumn(list, i, Translate(kColumnHeaders[i]), 0);
    for (size_t i = 0; i < columns_.size(); ++i)
        ListViewInsertRow(list, static_cast<int>(i), RowTexts(columns_[i]));
    FitColumns();

    UpdateControls();
    for (const int field : {IDC_SECTION_NUM, IDC_SUBSECTION_NUM, IDC_NESTED_BLOCK_NUM, IDC_NESTED_SECTION_NUM,
                            IDC_ADDITIONAL_NUM})
        MakeNumberField(field);
}

bool SpcPresetDlg::OnCommand(int id, int code)
{
    switch (id) {
    case IDC_SECTION_DEFAULT:
    case IDC_SECTION_OWN:
        CheckRadioButton(window_, IDC_SECTION_DEFAULT, IDC_SECTION_OWN, id);
        preset_.SectionMode = id == IDC_SECTION_OWN;
        break;
    case IDC_SUBSECTION:
        preset_.SubSectionMode = IsChecked(IDC_SUBSECTION);
        break;
    case IDC_EXT_DEFAULT:
    case IDC_EXT_NESTED:
    case IDC_EXT_ADDITIONAL:
        CheckRadioButton(window_, IDC_EXT_DEFAULT, IDC_EXT_ADDITIONAL, id);
        preset_.ExtSectionMode = id - IDC_EXT_DEFAULT;
        break;
    case IDC_COLUMNS_DEFAULT:
    case IDC_COLUMNS_OWN:
        CheckRadioButton(window_, IDC_COLUMNS_DEFAULT, IDC_COLUMNS_OWN, id);
        preset_.ColumnsMode = id == IDC_COLUMNS_OWN;
        break;
    case IDC_SECTION_COMBO:
    case IDC_NESTED_SECTION_COMBO:
    case IDC_NESTED_BLOCK_COMBO:
    case IDC_ADDITIONAL_COMBO:
        if (code != CBN_SELCHANGE)
            return false;
        if (id == IDC_SECTION_COMBO)
            OnSectionChosen(id, IDC_SECTION_NUM, &NMSpcPreset::SectionNum);
        else if (id == IDC_NESTED_SECTION_COMBO)
            OnSectionChosen(id, IDC_NESTED_SECTION_NUM, &NMSpcPreset::NestedSectionNum);
        else
            OnBlockChosen(id, id == IDC_NESTED_BLOCK_COMBO ? IDC_NESTED_BLOCK_NUM : IDC_ADDITIONAL_NUM);
        break;
    case IDC_ADD_COLUMN:
        AddColumn();
        return true;
    case IDC_CHANGE_COLUMN:
        ChangeColumn();
        return true;
    case IDC_DELETE_COLUMN:
        DeleteColumn();
        return true;
    case IDOK:
        if (Validate()) {
            Apply();
            HideBalloon();
            EndDialog(window_, IDOK);
        }
        return true;
    default:
        return false;
    }
    UpdateControls();
    return true;
}

bool SpcPresetDlg::OnNotify(const NMHDR& header)
{
    if (header.idFrom != IDC_COLUMN_LIST)
        return false;
    if (header.code == LVN_ITEMCHANGED)
        UpdateControls();
    else if (header.code == NM_DBLCLK)
        ChangeColumn();
    else
        return false;
    return true;
}

void SpcPresetDlg::OnSectionChosen(int combo, int field, int32_t NMSpcPreset::*code)
{
    const auto codes = SectionCodes();
    const int chosen = ComboSelection(combo);
    if (chosen < 0 || chosen >= static_cast<int>(codes.size()))
        return;
    preset_.*code = codes[chosen];
    SetItemText(field, NumberText(codes[chosen]));
}

void SpcPresetDlg::OnBlockChosen(int combo, int field)
{
    if (const int chosen = ComboSelection(combo); chosen >= 0 && !IsOther(combo))
        SetItemText(field, NumberText(chosen + 1));
}

bool SpcPresetDlg::IsOther(int combo) const
{
    const int count = static_cast<int>(SendDlgItemMessageW(window_, combo, CB_GETCOUNT, 0, 0));
    return ComboSelection(combo) == count - 1;
}

void SpcPresetDlg::UpdateControls()
{
    const bool nested = preset_.ExtSectionMode == 1;
    const bool additional = preset_.ExtSectionMode == 2;
    Enable(IDC_SECTION_COMBO, preset_.SectionMode);
    Enable(IDC_SECTION_NUM, preset_.SectionMode && IsOther(IDC_SECTION_COMBO));
    Enable(IDC_SUBSECTION_NUM, preset_.SubSectionMode);
    Enable(IDC_NESTED_BLOCK_COMBO, nested);
    Enable(IDC_NESTED_SECTION_COMBO, nested);
    Enable(IDC_NESTED_BLOCK_NUM, nested && IsOther(IDC_NESTED_BLOCK_COMBO));
    Enable(IDC_NESTED_SECTION_NUM, nested && IsOther(IDC_NESTED_SECTION_COMBO));
    Enable(IDC_ADDITIONAL_COMBO, additional);
    Enable(IDC_ADDITIONAL_NUM, additional && IsOther(IDC_ADDITIONAL_COMBO));
    Enable(IDC_COLUMN_LIST, preset_.ColumnsMode);
    Enable(IDC_ADD_COLUMN, preset_.ColumnsMode);
    Enable(IDC_CHANGE_COLUMN, preset_.ColumnsMode);
    Enable(IDC_DELETE_COLUMN, preset_.ColumnsMode && SelectedColumn() >= 1);
}

bool SpcPresetDlg::Validate()
{
    const std::wstring name = ItemText(IDC_PRESET_NAME);
    const wchar_t* const badName = L"Неверное название шаблона";
    // Preset 0's name cannot be edited: it keeps what is stored, whatever that is, or OK could never pass.
    const bool editable = index_ != 0;
    // Export and import drop a preset without a name, and the profile functions cut a blank one to nothing.
    if (editable && IsBlank(name)) {
        ShowBalloon(IDC_PRESET_NAME, Translate(badName), Translate(L"Введите название шаблона"));
        return false;
    }
    for (size_t i = 0; editable && i < names_.size(); ++i) {
        if (static_cast<int>(i) != index_ && names_[i] == name) {
            ShowBalloon(IDC_PRESET_NAME, Translate(badName), Translate(L"Шаблон с таким названием уже существует"));
            return false;
        }
    }
    // Only the fields a checked mode uses are checked, each in turn.
    const std::pair<int, NumberRange> used[] = {
        {IsChecked(IDC_SECTION_OWN) ? IDC_SECTION_NUM : 0, kSectionRange},
        {IsChecked(IDC_SUBSECTION) ? IDC_SUBSECTION_NUM : 0, kSubSectionRange},
        {IsChecked(IDC_EXT_NESTED) ? IDC_NESTED_BLOCK_NUM : 0, kBlockRange},
        {IsChecked(IDC_EXT_NESTED) ? IDC_NESTED_SECTION_NUM : 0, kBlockRange},
        {IsChecked(IDC_EXT_ADDITIONAL) ? IDC_ADDITIONAL_NUM : 0, kBlockRange},
    };
    return std::all_of(std::begin(used), std::end(used),
                       [this](const auto& field) { return !field.first || CheckNumber(field.first, field.second); });
}

void SpcPresetDlg::Apply()
{
    // A field left empty or without a number keeps the preset's value: only a checked mode's fields were
    // validated.
    const auto number = [this](int id, int32_t& target) {
        if (const auto value = ParseWholeNumber(ItemText(id)))
            target = *value;
    };
    preset_.PresetName = ItemText(IDC_PRESET_NAME);
    preset_.SectionMode = IsChecked(IDC_SECTION_OWN);
    number(IDC_SECTION_NUM, preset_.SectionNum);
    preset_.SubSectionMode = IsChecked(IDC_SUBSECTION);
    number(IDC_SUBSECTION_NUM, preset_.SubSectionNum);
    if (IsChecked(IDC_EXT_DEFAULT))
        preset_.ExtSectionMode = 0;
    else if (IsChecked(IDC_EXT_NESTED))
        preset_.ExtSectionMode = 1;
    else if (IsChecked(IDC_EXT_ADDITIONAL))
        preset_.ExtSectionMode = 2;
    number(IDC_NESTED_BLOCK_NUM, preset_.NestedBlockNum);
    number(IDC_NESTED_SECTION_NUM, preset_.NestedSectionNum);
    number(IDC_ADDITIONAL_NUM, preset_.AdditionalBlockNum);
    preset_.ColumnsMode = IsChecked(IDC_COLUMNS_OWN);
    // Columns nobody touched keep their stored text to the character.
    if (columnsEdited_)
        preset_.Columns = SpcColumnSetText(columns_);
}

int SpcPresetDlg::SelectedColumn() const
{
    return ListViewGetSelected(Item(IDC_COLUMN_LIST));
}

void SpcPresetDlg::SelectColumn(int index)
{
    HWND list = Item(IDC_COLUMN_LIST);
    ListViewSelectItem(list, index);
    SetFocus(list);
    UpdateControls();
}

// Each column as wide as its header and its texts, whatever the language; the last one takes the rest.
void SpcPresetDlg::FitColumns()
{
    HWND list = Item(IDC_COLUMN_LIST);
    RECT client = {};
    GetClientRect(list, &client);
    int used = 0;
    for (int i = 0; i < 3; ++i) {
        int width = ListView_GetStringWidth(list, Translate(kColumnHeaders[i]).c_str());
        for (const SpcColumn& column : columns_)
            width = std::max(width, ListView_GetStringWidth(list, RowTexts(column)[i].c_str()));
        width += 2 * GetSystemMetrics(SM_CXEDGE) * 3 + 2;
        if (i == 2)
            width = std::max(width, static_cast<int>(client.right) - used);
        ListView_SetColumnWidth(list, i, width);
        used += width;
    }
}

void SpcPresetDlg::AddColumn()
{
    SpcColumn column = ParseSpcColumn(kDefaultSpcColumns);
    if (!SpcColumnDlg::Show(window_, columns_, column, -1))
        return;
    columns_.push_back(column);
    columnsEdited_ = true;
    const int row = static_cast<int>(columns_.size()) - 1;
    ListViewInsertRow(Item(IDC_COLUMN_LIST), row, RowTexts(column));
    FitColumns();
    SelectColumn(row);
}

void SpcPresetDlg::ChangeColumn()
{
    const int row = SelectedColumn();
    if (row < 0)
        return;
    SpcColumn column = columns_[row];
    if (SpcColumnDlg::Show(window_, columns_, column, row)) {
        columns_[row] = column;
        columnsEdited_ = true;
        ListViewSetRowTexts(Item(IDC_COLUMN_LIST), row, RowTexts(column));
        FitColumns();
    }
    SetFocus(Item(IDC_COLUMN_LIST));
}

void SpcPresetDlg::DeleteColumn()
{
    // The first row is the preset's own first column and stays.
    const int row = SelectedColumn();
    if (row < 1)
        return;
    const std::wstring text = FormatString(Translate(L"Удалить колонку \"%s\" ?"),
                                           SpcColumnDisplayText(columns_[row]).c_str());
    if (ShowMessageBox(window_, text, Translate(L"Удаление колонки"), MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    columns_.erase(columns_.begin() + row);
    columnsEdited_ = true;
    SendDlgItemMessageW(window_, IDC_COLUMN_LIST, LVM_DELETEITEM, static_cast<WPARAM>(row), 0);
    SelectColumn(std::min(row, static_cast<int>(columns_.size()) - 1));
}
