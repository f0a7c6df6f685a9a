#pragma once
// What the tests of constructive elements share: the assembly of the component tests with the plate of
// bores, what the library and the part scripts build there, the utility classes the scripts get, and a
// part script on disk with the response that names it.
#include "insert3d/insertion_stand_in.h"
#include "insert3d/nm_velmar_element_3d.h"
#include "sim/element_model.h"
#include "sim/pattern_model.h"
#include "sim/utility_classes.h"
#include "support/select_answer.h"

namespace element_test {

using namespace insertion_test;

// The sample script: builds the hole and hands it back.
inline const char kHoleScript[] =
    "Sub Script_OnLoad()\r\n"
    "  Set element = Doc.BuildElement(\"hole\", \"D=\" & D, positmType, positmX, positmY, positmR, positmA, PosEntities)\r\n"
    "  RAZadi.Append \"hole D=\" & D\r\n"
    "  PosEntities.Add element\r\n"
    "End Sub\r\n";

// A location template of the hole, filled by the positioning.
inline const wchar_t kHoleTemplate[] = L"HOLE [diameter]x[width]";

class ElementStandIn : public InsertionStandIn {
protected:
    ElementStandIn() { StartElements(); }
    void TearDown() override
    {
        StopElements();
        InsertionStandIn::TearDown();
    }

    // The element models over the world of the last Restart.
    void StartElements()
    {
        StopElements();
        made = std::make_unique<sim::Construction>(velmar(), document(), *world().geometry.topPart);
        plate = sim::BuildPlate(velmar(), world().geometry, *made);
        elements = std::make_unique<sim::ScriptedElements>(velmar(), world().geometry, *made, document(), *world().geometry.topPart);
        patterns = std::make_unique<sim::Patterns>(velmar(), document());
        utilities = std::make_unique<sim::UtilityClasses>(velmar().GetSession());
        WriteScript(kHoleScript);
    }
    void StopElements()
    {
        utilities.reset();
        patterns.reset();
        elements.reset();
        made.reset();
    }
    void RestartWithElements(sim::HostVersion version = {15, 0, 1, 0})
    {
        StopElements();
        Restart(version);
        StartElements();
    }

    // The part script lies beside the component tests' model files.
    void WriteScript(const std::string& text) { ASSERT_TRUE(WriteFileBytes(models_ / L"hole.vbs", text)); }

    // The reference book's element: the method parameter D, the identity, the script and the designation.
    std::wstring Hole(const std::wstring& body = L"hole.vbs")
    {
        using namespace response_xml;
        return Response(Object(L"MethodParameters", {{L"D", L"10,5"}}) +
                        Object(L"Method", {{L"NM_IID", L"ELEM:HOLE[D=10.5]"}, {L"URL", models_.Path()}, {L"MethodBody", body}}) +
                        Object(L"ExternalParameters", {{L"Designation", L"Отверстие 10,5"}, {L"Quarvend_IID", L"Q-11"}}));
    }

    // The reference book asks for a hole's positioning, then answers the hole; each script is one panel run.
    void ChooseHole(std::vector<std::wstring> panelRuns)
    {
        book().QueueSelect(testsupport::Answer(0x400, std::nullopt, L"", kHoleTemplate));
        // The reference book keeps the location it was given.
        book().QueueSelect(testsupport::Answer(0, Hole(), L"", L"HOLE [10.5]x[20]"));
        for (const std::wstring& steps : panelRuns)
            velmar().User().Answer("panel", _variant_t(steps.c_str()));
    }

    IVel5ApplicationPtr App5() { return velmar().App5().As<IVel5Application>(); }
    IVel7ApplicationPtr App7() { return velmar().App7().As<IVel7Application>(); }
    // A hole model on the plate: start on its top, end on its bottom, one record per bore named.
    std::unique_ptr<NMElemPos> HoleModel(std::vector<sim::GeoEntity*> bores)
    {
        auto model = NMElemPos::Create(App5(), App7(), 2);
        model->iStartPlane = plate.top->V5().Ptr();
        model->iEndPlane = plate.bottom->V5().Ptr();
        model->Items.clear();
        for (sim::GeoEntity* bore : bores)
            model->Items.emplace_back().iCylFace = bore->V5().Ptr();
        return model;
    }

    // An element object over a macro element (null: one to insert) with the part data of Hole(), as the
    // controller makes it for the reference book's answer.
    std::unique_ptr<NMVelmarElement3D> NewElement(const NMElemPos& model, IVel5Entity* macro = nullptr)
    {
        auto element = std::make_unique<NMVelmarElement3D>(App5(), App7(), nullptr, macro, &model, _bstr_t(kHoleTemplate),
                                                           _bstr_t(L"HOLE [10.5]x[20]"), false);
        auto document = std::make_shared<pugi::xml_document>();
        LoadXmlFromBstr(_bstr_t(Hole().c_str()), *document);
        element->loadPartData(document->child(L"response").child(L"objectcollection"), document);
        return element;
    }

    TraceLog log_{L"test", false};
    std::unique_ptr<sim::Construction> made;
    std::unique_ptr<sim::ScriptedElements> elements;
    std::unique_ptr<sim::UtilityClasses> utilities;
    std::unique_ptr<sim::Patterns> patterns;
    sim::Plate plate;
};

} // namespace element_test
