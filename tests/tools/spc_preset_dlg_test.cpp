// The preset editor driven as a user would under the test display.
#include "tools/spc_preset_dlg.h"

#include "core/display_name.h"
#include "core/list_view.h"
#include "core/modal_seam.h"
#include "objects/settings_sandbox.h"
#include "resources/resource.h"
#include "tools/dialog_steps.h"

#include <functional>

using namespace dialog_steps;
using testsupport::DialogDriver;

namespace {

class PresetEditor : public ::testing::Test {
protected:
    void SetUp() override { SetLibraryDisplayName(L"Нормсет"); }
    void TearDown() override { SetLibraryDisplayName(L""); }

    // Runs the editor on preset_ at index with the steps answering its dialogs; true on OK.
    bool Edit(int index, std::vector<DialogDriver::Answer> steps)
    {
        DialogDriver driver(InTurn(std::move(steps)));
        const bool confirmed = SpcPresetDlg::Show(nullptr, names_, preset_, index);
        EXPECT_FALSE(driver.TimedOut());
        return confirmed;
    }

    std::vector<std::wstring> names_ = {L"По умолчанию", L"Болты", L"Гайки"};
    NMSpcPreset preset_{L"Болты"};
    std::vector<std::wstring> questions_;
    BalloonTitles titles_;
    int reply_ = IDYES;
    testhooks::ScopedModalSeam seam_{[this] {
        ModalSeam seam;
        seam.messageBox = [this](HWND, const std::wstring& text, const std::wstring& caption, UINT) {
            questions_.push_back(caption + L": " + text);
            return reply_;
        };
        return seam;
    }()};
};

std::vector<std::wstring> Row(HWND dialog, int row)
{
    std::vector<std::wstring> texts;
    for (int column = 0; column < 3; ++column) {
        wchar_t text[128] = {};
        ListView_GetItemText(GetDlgItem(dialog, IDC_COLUMN_LIST), row, column, text, 128);
        texts.push_back(text);
    }
    return texts;
}

} // namespace

TEST_F(PresetEditor, SectionAndBlockCombosFollowTheLanguageAndTheStoredNumbers)
{
    struct Case {
        const wchar_t* language;
        int32_t section, nestedBlock, nestedSection, additionalBlock;
        std::vector<int> items; // of the section, nested block, nested section and additional block combos
    };
    const Case cases[] = {
        {L"russian", 25, 9, 40, 2, {0, 5, 3, 1}}, {L"russian", 77, 0, 20, 3, {4, 5, 2, 2}},
        {L"russian", 30, 5, 99, -1, {1, 4, 4, 2}}, {L"english", 20, 1, 25, 1, {1, 0, 3, 0}},
        {L"english", 10, 3, 30, 2, {0, 0, 2, 0}},
    };
    const int combos[] = {IDC_SECTION_COMBO, IDC_NESTED_BLOCK_COMBO, IDC_NESTED_SECTION_COMBO, IDC_ADDITIONAL_COMBO};
    const int fields[] = {IDC_SECTION_NUM, IDC_NESTED_BLOCK_NUM, IDC_NESTED_SECTION_NUM, IDC_ADDITIONAL_NUM};
    for (const Case& c : cases) {
        settings_test::ScopedLanguage language(c.language);
        preset_.SectionMode = true;
        preset_.SectionNum = c.section;
        preset_.NestedBlockNum = c.nestedBlock;
        preset_.NestedSectionNum = c.nestedSection;
        preset_.AdditionalBlockNum = c.additionalBlock;
        preset_.ExtSectionMode = 1;
        std::vector<int> items;
        std::vector<bool> enabled;
        std::vector<std::wstring> sections;
        Edit(1, {[&](HWND dialog) {
            for (int i = 0; i < 4; ++i) {
                items.push_back(Chosen(dialog, combos[i]));
                // A number field is open for a number of one's own: under "<другой>" of an enabled combo.
                enabled.push_back(IsEnabled(dialog, fields[i]));
                EXPECT_EQ(enabled.back(), IsEnabled(dialog, combos[i]) &&
                                              items.back() + 1 == static_cast<int>(Items(dialog, combos[i]).size()));
            }
            sections = Items(dialog, IDC_SECTION_COMBO);
            Press(dialog, IDCANCEL);
        }});
        EXPECT_EQ(items, c.items) << c.section;
        EXPECT_FALSE(enabled[3]);
        if (std::wstring(c.language) == L"russian") {
            EXPECT_EQ(sections, (std::vector<std::wstring>{L"Нормсет", L"Прочие изделия", L"Детали", L"Комплекты",
                                                           L"<другой>"}));
        } else {
            EXPECT_EQ(sections, (std::vector<std::wstring>{L"Assemblies", L"Parts", L"Materials", L"<другой>"}));
        }
    }
}

TEST_F(PresetEditor, NumberFieldsTakeFiveDigitsAndNothingElse)
{
    std::pair<std::wstring, std::wstring> balloon;
    std::wstring typed, limited;
    Edit(1, {[&](HWND dialog) {
        Click(dialog, IDC_SUBSECTION);
        Paste(dialog, IDC_SUBSECTION_NUM, L"");
        Type(dialog, IDC_SUBSECTION_NUM, L"1a\b2");
        typed = ControlText(dialog, IDC_SUBSECTION_NUM);
        balloon = Balloon(dialog);
        Paste(dialog, IDC_SUBSECTION_NUM, L"");
        Type(dialog, IDC_SUBSECTION_NUM, L"123456");
        limited = ControlText(dialog, IDC_SUBSECTION_NUM);
        Press(dialog, IDCANCEL);
    }});
    EXPECT_EQ(typed, L"2"); // the backspace, a control character, reached the field
    EXPECT_EQ(balloon, (std::pair<std::wstring, std::wstring>{L"Недопустимый символ", L"Здесь можно ввести только цифру"}));
    EXPECT_EQ(limited, L"12345");
}

TEST_F(PresetEditor, OkIsRefusedWithABalloonAtTheFirstBadValue)
{
    struct Case {
        const char* what;
        std::function<void(HWND)> enter;
        const wchar_t* title; // nullptr: OK passes
        const wchar_t* text;
        int index = 1;
        const wchar_t* stored = L"Болты";
    };
    const Case cases[] = {
        {"own name kept", [](HWND) {}, nullptr, nullptr},
        {"another preset's name", [](HWND d) { Paste(d, IDC_PRESET_NAME, L"Гайки"); },
         L"Неверное название шаблона", L"Шаблон с таким названием уже существует"},
        {"blank name", [](HWND d) { Paste(d, IDC_PRESET_NAME, L"  \t"); },
         L"Неверное название шаблона", L"Введите название шаблона"},
        {"subsection 0", [](HWND d) { Click(d, IDC_SUBSECTION); Paste(d, IDC_SUBSECTION_NUM, L"0"); }, nullptr, nullptr},
        {"subsection 10001", [](HWND d) { Click(d, IDC_SUBSECTION); Paste(d, IDC_SUBSECTION_NUM, L"10001"); },
         L"Переполнение", L"Значение выходит за границы диапазона 0 .. 10000"},
        {"section 0", [](HWND d) { Click(d, IDC_SECTION_OWN); Paste(d, IDC_SECTION_NUM, L"0"); },
         L"Переполнение", L"Значение выходит за границы диапазона 1 .. 32767"},
        {"empty nested section", [](HWND d) { Click(d, IDC_EXT_NESTED); Paste(d, IDC_NESTED_SECTION_NUM, L""); },
         L"Переполнение", L"Значение выходит за границы диапазона 1 .. 32767"},
        {"additional block 0", [](HWND d) { Click(d, IDC_EXT_ADDITIONAL); Paste(d, IDC_ADDITIONAL_NUM, L"0"); },
         L"Переполнение", L"Значение выходит за границы диапазона 1 .. 32767"},
        {"unused field not checked", [](HWND d) { Paste(d, IDC_ADDITIONAL_NUM, L"0"); }, nullptr, nullptr},
        // Preset 0's name cannot be edited: a blank or another preset's name stored for it stays.
        {"preset 0 stored blank", [](HWND) {}, nullptr, nullptr, 0, L""},
        {"preset 0 stored as another's", [](HWND) {}, nullptr, nullptr, 0, L"Гайки"},
    };
    for (const Case& c : cases) {
        preset_ = NMSpcPreset(c.stored);
        std::pair<std::wstring, std::wstring> balloon;
        const bool confirmed = Edit(c.index, {[&](HWND dialog) {
            c.enter(dialog);
            balloon = PressOkForBalloon(dialog);
        }});
        EXPECT_EQ(confirmed, c.title == nullptr) << c.what;
        if (c.title) {
            EXPECT_EQ(balloon, (std::pair<std::wstring, std::wstring>{c.title, c.text})) << c.what;
        }
    }
}

TEST_F(PresetEditor, OkWritesEveryFieldAndKeepsWhatNoFieldCanTell)
{
    settings_test::ScopedLanguage language(L"russian");
    preset_ = NMSpcPreset(L"Болты");
    preset_.AdditionalBlockNum = 2;
    preset_.Columns = L"05.1=X"; // not the editor's own form: untouched, it stays as it is
    std::wstring chosenCode;
    const bool confirmed = Edit(1, {[&](HWND dialog) {
        Paste(dialog, IDC_PRESET_NAME, L"Шпильки");
        Click(dialog, IDC_SECTION_OWN);
        Choose(dialog, IDC_SECTION_COMBO, 3);
        chosenCode = ControlText(dialog, IDC_SECTION_NUM);
        Choose(dialog, IDC_SECTION_COMBO, 4); // "<другой>": a number of one's own
        Paste(dialog, IDC_SECTION_NUM, L"123");
        Click(dialog, IDC_SUBSECTION);
        Paste(dialog, IDC_SUBSECTION_NUM, L"7");
        Click(dialog, IDC_EXT_NESTED);
        Choose(dialog, IDC_NESTED_BLOCK_COMBO, 2);
        Choose(dialog, IDC_NESTED_SECTION_COMBO, 1);
        Paste(dialog, IDC_ADDITIONAL_NUM, L""); // disabled and empty
        Click(dialog, IDC_COLUMNS_OWN);
        Press(dialog, IDOK);
    }});
    ASSERT_TRUE(confirmed);
    EXPECT_EQ(chosenCode, L"40");
    EXPECT_EQ(preset_.PresetName, L"Шпильки");
    EXPECT_TRUE(preset_.SectionMode);
    EXPECT_EQ(preset_.SectionNum, 123);
    EXPECT_TRUE(preset_.SubSectionMode);
    EXPECT_EQ(preset_.SubSectionNum, 7);
    EXPECT_EQ(preset_.ExtSectionMode, 1);
    EXPECT_EQ(preset_.NestedBlockNum, 3);
    EXPECT_EQ(preset_.NestedSectionNum, 30);
    EXPECT_EQ(preset_.AdditionalBlockNum, 2);
    EXPECT_TRUE(preset_.ColumnsMode);
    EXPECT_EQ(preset_.Columns, L"05.1=X");

    // A block mode outside its values checks no radio button and is kept.
    preset_.ExtSectionMode = 7;
    bool anyChecked = true;
    Edit(1, {[&](HWND dialog) {
        anyChecked = IsChecked(dialog, IDC_EXT_DEFAULT) || IsChecked(dialog, IDC_EXT_NESTED) ||
                     IsChecked(dialog, IDC_EXT_ADDITIONAL);
        Press(dialog, IDOK);
    }});
    EXPECT_FALSE(anyChecked);
    EXPECT_EQ(preset_.ExtSectionMode, 7);
}

TEST_F(PresetEditor, ColumnsAreAddedChangedAndDeletedButNeverTheFirst)
{
    preset_.ColumnsMode = true;
    // Pieces that fill no column are no rows, and an edit leaves them out.
    preset_.Columns = L"5.1=Designation,VELMAR_SPEC_PATTERN;abc;;7.x=a;7.1=Прим";
    std::vector<std::wstring> added, changed;
    const bool confirmed = Edit(1, {
        [&](HWND dialog) {
            HWND list = GetDlgItem(dialog, IDC_COLUMN_LIST);
            ListViewSelectItem(list, 0);
            EXPECT_FALSE(IsEnabled(dialog, IDC_DELETE_COLUMN));
            Press(dialog, IDC_DELETE_COLUMN);
            Press(dialog, IDC_ADD_COLUMN);
            added = Row(dialog, ListViewGetSelected(list));
            ListViewSelectItem(list, 1);
            Press(dialog, IDC_CHANGE_COLUMN);
            changed = Row(dialog, 1);
            ListViewSelectItem(list, 2);
            EXPECT_TRUE(IsEnabled(dialog, IDC_DELETE_COLUMN));
            Press(dialog, IDC_DELETE_COLUMN);
            EXPECT_EQ(ListViewGetSelected(list), 1);
            Press(dialog, IDOK);
        },
        [](HWND column) {
            Choose(column, IDC_COLUMN_TYPE, 7);
            Paste(column, IDC_COLUMN_NUMBER, L"2");
            Choose(column, IDC_COLUMN_VALUE_COMBO, 2);
            Click(column, IDC_COLUMN_USE_ATTR);
            Press(column, IDOK);
        },
        [](HWND column) {
            Paste(column, IDC_COLUMN_NUMBER, L"5");
            Press(column, IDOK);
        },
    });
    ASSERT_TRUE(confirmed);
    EXPECT_EQ(added, (std::vector<std::wstring>{L"МАССА[2]", L"MACC", L""}));
    EXPECT_EQ(changed, (std::vector<std::wstring>{L"ПРИМЕЧАНИЕ[5]", L"Прим", L""}));
    EXPECT_EQ(questions_, (std::vector<std::wstring>{L"Удаление колонки: Удалить колонку \"МАССА[2]\" ?"}));
    EXPECT_EQ(preset_.Columns, L"5.1=Designation,VELMAR_SPEC_PATTERN;7.5=Прим");
}
