#pragma once
// What the tests of component insertion share: Velmar with an assembly whose geometry the user picks
// from, a model file on disk that the stand-in knows, the reference book, the library's settings in a
// registry of the test's own, and the insert command run through the catch-all as Velmar runs it.
#include "core/com_convert.h"
#include "core/display_name.h"
#include "core/files.h"
#include "core/modal_seam.h"
#include "core/module.h"
#include "core/registry.h"
#include "core/scratch_folder.h"
#include "core/trace_log.h"
#include "library/command_dispatch.h"
#include "library/exports.h"
#include "hostapi/provider_connection.h"
#include "objects/main_settings.h"
#include "objects/settings_sandbox.h"
#include "positioning/part_panel_3d.h"
#include "positioning/vel_base_panel.h"
#include "sim/assembly.h"
#include "sim/document.h"
#include "sim/panel_scene.h"
#include "sim/reference_book.h"
#include "sim/stand_in_test.h"
#include "sim/text_file.h"
#include "support/library_holds_velmar.h"
#include "support/response_xml.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace insertion_test {

using Lines = std::vector<std::string>;
using response_xml::Attr;

// The bolt the tests insert: its model in the stand-in's catalogue, its file on disk.
inline const wchar_t kBoltModel[] = L"file Bolt.vlm\nvariable d 8\nvariable L 40\nvariable P 1.25\n"
                                    L"plane Plane\naxis Axis\nmass 0.01\nmaterial Сталь 10\n";

// A placement the user accepts: coincidence on the top face, coaxiality with the bore.
inline const wchar_t kPlaceOnTop[] = L"pick top; pick bore; ok";

// A Velmar of its own for each run: an assembly with the panel scene, the catalogue with the bolt, the
// components and the reference book.
struct World {
    World(sim::Velmar& velmar, int documentType)
        : geometry(velmar), document(velmar.OpenDocument(documentType, "asm")), assembly(Built(velmar), geometry, document, catalogue),
          book(velmar.GetSession())
    {
    }

    sim::Velmar& Built(sim::Velmar& velmar)
    {
        sim::BuildPanelScene(velmar, geometry, document);
        catalogue.Add(sim::ParseModel(kBoltModel));
        document.Spc().DefineColumnA({5, 1, L"Обозначение"});
        return velmar;
    }

    sim::Geometry geometry;
    sim::Document& document;
    sim::ModelCatalogue catalogue;
    sim::Assembly assembly;
    sim::ReferenceBook book;
};

// What the user saw of a command.
struct Outcome {
    bool dialog = false;            // the error dialog
    std::wstring title;
    std::wstring message;
    std::vector<std::wstring> boxes;   // the library's own message boxes
};

class InsertionStandIn : public LibraryHoldsVelmar<sim::StandInTest> {
protected:
    InsertionStandIn() { Restart(); }

    void TearDown() override
    {
        Release();
        world_.reset();
        sim::StandInTest::TearDown();
    }

    // A new Velmar with the same set-up (a document of that type) and the default settings; whatever the
    // library kept of the last one is let go first.
    void Restart(sim::HostVersion version = {15, 0, 1, 0}, int documentType = 5)
    {
        RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKeyPath);
        Release();
        world_.reset();
        UseVelmar(version);
        world_ = std::make_unique<World>(velmar(), documentType);
        Hold();
        velmar().Panels().LinkCallbacks(&SELECTFILTERPROC, &SELECTCALLBACKPROC);
        testhooks::ResetAttachPointPreference();
    }


    World& world() { return *world_; }
    sim::Assembly& assembly() { return world_->assembly; }
    sim::ReferenceBook& book() { return world_->book; }
    sim::Document& document() { return world_->document; }

    static void SetSetting(const wchar_t* name, DWORD value)
    {
        const RegKey key = CreateRegKey(HKEY_CURRENT_USER, kSettingsKeyPath, KEY_WRITE);
        WriteRegDword(key.get(), name, value);
    }

    // The bolt's response: the method parameters, and part variables beside the identity and the
    // bill-of-materials place (section 25, the designation column). Each size has a designation of its
    // own, "Болт М<d>х<L>" (d and L as the parameters give them, else 10 and 50).
    static std::vector<Attr> BoltSizes() { return {{L"d", L"10"}, {L"L", L"50"}, {L"P", L"1,5"}}; }
    std::wstring Bolt(std::vector<Attr> params = BoltSizes(),
                      std::vector<Attr> variables = {{L"MACC", L"0,0412"}, {L"ExtObjectName", L"Сталь 35"}})
    {
        using namespace response_xml;
        std::wstring d = L"10";
        std::wstring length = L"50";
        for (const Attr& param : params) {
            if (param.name == L"d")
                d = param.value;
            if (param.name == L"L")
                length = param.value;
        }
        std::vector<Attr> spc = {{L"spcSection", L"25"},      {L"spcSubSection", L"0"},
                                 {L"spcNestedBlock", L"0"},   {L"spcNestedSection", L"0"},
                                 {L"spcAdditionalBlock", L"0"}, {L"spcColumns", L"5.1=Designation"},
                                 {L"Designation", L"Болт М" + d + L"х" + length}, {L"Quarvend_IID", L"1204:88312"}};
        spc.insert(spc.end(), variables.begin(), variables.end());
        return Response(Object(L"MethodParameters", params) +
                        Object(L"Method", {{L"NM_IID", L"PART:BOLT[M10]"}, {L"URL", models_.Path()}, {L"MethodBody", L"Bolt.vlm"}}) +
                        Object(L"ExternalParameters", spc));
    }

    // The reference book answers the bolt once; each script is one panel run of the user.
    void Choose(const std::wstring& response, std::vector<std::wstring> panelRuns)
    {
        sim::SelectAnswer answer;
        answer.responseXml = response;
        book().QueueSelect(answer);
        for (const std::wstring& steps : panelRuns)
            velmar().User().Answer("panel", _variant_t(steps.c_str()));
    }

    // Command 1 as Velmar runs it; the library's questions take the answers queued in `answers`.
    Outcome Insert() { return Run(1); }

    // A command as Velmar runs it; the library's questions take the answers queued in `answers` (else No).
    Outcome Run(unsigned command)
    {
        Outcome outcome;
        ModalSeam seam;
        seam.messageBox = [&](HWND, const std::wstring& text, const std::wstring&, UINT) {
            outcome.boxes.push_back(text);
            if (answers.empty())
                return IDNO;
            const int answer = answers.front();
            answers.pop_front();
            return answer;
        };
        testhooks::ScopedModalSeam scoped(seam);
        TraceLog log(L"LIBRARYENTRY", false);
        outcome.dialog = ExecuteLibCommand(FindLibCommand(command), outcome.title, outcome.message);
        trace = log.Text();
        return outcome;
    }

    // The texts Velmar's own message box showed.
    std::vector<std::wstring> VelmarMessages()
    {
        std::vector<std::wstring> texts;
        for (const sim::Question& question : velmar().User().Questions())
            if (question.kind == "message")
                texts.push_back(question.text);
        return texts;
    }

    // What Velmar was asked, without the panels' own controls (the panels' tests have them), with the
    // test's folders named.
    static bool IsPanelControl(const std::string& object)
    {
        static const char* const panelObjects[] = {"toggle", "buttons", "field", "page", "controls", "check",
                                                   "combo", "title", "propMng", "spin", "list"};
        return std::any_of(std::begin(panelObjects), std::end(panelObjects),
                           [&](const char* prefix) { return object.rfind(prefix, 0) == 0; });
    }
    // Before a sweep's next run: the last run, when it completed, taken back by Velmar's undo, which must
    // leave the state as it was; then an empty undo list and the document's undo switch as a command
    // finds it.
    template <typename State>
    void TakeBackCompletedRun(bool completed, const Lines& before, const State& state)
    {
        if (completed) {
            velmar().Undo().Close();
            EXPECT_TRUE(velmar().Undo().UndoLast());
            EXPECT_EQ(state(), before) << "after the completed run was taken back";
        }
        velmar().Undo().Clear();
        document().V7().Value(69) = _variant_t(VARIANT_FALSE, VT_I2);
    }
    Lines HostCalls()
    {
        Lines calls;
        for (const sim::Call& call : journal().Calls()) {
            if (IsPanelControl(call.object))
                continue;
            std::string line = call.Text();
            // Velmar's main window is the reference book's owner; its handle differs from run to run.
            if (line.rfind("client#30(&,&,&,", 0) == 0)
                line = "client#30(&,&,&,<owner>,&)";
            calls.push_back(Named(line));
        }
        return calls;
    }
    std::string Named(std::string line)
    {
        for (const auto& [path, name] : {std::pair{sim::Utf8(models_.Path()), std::string("<models>\\")},
                                         std::pair{sim::Utf8(GetModulePath()), std::string("<library>")}})
            for (size_t at = line.find(path); at != std::string::npos; at = line.find(path, at + name.size()))
                line.replace(at, path.size(), name);
        return line;
    }
    // The host calls of the run are those of a journal file beside the test's source; a differing run
    // is kept as "<file>.actual" in the working folder.
    void ExpectJournalAsIn(const std::string& testSource, const std::string& file)
    {
        const std::string folder = testSource.substr(0, testSource.find_last_of("/\\") + 1);
        Lines expected;
        std::ifstream stored{std::filesystem::path(sim::WindowsPath(std::wstring(folder.begin(), folder.end())) +
                                                   std::wstring(file.begin(), file.end()))};
        for (std::string line; std::getline(stored, line);)
            expected.push_back(line);
        const Lines actual = HostCalls();
        if (actual != expected) {
            std::ofstream kept(file + ".actual");
            for (const std::string& line : actual)
                kept << line << "\n";
        }
        EXPECT_EQ(actual, expected) << "the journal of this run is in " << file << ".actual";
    }

    // A component as velmar-sim describes it.
    Lines Described(size_t index) { return assembly().Describe(*assembly().Components().at(index)); }
    // What an spc object shows (its column 5.1), then " on " and the name of each live component it holds
    // that it does not show: a line the user attached, or one typed over, tells which component it stays with.
    std::string ShownAndHolding(sim::SpcObject& object)
    {
        const std::string shown = sim::Utf8(object.ColumnA(5, 1)->Text());
        std::string line = shown;
        for (sim::Component* component : assembly().Components()) {
            const std::string name = sim::Utf8(component->part->V5().Text(IVel5Part::ComponentName));
            const std::vector<sim::SpcObject*> holding = assembly().SpcObjectsOf(*component);
            if (!component->deleted && name != shown && std::find(holding.begin(), holding.end(), &object) != holding.end())
                line += " on " + name;
        }
        return line;
    }
    // The spc objects of the document that no component of the assembly holds.
    size_t SpcObjectsOfNoComponent()
    {
        std::vector<sim::SpcObject*> held;
        for (sim::Component* component : assembly().Components())
            for (sim::SpcObject* object : assembly().SpcObjectsOf(*component))
                held.push_back(object);
        const std::vector<sim::SpcObject*> objects = document().Spc().Objects();
        return static_cast<size_t>(std::count_if(objects.begin(), objects.end(), [&](sim::SpcObject* object) {
            return std::find(held.begin(), held.end(), object) == held.end();
        }));
    }

    std::deque<int> answers;
    std::wstring trace;
    settings_test::RegistrySandbox registry_;
    ScratchFolder models_;
    std::unique_ptr<World> world_;

private:
    bool modelWritten_ = WriteFileBytes(models_ / L"Bolt.vlm", "a model file");
};

} // namespace insertion_test
