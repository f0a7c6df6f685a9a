// The 3D finder's walk of an assembly: which components and elements it lists by kind, fastener sets
// searched inside only for standard parts, parts outside the bill of materials left out on request, and a
// cancelled walk.
#include "tools/finder_3d.h"

#include "core/progress_wnd.h"
#include "library/document_stand_in.h"
#include "objects/nm_object.h"

using namespace document_test;

namespace {

class Finder3DWalk : public DocumentStandIn {
protected:
    Finder3DWalk()
    {
        AddComponent("bolt1", {L"B1", L"Болт", L"bolt.vlm"});
        sim::GeoEntity& plain = world().geometry.AddMacro("group", world().geometry.topPart);
        world().geometry.Shape(*world().geometry.topPart).features.push_back(&plain.Feature());
        AddComponent("screw", {L"S1", L"Винт", L"screw.vlm"}, &plain);
        AddComponent("nut", {L"N1", L"Гайка", L"nut.vlm", false});
        sim::GeoEntity& set = AddElement("set", true);
        AddComponent("washer", {L"W1", L"Шайба", L"washer.vlm"}, &set);
        AddElement("drill", false);
        AddComponent("bolt2", {L"B1", L"Болт", L"bolt.vlm"});
        world().geometry.Shape(*world().geometry.topPart).features.push_back(&velmar().AddPart("foreign").Feature());
        controller_ = NewController(4);
    }
    void TearDown() override
    {
        controller_.reset();
        DocumentStandIn::TearDown();
    }
    static std::vector<std::wstring> Ids(const Finder& finder)
    {
        std::vector<std::wstring> ids;
        for (const auto& object : finder.NMObjs)
            ids.push_back(object->NM_ID);
        return ids;
    }

    std::unique_ptr<VelmarNormset3D> controller_;
    TraceLog log_{L"test", false};
};

} // namespace

TEST_F(Finder3DWalk, ListsByKindSearchingFastenerSetsOnlyForTheirMembers)
{
    struct Row {
        uint32_t type;
        bool includeTCS;
        bool specOnly;
        std::vector<std::wstring> ids;
        std::vector<std::wstring> names;
    };
    const Row rows[] = {
        {NMObjPart, false, false, {L"B1", L"S1", L"N1", L"B1"}, {L"Болт", L"Винт", L"Гайка"}},
        {NMObjPart, true, false, {L"B1", L"S1", L"N1", L"W1", L"B1"}, {L"Болт", L"Винт", L"Гайка", L"Шайба"}},
        {NMObjPart, true, true, {L"B1", L"S1", L"W1", L"B1"}, {L"Болт", L"Винт", L"Шайба"}},
        {NMObjElement, true, false, {L"PART:drill"}, {L"drill"}},
        {NMObjTCS, false, false, {L"PART:set"}, {L"set"}},
    };
    for (const Row& row : rows) {
        Finder3D finder(controller_->hwndOwner, controller_.get(), row.type, row.includeTCS, row.specOnly);
        EXPECT_EQ(Ids(finder), row.ids) << row.type << row.includeTCS << row.specOnly;
        EXPECT_EQ(finder.NMObjsUniqNames, row.names);
        EXPECT_EQ(finder.FilterName, row.names.front());
    }
    EXPECT_EQ(ProgressWnd::Current(), nullptr);
}

TEST_F(Finder3DWalk, ACancelledWalkKeepsWhatItFoundAndNoDocumentIsEPointer)
{
    // The user closes the window while the nut is looked at.
    sim::Object& nutFeature = *world().geometry.Shape(*world().geometry.topPart).features.at(2);
    nutFeature.Method(IVel5Object::Type, 0, [](sim::Args&) {
        SendMessageW(ProgressWnd::Current()->Window(), WM_COMMAND, IDCANCEL, 0);
        return _variant_t(static_cast<short>(VelTypePart));
    });
    {
        Finder3D finder(controller_->hwndOwner, controller_.get(), NMObjPart, false, false);
        EXPECT_EQ(Ids(finder), (std::vector<std::wstring>{L"B1", L"S1", L"N1"}));
    }
    velmar().Activate(nullptr);
    EXPECT_EQ(sim::CaughtHostError([&] { Finder3D finder(controller_->hwndOwner, controller_.get(), NMObjPart, false, false); }).Error(),
              E_POINTER);
}
