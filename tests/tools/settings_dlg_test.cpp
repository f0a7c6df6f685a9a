// The settings command and its dialog, driven as a user would under the test display, against Wine's
// registry (redirected for each test) and real INI files.
#include "tools/settings_dlg.h"

#include "core/display_name.h"
#include "core/files.h"
#include "core/list_view.h"
#include "core/modal_seam.h"
#include "core/module.h"
#include "library/command_dispatch.h"
#include "library/command_table.h"
#include "library/exports.h"
#include "library/html_help.h"
#include "objects/settings_sandbox.h"
#include "resources/resource.h"
#include "sim/stand_in_test.h"
#include "tools/dialog_steps.h"

#define MINIZ_HEADER_FILE_ONLY
#include "miniz.h"

#include <filesystem>
#include <fstream>
#include <random>

using namespace dialog_steps;
using testsupport::DialogDriver;
using Step = DialogDriver::Answer;

namespace {

struct Box {
    HWND owner;
    std::wstring text;
    std::wstring caption;
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
    std::function<int(const Box&)> reply_ = [](const Box&) { return IDOK; };
    std::wstring file_; // the Open and Save dialogs' choice
    testhooks::ScopedModalSeam seam_{[this] {
        ModalSeam seam;
        seam.messageBox = [this](HWND owner, const std::wstring& text, const std::wstring& caption, UINT style) {
            boxes_.push_back({owner, text, caption, style});
            return reply_(boxes_.back());
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
    const std::wstring className = name;
    const LONG style = GetWindowLongW(control, GWL_STYLE);
    if (className == L"Button") {
        switch (style & BS_TYPEMASK) {
        case BS_AUTOCHECKBOX: return L"check";
        case BS_AUTORADIOBUTTON: return L"radio";
        case BS_GROUPBOX: return L"group";
        default: return L"button";
        }
    }
    if (className == L"ComboBox")
        return (style & 3) == CBS_DROPDOWNLIST ? L"drop-down list" : L"combo";
    if (className == L"ListBox")
        return (style & LBS_NOTIFY) ? L"notifying list" : L"list";
    if (className == L"SysListView32")
        return (SendMessageW(control, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0) & LVS_EX_FULLROWSELECT) ? L"row list"
                                                                                                  : L"list view";
    return className == L"Static" ? L"label" : className == L"Edit" ? L"edit" : className;
}

struct Control {
    int id;
    const wchar_t* kind;
    const wchar_t* text; // nullptr: not compared
};

void ExpectControls(HWND dialog, const wchar_t* title, const std::vector<Control>& controls)
{
    wchar_t caption[128] = {};
    GetWindowTextW(dialog, caption, 128);
    EXPECT_EQ(std::wstring(caption), title);
    for (const Control& control : controls) {
        HWND window = GetDlgItem(dialog, control.id);
        ASSERT_NE(window, nullptr) << control.id;
        EXPECT_EQ(KindOf(window), control.kind) << control.id;
        if (control.text) {
            EXPECT_EQ(ControlText(dialog, control.id), control.text) << control.id;
        }
    }
}

// Every control inside the client area; a group box holds a control wholly or not at all, and no two
// other controls share a pixel. OK and Cancel lie 8 pixels apart left of Help.
void ExpectTidyLayout(HWND dialog)
{
    RECT client = {};
    GetClientRect(dialog, &client);
    struct Placed {
        HWND window;
        RECT rect;
        bool group;
    };
    std::vector<Placed> placed;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        RECT rect = {};
        GetWindowRect(child, &rect);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
        placed.push_back({child, rect, KindOf(child) == L"group"});
        EXPECT_TRUE(rect.left >= 0 && rect.top >= 0 && rect.right <= client.right && rect.bottom <= client.bottom)
            << GetDlgCtrlID(child);
    }
    const auto inside = [](const RECT& inner, const RECT& outer) {
        return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
               inner.bottom <= outer.bottom;
    };
    for (size_t a = 0; a < placed.size(); ++a) {
        for (size_t b = a + 1; b < placed.size(); ++b) {
            RECT common = {};
            if (!IntersectRect(&common, &placed[a].rect, &placed[b].rect))
                continue;
            const bool held = (placed[a].group && inside(placed[b].rect, placed[a].rect)) ||
                              (placed[b].group && inside(placed[a].rect, placed[b].rect));
            EXPECT_TRUE(held) << GetDlgCtrlID(placed[a].window) << " overlaps " << GetDlgCtrlID(placed[b].window);
        }
    }
    RECT ok = {}, cancel = {}, help = {};
    GetWindowRect(GetDlgItem(dialog, IDOK), &ok);
    GetWindowRect(GetDlgItem(dialog, IDCANCEL), &cancel);
    GetWindowRect(GetDlgItem(dialog, IDHELP), &help);
    EXPECT_EQ(help.left - cancel.right, 8);
    EXPECT_EQ(cancel.left - ok.right, 8);
}

// The dialog as it looks, for a person to check layout and texts: build/screenshots/dialog-<id>.png.
void SaveScreenshot(HWND dialog, int dialogId)
{
    RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN);
    RECT rect = {};
    GetWindowRect(dialog, &rect);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    HDC windowDc = GetWindowDC(dialog);
    HDC memoryDc = CreateCompatibleDC(windowDc);
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(memoryDc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ previous = SelectObject(memoryDc, bitmap);
    BitBlt(memoryDc, 0, 0, width, height, windowDc, 0, 0, SRCCOPY);
    std::vector<unsigned char> rgb;
    const auto* bgra = static_cast<const unsigned char*>(bits);
    for (int i = 0; i < width * height; ++i)
        rgb.insert(rgb.end(), {bgra[4 * i + 2], bgra[4 * i + 1], bgra[4 * i]});
    SelectObject(memoryDc, previous);
    DeleteObject(bitmap);
    DeleteDC(memoryDc);
    ReleaseDC(dialog, windowDc);

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
    // A picture of one colour would show nothing of the dialog.
    EXPECT_NE(std::count(rgb.begin(), rgb.end(), rgb[0]), static_cast<std::ptrdiff_t>(rgb.size())) << dialogId;
}

void ExpectWellMade(HWND dialog, int dialogId, const wchar_t* title, const std::vector<Control>& controls)
{
    ExpectControls(dialog, title, controls);
    ExpectTidyLayout(dialog);
    SaveScreenshot(dialog, dialogId);
}

} // namespace

TEST_F(SettingsDialog, CommandSixOpensTheDialogOverVelmarsMainWindow)
{
    Store({L"По умолчанию", L"Болты"}, 1);
    HWND owner = nullptr;
    std::wstring active;
    {
        DialogDriver driver(InTurn({[&](HWND dialog) {
            owner = GetWindow(dialog, GW_OWNER);
            active = ControlText(dialog, IDC_ACTIVE_PRESET);
            Press(dialog, IDCANCEL);
        }}));
        LIBRARYENTRY(6);
        EXPECT_EQ(driver.Answered().size(), 1u);
    }
    EXPECT_EQ(owner, velmar().MainWindow());
    EXPECT_EQ(active, L"Болты");
    // The version for the command's trace, then the owner.
    EXPECT_EQ(journal().Lines(), (std::vector<std::string>{"app5.50(&,&,&,&)", "app5.21()"}));

    // Without Velmar's application nothing opens: the command ends in the COM error of the missing owner.
    HoldApplication5(nullptr);
    DialogDriver driver(InTurn({}));
    std::wstring title;
    std::wstring message;
    EXPECT_TRUE(ExecuteLibCommand(FindLibCommand(6), title, message));
    EXPECT_EQ(title, L"Ошибка COM");
    EXPECT_TRUE(driver.Answered().empty());
}

TEST_F(SettingsDialog, TheThreeDialogsShowEveryControlInPlaceWithItsText)
{
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
        {IDC_PRESET_LIST, L"notifying list", nullptr},
        {IDC_ADD_PRESET, L"button", L"Добавить..."},
        {IDC_CHANGE_PRESET, L"button", L"Изменить..."},
        {IDC_DELETE_PRESET, L"button", L"Удалить"},
        {IDC_EXPORT_PRESETS, L"button", L"Экспорт..."},
        {IDC_IMPORT_PRESETS, L"button", L"Импорт..."},
        {IDOK, L"button", L"ОК"},
        {IDCANCEL, L"button", L"Отмена"},
        {IDHELP, L"button", L"Справка"},
        {IDC_VERSION, L"label", L"1.0.0.0"},
    };
    const std::vector<Control> preset = {
        {IDC_PRESET_NAME_LABEL, L"label", L"Название шаблона:"},
        {IDC_PRESET_NAME, L"edit", L"Новый шаблон"},
        {IDC_SECTION_GROUP, L"group", L"Раздел и подраздел спецификации"},
        {IDC_SECTION_DEFAULT, L"radio", L"по умолчанию"},
        {IDC_SECTION_OWN, L"radio", L"раздел"},
        {IDC_SECTION_COMBO, L"drop-down list", nullptr},
        {IDC_SECTION_NUM, L"edit", L"20"},
        {IDC_SUBSECTION, L"check", L"установить подраздел"},
        {IDC_SUBSECTION_NUM, L"edit", L"0"},
        {IDC_EXT_GROUP, L"group", L"Блок вложенных или дополнительных разделов спецификации"},
        {IDC_EXT_DEFAULT, L"radio", L"по умолчанию"},
        {IDC_EXT_NESTED, L"radio", L"блок вложенных разделов"},
        {IDC_NESTED_BLOCK_COMBO, L"drop-down list", L"<другой>"},
        {IDC_NESTED_BLOCK_NUM, L"edit", L"1"},
        {IDC_NESTED_SECTION_LABEL, L"label", L"вложенный раздел"},
        {IDC_NESTED_SECTION_COMBO, L"drop-down list", L"Parts"},
        {IDC_NESTED_SECTION_NUM, L"edit", L"20"},
        {IDC_EXT_ADDITIONAL, L"radio", L"блок дополнительных разделов"},
        {IDC_ADDITIONAL_COMBO, L"drop-down list", L"<другой>"},
        {IDC_ADDITIONAL_NUM, L"edit", L"1"},
        {IDC_COLUMNS_GROUP, L"group", L"Заполняемые колонки спецификации"},
        {IDC_COLUMNS_DEFAULT, L"radio", L"по умолчанию"},
        {IDC_COLUMNS_OWN, L"radio", L"другие"},
        {IDC_COLUMN_LIST, L"row list", nullptr},
        {IDC_ADD_COLUMN, L"button", L"Добавить..."},
        {IDC_CHANGE_COLUMN, L"button", L"Изменить..."},
        {IDC_DELETE_COLUMN, L"button", L"Удалить"},
        {IDOK, L"button", L"ОК"},
        {IDCANCEL, L"button", L"Отмена"},
        {IDHELP, L"button", L"Справка"},
    };
    const std::vector<Control> column = {
        {IDC_COLUMN_TYPE_LABEL, L"label", L"Тип колонки:"},
        {IDC_COLUMN_TYPE, L"drop-down list", L"НАИМЕНОВАНИЕ"},
        {IDC_COLUMN_NUMBER_LABEL, L"label", L"Номер колонки данного типа:"},
        {IDC_COLUMN_NUMBER, L"edit", L"1"},
        {IDC_COLUMN_VALUE_LABEL, L"label", L"Значение-строка:"},
        {IDC_COLUMN_VALUE_COMBO, L"drop-down list", L"Наименование"},
        {IDC_COLUMN_VALUE_CODE_LABEL, L"label", L"код атрибута:"},
        {IDC_COLUMN_VALUE, L"edit", L"Designation"},
        {IDC_COLUMN_USE_ATTR, L"check", L"Использовать значение-запись"},
        {IDC_COLUMN_ATTR_COMBO, L"drop-down list", L"Шаблон спецификации"},
        {IDC_COLUMN_ATTR_CODE_LABEL, L"label", L"код атрибута:"},
        {IDC_COLUMN_ATTR, L"edit", L"VELMAR_SPEC_PATTERN"},
        {IDOK, L"button", L"ОК"},
        {IDCANCEL, L"button", L"Отмена"},
        {IDHELP, L"button", L"Справка"},
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
