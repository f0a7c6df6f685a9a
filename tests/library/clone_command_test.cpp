// Command 5 on real files in temporary folders: a standard part's model files copied into the folder the
// user chose, the copy instantiated and freed of the library's ties, opened for the user; a cancel, a
// refusal and each failure in turn leave every file as it was and every processing document closed.
#include "library/document_stand_in.h"

#include "core/scratch_folder.h"
#include "sim/model_files.h"

#include <gmock/gmock.h>

using namespace document_test;
using response_xml::Object;
using response_xml::Response;

namespace {

class CloneCommand : public DocumentStandIn {
protected:
    // The standard part: an assembly of a nut assembly (with a pin) from a second folder, a washer from a
    // third and a part file beside it; variables flagged, one component marked. In the assembly the nut
    // inside the bolt carries the library's identity of its own.
    CloneCommand()
    {
        sim::WriteModelFile(lib3_ / L"Pin.m3d", {{{L"l", 5, true}}, {}});
        sim::WriteModelFile(lib3_ / L"Washer.m3d", {{{L"s", 2, false}}, {}});
        sim::WriteModelFile(lib2_ / L"Nut.a3d", {{}, {{lib3_ / L"Pin.m3d", false}}});
        sim::WriteModelFile(lib1_ / L"Bolt.a3d", {{{L"d", 8, true}, {L"L", 40, false}},
                                                  {{lib2_ / L"Nut.a3d", false}, {lib3_ / L"Washer.m3d", true}}});
        sim::Part& bolt = AddComponent("bolt", {L"B1", L"Болт М10/50", lib1_ / L"Bolt.a3d"});
        world().geometry.AddFace("boltFace", &bolt, {.test1 = true});
        sim::Part& nut = sim::AddLibraryComponent(velmar(), world().geometry, "nut", {L"N1", L"Гайка М10", lib2_ / L"Nut.a3d"},
                                                  nullptr, &bolt);
        world().geometry.AddFace("nutFace", &nut, {.test1 = true});
        book().SetPlacedResponse(L"B1", Response(Object(L"MethodParameters", {{L"d", L"10"}, {L"L", L"50"}}) +
                                                 Object(L"Method", {{L"NM_IID", L"B1"}, {L"URL", lib1_.Path()},
                                                                    {L"MethodBody", L"Bolt.a3d"}}) +
                                                 Object(L"ExternalParameters", {{L"Designation", L"Болт М10/50"}})));
        for (const std::wstring& file : SourceFiles())
            sources_.push_back(FileBytes(file));
    }

    std::vector<std::wstring> SourceFiles() const
    {
        return {lib1_ / L"Bolt.a3d", lib2_ / L"Nut.a3d", lib3_ / L"Pin.m3d", lib3_ / L"Washer.m3d"};
    }
    void ExpectSourcesUntouched(const char* what)
    {
        const std::vector<std::wstring> files = SourceFiles();
        for (size_t i = 0; i < files.size(); ++i)
            EXPECT_EQ(FileBytes(files[i]), sources_[i]) << what << ": " << sim::Utf8(files[i]);
    }
    std::vector<std::wstring> UserFiles() const
    {
        std::vector<std::wstring> names;
        for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::path(user_.Path())))
            names.push_back(entry.path().filename().wstring());
        std::sort(names.begin(), names.end());
        return names;
    }
    // Every document opened for processing was closed again.
    void ExpectProcessingDocumentsClosed(const char* what)
    {
        for (const sim::ModelDocument& opened : velmar().Files().Documents())
            if (opened.forProcessing || !opened.opened) {
                EXPECT_TRUE(opened.closed) << what << ": " << sim::Utf8(opened.file);
            }
    }
    void Answer(const std::wstring& panel, const std::wstring& file)
    {
        velmar().User().Answer("panel", _variant_t(panel.c_str()));
        if (!file.empty() || panel.find(L"ok") != std::wstring::npos)
            velmar().User().Answer("file", _variant_t(file.c_str()));
    }

    ScratchFolder lib1_;
    ScratchFolder lib2_;
    ScratchFolder lib3_;
    ScratchFolder user_;
    std::vector<std::string> sources_;
};

} // namespace

TEST_F(CloneCommand, CopiesTheModelAndItsComponentsInstantiatesAndFreesTheCopyAndOpensIt)
{
    // An ordinary part cannot be picked; the panel asks for the standard part when it opens and after the pick.
    Answer(L"pick top; pick boltFace; ok", user_ / L"Мой болт.a3d");
    const Outcome outcome = Run(5);
    EXPECT_FALSE(outcome.dialog) << sim::Utf8(outcome.message);
    EXPECT_EQ(velmar().Panels().Prompts(), std::vector<std::wstring>{L"Выберите стандартное изделие"});
    const Lines calls = journal().Lines();
    EXPECT_EQ(std::count_if(calls.begin(), calls.end(),
                            [](const std::string& call) { return call.find("=\"Выберите стандартное изделие\"") != std::string::npos; }),
              2)
        << "on activation and after the pick";
    EXPECT_EQ(UserFiles(), (std::vector<std::wstring>{L"Nut.a3d", L"Pin.m3d", L"Washer.m3d", L"Мой болт.a3d"}));
    const auto fileQuestion = std::find_if(velmar().User().Questions().begin(), velmar().User().Questions().end(),
                                           [](const sim::Question& q) { return q.kind == "file"; });
    ASSERT_NE(fileQuestion, velmar().User().Questions().end());
    EXPECT_EQ(fileQuestion->text, L"Болт М10_50.a3d") << "one file name, whatever the designation holds";
    sim::ModelFile made;
    ASSERT_TRUE(sim::ReadModelFile(user_ / L"Мой болт.a3d", made));
    ASSERT_EQ(made.variables.size(), 2u);
    EXPECT_EQ(made.variables[0].value, 10);
    EXPECT_EQ(made.variables[1].value, 50);
    EXPECT_FALSE(made.variables[0].setting6 || made.variables[1].setting6);
    ASSERT_EQ(made.components.size(), 1u) << "the marked washer is gone";
    EXPECT_EQ(made.components[0].file, lib2_ / L"Nut.a3d");
    ExpectSourcesUntouched("made");
    ExpectProcessingDocumentsClosed("made");
    const sim::ModelDocument& shown = velmar().Files().Documents().back();
    EXPECT_EQ(shown.file, user_ / L"Мой болт.a3d");
    EXPECT_TRUE(shown.shown);
    EXPECT_FALSE(shown.closed) << "the user part stays open";
    EXPECT_EQ(velmar().Files().Documents().size(), 5u) << "two sources opened once each, the copy twice, then for the user";
}

TEST_F(CloneCommand, ACancelARefusalOrAFailureLeavesEveryFileAsItWas)
{
    struct Row {
        const char* what;
        std::wstring panel;
        std::wstring file;                      // the user's answer; empty: none
        std::function<void()> arrange;
        const wchar_t* message;                  // what the user is told; null: nothing
        const wchar_t* proposed;                 // the file name offered for the copy; null: not asked
    };
    const std::wstring mine = user_ / L"Bolt.a3d";
    const wchar_t* const bolt = L"Болт М10_50.a3d";
    const Row rows[] = {
        {"the panel cancelled", L"pick boltFace; cancel", L"", nullptr, nullptr, nullptr},
        {"the file question cancelled", L"pick boltFace; ok", L"", nullptr, nullptr, bolt},
        {"an ordinary part picked, then cancelled", L"pick top; cancel", L"", nullptr, nullptr, nullptr},
        // Nothing chosen, OK is refused and the panel stays.
        {"OK before a choice, then the bolt", L"ok; pick boltFace; ok", L"", nullptr, nullptr, bolt},
        // A face of a part inside the standard part chooses the standard part.
        {"a face of the nut inside the bolt", L"pick nutFace; ok", L"", nullptr, nullptr, bolt},
        {"the copy onto a source", L"pick boltFace; ok", lib1_ / L"Bolt.a3d", nullptr, L"принадлежит стандартному изделию", bolt},
        {"a copy fails", L"pick boltFace; ok", mine, [&] { DeleteFileW((lib3_ / L"Pin.m3d").c_str()); },
         L"Не удалось скопировать файл", bolt},
        {"the copy cannot be opened", L"pick boltFace; ok", mine, [&] { velmar().Faults().FailMember("file3doc5.18", E_FAIL, 1); },
         nullptr, bolt},
        {"no answer for the part", L"pick boltFace; ok", mine, [&] { book().SetPlacedResponse(L"B1", L""); }, nullptr, bolt},
        {"the save fails", L"pick boltFace; ok", mine, [&] { velmar().Faults().FailMember("file4doc5.19", E_FAIL, 1); }, nullptr, bolt},
    };
    for (const Row& row : rows) {
        // The user's folder holds an earlier pin of the user's own.
        std::filesystem::remove_all(std::filesystem::path(user_.Path()));
        std::filesystem::create_directories(std::filesystem::path(user_.Path()));
        ASSERT_TRUE(WriteFileBytes(user_ / L"Pin.m3d", "the user's own pin"));
        velmar().Files().Documents().clear();
        velmar().User().Clear();
        Answer(row.panel, row.file);
        if (row.arrange)
            row.arrange();
        const Outcome outcome = Run(5);
        velmar().Faults().Clear();
        WriteFileBytes(lib3_ / L"Pin.m3d", sources_[2]);
        if (row.message) {
            EXPECT_THAT(outcome.message + (outcome.boxes.empty() ? L"" : outcome.boxes[0]), testing::HasSubstr(row.message))
                << row.what;
        }
        std::vector<std::wstring> proposed;
        for (const sim::Question& question : velmar().User().Questions())
            if (question.kind == "file")
                proposed.push_back(question.text);
        EXPECT_EQ(proposed, row.proposed ? std::vector<std::wstring>{row.proposed} : std::vector<std::wstring>{}) << row.what;
        EXPECT_EQ(UserFiles(), std::vector<std::wstring>{L"Pin.m3d"}) << row.what;
        EXPECT_EQ(FileBytes(user_ / L"Pin.m3d"), "the user's own pin") << row.what;
        ExpectSourcesUntouched(row.what);
        ExpectProcessingDocumentsClosed(row.what);
        EXPECT_TRUE(std::none_of(velmar().Files().Documents().begin(), velmar().Files().Documents().end(),
                                 [](const sim::ModelDocument& d) { return d.shown; }))
            << row.what;
    }
}
