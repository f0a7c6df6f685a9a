// The column editor driven as a user would under the test display.
#include "tools/spc_column_dlg.h"

#include "objects/spc_preset.h"
#include "resources/resource.h"
#include "tools/dialog_steps.h"

#include <functional>

using namespace dialog_steps;
using testsupport::DialogDriver;

namespace {

class ColumnEditor : public ::testing::Test {
protected:
    bool Edit(SpcColumn& column, int index, DialogDriver::Answer answer)
    {
        DialogDriver driver(InTurn({std::move(answer)}));
        const bool confirmed = SpcColumnDlg::Show(nullptr, columns_, column, index);
        EXPECT_FALSE(driver.TimedOut());
        return confirmed;
    }

    std::vector<SpcColumn> columns_ = {ParseSpcColumn(kDefaultSpcColumns), {7, 1, L"Прим", L""}};
    BalloonTitles titles_;
};

} // namespace

TEST_F(ColumnEditor, ANewColumnStartsAsTheDefaultAndItsChoicesAndTypingFillTheFields)
{
    SpcColumn column = ParseSpcColumn(kDefaultSpcColumns);
    std::pair<std::wstring, std::wstring> duplicate;
    std::wstring mass, kept;
    std::pair<std::wstring, std::wstring> typed;
    const bool confirmed = Edit(column, -1, [&](HWND dialog) {
        EXPECT_EQ(Chosen(dialog, IDC_COLUMN_TYPE), 4);
        EXPECT_EQ(ControlText(dialog, IDC_COLUMN_NUMBER), L"1");
        EXPECT_EQ(Chosen(dialog, IDC_COLUMN_VALUE_COMBO), 0);
        EXPECT_FALSE(IsEnabled(dialog, IDC_COLUMN_VALUE));
        EXPECT_TRUE(IsChecked(dialog, IDC_COLUMN_USE_ATTR));
        EXPECT_EQ(Chosen(dialog, IDC_COLUMN_ATTR_COMBO), 0);
        EXPECT_TRUE(IsEnabled(dialog, IDC_COLUMN_ATTR_COMBO));
        EXPECT_FALSE(IsEnabled(dialog, IDC_COLUMN_ATTR));
        Press(dialog, IDOK); // the list has this type and number already
        duplicate = Balloon(dialog);
        Paste(dialog, IDC_COLUMN_NUMBER, L"2");
        Choose(dialog, IDC_COLUMN_VALUE_COMBO, 2);
        mass = ControlText(dialog, IDC_COLUMN_VALUE);
        Choose(dialog, IDC_COLUMN_VALUE_COMBO, 4);
        kept = ControlText(dialog, IDC_COLUMN_VALUE);
        EXPECT_TRUE(IsEnabled(dialog, IDC_COLUMN_VALUE));
        Type(dialog, IDC_COLUMN_VALUE, L".=,;");
        typed = Balloon(dialog);
        Choose(dialog, IDC_COLUMN_ATTR_COMBO, 1);
        EXPECT_TRUE(IsEnabled(dialog, IDC_COLUMN_ATTR));
        Click(dialog, IDC_COLUMN_USE_ATTR);
        EXPECT_FALSE(IsEnabled(dialog, IDC_COLUMN_ATTR_COMBO));
        EXPECT_FALSE(IsEnabled(dialog, IDC_COLUMN_ATTR));
        Press(dialog, IDOK);
    });
    ASSERT_TRUE(confirmed);
    EXPECT_EQ(duplicate, (std::pair<std::wstring, std::wstring>{L"Неверные тип и номер колонки",
                                                                L"Колонка данного типа и с данным номером уже существует"}));
    EXPECT_EQ(mass, L"MACC");
    EXPECT_EQ(kept, L"MACC");
    EXPECT_EQ(typed, (std::pair<std::wstring, std::wstring>{L"Недопустимый символ", L"Символы . = , ; недоступны"}));
    EXPECT_EQ(SpcColumnText(column), L"5.2=MACC"); // the typed separators never reached the value
}

TEST_F(ColumnEditor, BadInputIsRefusedWithABalloonAndTheColumnKept)
{
    struct Case {
        const char* what;
        SpcColumn column;
        int index;
        std::function<void(HWND)> enter;
        const wchar_t* title; // nullptr: OK passes
        const wchar_t* text;
    };
    const std::wstring range = L"Значение выходит за границы диапазона 1 .. 32767";
    const wchar_t* separators = L"Символы . = , ; недоступны";
    const Case cases[] = {
        {"the same column saved again", columns_[1], 1, [](HWND) {}, nullptr, nullptr},
        {"number 0", columns_[1], 1, [](HWND d) { Paste(d, IDC_COLUMN_NUMBER, L"0"); }, L"Переполнение",
         range.c_str()},
        {"no number", columns_[1], 1, [](HWND d) { Paste(d, IDC_COLUMN_NUMBER, L""); }, L"Переполнение",
         range.c_str()},
        {"pasted value with a comma", columns_[1], 1, [](HWND d) { Paste(d, IDC_COLUMN_VALUE, L"a,b"); },
         L"Недопустимый символ", separators},
        {"pasted attribute with a semicolon", columns_[1], 1,
         [](HWND d) {
             Click(d, IDC_COLUMN_USE_ATTR);
             Choose(d, IDC_COLUMN_ATTR_COMBO, 1);
             Paste(d, IDC_COLUMN_ATTR, L"x;y");
         },
         L"Недопустимый символ", separators},
        {"a type past the table", {20, 1, L"X", L""}, -1, [](HWND d) { EXPECT_EQ(Chosen(d, IDC_COLUMN_TYPE), -1); },
         L"Неверные тип и номер колонки", L"Выберите тип колонки"},
    };
    for (const Case& c : cases) {
        SpcColumn column = c.column;
        std::pair<std::wstring, std::wstring> balloon;
        const bool confirmed = Edit(column, c.index, [&](HWND dialog) {
            c.enter(dialog);
            balloon = PressOkForBalloon(dialog);
        });
        EXPECT_EQ(confirmed, c.title == nullptr) << c.what;
        EXPECT_EQ(column, c.column) << c.what;
        if (c.title) {
            EXPECT_EQ(balloon, (std::pair<std::wstring, std::wstring>{c.title, c.text})) << c.what;
        }
    }
}
