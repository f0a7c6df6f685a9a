#pragma once
// What the tests of parts in drawings share: a drawing whose bill of materials has the usual columns,
// the command's settings with one preset, the reference book's client, a folder of the test's own with
// the nut's part script and the attribute library, a washer in the fragment libraries, parts loaded
// from responses, what the drawing holds, and the fault sweep of an operation on a drawing.
#include "core/scratch_folder.h"
#include "core/trace_log.h"
#include "hostapi/velmar.h"
#include "insert2d/nm_velmar_fragment_2d.h"
#include "insert2d/nm_velmar_script_2d.h"
#include "objects/settings_sandbox.h"
#include "sim/reference_book.h"
#include "sim/stand_in_test.h"
#include "sim/utility_classes.h"
#include "support/host_fault_sweep.h"
#include "support/response_xml.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace drawing_test {

using Lines = std::vector<std::string>;
using response_xml::Attr;

// The nut's part script: one segment and one circle of the size "d", and a line for the trace.
inline const char kNutScript[] =
    "Sub Script_OnLoad()\r\n"
    "  Doc.Segment 0, 0, d, 0, 1\r\n"
    "  Doc.Circle 0, 0, d / 2, 1\r\n"
    "  RAZadi.Append \"nut \" & d\r\n"
    "End Sub\r\n";

// A part script that draws nothing.
inline const char kEmptyScript[] = "Sub Script_OnLoad()\r\nEnd Sub\r\n";

// The spc variables of a part placed in section 25 with its designation in column 5.1.
inline std::vector<Attr> SpcVariables()
{
    return {{L"spcSection", L"25"},         {L"spcSubSection", L"0"}, {L"spcNestedBlock", L"0"}, {L"spcNestedSection", L"0"},
            {L"spcAdditionalBlock", L"0"}, {L"spcColumns", L"5.1=Designation,VELMAR_SPEC_PATTERN"}};
}

class DrawingStandIn : public sim::StandInTest {
protected:
    DrawingStandIn()
    {
        WriteFileBytes(folder_ / L"nut.vbs", kNutScript);
        WriteFileBytes(folder_ / L"corvalis.lat", "attributes");
        settings.Presets.assign(1, NMSpcPreset(L"Active"));
        settings.SpcPresetNum = 0;
        Prepare();
    }

    // A new Velmar with a drawing, the reference book and the utility classes (a sweep starts every run
    // over: a run may leave Velmar holding a panel's sink).
    void Restart()
    {
        provider_ = nullptr;
        utilities_.reset();
        book_.reset();
        UseVelmar({15, 0, 1, 0});
        Prepare();
    }

    void Prepare()
    {
        book_ = std::make_unique<sim::ReferenceBook>(velmar().GetSession());
        provider_ = book_->NewProvider();
        utilities_ = std::make_unique<sim::UtilityClasses>(velmar().GetSession());
        velmar().SetSystemFolder(folder_.Path().substr(0, folder_.Path().size() - 1));
        sim::FragmentEntry washer;
        washer.library = folder_ / L"Washers.lfr";
        washer.name = L"Шайба 8";
        washer.objects = {{1, {{1, 0.0}, {2, 0.0}, {3, 8.0}, {4, 0.0}, {5, 1L}}, {}},
                          {1, {{1, 0.0}, {2, -5.0}, {3, 0.0}, {4, 5.0}, {5, 6L}}, {}},
                          {3, {{1, 0.0}, {2, 0.0}, {3, 4.0}, {7, 1L}}, {}},
                          {9, {}, {}}};
        washer.variables = {{L"d", 8.0}, {L"s", 1.6}};
        velmar().Drawings().AddFragment(washer);
        Open();
    }

    void TearDown() override
    {
        provider_ = nullptr;
        utilities_.reset();
        book_.reset();
        sim::StandInTest::TearDown();
    }

    // A new drawing, active from now on.
    sim::Document& Open()
    {
        document_ = &velmar().OpenDocument(1, "drawing");
        sim::SpcModel& spc = document_->Spc();
        spc.DefineColumnA({5, 1, L"Обозначение"});
        spc.DefineColumnB({20, 1, L"ID Normset"});
        return *document_;
    }

    IVel5ApplicationPtr App5() { return velmar().App5().As<IVel5Application>(); }
    IVel7ApplicationPtr App7() { return velmar().App7().As<IVel7Application>(); }
    INMClientPtr Client() { return provider_->As<INMClient>(); }
    sim::Drawing& Drawing() { return *velmar().Drawings().Of(document_->V5()); }
    sim::SpcModel& Spc() { return document_->Spc(); }

    // A part loaded from a response: the nut script in the test's folder ("d" 12), or with fragment the
    // washer ("LFR_FRAG_NAME" among the object data, "d" 10 as a method parameter). Spc variables unless
    // withSpc is false; extra object data added; more objects of the response after the two.
    template <class Part = NMVelmarScript2D>
    std::unique_ptr<Part> MakePart(bool withSpc = true, std::vector<Attr> extra = {}, int32_t macro = 0,
                                   bool specActive = false, const std::wstring& more = L"")
    {
        auto part = std::make_unique<Part>(App5(), App7(), Client(), macro, specActive, &settings);
        const bool fragment = std::is_same_v<Part, NMVelmarFragment2D>;
        std::vector<Attr> method = {{L"NM_IID", fragment ? L"PART:11371[d=8]" : L"PART:5915[d=12]"},
                                    {L"URL", folder_.Path()},
                                    {L"MethodBody", fragment ? L"Washers.lfr" : L"nut.vbs"},
                                    {L"Designation", fragment ? L"Шайба 8" : L"Гайка М12"},
                                    {L"Quarvend_IID", L"1188:40127"}};
        if (fragment)
            method.push_back({L"LFR_FRAG_NAME", L"Шайба 8"});
        if (withSpc)
            for (const Attr& variable : SpcVariables())
                method.push_back(variable);
        method.insert(method.end(), extra.begin(), extra.end());
        using namespace response_xml;
        auto document = std::make_shared<pugi::xml_document>();
        LoadXmlFromBstr(_bstr_t(Response(Object(L"MethodParameters", {{L"d", fragment ? L"10" : L"12"}}) +
                                         Object(L"Method", method) + more)
                                    .c_str()),
                        *document);
        part->loadPartData(document->child(L"response").child(L"objectcollection"), document);
        return part;
    }

    // The nut of a size as the reference book answers for it and for a size drag: the nut's script, its spc
    // section, and its thread's hot point along x by 1 from x = d / 2. A body other than the nut's script
    // names a file that is not there: the answer cannot be drawn.
    std::wstring SizedNutResponse(const std::wstring& d, const wchar_t* body = L"nut.vbs")
    {
        using namespace response_xml;
        std::vector<Attr> values = {{L"NM_IID", L"PART:5915[d=" + d + L"]"}, {L"URL", folder_.Path()},
                                    {L"MethodBody", body}, {L"Designation", L"Гайка М" + d}};
        for (const Attr& variable : SpcVariables())
            values.push_back(variable);
        std::wstring xml = Response(Object(L"MethodParameters", {{L"d", d}}) + Object(L"Method", values));
        const auto attribute = [](const std::wstring& name, const std::wstring& value) {
            return L"<attribute><name>" + name + L"</name><value>" + value + L"</value></attribute>";
        };
        const std::wstring point = L"<attribute><name>SpecialHotPointsParameters</name><attributecollection><attribute>"
                                   L"<name>d</name><attributecollection>" +
                                   attribute(L"Title", L"Резьба\\nd") + attribute(L"Hint", L"d = " + d) + attribute(L"AttrCode", L"d") +
                                   attribute(L"X", std::to_wstring(std::stoi(d) / 2)) + attribute(L"kx", L"1") +
                                   attribute(L"AttrValue", d) + attribute(L"Visible", L"True") +
                                   L"</attributecollection></attribute></attributecollection></attribute>";
        const std::wstring method = L"<classid>Method</classid><attributecollection>";
        xml.insert(xml.find(method) + method.size(), point);
        return xml;
    }

    // The macros the drawing shows, in the order placed.
    std::vector<long> Macros() { return OfType(27); }
    std::vector<long> Leaders() { return OfType(21); }
    std::vector<long> OfType(long type)
    {
        std::vector<long> found;
        for (long reference : Drawing().Objects())
            if (Drawing().Find(reference)->type == type)
                found.push_back(reference);
        return found;
    }
    // The types of what a macro holds, in order.
    std::vector<long> TypesIn(long macro)
    {
        std::vector<long> types;
        for (long reference : Drawing().Contents(macro))
            types.push_back(Drawing().Find(reference)->type);
        return types;
    }
    // The names of the geometry of each spc object, in order.
    std::vector<std::vector<std::string>> SpcGeometry()
    {
        std::vector<std::vector<std::string>> geometry;
        for (sim::SpcObject* object : Spc().Objects())
            geometry.push_back(object->geometry);
        return geometry;
    }
    static std::string Name(const char* kind, long reference) { return kind + std::to_string(reference); }

    // Runs an operation once for each host call it makes, with that call failing (E_FAIL). setUp builds a
    // fresh Velmar (Restart) and gives the operation; a run ends normally or with an exception (any kind the
    // command's catch-all knows), and check(failedCall) then looks at the drawing; no bracket or iterator
    // may stay open. Ends with the first run in which no call failed. A sweep too long for one test is shared
    // out among several (test_support::SweptShare): part k of them fails only every of-th call from the (k+1)-th.
    void SweepDrawingFailures(const std::function<std::function<void()>()>& setUp,
                              const std::function<void(const sim::Call& failed)>& check, test_support::SweptShare share = {})
    {
        for (size_t n = 1 + share.part; n < 3000; n += share.of) {
            const std::function<void()> run = setUp();
            journal().Clear();
            velmar().Faults().FailCall(n, E_FAIL);
            try {
                run();
            } catch (const _com_error& error) {
                EXPECT_EQ(error.Error(), E_FAIL) << "call " << n;
            } catch (...) {
                // Another kind of failure (a wide string of the drawing's brackets) ends in the catch-all too.
            }
            velmar().Faults().Clear();
            velmar().User().Clear();
            const auto& calls = journal().Calls();
            const auto failed = std::find_if(calls.begin(), calls.end(), [](const sim::Call& call) { return call.result == E_FAIL; });
            // Only a failure of the very call that closes an iterator, an insertion bracket or the temporary
            // document leaves it open.
            Lines open = velmar().OpenBrackets();
            const std::string key = failed == calls.end() ? "" : failed->Key();
            std::erase_if(open, [&](const std::string& what) {
                return (key == "iterator.9" && what.find("iterator") != std::string::npos) || (failed != calls.end() &&
                       failed->Text() == "drawing5.245(false) -> 80004005" && what.find("(245)") != std::string::npos);
            });
            EXPECT_EQ(open, Lines{}) << "call " << n << (failed == calls.end() ? "" : ": " + failed->Text());
            EXPECT_TRUE(!velmar().Drawings().TemporaryOpen() || key == "tempDoc.151") << "call " << n;
            if (failed == calls.end()) {
                EXPECT_GT(n, 30u) << "fewer host calls than the operation makes";
                return;
            }
            check(*failed);
        }
        FAIL() << "the operation never ended without a failure";
    }

    ScratchFolder folder_;
    settings_test::RegistrySandbox registry_;
    NMAllSettings settings;
    std::unique_ptr<sim::ReferenceBook> book_;
    sim::ObjectRef provider_;
    std::unique_ptr<sim::UtilityClasses> utilities_;
    sim::Document* document_ = nullptr;
    TraceLog log_{L"test", false};
};

} // namespace drawing_test
