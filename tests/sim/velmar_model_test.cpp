// The stand-in Velmar's model: the application's two faces, its documents, main window, version,
// parameter structures and the twins of the two layers.
#include "hostapi/velmar.h"
#include "sim/drawing.h"
#include "sim/stand_in_test.h"

#include <gtest/gtest.h>

using Lines = std::vector<std::string>;

namespace {

class VelmarModel : public sim::StandInTest {
protected:
    sim::Object* Call5(DISPID id)
    {
        DISPPARAMS none{};
        _variant_t result;
        EXPECT_EQ(velmar().Application5()->Invoke(id, IID_NULL, 0, DISPATCH_METHOD | DISPATCH_PROPERTYGET, &none, &result,
                                                  nullptr, nullptr),
                  S_OK);
        return V_VT(&result) == VT_DISPATCH ? sim::Object::From(V_DISPATCH(&result)) : nullptr;
    }
    sim::Object* Active7()
    {
        IDispatchPtr document;
        velmar().App7().As<IVel7Application>()->get_ActiveDocument(&document.GetInterfacePtr());
        return sim::Object::From(document);
    }
};

} // namespace

TEST_F(VelmarModel, EachDocumentTypeIsReachedThroughTheApplicationsMemberForIt)
{
    struct Expected {
        int type;
        DISPID member;
        const IID* iid;
    };
    const Expected cases[] = {{1, IVel5Application::ActiveDocument2D, &__uuidof(IVel5Document2D)},
                              {2, IVel5Application::ActiveDocument2D, &__uuidof(IVel5Document2D)},
                              {3, IVel5Application::ActiveSpcDocument, &__uuidof(IVel5SpcDocument)},
                              {4, IVel5Application::ActiveDocument3D, &__uuidof(IVel5Document3D)},
                              {5, IVel5Application::ActiveDocument3D, &__uuidof(IVel5Document3D)},
                              {7, IVel5Application::ActiveDocument3D, &__uuidof(IVel5Document3D)}};
    for (const Expected& expected : cases) {
        sim::Document& doc = velmar().OpenDocument(expected.type, "doc" + std::to_string(expected.type));
        EXPECT_EQ(Call5(expected.member), &doc.V5()) << expected.type;
        for (DISPID other : {IVel5Application::ActiveDocument2D, IVel5Application::ActiveDocument3D,
                             IVel5Application::ActiveSpcDocument})
            if (other != expected.member) {
                EXPECT_EQ(Call5(other), nullptr) << expected.type << " through " << other;
            }
        EXPECT_EQ(Active7(), &doc.V7());
        IUnknownPtr face;
        EXPECT_EQ(doc.V5().Primary()->QueryInterface(*expected.iid, reinterpret_cast<void**>(&face)), S_OK);
    }
    velmar().Activate(nullptr);
    EXPECT_EQ(Active7(), nullptr);
    EXPECT_EQ(Call5(IVel5Application::ActiveDocument3D), nullptr);
}

TEST_F(VelmarModel, TheMainWindowIsARealHiddenWindowHandedOutAs32Bits)
{
    DISPPARAMS none{};
    _variant_t handle;
    ASSERT_EQ(velmar().Application5()->Invoke(IVel5Application::MainWindow, IID_NULL, 0, DISPATCH_METHOD, &none, &handle,
                                              nullptr, nullptr),
              S_OK);
    ASSERT_EQ(V_VT(&handle), VT_I4);
    const HWND window = reinterpret_cast<HWND>(static_cast<LONG_PTR>(V_I4(&handle)));
    EXPECT_EQ(window, velmar().MainWindow());
    EXPECT_TRUE(IsWindow(window));
    EXPECT_FALSE(IsWindowVisible(window));
}

TEST_F(VelmarModel, TheVersionSevenApplicationIsDispatchId103)
{
    EXPECT_EQ(Call5(IVel5Application::Application7), &velmar().App7());
}

TEST_F(VelmarModel, ParameterStructuresAnswerTheirKindsInterfaceAndKeepEveryValue)
{
    for (const VelStructureKind& kind : VelStructureKinds) {
        DISPPARAMS params{};
        _variant_t argument(kind.kind), result;
        params.rgvarg = &argument;
        params.cArgs = 1;
        ASSERT_EQ(velmar().Application5()->Invoke(IVel5Application::NewStructure, IID_NULL, 0, DISPATCH_METHOD, &params,
                                                  &result, nullptr, nullptr),
                  S_OK);
        IUnknownPtr face;
        EXPECT_EQ(V_DISPATCH(&result)->QueryInterface(*kind.iid, reinterpret_cast<void**>(&face)), S_OK) << kind.kind;
    }
    EXPECT_EQ(velmar().Structures().size(), std::size(VelStructureKinds));
}

TEST_F(VelmarModel, TwinsLeadFromOneLayerToTheOther)
{
    sim::Document& doc = velmar().OpenDocument(4);
    sim::Part& bolt = velmar().AddPart("bolt");
    auto toLayer = [&](IDispatch* object, long layer, long type) {
        DISPPARAMS params{};
        _variant_t arguments[] = {_variant_t(type), _variant_t(layer), _variant_t(object)};
        params.rgvarg = arguments;
        params.cArgs = 3;
        _variant_t result;
        velmar().Application5()->Invoke(IVel5Application::ToLayer, IID_NULL, 0, DISPATCH_METHOD, &params, &result, nullptr,
                                        nullptr);
        return V_VT(&result) == VT_DISPATCH ? sim::Object::From(V_DISPATCH(&result)) : nullptr;
    };
    EXPECT_EQ(toLayer(doc.V5().Primary(), VelLayer7, VelTypeNone), &doc.V7());
    EXPECT_EQ(toLayer(bolt.V7().Primary(), VelLayer5, VelTypePart), &bolt.V5());
    EXPECT_EQ(toLayer(bolt.V5().Primary(), VelLayer5, VelTypePart), nullptr);
    EXPECT_EQ(journal().Lines().front(), "app5.108(doc5,2,0)");
}

TEST_F(VelmarModel, AVelmarAndAReferenceBookCanShareOneJournal)
{
    sim::Session session;
    sim::Velmar shared(session);
    shared.App5().Returns(99, 1L);
    DISPPARAMS none{};
    shared.Application5()->Invoke(99, IID_NULL, 0, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr);
    EXPECT_EQ(session.journal.Lines(), (Lines{"app5.99()"}));
    EXPECT_TRUE(journal().Lines().empty());
}

// velmar-sim lists after the placed parts what their lines do not show: a leader no spc object holds, an
// spc object holding only a leader and one holding nothing, so that what a command left behind is seen.
TEST_F(VelmarModel, ADrawingListsWhatNoPlacedPartShows)
{
    sim::Document& document = velmar().OpenDocument(1);
    sim::Drawing& drawing = *velmar().Drawings().Of(document.V5());
    auto leader = [&](double x) {
        sim::LeaderData data;
        data.settings = {{IVel5LeaderParam::ShelfX, _variant_t(x)}, {IVel5LeaderParam::ShelfY, _variant_t(5.0)}};
        return drawing.AddLeader(data);
    };
    auto link = [&](sim::SpcObject& object, long reference) { object.Link(*velmar().Drawings().DrawingObject(reference)); };
    const long part = drawing.AddMacro(10, 20);
    const long held = leader(1);
    const long stray = leader(2);
    const long orphan = leader(3);
    sim::SpcObject& line = document.Spc().AddObject(25);
    link(line, part);
    link(line, held);
    link(document.Spc().AddObject(26), orphan);
    document.Spc().AddObject(27);
    EXPECT_EQ(drawing.DescribeLeftovers(document.Spc()),
              (Lines{"leader held by no spc object: " + std::to_string(stray) + ", shelf at 2, 5",
                     "spc object holding no part: section 26", "  leader " + std::to_string(orphan) + ", shelf at 3, 5",
                     "spc object holding no part: section 27"}));
}
