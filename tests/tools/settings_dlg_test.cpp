// The settings command and its dialog, driven as a user would under the test display, against Wine's
// registry (redirected for each test) and real INI files.
#include "tools/settings_dlg.h"

#include "core/display_name.h"
#include "core/files.h"
#include "core/html_help.h"
#include "core/list_view.h"
#include "core/modal_seam.h"
#include "core/translate.h"
#include "core/module.h"
#include "library/command_dispatch.h"
#include "library/command_table.h"
#include "library/exports.h"
#include "objects/settings_sandbox.h"
#include "resources/resource.h"
#include "sim/stand_in_test.h"
#include "tools/dialog_steps.h"

#define MINIZ_HEADER_FILE_ONLY
#include "miniz.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>

using namespace dialog_steps;
using testsupport::DialogDriver;
using Step = DialogDriver::Answer;

namespace {

struct Box {
    HWND owner;
    std::wstring text, caption;
    UINT style;
};

class SettingsDialog : public sim::StandInTest {
protected:
    void SetUp() override
    {
        HoldApplication5(velmar().Application5());
        SetLibraryDisplayName(L"Нормсет");
    }
    void TearDown() override
    {
        HoldApplication5(nullptr);
        SetLibraryDisplayName(L"");
        sim::StandInTest::TearDown();
    }

    // Presets of these names, preset i in its own section 100 + i, and the active number.
    static void Store(const std::vector<std::wstring>& names, int32_t active = 0)
    {
        NMAllSettings settings;
        settings.SpcPresetNum = active;
        for (size_t i = 0; i < names.size(); ++i) {
            NMSpcPreset& preset = settings.Presets.emplace_back(names[i]);
            preset.SectionMode = true;
            preset.SectionNum = 100 + static_cast<int32_t>(i);
        }
        ASSERT_TRUE(settings.SaveToRegistry());
    }
    static NMAllSettings Stored()
    {
        NMAllSettings settings;
        settings.LoadFromRegistry();
        return settings;
    }
    void Run(std::vector<Step> steps)
    {
        DialogDriver driver(InTurn(std::move(steps)));
        SettingsDlg::Show();
        EXPECT_FALSE(driver.TimedOut());
    }

    settings_test::RegistrySandbox registry_;
    settings_test::TempFolder folder_;
    std::vector<Box> boxes_;
    int reply_ = IDOK; // to every message box
    std::wstring file_; // the Open and Save dialogs' choice
    testhooks::ScopedModalSeam seam_{[this] {
        ModalSeam seam;
        seam.messageBox = [this](HWND owner, const std::wstring& text, const std::wstring& caption, UINT style) {
            boxes_.push_back({owner, text, caption, style});
            return reply_;
        };
        seam.openFileName = seam.saveFileName = [this](OPENFILENAMEW& request) -> BOOL {
            wcscpy(request.lpstrFile, file_.c_str());
            return TRUE;
        };
        return seam;
    }()};
};

const std::wstring kMainKey = L"Software\\Orbex\\Normset\\RNMClient\\VELMAR_SETTINGS\\";

RegistryImage PresetPart(const RegistryImage& image)
{
    RegistryImage part;
    for (const auto& [name, value] : image)
        if (name.find(L"\\SPC_OPTIONS") != std::wstring::npos)
            part[name] = value;
    return part;
}

std::pair<DWORD, std::vector<BYTE>> Dword(DWORD value)
{
    const auto* bytes = reinterpret_cast<const BYTE*>(&value);
    return {REG_DWORD, std::vector<BYTE>(bytes, bytes + 4)};
}

// What a control is, as the dialog tables name it.
std::wstring KindOf(HWND control)
{
    wchar_t name[32] = {};
    GetClassNameW(control, name, 32);
    const std::wstring kind = name;
    const LONG style = GetWindowLongW(control, GWL_STYLE);
    const LONG button = style & BS_TYPEMASK;
    if (kind == L"Button")
        return button == BS_AUTOCHECKBOX ? L"check" : button == BS_AUTORADIOBUTTON ? L"radio"
                                                    : button == BS_GROUPBOX        ? L"group" : L"button";
    if (kind == L"ComboBox")
        return (style & 3) == CBS_DROPDOWNLIST ? L"drop-down list" : kind;
    if (kind == L"ListBox")
        return (style & LBS_NOTIFY) ? L"notifying list" : kind;
    if (kind == L"SysListView32")
        return (SendMessageW(control, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0) & LVS_EX_FULLROWSELECT) ? L"row list" : kind;
    return kind == L"Static" ? L"label" : kind == L"Edit" ? L"edit" : kind;
}

struct Control {
    int id;
    const wchar_t* kind;
    const wchar_t* text; // nullptr: not compared
};

bool Inside(const RECT& inner, const RECT& outer)
{
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

// The title and every control of the table; every control inside the client area, a group box holding a
// control wholly or not at all, no two other controls sharing a pixel, OK and Cancel 8 pixels apart left of
// Help. Then the dialog as it looks, for a person to check layout and texts: build/screenshots/dialog-<id>.png.
void ExpectWellMade(HWND dialog, int dialogId, const wchar_t* title, const std::vector<Control>& controls)
{
    EXPECT_EQ(WindowText(dialog), title);
    for (const Control& control : controls) {
        ASSERT_NE(GetDlgItem(dialog, control.id), nullptr) << control.id;
        EXPECT_EQ(KindOf(GetDlgItem(dialog, control.id)), control.kind) << control.id;
        EXPECT_EQ(control.text ? ControlText(dialog, control.id) : L"", control.text ? control.text : L"") << control.id;
    }
    RECT client = {};
    GetClientRect(dialog, &client);
    std::vector<std::pair<HWND, RECT>> placed;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        RECT rect = {};
        GetWindowRect(child, &rect);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
        EXPECT_TRUE(Inside(rect, client)) << GetDlgCtrlID(child);
        for (const auto& [other, otherRect] : placed) {
            RECT common = {};
            const bool held = (KindOf(child) == L"group" && Inside(otherRect, rect)) ||
                              (KindOf(other) == L"group" && Inside(rect, otherRect));
            EXPECT_TRUE(!IntersectRect(&common, &rect, &otherRect) || held)
                << GetDlgCtrlID(child) << " overlaps " << GetDlgCtrlID(other);
        }
        placed.emplace_back(child, rect);
    }
    RECT ok = {}, cancel = {}, help = {};
    GetWindowRect(GetDlgItem(dialog, IDOK), &ok);
    GetWindowRect(GetDlgItem(dialog, IDCANCEL), &cancel);
    GetWindowRect(GetDlgItem(dialog, IDHELP), &help);
    EXPECT_EQ(help.left - cancel.right, 8);
    EXPECT_EQ(cancel.left - ok.right, 8);

    RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN);
    RECT rect = {};
    GetWindowRect(dialog, &rect);
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    HDC windowDc = GetWindowDC(dialog), memoryDc = CreateCompatibleDC(windowDc);
    BITMAPINFO info = {{sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, {}};
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(memoryDc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ previous = SelectObject(memoryDc, bitmap);
    BitBlt(memoryDc, 0, 0, width, height, windowDc, 0, 0, SRCCOPY);
    std::vector<unsigned char> rgb;
    for (const auto* bgra = static_cast<const unsigned char*>(bits); rgb.size() < 3u * width * height; bgra += 4)
        rgb.insert(rgb.end(), {bgra[2], bgra[1], bgra[0]});
    DeleteObject(SelectObject(memoryDc, previous));
    DeleteDC(memoryDc);
    ReleaseDC(dialog, windowDc);
    // A picture of one colour would show nothing of the dialog.
    EXPECT_NE(std::count(rgb.begin(), rgb.end(), rgb[0]), static_cast<std::ptrdiff_t>(rgb.size())) << dialogId;
    size_t size = 0;
    void* png = tdefl_write_image_to_png_file_in_memory(rgb.data(), width, height, 3, &size);
    ASSERT_NE(png, nullptr);
    wchar_t program[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, program, MAX_PATH);
    const auto folder = std::filesystem::path(program).parent_path().parent_path() / L"screenshots";
    std::filesystem::create_directories(folder);
    std::ofstream(folder / (L"dialog-" + std::to_wstring(dialogId) + L".png"), std::ios::binary)
        .write(static_cast<const char*>(png), static_cast<std::streamsize>(size));
    mz_free(png);
}

} // namespace

TEST_F(SettingsDialog, CommandSixOpensTheDialogOverVelmarsMainWindowWithButtonsByTheSelection)
{
    Store({L"По умолчанию", L"Болты"}, 1);
    HWND owner = nullptr;
    std::wstring active;
    {
        DialogDriver driver(InTurn({[&](HWND dialog) {
            owner = GetWindow(dialog, GW_OWNER);
            active = ControlText(dialog, IDC_ACTIVE_PRESET);
            EXPECT_FALSE(IsEnabled(dialog, IDC_CHANGE_PRESET) || IsEnabled(dialog, IDC_DELETE_PRESET));
            Choose(dialog, IDC_PRESET_LIST, 0, false);
            EXPECT_TRUE(IsEnabled(dialog, IDC_CHANGE_PRESET) && !IsEnabled(dialog, IDC_DELETE_PRESET));
            Press(dialog, IDC_DELETE_PRESET); // the first preset stays, whatever sends the command
            Choose(dialog, IDC_PRESET_LIST, 1, false);
            EXPECT_TRUE(IsEnabled(dialog, IDC_DELETE_PRESET));
            Click(dialog, IDC_CREATE_SPC_OBJECT);
            EXPECT_TRUE(!IsEnabled(dialog, IDC_EDIT_SPC_OBJECT) && IsChecked(dialog, IDC_EDIT_SPC_OBJECT));
            Click(dialog, IDC_CREATE_SPC_OBJECT);
            EXPECT_TRUE(IsEnabled(dialog, IDC_EDIT_SPC_OBJECT));
            Press(dialog, IDCANCEL);
        }}));
        LIBRARYENTRY(6);
        EXPECT_EQ(driver.Answered().size(), 1u);
    }
    EXPECT_EQ(owner, velmar().MainWindow());
    EXPECT_EQ(active, L"Болты");
    EXPECT_TRUE(boxes_.empty());
    // The version for the command's trace, then the owner.
    EXPECT_EQ(journal().Lines(), (std::vector<std::string>{"app5.50(&,&,&,&)", "app5.21()"}));

    // Without Velmar's application nothing opens: the command ends in the COM error of the missing owner.
    HoldApplication5(nullptr);
    DialogDriver driver(InTurn({}));
    std::wstring title, message;
    EXPECT_TRUE(ExecuteLibCommand(FindLibCommand(6), title, message));
    EXPECT_EQ(title, L"Ошибка COM");
    EXPECT_TRUE(driver.Answered().empty());
}

TEST_F(SettingsDialog, TheThreeDialogsShowEveryControlInPlaceWithItsText)
{
    // As a Russian user sees them: the interface language Russian, the texts their originals.
    LoadLanguage(L"", L"russian");
    struct LanguageReset {
        ~LanguageReset() { testhooks::ResetLanguage(); }
    } languageReset;
    Store({L"По умолчанию"});
    const std::vector<Control> settings = {
        {IDC_MAIN_WINDOW_GROUP, L"group", L"Главное окно"},
        {IDC_RESTORE_SELECT, L"check", L"Показывать главное окно после отмены вставки"},
        {IDC_POS_LEADER_GROUP, L"group", L"Обозначение позиции"},
        {IDC_POS_LEADER_ASSY, L"check", L"Создавать для крепежных соединений в чертеже"},
        {IDC_POS_LEADER_3D, L"check", L"Создавать для стандартных изделий в сборке"},
        {IDC_SPC_OBJECT_GROUP, L"group", L"Объект спецификации"},
        {IDC_CREATE_SPC_OBJECT, L"check", L"Создавать объект спецификации"},
        {IDC_ACTIVE_PRESET_LABEL, L"label", L"Шаблон настроек объекта спецификации:"},
        {IDC_ACTIVE_PRESET, L"drop-down list", L"По умолчанию"},
        {IDC_EDIT_SPC_OBJECT, L"check", L"Открывать окно редактирования объекта спецификации"},
        {IDC_PRESET_LIST_LABEL, L"label", L"Шаблоны настроек объекта спецификации:"},
        {IDC_PRESET_LIST, L"notifying list", nullptr}, {IDC_ADD_PRESET, L"button", L"Добавить..."},
        {IDC_CHANGE_PRESET, L"button", L"Изменить..."}, {IDC_DELETE_PRESET, L"button", L"Удалить"},
        {IDC_EXPORT_PRESETS, L"button", L"Экспорт..."}, {IDC_IMPORT_PRESETS, L"button", L"Импорт..."},
        {IDOK, L"button", L"ОК"}, {IDCANCEL, L"button", L"Отмена"},
        {IDHELP, L"button", L"Справка"}, {IDC_VERSION, L"label", L"1.0.0.0"},
    };
    const std::vector<Control> preset = {
        {IDC_PRESET_NAME_LABEL, L"label", L"Название шаблона:"}, {IDC_PRESET_NAME, L"edit", L"Новый шаблон"},
        {IDC_SECTION_GROUP, L"group", L"Раздел и подраздел спецификации"},
        {IDC_SECTION_DEFAULT, L"radio", L"по умолчанию"}, {IDC_SECTION_OWN, L"radio", L"раздел"},
        {IDC_SECTION_COMBO, L"drop-down list", nullptr}, {IDC_SECTION_NUM, L"edit", L"25"},
        {IDC_SUBSECTION, L"check", L"установить подраздел"}, {IDC_SUBSECTION_NUM, L"edit", L"0"},
        {IDC_EXT_GROUP, L"group", L"Блок вложенных или дополнительных разделов спецификации"},
        {IDC_EXT_DEFAULT, L"radio", L"по умолчанию"}, {IDC_EXT_NESTED, L"radio", L"блок вложенных разделов"},
        {IDC_NESTED_BLOCK_COMBO, L"drop-down list", L"Комплект монтажных частей"}, {IDC_NESTED_BLOCK_NUM, L"edit", L"1"},
        {IDC_NESTED_SECTION_LABEL, L"label", L"вложенный раздел"},
        {IDC_NESTED_SECTION_COMBO, L"drop-down list", L"Нормсет"}, {IDC_NESTED_SECTION_NUM, L"edit", L"25"},
        {IDC_EXT_ADDITIONAL, L"radio", L"блок дополнительных разделов"},
        {IDC_ADDITIONAL_COMBO, L"drop-down list", L"Устанавливают по #ХХХ.ХХХХХХ.ХХХ#"}, {IDC_ADDITIONAL_NUM, L"edit", L"1"},
        {IDC_COLUMNS_GROUP, L"group", L"Заполняемые колонки спецификации"},
        {IDC_COLUMNS_DEFAULT, L"radio", L"по умолчанию"}, {IDC_COLUMNS_OWN, L"radio", L"другие"},
        {IDC_COLUMN_LIST, L"row list", nullptr}, {IDC_ADD_COLUMN, L"button", L"Добавить..."},
        {IDC_CHANGE_COLUMN, L"button", L"Изменить..."}, {IDC_DELETE_COLUMN, L"button", L"Удалить"},
        {IDOK, L"button", L"ОК"}, {IDCANCEL, L"button", L"Отмена"}, {IDHELP, L"button", L"Справка"},
    };
    const std::vector<Control> column = {
        {IDC_COLUMN_TYPE_LABEL, L"label", L"Тип колонки:"}, {IDC_COLUMN_TYPE, L"drop-down list", L"НАИМЕНОВАНИЕ"},
        {IDC_COLUMN_NUMBER_LABEL, L"label", L"Номер колонки данного типа:"}, {IDC_COLUMN_NUMBER, L"edit", L"1"},
        {IDC_COLUMN_VALUE_LABEL, L"label", L"Значение-строка:"},
        {IDC_COLUMN_VALUE_COMBO, L"drop-down list", L"Наименование"},
        {IDC_COLUMN_VALUE_CODE_LABEL, L"label", L"код атрибута:"}, {IDC_COLUMN_VALUE, L"edit", L"Designation"},
        {IDC_COLUMN_USE_ATTR, L"check", L"Использовать значение-запись"},
        {IDC_COLUMN_ATTR_COMBO, L"drop-down list", L"Шаблон спецификации"},
        {IDC_COLUMN_ATTR_CODE_LABEL, L"label", L"код атрибута:"},
        {IDC_COLUMN_ATTR, L"edit", L"VELMAR_SPEC_PATTERN"}, {IDOK, L"button", L"ОК"},
        {IDCANCEL, L"button", L"Отмена"}, {IDHELP, L"button", L"Справка"},
    };
    std::vector<DWORD_PTR> topics;
    testhooks::ScopedHtmlHelp help([&](HWND, const std::wstring& path, UINT command, DWORD_PTR topic) -> HWND {
        EXPECT_EQ(path, LIBRARYHELPFILEW());
        EXPECT_EQ(command, HtmlHelpContext);
        topics.push_back(topic);
        return nullptr;
    });
    Run({
        [&](HWND dialog) {
            ExpectWellMade(dialog, IDD_SETTINGS, L"Настройки", settings);
            Press(dialog, IDHELP);
            Press(dialog, IDC_ADD_PRESET);
            Press(dialog, IDCANCEL);
        },
        [&](HWND dialog) {
            Click(dialog, IDC_COLUMNS_OWN);
            ListViewSelectItem(GetDlgItem(dialog, IDC_COLUMN_LIST), 0);
            ExpectWellMade(dialog, IDD_SPC_PRESET, L"Шаблон настроек объекта спецификации", preset);
            // No header and no text of the first row cut short.
            HWND list = GetDlgItem(dialog, IDC_COLUMN_LIST);
            const wchar_t* const texts[2][3] = {{L"Тип и номер колонки", L"Значение (строка)", L"Значение (запись)"},
                                                {L"НАИМЕНОВАНИЕ[1]", L"Designation", L"VELMAR_SPEC_PATTERN"}};
            for (const auto& row : texts)
                for (int i = 0; i < 3; ++i)
                    EXPECT_GE(ListView_GetColumnWidth(list, i), ListView_GetStringWidth(list, row[i]) + 12) << i;
            Press(dialog, IDHELP);
            Press(dialog, IDC_ADD_COLUMN);
            Press(dialog, IDC_CHANGE_COLUMN);
            Press(dialog, IDCANCEL);
        },
        [&](HWND dialog) {
            ExpectWellMade(dialog, IDD_SPC_COLUMN, L"Колонка спецификации", column);
            Press(dialog, IDHELP);
            Press(dialog, IDCANCEL);
        },
        [&](HWND dialog) {
            Press(dialog, IDHELP);
            Press(dialog, IDCANCEL);
        },
    });
    EXPECT_EQ(topics, (std::vector<DWORD_PTR>{6, 150, 156, 157}));
}

TEST_F(SettingsDialog, OkWritesExactlyWhatWasSet)
{
    const std::pair<int, const wchar_t*> boxes[] = {
        {IDC_RESTORE_SELECT, L"RestoreSelect"}, {IDC_POS_LEADER_ASSY, L"PosLeaderInAssy"},
        {IDC_POS_LEADER_3D, L"PosLeader3D"},    {IDC_CREATE_SPC_OBJECT, L"CreateSpcObject"},
        {IDC_EDIT_SPC_OBJECT, L"EditSpcObject"},
    };
    struct Row {
        std::vector<int> clicked;
        int active;
        DWORD stored[5]; // the boxes' values in the order above
    };
    const Row rows[] = {
        {{IDC_RESTORE_SELECT, IDC_POS_LEADER_ASSY, IDC_POS_LEADER_3D, IDC_EDIT_SPC_OBJECT}, 2, {0, 1, 1, 1, 0}},
        // One box checked among unchecked ones: OK reading another box for it shows.
        {{IDC_RESTORE_SELECT, IDC_POS_LEADER_ASSY, IDC_EDIT_SPC_OBJECT, IDC_CREATE_SPC_OBJECT}, 1, {0, 1, 0, 0, 0}},
    };
    for (const Row& row : rows) {
        Store({L"По умолчанию", L"Болты", L"Гайки"});
        const RegistryImage before = SettingsRegistry();
        Run({[&](HWND dialog) {
            for (const int id : row.clicked)
                Click(dialog, id);
            Choose(dialog, IDC_ACTIVE_PRESET, row.active);
            Press(dialog, IDOK);
        }});
        RegistryImage expected = before;
        for (size_t i = 0; i < std::size(boxes); ++i)
            expected[kMainKey + boxes[i].second] = Dword(row.stored[i]);
        expected[kMainKey + L"SpcPresetNum"] = Dword(row.active);
        EXPECT_EQ(SettingsRegistry(), expected) << row.active;
    }

    // A stored number outside the list is preset 0 to the commands: the box shows it, and OK stores it.
    Store({L"По умолчанию", L"Болты"}, 7);
    int chosen = -1;
    Run({[&](HWND dialog) {
        chosen = Chosen(dialog, IDC_ACTIVE_PRESET);
        Press(dialog, IDOK);
    }});
    EXPECT_EQ(chosen, 0);
    EXPECT_EQ(Stored().SpcPresetNum, 0);

    // A missing preset key ends the list the dialog shows. The presets behind it are kept: a plain OK leaves
    // their keys as they were, a list grown past the gap writes them after itself. They count against the
    // hundred presets the registry keeps: with 97 behind the gap, Add takes one preset and no more.
    std::vector<std::wstring> hundred = {L"По умолчанию", L"Болты", L"Гайки", L"Шайбы", L"Винты"};
    const std::vector<std::wstring> five = hundred;
    for (int i = 5; i < 100; ++i)
        hundred.push_back(L"Шаблон №" + std::to_wstring(i));
    std::vector<std::wstring> hundredGrown = hundred;
    hundredGrown[2] = L"Шпильки";
    struct GapRow {
        const std::vector<std::wstring>& stored; // PRESET2 then deleted
        std::vector<std::wstring> added;         // one Add each
        size_t opened;                           // preset editors that open
        bool canAdd;                             // at OK
        std::vector<std::wstring> loaded;
    };
    const GapRow gapRows[] = {
        {five, {}, 0, true, {L"По умолчанию", L"Болты"}},
        {five, {L"Шпильки", L"Штифты"}, 2, true,
         {L"По умолчанию", L"Болты", L"Шпильки", L"Штифты", L"Шайбы", L"Винты"}},
        {hundred, {L"Шпильки", L"Штифты"}, 1, false, hundredGrown},
    };
    for (const GapRow& row : gapRows) {
        RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Orbex");
        Store(row.stored);
        ASSERT_EQ(RegDeleteTreeW(HKEY_CURRENT_USER, (kMainKey + L"SPC_OPTIONS\\PRESET2").c_str()), ERROR_SUCCESS);
        const RegistryImage gap = SettingsRegistry();
        bool canAdd = !row.canAdd;
        std::vector<Step> steps = {[&](HWND dialog) {
            for (size_t i = 0; i < row.added.size(); ++i)
                Press(dialog, IDC_ADD_PRESET);
            canAdd = IsEnabled(dialog, IDC_ADD_PRESET);
            Press(dialog, IDOK);
        }};
        for (size_t i = 0; i < row.opened; ++i)
            steps.push_back([&name = row.added[i]](HWND preset) {
                Paste(preset, IDC_PRESET_NAME, name);
                Press(preset, IDOK);
            });
        Run(std::move(steps));
        EXPECT_EQ(canAdd, row.canAdd) << row.stored.size() << " " << row.added.size();
        EXPECT_EQ(Stored().GetPresetNames(), row.loaded);
        if (row.added.empty()) {
            EXPECT_EQ(SettingsRegistry(), gap);
        }
    }

    // A save that fails says so and leaves the dialog open.
    settings_test::RegistrySandbox::DenyWrites(L"Software\\Orbex\\Normset\\RNMClient\\VELMAR_SETTINGS");
    bool open = false;
    Run({[&](HWND dialog) {
        Press(dialog, IDOK);
        open = IsWindowVisible(dialog) != FALSE;
        Press(dialog, IDCANCEL);
    }});
    ASSERT_EQ(boxes_.size(), 1u);
    EXPECT_EQ(boxes_[0].text, L"Не удалось сохранить настройки.");
    EXPECT_EQ(boxes_[0].style, static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION));
    EXPECT_TRUE(open);
}

TEST_F(SettingsDialog, DeletingKeepsTheActivePresetOrMovesToTheOneBefore)
{
    struct Row {
        int active, deleted, reply, activeAfter, selectedAfter;
    };
    const Row rows[] = {
        {2, 2, IDYES, 1, 2}, // the active preset goes: the one before it
        {2, 1, IDYES, 1, 1}, // one above goes: the same preset, one place up
        {1, 2, IDYES, 1, 2}, // one below goes: nothing moves
        {1, 3, IDYES, 1, 2}, // the last goes: the list selects the new last
        {2, 2, IDNO, 2, 2},
    };
    for (const Row& row : rows) {
        Store({L"По умолчанию", L"Болты", L"Гайки", L"Шайбы"}, row.active);
        boxes_.clear();
        reply_ = row.reply;
        HWND shown = nullptr;
        int active = -1, selected = -1;
        Run({[&](HWND dialog) {
            shown = dialog;
            Choose(dialog, IDC_PRESET_LIST, row.deleted, false);
            Press(dialog, IDC_DELETE_PRESET);
            active = Chosen(dialog, IDC_ACTIVE_PRESET);
            selected = Chosen(dialog, IDC_PRESET_LIST, false);
            Press(dialog, IDOK);
        }});
        const wchar_t* names[] = {L"По умолчанию", L"Болты", L"Гайки", L"Шайбы"};
        ASSERT_EQ(boxes_.size(), 1u);
        EXPECT_EQ(boxes_[0].caption + L": " + boxes_[0].text,
                  std::wstring(L"Удаление шаблона: Удалить шаблон \"") + names[row.deleted] + L"\" ?");
        EXPECT_TRUE(boxes_[0].owner == shown && boxes_[0].style == (MB_YESNO | MB_ICONQUESTION));
        EXPECT_EQ(active, row.activeAfter) << row.deleted;
        EXPECT_EQ(selected, row.selectedAfter) << row.deleted;
        const NMAllSettings stored = Stored();
        EXPECT_EQ(stored.Presets.size(), row.reply == IDYES ? 3u : 4u);
        EXPECT_EQ(stored.SpcPresetNum, row.activeAfter);
    }
}

TEST_F(SettingsDialog, AddedRenamedImportedAndDeletedPresetsReachTheRegistryOnlyThroughOk)
{
    Store({L"По умолчанию", L"Болты", L"Гайки"}, 2);
    NMAllSettings exchange;
    exchange.Presets = {NMSpcPreset(L"Шайбы"), NMSpcPreset(L"Гайки"), NMSpcPreset(L"Винты")};
    exchange.Presets[1].SubSectionNum = 300;
    file_ = folder_.File(L"обмен.ini");
    ASSERT_TRUE(exchange.SaveToIniFile(file_));
    const RegistryImage before = SettingsRegistry();
    reply_ = IDYES;
    for (const int close : {IDCANCEL, IDOK}) {
        std::vector<std::wstring> combo, list;
        int active = -1;
        bool firstNameEditable = true;
        boxes_.clear();
        Run({
            [&](HWND dialog) {
                Click(dialog, IDC_RESTORE_SELECT);
                Choose(dialog, IDC_ACTIVE_PRESET, 1);
                Press(dialog, IDC_ADD_PRESET);
                EXPECT_EQ(Chosen(dialog, IDC_PRESET_LIST, false), 3);
                Choose(dialog, IDC_PRESET_LIST, 1, false);
                Press(dialog, IDC_CHANGE_PRESET);
                Choose(dialog, IDC_PRESET_LIST, 0, false);
                Press(dialog, IDC_CHANGE_PRESET);
                Press(dialog, IDC_IMPORT_PRESETS);
                Choose(dialog, IDC_PRESET_LIST, 5, false);
                Press(dialog, IDC_DELETE_PRESET);
                combo = Items(dialog, IDC_ACTIVE_PRESET);
                list = Items(dialog, IDC_PRESET_LIST, false);
                active = Chosen(dialog, IDC_ACTIVE_PRESET);
                Press(dialog, close);
            },
            [](HWND preset) {
                Paste(preset, IDC_PRESET_NAME, L"Шпильки");
                Press(preset, IDOK);
            },
            [](HWND preset) {
                EXPECT_EQ(ControlText(preset, IDC_PRESET_NAME), L"Болты");
                Paste(preset, IDC_PRESET_NAME, L"Болты М");
                Click(preset, IDC_SECTION_DEFAULT);
                Press(preset, IDOK);
            },
            [&](HWND preset) {
                firstNameEditable = IsEnabled(preset, IDC_PRESET_NAME);
                Press(preset, IDOK);
            },
        });
        const std::vector<std::wstring> names = {L"По умолчанию", L"Болты М", L"Гайки", L"Шпильки", L"Шайбы"};
        EXPECT_EQ(combo, names);
        EXPECT_EQ(list, names);
        EXPECT_EQ(active, 1); // the user's choice, through the import too
        EXPECT_FALSE(firstNameEditable);
        ASSERT_EQ(boxes_.size(), 2u);
        EXPECT_EQ(boxes_[0].caption + L": " + boxes_[0].text, L"Нормсет: Шаблоны настроек: 2 создан(о), 1 обновлен(о).");
        EXPECT_EQ(boxes_[0].style, static_cast<UINT>(MB_OK | MB_ICONINFORMATION));
        if (close == IDCANCEL) {
            EXPECT_EQ(SettingsRegistry(), before);
        }
    }
    const NMAllSettings stored = Stored();
    EXPECT_EQ(stored.GetPresetNames(), (std::vector<std::wstring>{L"По умолчанию", L"Болты М", L"Гайки", L"Шпильки",
                                                                 L"Шайбы"}));
    EXPECT_EQ(stored.SpcPresetNum, 1);
    EXPECT_FALSE(stored.RestoreSelect);
    EXPECT_FALSE(stored.Presets[1].SectionMode);
    EXPECT_EQ(stored.Presets[2].SubSectionNum, 300);
    EXPECT_EQ(stored.Presets[3].Columns, kDefaultSpcColumns);
}

TEST_F(SettingsDialog, DamagedImportFilesAreNamedAndLoseNothing)
{
    Store({L"По умолчанию", L"Болты"});
    const std::vector<std::pair<std::wstring, std::wstring>> good = {
        {L"PresetName", L"Болты"}, {L"SectionMode", L"1"}, {L"SectionNum", L"30"}, {L"SubSectionMode", L"0"},
        {L"SubSectionNum", L"0"}, {L"ExtSectionMode", L"0"}, {L"NestedBlockNum", L"1"},
        {L"NestedSectionNum", L"25"}, {L"AdditionalBlockNum", L"1"}, {L"ColumnsMode", L"1"},
        {L"Columns", L"5.1=Designation,VELMAR_SPEC_PATTERN;8.1=MACC"},
    };
    // Each damaged section differs from the sound one in the fields given.
    using Fields = std::map<std::wstring, std::wstring>;
    const std::vector<Fields> damages = {
        {{L"SectionNum", L"тридцать"}},    {{L"SectionNum", L"99999999999"}}, {{L"SectionNum", L"0"}},
        {{L"SubSectionNum", L"abc"}},      {{L"SectionMode", L"2"}},          {{L"ExtSectionMode", L"drei"}},
        {{L"ColumnsMode", L"-1"}},         {{L"PresetName", L"   "}},         {{L"Columns", L"5.x=X"}},
        {{L"Columns", L"abc"}},            {{L"AdditionalBlockNum", L""}},
        // One piece the spc code reads beside one it cannot: the unreadable one would fill nothing.
        {{L"Columns", L"5.1=Designation,VELMAR_SPEC_PATTERN;5.x=X"}},
        // Every block mode but 0 and 1 is the additional block, and uses its number.
        {{L"ExtSectionMode", L"5"}, {L"AdditionalBlockNum", L"0"}},
    };
    std::wstring text;
    std::wstring named;
    const auto section = [&](size_t index, const Fields& damage) {
        text += L"[Preset" + std::to_wstring(index) + L"]\r\n";
        for (const auto& [key, value] : good)
            text += key + L"=" + (damage.count(key) ? damage.at(key) : value) + L"\r\n";
    };
    for (size_t i = 0; i < damages.size(); ++i) {
        section(i, damages[i]);
        named += L"\r\nPreset" + std::to_wstring(i) + L" \"" + (damages[i].count(L"PresetName") ? L"" : L"Болты") +
                 L"\"";
    }
    section(damages.size(), {});
    // A second section of a name the file already gave.
    section(damages.size() + 1, {});
    named += L"\r\nPreset" + std::to_wstring(damages.size() + 1) + L" \"Болты\"";
    const std::wstring damaged = folder_.File(L"damaged.ini");
    ASSERT_TRUE(WriteUnicodeFile(text, damaged));
    const std::wstring noise = folder_.File(L"noise.ini");
    std::mt19937 random(22);
    std::string bytes;
    std::generate_n(std::back_inserter(bytes), 4096, [&] { return static_cast<char>(random()); });
    std::ofstream(std::filesystem::path(noise), std::ios::binary).write(bytes.data(), bytes.size());

    const std::vector<std::wstring> files = {damaged, folder_.File(L"нет.ini"), noise,
                                             folder_.File(L"нет\\SpcSettings.ini")};
    std::vector<std::wstring> list;
    Run({[&](HWND dialog) {
        for (size_t i = 0; i < files.size(); ++i) {
            file_ = files[i];
            Press(dialog, i + 1 < files.size() ? IDC_IMPORT_PRESETS : IDC_EXPORT_PRESETS);
        }
        list = Items(dialog, IDC_PRESET_LIST, false);
        Press(dialog, IDOK);
    }});
    ASSERT_EQ(boxes_.size(), 4u);
    EXPECT_EQ(boxes_[0].text, L"Шаблоны настроек: 0 создан(о), 1 обновлен(о).\r\n\r\n"
                              L"Повреждённые шаблоны не загружены:" + named);
    EXPECT_EQ(boxes_[0].style, static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION));
    EXPECT_EQ(boxes_[1].text, L"Не удалось прочитать файл.\r\n" + files[1]);
    EXPECT_EQ(boxes_[2].text, L"В файле нет шаблонов настроек.\r\n" + files[2]);
    EXPECT_EQ(boxes_[3].text, L"Не удалось сохранить файл.\r\n" + files[3]);
    EXPECT_EQ(list, (std::vector<std::wstring>{L"По умолчанию", L"Болты"}));
    // Only the sound section reached the registry.
    const NMAllSettings stored = Stored();
    ASSERT_EQ(stored.Presets.size(), 2u);
    EXPECT_EQ(stored.Presets[1].SectionNum, 30);
    EXPECT_EQ(stored.Presets[1].Columns, L"5.1=Designation,VELMAR_SPEC_PATTERN;8.1=MACC");
}

TEST_F(SettingsDialog, ExportThenImportRoundTripsEveryFieldOfAHundredPresetsAndTakesNoMore)
{
    // Names the profile functions would trim or take out of their quotes, and twins that differ only so.
    // A line break would start a line of its own, here a section: the file holds a space for each CR and LF.
    const std::vector<std::wstring> names = {L"По умолчанию", L"\"В кавычках\"", L"'В апострофах'", L"Гайки",
                                             L"Гайки ", L" Гайки", L"\"Гайки\"", L" \" ",
                                             L"Болты\r\n[Preset9]\r\nPresetName=Чужой"};
    // Own columns the spc code reads though the column editor writes them otherwise, and none at all.
    const std::vector<std::wstring> ownColumns = {L"05.1=Designation", L"", L"20.1=X;5.1=a,b,c;5.1=X;5.1=Y"};
    NMAllSettings settings;
    for (int32_t i = 0; i < 100; ++i) {
        NMSpcPreset& preset = settings.Presets.emplace_back(
            static_cast<size_t>(i) < names.size() ? names[i] : L"Шаблон №" + std::to_wstring(i));
        preset.SectionMode = i % 2 != 0;
        preset.SectionNum = 1 + i * 300;
        preset.SubSectionMode = i % 3 == 0;
        preset.SubSectionNum = i * 100;
        // Any block mode but 0 and 1 is the additional block.
        preset.ExtSectionMode = i % 5 == 4 ? 5 : i % 3;
        preset.NestedBlockNum = 1 + i % 7;
        preset.NestedSectionNum = 20 + i;
        preset.AdditionalBlockNum = 1 + i % 4;
        preset.ColumnsMode = i % 2 == 0;
        preset.Columns = L"5.1=Designation,VELMAR_SPEC_PATTERN;8." + std::to_wstring(i + 1) + L"=Масса_" +
                         std::to_wstring(i);
        // Column text under the default columns is kept as it stands, whatever it holds.
        if (!preset.ColumnsMode)
            preset.Columns += L";abc;;";
        else if (static_cast<size_t>(i / 2) < ownColumns.size())
            preset.Columns = ownColumns[i / 2];
    }
    ASSERT_TRUE(settings.SaveToRegistry());
    file_ = folder_.File(L"Шаблоны.ini");
    Run({[](HWND dialog) {
        Press(dialog, IDC_EXPORT_PRESETS);
        Press(dialog, IDCANCEL);
    }});
    settings.Presets[8].PresetName = L"Болты  [Preset9]  PresetName=Чужой";
    ASSERT_TRUE(settings.SaveToRegistry());
    const RegistryImage exported = PresetPart(SettingsRegistry());
    // A full list takes no new preset: the user is told which were not loaded, and cannot add one either.
    // Presets behind a missing key count: with 97 of them and 2 shown, the import takes one preset more.
    NMAllSettings more;
    more.Presets = {NMSpcPreset(L"Сто первый"), NMSpcPreset(L"Сто второй")};
    const std::wstring moreFile = folder_.File(L"more.ini");
    ASSERT_TRUE(more.SaveToIniFile(moreFile));
    std::vector<std::wstring> grown = settings.GetPresetNames();
    grown[2] = L"Сто первый";
    struct FullRow {
        bool gap; // the stored hundred with PRESET2 deleted, else nothing stored and the exported file taken first
        std::vector<std::wstring> boxes;
        std::vector<std::wstring> loaded;
    };
    const FullRow fullRows[] = {
        {false,
         {L"Шаблоны настроек: 99 создан(о), 1 обновлен(о).",
          L"Шаблоны настроек: 0 создан(о), 0 обновлен(о).\r\n"
          L"Не загружено шаблонов: 2 (шаблонов может быть не больше 100).\r\n"
          L"Preset0 \"Сто первый\"\r\nPreset1 \"Сто второй\""},
         settings.GetPresetNames()},
        {true,
         {L"Шаблоны настроек: 1 создан(о), 0 обновлен(о).\r\n"
          L"Не загружено шаблонов: 1 (шаблонов может быть не больше 100, в том числе 97, которые хранятся в реестре "
          L"после пропущенного шаблона и не показаны в списке).\r\n"
          L"Preset1 \"Сто второй\""},
         grown},
    };
    const std::wstring exportedFile = file_;
    for (const FullRow& row : fullRows) {
        ASSERT_EQ(RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Orbex"), ERROR_SUCCESS);
        if (row.gap) {
            ASSERT_TRUE(settings.SaveToRegistry());
            ASSERT_EQ(RegDeleteTreeW(HKEY_CURRENT_USER, (kMainKey + L"SPC_OPTIONS\\PRESET2").c_str()), ERROR_SUCCESS);
        }
        boxes_.clear();
        bool canAdd = true;
        Run({[&](HWND dialog) {
            for (const std::wstring& file : row.gap ? std::vector{moreFile} : std::vector{exportedFile, moreFile}) {
                file_ = file;
                Press(dialog, IDC_IMPORT_PRESETS);
            }
            canAdd = IsEnabled(dialog, IDC_ADD_PRESET);
            Press(dialog, IDOK);
        }});
        std::vector<std::wstring> texts;
        for (const Box& box : boxes_)
            texts.push_back(box.text);
        EXPECT_EQ(texts, row.boxes);
        EXPECT_FALSE(canAdd);
        EXPECT_EQ(Stored().GetPresetNames(), row.loaded);
        if (!row.gap) {
            EXPECT_EQ(PresetPart(SettingsRegistry()), exported);
        }
    }
}
