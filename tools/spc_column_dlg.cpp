#include "tools/spc_column_dlg.h"

#include "core/format_string.h"
#include "core/trace_log.h"
#include "core/translate.h"
#include "resources/resource.h"
#include "tools/number_range.h"

#include <algorithm>
#include <iterator>

namespace {

constexpr DWORD kAddHelpContext = 156;
constexpr DWORD kChangeHelpContext = 157;

struct ValueChoice {
    const wchar_t* label;
    const wchar_t* key;
};
const ValueChoice kValueChoices[] = {
    {L"Наименование", L"Designation"},
    {L"Внутренний шифр предприятия", L"enterpriseCode"},
    {L"Масса", L"MACC"},
    {L"Материал", L"ExtObjectName"},
};
constexpr int kOtherValue = static_cast<int>(std::size(kValueChoices));
constexpr int kSpecPatternItem = 0;
constexpr int kOtherAttribute = 1;

constexpr wchar_t kRefusedTitle[] = L"Недопустимый символ";
constexpr wchar_t kSeparatorsRefused[] = L"Символы . = , ; недоступны";
constexpr wchar_t kBadTypeAndNumber[] = L"Неверные тип и номер колонки";

} // namespace

bool SpcColumnDlg::Show(HWND owner, const std::vector<SpcColumn>& columns, SpcColumn& column, int index)
{
    TraceScope scope(L"SpcColumnDlg::Show");
    scope.Value(L"index", _variant_t(static_cast<long>(index)));
    SpcColumnDlg dialog(columns, column, index);
    return dialog.Run(IDD_SPC_COLUMN, owner) == IDOK;
}

SpcColumnDlg::SpcColumnDlg(const std::vector<SpcColumn>& columns, SpcColumn& column, int index)
    : ModalDialog(index < 0 ? kAddHelpContext : kChangeHelpContext), columns_(columns), column_(column),
      index_(index), type_(column.Type)
{
}

void SpcColumnDlg::OnInitDialog()
{
    LineUpButtons();
    SetTexts(L"Колонка спецификации", {
        {IDC_COLUMN_TYPE_LABEL, L"Тип колонки:"},
        {IDC_COLUMN_NUMBER_LABEL, L"Номер колонки данного типа:"},
        {IDC_COLUMN_VALUE_LABEL, L"Значение-строка:"},
        {IDC_COLUMN_VALUE_CODE_LABEL, L"код атрибута:"},
        {IDC_COLUMN_USE_ATTR, L"Использовать значение-запись"},
        {IDC_COLUMN_ATTR_CODE_LABEL, L"код атрибута:"},
        {IDOK, L"ОК"},
        {IDCANCEL, L"Отмена"},
        {IDHELP, L"Справка"},
    });

    std::vector<std::wstring> types;
    for (uint32_t type = 1; type <= kSpcColumnTypeCount; ++type)
        types.push_back(SpcColumnTypeLabel(type));
    FillCombo(IDC_COLUMN_TYPE, types);
    // A type past the table (from a hand-edited text) leaves the choice to the user.
    SelectCombo(IDC_COLUMN_TYPE, type_ >= 1 && type_ <= kSpcColumnTypeCount ? static_cast<int>(type_) - 1 : -1);
    SetItemText(IDC_COLUMN_NUMBER, FormatString(L"%d", _variant_t(static_cast<long>(column_.Number))));

    std::vector<std::wstring> values;
    for (const auto& choice : kValueChoices)
        values.push_back(Translate(choice.label));
    values.push_back(Translate(L"<другое>"));
    FillCombo(IDC_COLUMN_VALUE_COMBO, values);
    const auto known = std::find_if(std::begin(kValueChoices), std::end(kValueChoices),
                                    [&](const ValueChoice& choice) { return column_.Value == choice.key; });
    SelectCombo(IDC_COLUMN_VALUE_COMBO, static_cast<int>(known - std::begin(kValueChoices)));
    SetItemText(IDC_COLUMN_VALUE, column_.Value);

    FillCombo(IDC_COLUMN_ATTR_COMBO, {Translate(L"Шаблон спецификации"), Translate(L"<другое>")});
    const bool hasAttribute = !column_.Attribute.empty();
    SelectCombo(IDC_COLUMN_ATTR_COMBO,
                hasAttribute && column_.Attribute != kSpecPatternAttribute ? kOtherAttribute : kSpecPatternItem);
    SetItemText(IDC_COLUMN_ATTR, hasAttribute ? column_.Attribute : std::wstring(kSpecPatternAttribute));
    Check(IDC_COLUMN_USE_ATTR, hasAttribute);

    UpdateControls();
    MakeNumberField(IDC_COLUMN_NUMBER);
    const auto separator = [](wchar_t typed) { return HasColumnSeparator(std::wstring(1, typed)); };
    FilterTyping(IDC_COLUMN_VALUE, separator, kRefusedTitle, kSeparatorsRefused);
    FilterTyping(IDC_COLUMN_ATTR, separator, kRefusedTitle, kSeparatorsRefused);
}

bool SpcColumnDlg::OnCommand(int id, int code)
{
    switch (id) {
    case IDC_COLUMN_TYPE:
        // Without a choice the type stays: a notification must not turn it into type 0.
        if (const int chosen = ComboSelection(IDC_COLUMN_TYPE); chosen >= 0)
            type_ = static_cast<uint32_t>(chosen) + 1;
        return true;
    case IDC_COLUMN_VALUE_COMBO:
        if (code != CBN_SELCHANGE)
            return false;
        if (const int chosen = ComboSelection(IDC_COLUMN_VALUE_COMBO); chosen >= 0 && chosen < kOtherValue)
            SetItemText(IDC_COLUMN_VALUE, kValueChoices[chosen].key);
        UpdateControls();
        return true;
    case IDC_COLUMN_ATTR_COMBO:
        if (code != CBN_SELCHANGE)
            return false;
        if (ComboSelection(IDC_COLUMN_ATTR_COMBO) == kSpecPatternItem)
            SetItemText(IDC_COLUMN_ATTR, kSpecPatternAttribute);
        UpdateControls();
        return true;
    case IDC_COLUMN_USE_ATTR:
        UpdateControls();
        return true;
    case IDOK:
        if (Validate()) {
            Apply();
            HideBalloon();
            EndDialog(window_, IDOK);
        }
        return true;
    }
    return false;
}

void SpcColumnDlg::UpdateControls()
{
    const bool useAttribute = IsChecked(IDC_COLUMN_USE_ATTR);
    Enable(IDC_COLUMN_VALUE, ComboSelection(IDC_COLUMN_VALUE_COMBO) == kOtherValue);
    Enable(IDC_COLUMN_ATTR_COMBO, useAttribute);
    Enable(IDC_COLUMN_ATTR, useAttribute && ComboSelection(IDC_COLUMN_ATTR_COMBO) == kOtherAttribute);
}

bool SpcColumnDlg::Validate()
{
    if (type_ < 1 || type_ > kSpcColumnTypeCount) {
        ShowBalloon(IDC_COLUMN_TYPE, Translate(kBadTypeAndNumber), Translate(L"Выберите тип колонки"));
        return false;
    }
    const auto number = CheckNumber(IDC_COLUMN_NUMBER, kColumnNumberRange);
    if (!number)
        return false;
    number_ = *number;
    for (size_t i = 0; i < columns_.size(); ++i) {
        if (static_cast<int>(i) != index_ && columns_[i].Type == type_ &&
            columns_[i].Number == static_cast<uint32_t>(number_)) {
            ShowBalloon(IDC_COLUMN_TYPE, Translate(kBadTypeAndNumber),
                        Translate(L"Колонка данного типа и с данным номером уже существует"));
            return false;
        }
    }
    // Pasted text passes the typing filter; a separator inside a piece would split the record.
    for (const int field : {IDC_COLUMN_VALUE, IDC_COLUMN_ATTR}) {
        if (field == IDC_COLUMN_ATTR && !IsChecked(IDC_COLUMN_USE_ATTR))
            continue;
        if (HasColumnSeparator(ItemText(field))) {
            ShowBalloon(field, Translate(kRefusedTitle), Translate(kSeparatorsRefused));
            return false;
        }
    }
    return true;
}

void SpcColumnDlg::Apply()
{
    column_.Type = type_;
    column_.Number = static_cast<uint32_t>(number_);
    column_.Value = ItemText(IDC_COLUMN_VALUE);
    column_.Attribute = IsChecked(IDC_COLUMN_USE_ATTR) ? ItemText(IDC_COLUMN_ATTR) : std::wstring();
}
