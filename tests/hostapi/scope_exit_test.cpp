// The restorers: one restoring call when the scope ends, on a normal exit and while an exception leaves it.
#include "hostapi/scope_exit.h"

#include "core/trace_log.h"
#include "sim/stand_in_test.h"

#include <gtest/gtest.h>

#include <stdexcept>

using Lines = std::vector<std::string>;

namespace {

class ScopeExit : public sim::StandInTest {
protected:
    // Runs `body` inside a scope that an exception leaves.
    template <class F>
    static void LeftByException(F&& body)
    {
        try {
            body();
            throw std::runtime_error("leave");
        } catch (const std::runtime_error&) {
        }
    }
};

} // namespace

TEST_F(ScopeExit, VersionSevenSwitchesAreSetOnLeaving)
{
    sim::Document& doc = velmar().OpenDocument(4);
    doc.V7().Value(52) = _variant_t(VARIANT_TRUE, VT_I2);
    auto item = velmar().NewObject("item");
    item->Face<IVel7Item>().Set<&IVel7Item::put_Current>(22);
    auto line = velmar().NewObject("auxLine");
    line->Face<IVel7AuxLineMode>().Set<&IVel7AuxLineMode::put_Mode>(7);

    LeftByException([&] {
        ScopeExitApi7Slot52Off edit(doc.V7().As<IVel7Document3D>());
        ScopeExitApi7Slot25Off application(velmar().App7().As<IVel7Application>());
        ScopeExitApi7Slot22On current(item->As<IVel7Item>());
        ScopeExitApi7Slot37On bulk(doc.SpcDescription().As<IVel7SpcDescription>());
        ScopeExitApi7Slot7 mode(line->As<IVel7AuxLineMode>());
        EXPECT_TRUE(journal().Lines().empty());
    });
    EXPECT_EQ(journal().Lines(), (Lines{"auxLine#7(2)", "spcDsc#37(-1)", "item#22(-1)", "app7#25(0)", "doc7#52(0)"}));
    EXPECT_FALSE(doc.V7().Bool(52));
    EXPECT_EQ(line->Long(7), 2);
}

TEST_F(ScopeExit, DispatchRestorersMakeTheirCallOnLeaving)
{
    sim::Document& drawing = velmar().OpenDocument(2, "drawing");
    sim::Document& model = velmar().OpenDocument(4, "model");
    sim::Part& bolt = velmar().AddPart("bolt");
    auto sketch = velmar().NewObject("sketch");
    sketch->Supports(__uuidof(IVel5SketchDefinition)).Returns(IVel5SketchDefinition::EndEdit, true);
    auto iterator = velmar().NewObject("iterator");
    iterator->Supports(__uuidof(IVel5Iterator)).Returns(IVel5Iterator::Close, 0L);
    auto temporary = velmar().NewObject("temporary");
    // Velmar may keep the temporary object: then the trace says so.
    model.RefuseDeletion([&](IUnknown* object) { return sim::Object::From(object) == temporary.get(); });
    TraceLog log(L"test", false);

    LeftByException([&] {
        ScopeExitDispid2 endEdit(sketch->As<IVel5SketchDefinition>());
        ScopeExitDispid9 close(iterator->As<IVel5Iterator>());
        ScopeExitDispid9 notArmed(iterator->As<IVel5Iterator>(), false);
        ScopeExitDispid38 highlight(drawing.V5().As<IVel5Document2D>(), 4711);
        ScopeExitDispid43 remove(model.V5().As<IVel5Document3D>(), temporary->Ptr());
        ScopeExitDispid42 rebuild(bolt.V5().As<IVel5Part>());
        ScopeExitDispid245 bracket(drawing.V5().As<IVel5Document2D>());
    });
    EXPECT_EQ(journal().Lines(), (Lines{"drawing5.245(false)", "bolt5.43=true", "bolt5.42(false)", "model5.43(temporary)",
                                        "drawing5.38(4711,0)", "iterator.9()", "sketch.2()"}));
    EXPECT_NE(log.Text().find(L"Velmar did not delete a temporary object"), std::wstring::npos) << log.Text();
}

TEST_F(ScopeExit, ClosingAModelGoesThroughItsVersionSevenFormThenRefreshes)
{
    sim::Document& model = velmar().OpenDocument(4, "model");
    { ScopeExitCloseModel close(model.V5().As<IVel5Document3D>(), velmar().App5().As<IVel5Application>()); }
    EXPECT_EQ(journal().Lines(), (Lines{"app5.108(model5,2,0)", "model7#13(0,&)", "app5.16()"}));
}

TEST_F(ScopeExit, AFailingCloseIsTracedAndTheRefreshStillHappens)
{
    sim::Document& model = velmar().OpenDocument(4, "model");
    velmar().Faults().FailMember("model7#13", E_FAIL);
    TraceLog log(L"test", false);
    { ScopeExitCloseModel close(model.V5().As<IVel5Document3D>(), velmar().App5().As<IVel5Application>()); }
    EXPECT_EQ(journal().Lines().back(), "app5.16()");
    EXPECT_NE(log.Text().find(L"~ScopeExitCloseModel: 0x80004005"), std::wstring::npos) << log.Text();
}

TEST_F(ScopeExit, ARestorerWithoutItsObjectTracesEPointer)
{
    TraceLog log(L"test", false);
    { ScopeExitDispid245 bracket(nullptr); }
    EXPECT_NE(log.Text().find(L"~ScopeExitDispid245: 0x80004003"), std::wstring::npos) << log.Text();
}

TEST_F(ScopeExit, TheEditingObjectOfASketchIsNullWhenItHasNone)
{
    sim::Document& drawing = velmar().OpenDocument(2, "drawing");
    auto sketch = velmar().NewObject("sketch");
    sketch->Supports(__uuidof(IVel5SketchDefinition)).Returns(IVel5SketchDefinition::BeginEdit, _variant_t(drawing.V5().Primary()));
    EXPECT_EQ(sim::Object::From(QueryDispid9Interface(sketch->As<IVel5SketchDefinition>())), &drawing.V5());

    auto other = velmar().NewObject("other");
    other->Supports(__uuidof(IVel5SketchDefinition)).Returns(IVel5SketchDefinition::BeginEdit, _variant_t(other->Primary()));
    EXPECT_EQ(QueryDispid9Interface(other->As<IVel5SketchDefinition>()), nullptr);
}
