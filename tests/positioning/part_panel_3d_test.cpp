// The 3D part panel run by the scripted user over the stand-in assembly: what it arms, what it shows,
// the mates it applies to the part being placed, the settings it writes.
#include "panel_stand_in.h"

#include "core/files.h"
#include "core/modal_seam.h"
#include "core/scratch_folder.h"
#include "sim/panel_scene.h"
#include "sim/text_file.h"

#include <gmock/gmock.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>

using namespace panel_test;

namespace {

class PartPanel : public PanelStandIn {
protected:
    PartPanel()
    {
        document_ = &velmar().OpenDocument(5, "asm");
        sim::BuildPanelScene(velmar(), geometry(), *document_);
        settings.Presets = {NMSpcPreset(L"Основной"), NMSpcPreset(L"Второй")};
        settings.SpcPresetNum = 0;
        settings.CreateSpcObject = true;
    }
    void TearDown() override
    {
        placement_ = nullptr;
        PanelStandIn::TearDown();
    }

    // The mate set of a model built by `build`; the panels place that model from then on.
    VelmarMateSet MateSet(const std::function<void(sim::ModelGeometry&)>& build)
    {
        sim::ModelGeometry model(velmar(), geometry(), "model");
        build(model);
        placed_ = &model.Model();
        return VelmarMateSet(App5(), model.Model().V5().As<IVel5Part>(), nullptr);
    }

    // Builds the panel over a new placement and plays the script in its run; the result of Run.
    bool Play(VelmarMateSet& mates, const std::wstring& script, bool createSpc = true)
    {
        placement_ = Placement(*document_, *placed_);
        PartPanel3D panel(App5(), App7(), L"Болт М8", &settings, createSpc, &mates, placement_);
        Script(script);
        return panel.Run();
    }

    // The mates applied to the part being placed, as "object-target kind direction".
    Lines Applied()
    {
        Lines mates;
        for (const sim::MateRecord& mate : Request(placement_).mates->Mates())
            mates.push_back(sim::RenderObject(mate.first) + "-" + sim::RenderObject(mate.second) + " kind " +
                            std::to_string(mate.kind) + " direction " + std::to_string(mate.direction));
        return mates;
    }

    // A member as "object kind direction".
    static std::string State(const VelmarMate& mate)
    {
        return sim::RenderObject(mate.iface) + " kind " + std::to_string(mate.Kind) + " direction " + std::to_string(mate.Direction);
    }

    // The checked buttons of the last panel's page.
    Lines Checked()
    {
        Lines checked;
        for (const sim::PanelControl& control : Page().controls)
            for (const sim::PanelButton& button : control.buttons)
                if (button.checked)
                    checked.push_back(std::to_string(button.id));
        std::sort(checked.begin(), checked.end());
        return checked;
    }

    sim::Document* document_;
    sim::Part* placed_ = nullptr;
    IVel5PlacementInfoPtr placement_;
    NMAllSettings settings;
};

auto PlanesAndAxes = [](sim::ModelGeometry& model) {
    model.Named("Plane", 109);
    model.Named("Axis", 109);
    model.Named("AxisD", 109);
    model.Cylinder("shank", 5, 50);
};

auto AttachPointAndCone = [](sim::ModelGeometry& model) {
    model.AttachPoint(true);
    model.Cone(28, L"Conus ");
};

} // namespace

TEST_F(PartPanel, AnAttachPointIsArmedFirstAndTheConeButtonHandsTheNextPanelOver)
{
    VelmarMateSet mates = MateSet(AttachPointAndCone);
    std::vector<DWORD_PTR> topics;
    testhooks::ScopedHtmlHelp help([&](HWND, const std::wstring&, UINT, DWORD_PTR topic) {
        topics.push_back(topic);
        return nullptr;
    });
    EXPECT_TRUE(Play(mates, L"help; offer top; offer holeFace; pick seatFace; button 9036; ok"));
    Lines tree;
    for (const sim::PanelControl& control : Page().controls)
        tree.push_back(control.Describe());
    EXPECT_EQ(tree, (Lines{
        "buttons 9135 name \"Задать присоединительную точку\" hint \"Задать присоединительную точку\" [9035]",
        "field 9135 name \"Присоединительная точка\" hint \"Присоединительная точка: Не выбрано\" value \"Не выбрано\"",
        "toggle 9193 caption \"Совпадение по конусу\" name \"Совпадение по конусу\" hint \"Включить выбор элементов для совпадения\"",
        "buttons 9136 name \"Задать совпадение по конусу\" hint \"Задать совпадение по конусу\" [9036 checked]",
        "field 9136 name \"Совпадение по конусу\" hint \"Совпадение по конусу: Не выбрано\" value \"Не выбрано\"",
        "buttons 9146 name \" \" [9046] [9047] (disabled)",
        "check 9146 caption \"Создавать объект спецификации\" value true",
        "combo 9147 value \"Основной\" items \"Основной\" \"Второй\"",
    }));
    EXPECT_EQ(Panels().HeaderCaption(), L"Вставка детали");
    EXPECT_EQ(Panels().LayoutStyle(), 3);
    EXPECT_EQ(topics, (std::vector<DWORD_PTR>{86}));
    // The element holding a mate element is taken as well as the mate element; the seat was applied,
    // then given up for the cone.
    EXPECT_THAT(Panels().Log(), testing::IsSupersetOf({"step \"offer top\": filter 0", "step \"offer holeFace\": filter 1",
                                                       "mates: kind 0 direction 1 value 0 seat5-Auto5", "mates: none"}));
    EXPECT_EQ(Panels().Prompts(), (std::vector<std::wstring>{
        L"Выберите присоединительную точку, конструктивный элемент или точку привязки детали",
        L"Выберите коническую поверхность или точку привязки детали"}));
    EXPECT_EQ(mates.ConjunctPnt().iface, nullptr);

    // The next panel opens with the cone armed; its direction buttons apply the mate again at once.
    EXPECT_TRUE(Play(mates, L"offer seatFace; pick cone; button 9046; button 9047; ok"));
    EXPECT_EQ(Checked(), (Lines{"9036", "9047"}));
    EXPECT_EQ(State(mates.Members[MateCone]), "coneDef kind 0 direction -1");
    EXPECT_EQ(Applied(), (Lines{"coneDef-conical5 kind 0 direction -1"}));
    EXPECT_EQ(Request(placement_).mates->Clears(), 3u);
    EXPECT_THAT(Panels().Log(), testing::Contains("mates: kind 0 direction 1 value 0 coneDef-conical5"));

    // The attach point's button while the cone holds a pick gives the cone up; the cone's toggle arms the
    // cone and gives the attach point up.
    EXPECT_TRUE(Play(mates, L"pick cone; button 9035; pick seatFace; ok"));
    EXPECT_EQ(Applied(), (Lines{"seat5-Auto5 kind 0 direction 1"}));
    EXPECT_TRUE(Play(mates, L"pick seatFace; button 9193; pick cone; ok"));
    EXPECT_EQ(Applied(), (Lines{"coneDef-conical5 kind 0 direction -1"}));

    // Without a cone the attach point is armed whatever the user chose last.
    VelmarMateSet attachOnly = MateSet([](sim::ModelGeometry& model) { model.AttachPoint(true); });
    EXPECT_TRUE(Play(attachOnly, L"pick seatFace; ok"));
    EXPECT_EQ(Checked(), (Lines{"9035"}));
    EXPECT_EQ(Applied(), (Lines{"seat5-Auto5 kind 0 direction 1"}));
}

TEST_F(PartPanel, AModelWithOnlyAnAxisAsksForAxesAndMatesTheAxisAgainstItsDirection)
{
    VelmarMateSet mates = MateSet([](sim::ModelGeometry& model) { model.Named("Axis", 109); });
    EXPECT_TRUE(Play(mates, L"offer top; pick bore; ok"));
    EXPECT_EQ(Panels().Prompts().at(0), L"Выберите цилиндрическую поверхность, ось, прямое ребро или точку привязки детали");
    EXPECT_EQ(Page().Find(9130), nullptr);
    EXPECT_EQ(Checked(), (Lines{"9031", "9043"}));
    EXPECT_EQ(State(mates.Members[MateAxis]), "bore5 kind 4 direction -1");
    EXPECT_EQ(Applied(), (Lines{"bore5-Axis5 kind 4 direction -1"}));
    EXPECT_EQ(Panels().Log().back(), "end: accepted");
}

TEST_F(PartPanel, PlanesAndAxesArePickedInTurn)
{
    struct Row {
        const wchar_t* script;
        std::array<const char*, 3> members;      // coincidence, coaxiality, parallelism
        Lines checked;
        Lines applied;
    };
    const Row rows[] = {
        {L"pick top",
         {"top5 kind 0 direction 1", "null kind 4 direction 0", "null kind 1 direction 1"},
         {"9031", "9040"},
         {"top5-Plane5 kind 0 direction 1"}},
        // The part being placed offers no face of its own.
        {L"pick shank; pick top",
         {"top5 kind 0 direction 1", "null kind 4 direction 0", "null kind 1 direction 1"},
         {"9031", "9040"},
         {"top5-Plane5 kind 0 direction 1"}},
        // The same face again empties the coincidence and arms nothing new.
        {L"pick top; button 9030; pick top",
         {"null kind 0 direction 1", "null kind 4 direction 0", "null kind 1 direction 1"},
         {"9030", "9040"},
         {}},
        // A face that is not planar mates on its cylinder; coaxiality's directions count then.
        {L"pick bore; pick axis",
         {"bore5 kind 3 direction -1", "axis5 kind 4 direction 1", "null kind 1 direction 1"},
         {"9032", "9041", "9042"},
         {"bore5-Plane5 kind 3 direction -1", "axis5-Axis5 kind 4 direction 1"}},
        {L"pick top; pick bore; clear",
         {"null kind 0 direction 1", "null kind 4 direction 0", "null kind 1 direction 1"},
         {"9030", "9040"},
         {}},
        {L"pick bore; pick axis; pick edge; button 9040; button 9043; button 9045; button 9041",
         {"bore5 kind 3 direction -1", "axis5 kind 4 direction -1", "edge5 kind 1 direction -1"},
         {"9032", "9041", "9043", "9045"},
         {"bore5-Plane5 kind 3 direction -1", "axis5-Axis5 kind 4 direction -1", "edge5-AxisD5 kind 1 direction -1"}},
        {L"pick bore; pick axis; pick edge; button 9043; button 9042; button 9045; button 9044",
         {"bore5 kind 3 direction -1", "axis5 kind 4 direction 1", "edge5 kind 1 direction 1"},
         {"9032", "9041", "9042", "9044"},
         {"bore5-Plane5 kind 3 direction -1", "axis5-Axis5 kind 4 direction 1", "edge5-AxisD5 kind 1 direction 1"}},
        {L"button 9191; button 9192; offer top; button 9190; offer bore",
         {"null kind 0 direction 1", "null kind 4 direction 0", "null kind 1 direction 1"},
         {"9030"},
         {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(sim::Utf8(row.script));
        VelmarMateSet mates = MateSet(PlanesAndAxes);
        EXPECT_TRUE(Play(mates, std::wstring(row.script) + L"; ok"));
        EXPECT_EQ(State(mates.Members[MatePlane]), row.members[0]);
        EXPECT_EQ(State(mates.Members[MateAxis]), row.members[1]);
        EXPECT_EQ(State(mates.Members[MateAxisDirection]), row.members[2]);
        EXPECT_EQ(Checked(), row.checked);
        EXPECT_EQ(Applied(), row.applied);
        EXPECT_TRUE(document_->Highlighted(0).empty() && document_->Highlighted(1).empty());
    }
    EXPECT_THAT(Panels().Log(), testing::IsSupersetOf({"step \"offer top\": filter 1", "step \"offer bore\": filter 1"}));
    EXPECT_EQ(Panels().Prompts().at(0), L"Выберите грань или точку привязки детали");
}

TEST_F(PartPanel, AModelWithOnlyAnAxisDirectionOpensWithParallelismArmed)
{
    VelmarMateSet mates = MateSet([](sim::ModelGeometry& model) { model.Named("AxisD", 109); });
    EXPECT_TRUE(Play(mates, L"pick top; ok"));
    EXPECT_EQ(Panels().Prompts().at(0), L"Выберите цилиндрическую поверхность, ось, прямое ребро или точку привязки детали");
    EXPECT_EQ(Applied(), (Lines{"top5-AxisD5 kind 1 direction 1"}));
}

TEST_F(PartPanel, TheSpecificationOptionsWriteTheCommandsSettingsAtOnce)
{
    struct Row {
        int32_t stored;
        const wchar_t* script;
        int32_t preset;
        bool create;                             // also whether the preset can be chosen
        const wchar_t* shown;
    };
    const Row rows[] = {
        {0, L"choose 9147 1; choose 9147 0", 0, true, L"Основной"},
        // A name that is no preset's changes nothing.
        {0, L"choose 9147 1; value 9147 Третий", 1, true, L"Третий"},
        {0, L"choose 9147 1; check 9146 off; choose 9147 0", 1, false, L"Второй"},
        // A number past the list is preset 0 to the commands, and so to the panel.
        {7, L"check 9146 on", 7, true, L"Основной"},
    };
    VelmarMateSet mates = MateSet([](sim::ModelGeometry& model) { model.Named("PlaneR", 109); });
    for (const Row& row : rows) {
        SCOPED_TRACE(sim::Utf8(row.script));
        settings.SpcPresetNum = row.stored;
        settings.CreateSpcObject = true;
        EXPECT_FALSE(Play(mates, std::wstring(row.script) + L"; cancel"));
        EXPECT_EQ(settings.SpcPresetNum, row.preset);
        EXPECT_EQ(settings.CreateSpcObject, row.create);
        const sim::PanelControl* combo = Page().Find(9147, VelControlComboBox);
        EXPECT_EQ(combo->enabled, row.create);
        EXPECT_EQ(std::wstring(_bstr_t(combo->value)), row.shown);
    }
    EXPECT_THAT(Panels().Log(), testing::Contains("step \"choose 9147 0\": disabled"));

    EXPECT_FALSE(Play(mates, L"cancel", false));
    EXPECT_EQ(Page().Find(9146, VelControlCheckBox), nullptr);
    EXPECT_EQ(Page().Find(9147), nullptr);
}

TEST_F(PartPanel, AScriptFileAsVelmarSimTakesItPlacesThePart)
{
    ScratchFolder folder;
    const std::string script =
        "# the part's plane on the top face, its axis in the bore, its direction along the edge\n"
        "pick top\n"
        "pick bore; button 9043\n"
        "\n"
        "pick edge\n"
        "choose 9147 1\n"
        "ok\n";
    std::ofstream(std::filesystem::path(folder / L"insert.txt"), std::ios::binary) << script;
    const std::optional<std::wstring> text = sim::ReadTextFile(folder / L"insert.txt");
    ASSERT_TRUE(text);
    VelmarMateSet mates = MateSet(PlanesAndAxes);
    EXPECT_TRUE(Play(mates, *text));
    EXPECT_EQ(Applied(), (Lines{"top5-Plane5 kind 0 direction 1", "bore5-Axis5 kind 4 direction 0", "edge5-AxisD5 kind 1 direction 1"}));
    EXPECT_EQ(Panels().Prompts(), (std::vector<std::wstring>{
        L"Выберите грань или точку привязки детали",
        L"Выберите цилиндрическую поверхность, ось, прямое ребро или точку привязки детали"}));
    EXPECT_EQ(settings.SpcPresetNum, 1);
    EXPECT_TRUE(settings.CreateSpcObject);
}

TEST_F(PartPanel, AFailedHostCallEndsConstructionOrRunAndLeavesNothingBehind)
{
    SweepPanelFailures(
        [&] {
            auto mates = std::make_shared<VelmarMateSet>(MateSet(PlanesAndAxes));
            placement_ = Placement(*document_, *placed_);
            Script(L"pick bore; pick axis; button 9045; clear; pick top; check 9146 on; ok");
            return [this, mates](size_t& teardown) {
                PartPanel3D panel(App5(), App7(), L"Болт М8", &settings, true, mates.get(), placement_);
                panel.Run();
                teardown = journal().Calls().size();
            };
        },
        [&](size_t n) {
            EXPECT_TRUE(geometry().Mates().empty()) << n;
            EXPECT_EQ(settings.SpcPresetNum, 0) << n;
            EXPECT_TRUE(settings.CreateSpcObject) << n;
        });
}
