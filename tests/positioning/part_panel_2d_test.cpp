// The 2D part panel beside Velmar's placement with the cursor, run by the scripted user: the leader mode
// it remembers in the registry, the spc choices it writes into the command's settings at once.
#include "panel_stand_in.h"

#include "core/registry.h"
#include "objects/settings_sandbox.h"
#include "positioning/part_panel_2d.h"

using namespace panel_test;

namespace {

const wchar_t kLeaderKey[] = L"Software\\Orbex\\Normset\\RNMClient\\VELMAR_SETTINGS\\fmPosLead";

class PartPanel2DRun : public PanelStandIn {
protected:
    PartPanel2DRun()
    {
        velmar().OpenDocument(1, "drawing");
        settings.Presets = {NMSpcPreset(L"Основной"), NMSpcPreset(L"Второй")};
    }
    // Builds the panel, plays the script in its run and gives the result of Run; the panel stays for a look.
    bool Play(const std::wstring& script, bool isTCS = false)
    {
        panel_ = std::make_unique<PartPanel2D>(App5(), App7(), L"Гайка М12", &settings, isTCS, nullptr, nullptr);
        Script(script);
        const bool placed = panel_->Run();
        return placed;
    }
    void TearDown() override
    {
        panel_.reset();
        PanelStandIn::TearDown();
    }
    std::optional<DWORD> Stored()
    {
        const RegKey key = OpenRegKey(HKEY_CURRENT_USER, kLeaderKey, KEY_READ);
        DWORD value = 0, type = 0, size = sizeof value;
        if (!key || RegQueryValueExW(key.get(), L"PosLeadMode", nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS)
            return std::nullopt;
        return value;
    }
    void Store(DWORD type, const void* data, DWORD size)
    {
        const RegKey key = CreateRegKey(HKEY_CURRENT_USER, kLeaderKey, KEY_WRITE);
        RegSetValueExW(key.get(), L"PosLeadMode", 0, type, static_cast<const BYTE*>(data), size);
    }
    sim::PanelControl& Control(long id) { return *Page().Find(id); }

    settings_test::RegistrySandbox registry_;
    NMAllSettings settings;
    std::unique_ptr<PartPanel2D> panel_;
};

} // namespace

TEST_F(PartPanel2DRun, TheLeaderModeOpensOnTheOneRememberedWhenItIsOneOfTheThree)
{
    const DWORD one = 1, two = 2, seven = 7;
    struct Row {
        const char* what;
        std::function<void()> store;
        uint32_t mode;
    };
    const Row rows[] = {
        {"nothing stored", [] {}, 0},
        {"1", [&] { Store(REG_DWORD, &one, 4); }, 1},
        {"2", [&] { Store(REG_DWORD, &two, 4); }, 2},
        {"7, no mode", [&] { Store(REG_DWORD, &seven, 4); }, 0},
        {"a text", [&] { Store(REG_SZ, L"1", 4); }, 0},
        {"bytes", [&] { Store(REG_BINARY, &one, 4); }, 0},
    };
    const std::wstring modes[] = {L"Проставить новое обозначение позиции", L"Добавить к существующему обозначению",
                                  L"Не проставлять обозначение позиции"};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        RegDeleteTreeW(HKEY_CURRENT_USER, kLeaderKey);
        row.store();
        Play(L"cancel");
        EXPECT_EQ(panel_->LeaderMode, row.mode);
        EXPECT_EQ(std::wstring(_bstr_t(Control(9145).value)), modes[row.mode]);
    }
    EXPECT_EQ(Control(9145).items, std::vector<std::wstring>(std::begin(modes), std::end(modes)));
    EXPECT_EQ(static_cast<long>(Control(9145).settings.at(37)), 38);
    EXPECT_EQ(Panels().HeaderCaption(), L"Вставка детали");
    EXPECT_EQ(Panels().LayoutStyle(), 3);
}

TEST_F(PartPanel2DRun, SpcChoicesGoIntoTheSettingsAtOnceAndOnlyAcceptanceStoresTheLeaderMode)
{
    // A number past the list is preset 0 to the commands, and so to the panel.
    settings.SpcPresetNum = 2;
    EXPECT_FALSE(Play(L"cancel"));
    EXPECT_EQ(std::wstring(_bstr_t(Control(9147).value)), L"Основной");

    // A text that is none of the items leaves the leader mode and the preset as they were.
    settings.SpcPresetNum = 0;
    EXPECT_FALSE(Play(L"check 9146 off; choose 9145 1; value 9145 x; value 9147 x; cancel"));
    EXPECT_EQ(panel_->LeaderMode, 1u);
    EXPECT_EQ(settings.SpcPresetNum, 0);
    EXPECT_FALSE(settings.CreateSpcObject);
    EXPECT_FALSE(Control(9147).enabled);
    EXPECT_EQ(Stored(), std::nullopt);

    EXPECT_TRUE(Play(L"check 9146 on; choose 9147 1; choose 9145 2; cursor 10 20 45; ok"));
    EXPECT_TRUE(settings.CreateSpcObject);
    EXPECT_TRUE(Control(9147).enabled);
    EXPECT_EQ(settings.SpcPresetNum, 1);
    EXPECT_EQ(panel_->LeaderMode, 2u);
    EXPECT_EQ(Stored(), std::optional<DWORD>(2));
    EXPECT_EQ(panel_->X, 10);
    EXPECT_EQ(panel_->Y, 20);
    EXPECT_EQ(panel_->Angle, 45);
    EXPECT_EQ(Panels().Prompts(), std::vector<std::wstring>{});
}

TEST_F(PartPanel2DRun, AFastenerSetsLeaderFollowsTheAssemblySetting)
{
    const DWORD one = 1;
    Store(REG_DWORD, &one, 4);
    settings.PosLeaderInAssy = false;
    EXPECT_TRUE(Play(L"ok", true));
    EXPECT_EQ(panel_->LeaderMode, 2u);
    EXPECT_EQ(Stored(), std::optional<DWORD>(1)) << "a set without assembly leaders does not store its mode";

    settings.PosLeaderInAssy = true;
    EXPECT_TRUE(Play(L"choose 9145 0; ok", true));
    EXPECT_EQ(Stored(), std::optional<DWORD>(0));
}
