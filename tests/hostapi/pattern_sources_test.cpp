// The source lists of arrays: rewriting one with its switch off and on again, which arrays follow a
// macro, and which of a document's arrays hold given parts.
#include "hostapi/pattern_sources.h"

#include "sim/pattern_model.h"
#include "sim/stand_in_test.h"

#include <gtest/gtest.h>

using Names = std::vector<std::string>;

namespace {

class PatternSources : public sim::StandInTest {
protected:
    void TearDown() override
    {
        patterns_.reset();
        StandInTest::TearDown();
    }

    IDispatchPtr Object(const std::string& name)
    {
        return velmar().NewObject(name)->Ptr();
    }
    static IVel7PatternPtr Of(sim::Pattern& pattern) { return pattern.v7->As<IVel7Pattern>(); }
    static ObjArray List(std::initializer_list<IDispatchPtr> objects)
    {
        ObjArray list;
        list.assign(objects.begin(), objects.end());
        return list;
    }

    sim::Document& document_ = velmar().OpenDocument(5);
    std::unique_ptr<sim::Patterns> patterns_ = std::make_unique<sim::Patterns>(velmar(), document_);
};

} // namespace

TEST_F(PatternSources, TheListIsRewrittenWithTheSwitchOffAndOnAgain)
{
    const IDispatchPtr a = Object("a"), b = Object("b"), c = Object("c");
    sim::Pattern& array = patterns_->Add("array", {a, b, a});
    ReplacePartInPattern(Of(array), List({c}), List({a, Object("absent")}));
    EXPECT_EQ(sim::Patterns::SourceNames(array), (Names{"b", "a", "c"}));
    EXPECT_EQ(array.switchWhenWritten, std::vector<bool>{false});
    EXPECT_TRUE(array.following);
    EXPECT_EQ(array.updates, 1);

    // Removing what the list does not hold still writes it back and updates the array; one that did not
    // follow its sources is left so.
    array.following = false;
    journal().Clear();
    ReplacePartInPattern(Of(array), {}, List({Object("absent")}));
    EXPECT_EQ(sim::Patterns::SourceNames(array), (Names{"b", "a", "c"}));
    EXPECT_FALSE(array.following);
    EXPECT_EQ(journal().Lines(), (std::vector<std::string>{"array#19(&)", "arrayParam#12(&)", "array#21(&)", "array#20(array(3))", "array#15(&)"}));

    // A failed write or update still switches it back on.
    for (const char* failing : {"array#20", "array#15"}) {
        array.following = true;
        velmar().Faults().FailMember(failing, E_FAIL, 1);
        EXPECT_EQ(sim::CaughtHostError([&] { ReplacePartInPattern(Of(array), List({a}), {}); }).Error(), E_FAIL) << failing;
        EXPECT_TRUE(array.following) << failing;
    }
}

TEST_F(PatternSources, AnArrayFollowsAMacroUnlessItsSourceIsAnEntityOfAnotherType)
{
    struct Row {
        bool source;
        long type, modelType;
        bool macro;
    };
    for (const Row& row : {Row{false, 105, 63, false}, Row{true, 104, 7, true}, Row{true, 105, 63, true}, Row{true, 105, 7, false}}) {
        sim::Pattern& array = patterns_->Add("array", {});
        if (!row.source)
            patterns_->DropSource(array);
        array.sourceType = row.type;
        array.sourceModelType = row.modelType;
        EXPECT_EQ(IsMacroPatternSource(array.v7->Ptr()), row.macro) << row.source << " " << row.type << " " << row.modelType;
    }
}

TEST_F(PatternSources, TheDocumentsArraysAreListedOnceForEachPartTheyHold)
{
    sim::Part& first = velmar().AddPart("first");
    sim::Part& second = velmar().AddPart("second");
    sim::Pattern& both = patterns_->Add("both", {first.V7().Ptr(), second.V7().Ptr()});
    sim::Pattern& notMacro = patterns_->Add("notMacro", {first.V7().Ptr()});
    notMacro.sourceModelType = 7;
    patterns_->Add("other", {Object("x")});
    const ObjArray found = ReplacePartInPatternsAPI7(document_.V7().As<IVel7Document3D>(),
                                                     List({first.V7().Ptr(), second.V7().Ptr(), Object("noPart")}));
    Names names;
    for (const IDispatchPtr& pattern : found)
        names.push_back(sim::Object::From(pattern)->Name());
    EXPECT_EQ(names, (Names{"both", "both"}));

    // Entries that are no arrays are passed over.
    ReplacePartInPatterns(List({Object("noArray"), both.v7->Ptr()}), List({Object("new")}), List({first.V7().Ptr()}));
    EXPECT_EQ(sim::Patterns::SourceNames(both), (Names{"second7", "new"}));
}
