// The command functions: each command's sequence of controller operations, driven with a controller
// that records them; the questions of the whole-document commands; and the controller the active
// document gives.
#include "library/command_functions.h"

#include "core/display_name.h"
#include "core/modal_seam.h"
#include "core/module.h"
#include "core/registry.h"
#include "core/trace_log.h"
#include "library/command_dispatch.h"
#include "hostapi/provider_connection.h"
#include "library/velmar_normset_2d.h"
#include "library/velmar_normset_3d.h"
#include "objects/main_settings.h"
#include "objects/settings_sandbox.h"
#include "sim/reference_book.h"
#include "sim/stand_in_test.h"

#include <gmock/gmock.h>

#include <deque>

namespace {

using Lines = std::vector<std::string>;

// What a command did with its controller, and how the controller answers it.
struct Script {
    Lines calls;
    std::deque<bool> selections;   // SelectPart's answers; false when none is left
    std::deque<int> applies;       // Apply's answers; 0 when none is left
    std::string failOn;            // the operation that throws
};

class RecordingController : public VelmarNormset {
public:
    RecordingController(IVel5Application* app5, IVel7Application* app7, INMClient* client, uint32_t command, Script& script)
        : VelmarNormset(app5, app7, client, command, 5), script_(script)
    {
        script_.calls.push_back("controller " + std::to_string(command));
    }
    ~RecordingController() override { script_.calls.push_back("deleted"); }

    void CheckDocumentValidForInsert() override { Record("CheckDocumentValidForInsert"); }
    void CheckDocumentValidForFind() override { Record("CheckDocumentValidForFind"); }
    void CheckDocumentValidForRelink() override { Record("CheckDocumentValidForRelink"); }
    void CheckDocumentValidForCreateSpcObjs() override { Record("CheckDocumentValidForCreateSpcObjs"); }
    void CheckDocumentValidForClone() override { Record("CheckDocumentValidForClone"); }
    void Prepare() override { Record("Prepare"); }
    void FindAndReplace() override { Record("FindAndReplace"); }
    void Relink() override { Record("Relink"); }
    void CreateSpcObjects() override { Record("CreateSpcObjects"); }
    void Clone() override { Record("Clone"); }
    bool SelectPart() override
    {
        Record("SelectPart");
        return Take(script_.selections, false);
    }
    int Apply() override
    {
        Record("Apply");
        return Take(script_.applies, 0);
    }
    void CreatePart(const std::wstring&) override {}
    bool Positioning() override { return false; }
    std::wstring Measure() override { return std::wstring(); }
    void PrepareExt(const std::wstring&) override {}

private:
    void Record(const std::string& call)
    {
        script_.calls.push_back(call);
        if (call != script_.failOn)
            return;
        if (call == "Apply")
            throw std::wstring(L"the apply failed");
        throw _bstr_t(L"refused");
    }
    template <class T>
    static T Take(std::deque<T>& answers, T none)
    {
        if (answers.empty())
            return none;
        const T answer = answers.front();
        answers.pop_front();
        return answer;
    }
    Script& script_;
};

struct Box {
    HWND owner;
    std::wstring text;
    std::wstring caption;
    UINT style;
};

class CommandFunctions : public sim::StandInTest {
protected:
    CommandFunctions()
    {
        HoldApplication5(velmar().Application5());
        HoldApplication7(velmar().Application7());
        SetLibraryDisplayName(L"Нормсет");
    }
    void TearDown() override
    {
        HoldProvider(nullptr, nullptr);
        testhooks::ResetProviderConnection();
        HoldApplication5(nullptr);
        HoldApplication7(nullptr);
        SetLibraryDisplayName(L"");
        book_.reset();
        sim::StandInTest::TearDown();
    }

    // Runs a command function under the catch-all with the recording controller; the library's boxes
    // take `answer`. True when the error dialog would show.
    bool Run(const LibCommandFunction& command, int answer = IDYES)
    {
        testhooks::ScopedControllerFactory factory([this](uint32_t number) {
            return std::make_unique<RecordingController>(velmar().App5().As<IVel5Application>(), velmar().App7().As<IVel7Application>(),
                                                         NormsetProvider(), number, script);
        });
        ModalSeam seam;
        seam.messageBox = [this, answer](HWND owner, const std::wstring& text, const std::wstring& caption, UINT style) {
            boxes.push_back({owner, text, caption, style});
            return answer;
        };
        testhooks::ScopedModalSeam scoped(seam);
        std::wstring title;
        std::wstring message;
        return ExecuteLibCommand(command, title, message);
    }

    Script script;
    std::vector<Box> boxes;
    settings_test::RegistrySandbox registry_;
    std::unique_ptr<sim::ReferenceBook> book_ = std::make_unique<sim::ReferenceBook>(velmar().GetSession());
    TraceLog log_{L"test", false};
};

const wchar_t kRelinkQuestion[] = L"Ссылки всех вставленных в сборку стандартных изделий будут обновлены. Продолжить?";
const wchar_t kSpcQuestion[] = L"У всех вставленных в документ стандартных изделий будут созданы объекты спецификации. Продолжить?";

} // namespace

TEST_F(CommandFunctions, EachCommandRunsItsSequenceAndDeletesItsController)
{
    struct Row {
        const char* name;
        LibCommandFunction command;
        std::deque<bool> selections;
        std::deque<int> applies;
        bool restoreSelect;
        int answer;   // 0: the box could not be shown
        Lines calls;
        std::vector<std::wstring> questions;
        bool errorDialog = false;
    };
    const Lines insertStart = {"controller 1", "CheckDocumentValidForInsert", "Prepare"};
    auto insert = [&](Lines more) {
        Lines calls = insertStart;
        calls.insert(calls.end(), more.begin(), more.end());
        calls.push_back("deleted");
        return calls;
    };
    const Row rows[] = {
        {"insert, again while Apply gives 0", &LibCommandInsert, {true, true, false}, {0, 0}, true, IDYES,
         insert({"SelectPart", "Apply", "SelectPart", "Apply", "SelectPart"}), {}},
        {"insert, Apply non-zero ends it", &LibCommandInsert, {true, true}, {1}, true, IDYES, insert({"SelectPart", "Apply"}), {}},
        {"insert, RestoreSelect off", &LibCommandInsert, {true, true}, {0}, false, IDYES, insert({"SelectPart", "Apply"}), {}},
        {"insert, nothing chosen", &LibCommandInsert, {}, {}, true, IDYES, insert({"SelectPart"}), {}},
        {"find", &LibCommandFind, {}, {}, true, IDYES, {"controller 2", "CheckDocumentValidForFind", "FindAndReplace", "deleted"}, {}},
        {"relink, yes", &LibCommandRelink, {}, {}, true, IDYES,
         {"controller 3", "CheckDocumentValidForRelink", "Relink", "deleted"}, {kRelinkQuestion}},
        {"relink, no", &LibCommandRelink, {}, {}, true, IDNO, {"controller 3", "CheckDocumentValidForRelink", "deleted"}, {kRelinkQuestion}},
        {"relink, no box", &LibCommandRelink, {}, {}, true, 0, {"controller 3", "CheckDocumentValidForRelink", "deleted"}, {kRelinkQuestion},
         true},
        {"relink without asking", &LibCommandRelinkSilent, {}, {}, true, IDNO,
         {"controller 3", "CheckDocumentValidForRelink", "Relink", "deleted"}, {}},
        {"spc objects, yes", &LibCommandCreateSpcObjs, {}, {}, true, IDYES,
         {"controller 4", "CheckDocumentValidForCreateSpcObjs", "CreateSpcObjects", "deleted"}, {kSpcQuestion}},
        {"spc objects, no", &LibCommandCreateSpcObjs, {}, {}, true, IDNO,
         {"controller 4", "CheckDocumentValidForCreateSpcObjs", "deleted"}, {kSpcQuestion}},
        {"spc objects, no box", &LibCommandCreateSpcObjs, {}, {}, true, 0,
         {"controller 4", "CheckDocumentValidForCreateSpcObjs", "deleted"}, {kSpcQuestion}, true},
        {"clone", &LibCommandClone, {}, {}, true, IDYES, {"controller 5", "CheckDocumentValidForClone", "Clone", "deleted"}, {}},
        {"selection only", &LibCommandSelect, {}, {}, true, IDYES, {"controller 67", "deleted"}, {}},
    };
    for (const Row& row : rows) {
        script = Script{{}, row.selections, row.applies, ""};
        boxes.clear();
        const RegKey key = CreateRegKey(HKEY_CURRENT_USER, kSettingsKeyPath, KEY_WRITE);
        WriteRegDword(key.get(), L"RestoreSelect", row.restoreSelect ? 1 : 0);
        EXPECT_EQ(Run(row.command, row.answer), row.errorDialog) << row.name;
        EXPECT_EQ(script.calls, row.calls) << row.name;
        std::vector<std::wstring> questions;
        for (const Box& box : boxes) {
            questions.push_back(box.text);
            EXPECT_EQ(box.owner, velmar().MainWindow()) << row.name;
            EXPECT_EQ(box.caption, L"Нормсет") << row.name;
            EXPECT_EQ(box.style, static_cast<UINT>(MB_YESNO | MB_ICONQUESTION)) << row.name;
        }
        EXPECT_EQ(questions, row.questions) << row.name;
    }
    // The reference book is set up once, and the selection-only command asked it.
    EXPECT_EQ(book_->Connects(), 1);
    EXPECT_EQ(book_->Selections().size(), 1u);
}

TEST_F(CommandFunctions, ARefusedCheckWarnsAndAFailedStepStillDeletesTheController)
{
    script.failOn = "CheckDocumentValidForInsert";
    EXPECT_FALSE(Run(&LibCommandInsert));
    EXPECT_EQ(script.calls, (Lines{"controller 1", "CheckDocumentValidForInsert", "deleted"}));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, L"refused");
    EXPECT_EQ(boxes[0].style, static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION));

    script = Script{{}, {true}, {}, "Apply"};
    EXPECT_TRUE(Run(&LibCommandInsert));
    EXPECT_EQ(script.calls, (Lines{"controller 1", "CheckDocumentValidForInsert", "Prepare", "SelectPart", "Apply", "deleted"}));
}

TEST_F(CommandFunctions, TheActiveDocumentsTypeChoosesTheController)
{
    const auto app5 = velmar().App5().As<IVel5Application>();
    const auto app7 = velmar().App7().As<IVel7Application>();
    const sim::ObjectRef client = book_->NewProvider();
    struct Row {
        int type;   // 0: no document
        bool controller;
    };
    for (const Row& row : {Row{0, false}, Row{1, true}, Row{2, true}, Row{3, true}, Row{4, true}, Row{5, true}, Row{6, false},
                           Row{7, true}}) {
        velmar().Activate(row.type ? &velmar().OpenDocument(row.type) : nullptr);
        std::unique_ptr<VelmarNormset> made;
        try {
            VelmarNormset::CreateForActiveDocument(made, app5, app7, client->As<INMClient>(), 4);
            EXPECT_TRUE(row.controller) << row.type;
            const bool rightKind = row.type <= 2 ? dynamic_cast<VelmarNormset2D*>(made.get()) != nullptr
                                                 : dynamic_cast<VelmarNormset3D*>(made.get()) != nullptr;
            ASSERT_TRUE(rightKind) << row.type;
            EXPECT_EQ(made->DocType, row.type);
            EXPECT_EQ(made->LibCommand, 4u);
        } catch (const _bstr_t& warning) {
            EXPECT_FALSE(row.controller) << row.type;
            EXPECT_EQ(std::wstring(warning), L"Нет активного документа.");
            EXPECT_EQ(made, nullptr);
        }
    }
    // A controller that cannot be made says why, and nothing is handed out.
    std::unique_ptr<VelmarNormset> made;
    try {
        VelmarNormset::CreateForActiveDocument(made, app5, app7, nullptr, 1);
        ADD_FAILURE() << "made without a provider";
    } catch (const std::wstring& failure) {
        EXPECT_EQ(failure, L"No VAZEZAdAzuduv provider");
    }
    EXPECT_EQ(made, nullptr);
}
