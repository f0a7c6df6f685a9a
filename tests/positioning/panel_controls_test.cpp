// The control builders and the wrappers that keep controls in step with a selection record, read back
// from the stand-in's page.
#include "panel_stand_in.h"

#include "core/modal_seam.h"
#include "positioning/pp_buttons.h"
#include "positioning/pp_check_list.h"
#include "positioning/pp_spin_dir_edit.h"

using namespace panel_test;

namespace {

class PanelControls : public PanelStandIn {
protected:
    std::unique_ptr<TestPanel3D> NewPanel()
    {
        Assembly();
        auto panel = std::make_unique<TestPanel3D>(App5(), App7(), L"Заголовок", L"Страница", 1, nullptr, 825, true);
        journal().Clear();
        return panel;
    }
    sim::PanelControl& Control(long id, long kind) { return *Page().Find(id, kind); }
};

// The checksum of the library's bitmap of a button id, as the stand-in takes it of the handle it is given.
uint32_t ResourceBitmapSum(long id)
{
    HBITMAP bitmap = static_cast<HBITMAP>(LoadImageW(ResourceModule(), MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, 0));
    long width = 0;
    long height = 0;
    const uint32_t sum = sim::BitmapChecksum(bitmap, &width, &height);
    DeleteObject(bitmap);
    return width == 16 && height == 16 ? sum : 0;
}

} // namespace

TEST_F(PanelControls, EachBuilderMakesItsKindOfControl)
{
    auto panel = NewPanel();
    panel->AddCheckBox(9146, L"Создавать объект спецификации", true);
    panel->AddComboBox(9147, {L"Основной", L"Второй", L"Основной"}, 1);
    panel->AddComboBox(9148, {L"Один"}, 3);
    panel->AddSpinEdit(9110, L"Расстояние", L"Смещение", L"Введите расстояние", 5, -1e7, 1e7);
    panel->AddSelectButton(9104, L"Выбрать", L"Выбрать начальную поверхность");
    panel->AddSelectField(9104, L"Поверхность");
    panel->AddList(9501, L"Отверстия", L"Список");
    panel->AddToggle(9190, L"Совпадение", L"Совпадение", L"Включить");
    panel->AddButtonBar(9113, {L"Добавить", L"Удалить"}, {L"+", L"-"});
    panel->AddDirectionButtons(9146, {L"Прямое направление", L"Обратное направление"}, {L"c", L"c"});
    panel->AddGroupTitle(L"", true);

    Lines tree;
    for (const sim::PanelControl& control : Page().controls)
        tree.push_back(control.Describe());
    EXPECT_EQ(tree, (Lines{
        "check 9146 caption \"Создавать объект спецификации\" value true",
        "combo 9147 value \"Второй\" items \"Основной\" \"Второй\" \"Основной\"",
        "combo 9148 items \"Один\"",
        "spin 9110 caption \"Расстояние\" name \"Смещение\" hint \"Введите расстояние\" value 5",
        "buttons 9104 name \"Выбрать\" hint \"Выбрать начальную поверхность\" [9004]",
        "field 9104 name \"Поверхность\"",
        "list 9501 caption \"Отверстия\" name \"Список\"",
        "toggle 9190 caption \"Совпадение\" name \"Совпадение\" hint \"Включить\"",
        "buttons 9113 name \" \" [9013] [9014]",
        "buttons 9146 name \" \" [9046] [9047]",
        "title",
    }));
    // Velmar's undocumented settings, as the library sets them.
    const sim::PanelControl& combo = Control(9147, VelControlComboBox);
    EXPECT_EQ(combo.settings, (std::map<int, _variant_t>{{35, _variant_t(VARIANT_TRUE, VT_BOOL)}, {37, _variant_t(20L)}, {41, _variant_t(0L)}}));
    EXPECT_EQ(Control(9110, VelControlSpinEdit).settings.at(37), _variant_t(10L));
    EXPECT_EQ(Control(9110, VelControlSpinEdit).low, -1e7);
    EXPECT_EQ(Control(9110, VelControlSpinEdit).high, 1e7);
    EXPECT_EQ(Control(9104, VelControlSelectField).settings,
              (std::map<int, _variant_t>{{35, _variant_t(VARIANT_TRUE, VT_BOOL)}, {37, _variant_t(15L)}}));
    EXPECT_EQ(Page().controls.back().settings.at(28), _variant_t(VARIANT_TRUE, VT_BOOL));
    const sim::PanelControl& select = Control(9104, VelControlButtons);
    EXPECT_EQ(select.style, 1);
    EXPECT_EQ(select.buttons.at(0).state, 1);
    EXPECT_EQ(Control(9113, VelControlButtons).style, 0);
    const sim::PanelControl& pair = Control(9146, VelControlButtons);
    EXPECT_EQ(pair.style, 2);
    EXPECT_EQ(pair.buttons.at(1).hint, L"Обратное направление");
    EXPECT_EQ(pair.buttons.at(1).caption, L"c");
    // Every control is enabled and visible; every button carries the library's image of its id.
    for (const sim::PanelControl& control : Page().controls) {
        EXPECT_TRUE(control.enabled) << control.Describe();
        EXPECT_TRUE(control.visible) << control.Describe();
        for (const sim::PanelButton& button : control.buttons) {
            EXPECT_EQ(button.bitmapWidth, 16) << button.id;
            EXPECT_NE(button.bitmapSum, 0u) << button.id;
            EXPECT_EQ(button.bitmapSum, ResourceBitmapSum(button.id)) << button.id;
        }
    }
}

TEST_F(PanelControls, AControlWithoutItsOwnInterfaceRaisesAtTheNextCall)
{
    auto panel = NewPanel();
    velmar().Faults().FailQuery("field1", __uuidof(IVel7SelectField), E_NOINTERFACE);
    const _com_error error = sim::CaughtHostError([&] { panel->AddSelectField(9130, L"Совпадение"); });
    EXPECT_EQ(error.Error(), E_POINTER);
    EXPECT_EQ(error.GUID_(), __uuidof(IVel7Control));
}

TEST_F(PanelControls, AGroupButtonAlreadyInTheWantedStateIsNotChanged)
{
    auto panel = NewPanel();
    IVel7ButtonsPtr pair = panel->AddDirectionButtons(9146, {L"a", L"b"}, {L"c", L"c"});
    sim::PanelControl& control = Control(9146, VelControlButtons);
    control.buttons[1].checked = true;
    control.buttons[1].enabled = false;
    journal().Clear();
    VelBasePanel::CheckGroupButton(pair, 1);
    VelBasePanel::EnableGroupButton(pair, false, 1);
    EXPECT_EQ(journal().Lines(), (Lines{"buttons1#17(&)", "buttons1#31(9047,&)", "buttons1#17(&)", "buttons1#33(9047,&)"}));
    journal().Clear();
    VelBasePanel::CheckGroupButton(pair, 0);
    VelBasePanel::EnableGroupButton(pair, true, 1);
    EXPECT_EQ(journal().Lines(), (Lines{"buttons1#17(&)", "buttons1#31(9046,&)", "buttons1#30(9046,-1)", "buttons1#17(&)",
                                        "buttons1#33(9047,&)", "buttons1#32(9047,-1)"}));
    EXPECT_TRUE(control.buttons[0].checked);
    EXPECT_TRUE(control.buttons[1].enabled);
}

TEST_F(PanelControls, TheSelectFieldShowsTheRecordsObjectAndTheDirectionPairItsDirection)
{
    auto panel = NewPanel();
    IVel7ButtonsPtr select = panel->AddSelectButton(9130, L"Задать совпадение", L"hint");
    IVel7SelectFieldPtr field = panel->AddSelectField(9130, L"Совпадение");
    IVel7ButtonsPtr pair = panel->AddDirectionButtons(9140, {L"a", L"b"}, {L"c", L"c"});
    VelmarMate record;
    VelPPDirButton button(&record, pair, field, select);
    sim::PanelControl& fieldControl = Control(9130, VelControlSelectField);
    sim::PanelControl& pairControl = Control(9140, VelControlButtons);

    // Without an object the pair is disabled and keeps its checks.
    pairControl.buttons[0].checked = true;
    button.UpdateDirection(true);
    EXPECT_EQ(fieldControl.value, _variant_t(L"Не выбрано"));
    EXPECT_EQ(fieldControl.hint, L"Совпадение: Не выбрано");
    EXPECT_FALSE(pairControl.enabled);
    EXPECT_TRUE(pairControl.buttons[0].checked);

    sim::GeoEntity& face = geometry().AddFace("top", geometry().topPart, {});
    face.SetHostName(L"Грань 1");
    record.iface = face.V5().Ptr();
    struct Row {
        int16_t direction;
        bool enable;
        bool enabled;
        bool forward;
        bool reverse;
    };
    for (const Row& row : {Row{1, true, true, true, false}, Row{-1, true, true, false, true}, Row{0, true, true, false, false},
                           Row{1, false, false, false, false}}) {
        SCOPED_TRACE(row.direction);
        pairControl.buttons[0].checked = pairControl.buttons[1].checked = false;
        record.Direction = row.direction;
        button.UpdateDirection(row.enable);
        EXPECT_EQ(pairControl.enabled, row.enabled);
        EXPECT_EQ(pairControl.buttons[0].checked, row.forward);
        EXPECT_EQ(pairControl.buttons[1].checked, row.reverse);
    }
    EXPECT_EQ(fieldControl.value, _variant_t(L"assembly.Грань 1"));
    EXPECT_EQ(fieldControl.hint, L"Совпадение: assembly.Грань 1");

    // A face definition is shown by its face; the select button is checked only while it is enabled.
    record.iface = face.Definition().Ptr();
    button.UpdateCaption();
    EXPECT_EQ(fieldControl.value, _variant_t(L"assembly.Грань 1"));
    button.SetChecked(true);
    EXPECT_TRUE(button.IsChecked());
    Control(9130, VelControlButtons).buttons[0].enabled = false;
    EXPECT_FALSE(button.IsChecked());
    button.SetVisible(false);
    EXPECT_FALSE(Control(9130, VelControlButtons).visible);
    EXPECT_FALSE(fieldControl.visible);
}

TEST_F(PanelControls, TheCheckListSwitchesItsComboAndFindsTheChosenItem)
{
    auto panel = NewPanel();
    IVel7ControlPtr check = panel->AddCheckBox(9146, L"Создавать", false);
    IVel7ComboBoxPtr combo = panel->AddComboBox(9147, {L"A", L"B", L"A"}, 2);
    VelPPCheckList list(check, combo);
    sim::PanelControl& comboControl = Control(9147, VelControlComboBox);
    list.SyncEnabled();
    EXPECT_FALSE(comboControl.enabled);
    Control(9146, VelControlCheckBox).value = _variant_t(true);
    list.SyncEnabled();
    EXPECT_TRUE(comboControl.enabled);
    // Equal texts: the first of them; a text none of the items has: -1.
    EXPECT_EQ(list.CurrentItem(), 0);
    comboControl.value = _variant_t(L"B");
    EXPECT_EQ(list.CurrentItem(), 1);
    comboControl.value = _variant_t(L"Z");
    EXPECT_EQ(list.CurrentItem(), -1);
}

TEST_F(PanelControls, TheSpinEditsDirectionPairFollowsItsRecord)
{
    auto panel = NewPanel();
    IVel7SpinEditPtr spin = panel->AddSpinEdit(9111, L"c", L"n", L"h", 0, -1e7, 1e7);
    IVel7ButtonsPtr pair = panel->AddDirectionButtons(9118, {L"a", L"b"}, {L"c", L"c"});
    PosPanelMate record;
    VelPPSpinDirEdit edit(&record, spin, pair);
    sim::PanelControl& pairControl = Control(9118, VelControlButtons);
    edit.RefreshDirection();
    EXPECT_FALSE(pairControl.enabled);
    record.iface = geometry().AddFace("face", nullptr, {}).V5().Ptr();
    record.Direction = -1;
    edit.RefreshDirection();
    EXPECT_TRUE(pairControl.enabled);
    EXPECT_FALSE(pairControl.buttons[0].checked);
    EXPECT_TRUE(pairControl.buttons[1].checked);
    record.Direction = 1;
    edit.RefreshDirection();
    EXPECT_TRUE(pairControl.buttons[0].checked);
    EXPECT_FALSE(pairControl.buttons[1].checked);
    edit.SetValue(2.5);
    EXPECT_EQ(Control(9111, VelControlSpinEdit).value, _variant_t(2.5));
}
