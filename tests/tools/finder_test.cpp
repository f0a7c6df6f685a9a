// The finder's lists over library objects of the test's own: filtering by name, the steps through a
// name, the kind changed, and the bookkeeping of one and of all replacements.
#include "tools/finder.h"

#include "core/progress_wnd.h"
#include "core/trace_log.h"
#include "library/normset.h"
#include "sim/stand_in_test.h"
#include "sim/velmar.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <optional>

namespace {

using Log = std::vector<std::wstring>;

// A library object that says what the finder did with it. Replacing it gives an object named `result`
// (none when it is empty), whose highlight cannot be taken off when `resultUnselectFails`; the
// replacement numbered `failOn` throws.
class Listed : public NMObject {
public:
    Listed(const std::wstring& name, Log& log, int* alive = nullptr) : NMObject(nullptr, nullptr), log_(log), alive_(alive)
    {
        NM_Name = name;
        if (alive_)
            ++*alive_;
    }
    ~Listed() override
    {
        if (alive_)
            --*alive_;
    }
    void Select() override { log_.push_back(L"select " + NM_Name); }
    void Unselect() override
    {
        log_.push_back(L"unselect " + NM_Name);
        if (unselectFails)
            throw std::wstring(L"the highlight stays");
    }
    void BindTo(NMObject* found) override { log_.push_back(L"bind to " + found->NM_Name); }
    uint32_t Apply() override
    {
        if (++applied == failOn)
            throw std::wstring(L"the replacement failed");
        return 0;
    }
    std::unique_ptr<NMObject> CreateOnBase() override
    {
        if (!result)
            return nullptr;
        auto made = std::make_unique<Listed>(*result, log_, alive_);
        made->unselectFails = resultUnselectFails;
        return made;
    }

    std::optional<std::wstring> result;
    bool resultUnselectFails = false;
    bool unselectFails = false;
    int failOn = 0;
    int applied = 0;

private:
    Log& log_;
    int* alive_;
};

class TestController : public Normset {
public:
    TestController() : Normset(nullptr, nullptr) {}
    void CreatePart(const std::wstring&) override {}
    void CreateSpcPart() override {}
    bool Positioning() override { return false; }
    std::wstring Measure() override { return {}; }
    std::wstring SelectParams() override { return {}; }
};

// Finds the names of its type's list; type 1 has its own list.
class TestFinder : public Finder {
public:
    TestFinder(Normset* controller, std::vector<std::vector<std::wstring>> byType, Log& log, int* alive = nullptr,
               IVel7Application* app7 = nullptr)
        : Finder(nullptr, controller), byType_(std::move(byType)), log_(log), alive_(alive), app7_(app7)
    {
    }
    void ReplaceAllNMObj() override { ReplaceAll(L"TestFinder::ReplaceAllNMObj", app7_); }
    void FindNMObjs(uint32_t type, bool) override
    {
        for (const std::wstring& name : byType_.at(type))
            AddNMObj(std::make_unique<Listed>(name, log_, alive_));
    }
    void GetNMObjUniqNames(uint32_t) override
    {
        for (const auto& object : NMObjs)
            NMObjsUniqNames.push_back(object->NM_Name);
        SortUniqNames();
    }

private:
    std::vector<std::vector<std::wstring>> byType_;
    Log& log_;
    int* alive_;
    IVel7Application* app7_;
};

std::vector<std::wstring> Names(const std::vector<NMObject*>& objects)
{
    std::vector<std::wstring> names;
    for (const NMObject* object : objects)
        names.push_back(object->NM_Name);
    return names;
}

} // namespace

TEST(Finder, StepsWrapUnselectingFirstAndAnEmptyListIsLeftAlone)
{
    Log log;
    TestController controller;
    TestFinder finder(&controller, {{L"b", L"a", L"b", L"c", L"b"}}, log);
    finder.ChangeNMObjType(0, false);
    EXPECT_EQ(finder.NMObjsUniqNames, (std::vector<std::wstring>{L"a", L"b", L"c"}));
    EXPECT_EQ(finder.FilterName, L"a");
    finder.ChangeNMFilter(L"b");
    ASSERT_EQ(finder.FilteredCount(), 3u);
    EXPECT_EQ(finder.NMObjsFlt[1], finder.NMObjs[2].get()) << "found-list order";
    log.clear();
    finder.PrevNMObj();
    EXPECT_EQ(finder.Index, 2u);
    finder.NextNMObj();
    EXPECT_EQ(finder.Index, 0u);
    EXPECT_EQ(log, (Log{L"unselect b", L"unselect b"}));
    finder.Index = 2;
    finder.DelNMObj();
    EXPECT_EQ(finder.Index, 0u) << "deleting the last entry";
    EXPECT_EQ(finder.FilteredCount(), 2u);

    finder.ChangeNMFilter(L"no such name");
    log.clear();
    finder.NextNMObj();
    finder.PrevNMObj();
    finder.DelNMObj();
    finder.SetNMObj(finder.NMObjs[0].get());
    finder.SelectNMObject();
    finder.ReplaceOneNMObj();
    EXPECT_EQ(finder.GetNMObj(), nullptr);
    EXPECT_EQ(finder.Index, 0u);
    EXPECT_EQ(finder.FilteredCount(), 0u);
    EXPECT_EQ(finder.Action, FindLeave);
    EXPECT_EQ(log, Log{});
}

TEST(Finder, ATypeChangeKeepsANameStillFoundElseTakesTheFirstAndForgetsTheReplacement)
{
    Log log;
    TestController controller;
    TestFinder finder(&controller, {{L"b", L"a"}, {L"c", L"b"}, {}}, log);
    finder.ChangeNMObjType(0, false);
    finder.ChangeNMFilter(L"b");
    controller.CurrentPart = std::make_unique<Listed>(L"part", log);
    finder.ChangeNMObjType(1, false);
    EXPECT_EQ(finder.FilterName, L"b");
    EXPECT_EQ(Names(finder.NMObjsFlt), std::vector<std::wstring>{L"b"});
    EXPECT_FALSE(finder.IsPartExists());
    EXPECT_EQ(finder.GetPartName(), L"");
    finder.ChangeNMFilter(L"c");
    finder.ChangeNMObjType(0, false);
    EXPECT_EQ(finder.FilterName, L"a");
    finder.ChangeNMObjType(2, false);
    EXPECT_EQ(finder.FilterName, L"");
    EXPECT_TRUE(finder.NMObjs.empty());
    EXPECT_TRUE(finder.NMObjsUniqNames.empty());
}

TEST(Finder, AReplacementKeepsTheListsInStepWithTheDocument)
{
    struct Row {
        const char* what;
        std::vector<std::wstring> found;
        std::optional<std::wstring> result;
        std::vector<std::wstring> names;       // afterwards
        std::wstring filter;
        std::vector<std::wstring> filtered;
        uint64_t index;
        std::vector<std::wstring> byResult;    // a new filter on the result's name
        bool unselectFails = false;            // the result's highlight cannot be taken off
    };
    const Row rows[] = {
        {"same name: the next entry", {L"a", L"b", L"a"}, L"a", {L"a", L"b"}, L"a", {L"a", L"a"}, 1, {L"a", L"a"}},
        {"another name, more of the old one", {L"a", L"a", L"b"}, L"c", {L"a", L"b", L"c"}, L"a", {L"a"}, 0, {L"c"}},
        {"the last of its name", {L"b", L"c"}, L"a", {L"a", L"c"}, L"a", {}, 0, {L"a"}},
        {"the result's name is found already", {L"b", L"c", L"a"}, L"c", {L"a", L"c"}, L"c", {}, 0, {L"c", L"c"}},
        {"no object over the result", {L"b", L"c"}, std::nullopt, {L"c"}, L"c", {}, 0, {}},
        {"same name, the result's highlight stays", {L"a", L"b", L"a"}, L"a", {L"a", L"b"}, L"a", {L"a", L"a"}, 0, {L"a", L"a"}, true},
    };
    for (const Row& row : rows) {
        Log log;
        int alive = 0;
        TestController controller;
        {
            TestFinder finder(&controller, {row.found}, log, &alive);
            finder.ChangeNMObjType(0, false);
            finder.ChangeNMFilter(row.found.front());
            auto part = std::make_unique<Listed>(L"part", log, &alive);
            part->result = row.result;
            part->resultUnselectFails = row.unselectFails;
            controller.CurrentPart = std::move(part);
            log.clear();
            bool failed = false;
            try {
                finder.ReplaceOneNMObj();
            } catch (const std::wstring&) {
                failed = true;
            }
            EXPECT_EQ(failed, row.unselectFails) << row.what;
            for (NMObject* listed : finder.NMObjsFlt)
                EXPECT_TRUE(std::any_of(finder.NMObjs.begin(), finder.NMObjs.end(), [&](const auto& owned) { return owned.get() == listed; }))
                    << row.what << ": every filtered object is one the finder owns";
            EXPECT_EQ(log.at(1), L"bind to " + row.found.front()) << row.what << ": unselected first";
            EXPECT_EQ(finder.Action, FindReplaced) << row.what;
            EXPECT_EQ(finder.NMObjsUniqNames, row.names) << row.what;
            EXPECT_EQ(finder.FilterName, row.filter) << row.what;
            EXPECT_EQ(Names(finder.NMObjsFlt), row.filtered) << row.what;
            EXPECT_EQ(finder.Index, row.index) << row.what;
            EXPECT_EQ(alive, static_cast<int>(row.found.size() + (row.result ? 1 : 0))) << row.what << ": the old object is deleted";
            if (row.result && !row.unselectFails) {
                finder.ChangeNMFilter(*row.result);
                EXPECT_EQ(Names(finder.NMObjsFlt), row.byResult) << row.what;
            }
        }
        EXPECT_EQ(alive, 1) << row.what << ": the finder deletes what it found";
    }
}

class FinderReplaceAll : public sim::StandInTest {};

TEST_F(FinderReplaceAll, CountsWhatItReplacedAndAFailureLeavesWithTheWindowClosed)
{
    struct Row {
        std::vector<std::wstring> found;
        int failOn;                              // the replacement that throws; 0 none
        std::vector<std::wstring> messages;
        std::vector<std::wstring> names;         // found afterwards
    };
    const Row rows[] = {
        {{}, 0, {L"Просмотр документа завершен. Выполнено замен: 0 из 0."}, {}},
        {{L"a", L"a", L"a"}, 0, {L"Просмотр документа завершен. Выполнено замен: 3 из 3."}, {L"b"}},
        {{L"a", L"a", L"a"}, 2, {}, {L"a", L"b"}},
    };
    for (const Row& row : rows) {
        velmar().User().Clear();
        Log log;
        TestController controller;
        TestFinder finder(&controller, {row.found}, log, nullptr, velmar().App7().As<IVel7Application>());
        finder.ChangeNMObjType(0, false);
        auto part = std::make_unique<Listed>(L"part", log);
        part->result = L"b";
        part->failOn = row.failOn;
        controller.CurrentPart = std::move(part);
        TraceLog trace(L"ROOT", false);
        bool left = false;
        try {
            finder.ReplaceAllNMObj();
        } catch (const std::wstring&) {
            left = true;
        }
        EXPECT_EQ(left, row.failOn != 0);
        std::vector<std::wstring> messages;
        for (const sim::Question& question : velmar().User().Questions())
            messages.push_back(question.text);
        EXPECT_EQ(messages, row.messages);
        EXPECT_EQ(finder.NMObjsUniqNames, row.names);
        EXPECT_EQ(ProgressWnd::Current(), nullptr);
    }
}
