// The arrays of a replaced constructive element: a placeholder keeps them while the element is rebuilt,
// the new element takes its place, a faulty array refuses the replace before anything changes, and no
// fault leaves an array without the element or its placeholder.
#include "insert3d/array_keeper.h"

#include "hostapi/dispatch_call.h"
#include "objects/elem_3d_stand_in.h"
#include "sim/construction_model.h"
#include "sim/pattern_model.h"
#include "support/host_fault_sweep.h"

#include <gtest/gtest.h>

#include <memory>

using Names = std::vector<std::string>;

namespace {

class Arrays : public elem3d_test::Elem3DStandIn {
protected:
    void SetUp() override
    {
        Open();
        made_ = std::make_unique<sim::Construction>(velmar(), *document_, *top_);
        patterns_ = std::make_unique<sim::Patterns>(velmar(), *document_);
        geometry_->Shape(*top_).objects[1] = {&geometry_->AddPlane("basePlane", top_, 1)};
        old_ = &AddElement("old");
        other_ = &AddElement("other");
        top_->V5().Value(IVel5Part::RebuildFlag) = true;
    }
    void TearDown() override
    {
        patterns_.reset();
        made_.reset();
        Elem3DStandIn::TearDown();
    }

    std::unique_ptr<ArrayKeeper> Keep()
    {
        return std::make_unique<ArrayKeeper>(App5(), document_->V5().As<IVel5Document3D>(), document_->V7().As<IVel7Document3D>(),
                                             old_->Entity(), std::vector<IDispatchPtr>{old_->Feature().Ptr()}, L"Отверстие");
    }
    // What the owner does between: the old element goes, a new one is built and listed.
    void Rebuild(ArrayKeeper& keeper, const std::string& name)
    {
        V5Method(document_->V5().As<IVel5Document3D>(), IVel5Document3D::DeleteObject, old_->V5().Ptr());
        keeper.NewElements.push_back(AddElement(name).Feature().Ptr());
    }

    std::unique_ptr<sim::Construction> made_;
    std::unique_ptr<sim::Patterns> patterns_;
    sim::GeoEntity* old_ = nullptr;
    sim::GeoEntity* other_ = nullptr;
};

} // namespace

TEST_F(Arrays, AnElementInNoArrayGetsNoPlaceholder)
{
    patterns_->Add("array", {other_->V7().Ptr()});
    {
        auto keeper = Keep();
        EXPECT_EQ(keeper->ArrayCount(), 0u);
        EXPECT_EQ(sim::Object::From(keeper->GuardObject()), &old_->V5());
        Rebuild(*keeper, "new");
        journal().Clear();
    }
    EXPECT_EQ(made_->LiveCount(), 0u);
    EXPECT_EQ(journal().Lines(), Names{});
}

TEST_F(Arrays, TheNewElementTakesTheOldOnesPlaceInEveryArrayAndThePlaceholderGoes)
{
    sim::Pattern& first = patterns_->Add("array1", {other_->V7().Ptr(), old_->V7().Ptr()});
    sim::Pattern& second = patterns_->Add("array2", {old_->V7().Ptr()});
    sim::Pattern& unrelated = patterns_->Add("array3", {other_->V7().Ptr()});
    {
        auto keeper = Keep();
        EXPECT_EQ(keeper->ArrayCount(), 2u);
        sim::MadeEntity* extrusion = made_->EntityOf(keeper->GuardObject());
        ASSERT_TRUE(extrusion);
        sim::MadeEntity* sketch = made_->EntityOf(extrusion->Given(IVel5ExtrusionDefinition::Sketch)->Primary());
        ASSERT_TRUE(sketch && sketch->Alive() && extrusion->Alive());
        EXPECT_EQ(sketch->Given(IVel5SketchDefinition::SetPlane)->Name(), "basePlane5");
        ASSERT_EQ(sketch->objects.size(), 1u);
        EXPECT_EQ(sketch->objects[0].radius, 0.01);
        EXPECT_EQ(extrusion->definition->Double(IVel5ExtrusionDefinition::Depth), 0.01);
        EXPECT_EQ(sim::Patterns::SourceNames(second), (Names{"old7", "extrusion1v7"}));
        Rebuild(*keeper, "new");
        // While the element is gone the placeholder keeps the arrays; one of them is laid along it.
        EXPECT_EQ(sim::Patterns::SourceNames(second), (Names{"extrusion1v7"}));
        first.base = sketch->v5->Ptr();
    }
    EXPECT_EQ(sim::Patterns::SourceNames(first), (Names{"other7", "new7"}));
    EXPECT_EQ(sim::Patterns::SourceNames(second), (Names{"new7"}));
    EXPECT_EQ(sim::Patterns::SourceNames(unrelated), (Names{"other7"}));
    EXPECT_EQ(sim::Object::From(first.base)->Name(), "newFeature");
    EXPECT_EQ(first.rebuilds, 1);
    EXPECT_EQ(second.rebuilds, 0);
    EXPECT_EQ(made_->LiveCount(), 0u);
    EXPECT_TRUE(top_->V5().Bool(IVel5Part::RebuildFlag));
}

TEST_F(Arrays, AFaultyArrayRefusesTheReplaceBeforeAnythingChanges)
{
    patterns_->Add("array1", {old_->V7().Ptr()});
    sim::Pattern& faulty = patterns_->Add("array2", {old_->V7().Ptr()});
    faulty.ok = false;
    try {
        Keep();
        ADD_FAILURE() << "the replace was not refused";
    } catch (const _bstr_t& warning) {
        EXPECT_EQ(std::wstring(warning),
                  L"Вы не можете отредактировать элемент \"Отверстие\", так как он входит в массив \"array2\", содержащий ошибки.");
    }
    EXPECT_EQ(made_->LiveCount(), 0u);
    for (const auto& line : journal().Lines())
        EXPECT_EQ(line.find("#20("), std::string::npos) << line;
}

TEST_F(Arrays, WithoutANewElementThePlaceholderStaysInTheArrays)
{
    sim::Pattern& array = patterns_->Add("array", {old_->V7().Ptr()});
    {
        auto keeper = Keep();
        V5Method(document_->V5().As<IVel5Document3D>(), IVel5Document3D::DeleteObject, old_->V5().Ptr());
    }
    EXPECT_EQ(sim::Patterns::SourceNames(array), (Names{"extrusion1v7"}));
    EXPECT_EQ(made_->LiveCount(), 2u);
}

TEST_F(Arrays, NoFaultLeavesAnArrayWithoutTheElementOrItsPlaceholder)
{
    std::vector<sim::Pattern*> arrays;
    int run = 0;
    bool kept = false;
    test_support::SweepHostCalls(
        velmar(),
        [&] {
            const std::string name = "new" + std::to_string(++run);
            old_ = &AddElement("old" + std::to_string(run));
            made_->ForgetLeftovers();
            top_->V5().Value(IVel5Part::RebuildFlag) = true;
            patterns_ = std::make_unique<sim::Patterns>(velmar(), *document_);
            arrays = {&patterns_->Add("first" + std::to_string(run), {other_->V7().Ptr(), old_->V7().Ptr()}),
                      &patterns_->Add("second" + std::to_string(run), {old_->V7().Ptr()})};
            kept = false;
            return [this, name, &kept] {
                auto keeper = Keep();
                kept = true;
                Rebuild(*keeper, name);
            };
        },
        [&](const test_support::SweptFailure& failure) {
            // Each array holds the old element, the new one or the placeholder (which stays beside the old
            // element when the replace failed before the old one went); the placeholder is in the part
            // exactly while an array holds it.
            bool placeholderHeld = false;
            for (sim::Pattern* array : arrays) {
                bool placeholder = false, element = false, replaced = false;
                for (const IDispatchPtr& source : array->sources) {
                    const std::string name = sim::Object::From(source)->Name();
                    placeholder = placeholder || made_->EntityOf(source) != nullptr;
                    element = element || name.rfind("old", 0) == 0;
                    replaced = replaced || name.rfind("new", 0) == 0;
                }
                EXPECT_TRUE(placeholder || element || replaced) << array->name;
                EXPECT_FALSE(replaced && (placeholder || element)) << array->name;
                placeholderHeld = placeholderHeld || placeholder;
            }
            if (failure.raised || placeholderHeld) {
                EXPECT_EQ(made_->LiveCount() != 0, placeholderHeld);
            }
            // A keeper that could not be made leaves the part as it found it.
            if (!kept) {
                EXPECT_FALSE(placeholderHeld);
            }
            if (failure.raised || failure.call != "top5.43") {
                EXPECT_TRUE(top_->V5().Bool(IVel5Part::RebuildFlag));
            }
        },
        40);
}
