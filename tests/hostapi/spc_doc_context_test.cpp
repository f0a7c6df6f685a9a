// The specification chain of the active document and the version-7 objects of 2D references.
#include "hostapi/spc_doc_context.h"

#include "sim/stand_in_test.h"

#include <gtest/gtest.h>

using Lines = std::vector<std::string>;

namespace {

class SpcContext : public sim::StandInTest {
protected:
    SpcDocContext Context()
    {
        SpcDocContext context;
        context.iApp5 = velmar().App5().As<IVel5Application>();
        context.iApp7 = velmar().App7().As<IVel7Application>();
        return context;
    }
    static sim::Object* Of(IUnknown* member) { return sim::Object::From(member); }
};

} // namespace

TEST_F(SpcContext, HostsBelow1500TakeTheActiveDescriptionFromPosition16)
{
    UseVelmar({14, 9, 9, 0});
    sim::Document& doc = velmar().OpenDocument(5);
    SpcDocContext context = Context();
    context.Refresh(true);
    EXPECT_TRUE(context.IsComplete());
    EXPECT_EQ(Of(context.iSpcDsc), &doc.SpcDescription());
    EXPECT_EQ(journal().Lines(), (Lines{"app7#19(&)", "doc7#26(&)", "app5.50(&,&,&,&)", "spcDscs#16(&)", "spcDsc#24(&)",
                                        "spcDsc#21(&)", "spcSub#19(&)", "spcSub#20(&)"}));
}

TEST_F(SpcContext, HostsFrom1500TakeItFromPosition17)
{
    UseVelmar({15, 0, 0, 0});
    sim::Document& doc = velmar().OpenDocument(2);
    SpcDocContext context = Context();
    context.Refresh(false);
    EXPECT_TRUE(context.IsComplete());
    EXPECT_EQ(Of(context.iSpcDscs), &doc.SpcDescriptions());
    EXPECT_EQ(Of(context.iSpcObjs), &doc.SpcObjects());
    EXPECT_EQ(Of(context.iSpcDscSub), &doc.SpcDescriptionSub());
    EXPECT_EQ(Of(context.iSpcDscSubA)->Name(), "spcColsA");
    EXPECT_EQ(Of(context.iSpcDscSubB)->Name(), "spcColsB");
    EXPECT_EQ(journal().Count("spcDscs#17(&)"), 1u);
    EXPECT_EQ(journal().Count("spcDscs#16(&)"), 0u);
}

TEST_F(SpcContext, AMissingDescriptionIsNotCreatedUnlessAskedFor)
{
    velmar().OpenDocument(2).SetSpcDescription(false);
    SpcDocContext context = Context();
    context.Refresh(false);
    EXPECT_NE(context.iSpcDscs, nullptr);
    EXPECT_EQ(context.iSpcDsc, nullptr);
    EXPECT_EQ(context.iSpcObjs, nullptr);
    EXPECT_FALSE(context.IsComplete());
    EXPECT_EQ(journal().Lines().back(), "spcDscs#17(&)");
}

TEST_F(SpcContext, AMissingDescriptionIsCreatedWithEmptyTextsAndZero)
{
    sim::Document& doc = velmar().OpenDocument(5);
    doc.SetSpcDescription(false);
    SpcDocContext context = Context();
    context.Refresh(true);
    EXPECT_TRUE(context.IsComplete());
    EXPECT_EQ(journal().Count("spcDscs#14(\"\",0,\"\",&)"), 1u);
    EXPECT_EQ(journal().Count("app5.16()"), 0u);
}

TEST_F(SpcContext, ADescriptionVelmarWillNotCreateMakesTheApplicationRefresh)
{
    sim::Document& doc = velmar().OpenDocument(5);
    doc.SetSpcDescription(false);
    doc.AllowSpcDescriptionCreation(false);
    SpcDocContext context = Context();
    context.Refresh(true);
    EXPECT_FALSE(context.IsComplete());
    EXPECT_EQ(context.iSpcDsc, nullptr);
    const Lines lines = journal().Lines();
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[lines.size() - 2], "spcDscs#14(\"\",0,\"\",&)");
    EXPECT_EQ(lines.back(), "app5.16()");
}

TEST_F(SpcContext, NothingHappensWithoutBothApplications)
{
    velmar().OpenDocument(5);
    SpcDocContext context;
    context.iApp7 = velmar().App7().As<IVel7Application>();
    context.Refresh(true);
    EXPECT_TRUE(journal().Lines().empty());
    EXPECT_FALSE(context.IsComplete());
}

TEST_F(SpcContext, ARefreshAfterTheDocumentWentAwayForgetsTheOldChain)
{
    velmar().OpenDocument(5);
    SpcDocContext context = Context();
    context.Refresh(true);
    ASSERT_TRUE(context.IsComplete());

    velmar().Activate(nullptr);
    context.Refresh(true);
    EXPECT_FALSE(context.IsComplete());
    EXPECT_EQ(context.iSpcDscs, nullptr);
    EXPECT_EQ(context.iSpcDscSubB, nullptr);
    EXPECT_NE(context.iApp5, nullptr);
}

TEST_F(SpcContext, AFailingHostCallRaises)
{
    velmar().OpenDocument(5);
    velmar().Faults().FailMember("spcDsc#21", E_FAIL);
    SpcDocContext context = Context();
    EXPECT_THROW(context.Refresh(true), _com_error);
}

TEST_F(SpcContext, ReferenceZeroGivesAnEmptyListWithoutAHostCall)
{
    EXPECT_TRUE(GetSpcObjectAt(velmar().App5().As<IVel5Application>(), 0).empty());
    EXPECT_TRUE(journal().Lines().empty());
}

TEST_F(SpcContext, AReferenceGivesItsVersionSevenObject)
{
    sim::Object& leader = velmar().AddDrawingObject(4711, "leader");
    const ObjArray list = GetSpcObjectAt(velmar().App5().As<IVel5Application>(), 4711);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(sim::Object::From(list[0]), &leader);
    EXPECT_EQ(journal().Lines(), (Lines{"app5.112(4711,0)"}));
}

TEST_F(SpcContext, AReferenceWithoutSuchAnObjectGivesAnEmptyList)
{
    EXPECT_TRUE(GetSpcObjectAt(velmar().App5().As<IVel5Application>(), 12).empty());
    auto other = velmar().NewObject("other");
    velmar().App5().Method(IVel5Application::SpcObjectAt, 2, [&](sim::Args&) { return _variant_t(other->Primary()); });
    EXPECT_TRUE(GetSpcObjectAt(velmar().App5().As<IVel5Application>(), 12).empty());
}
