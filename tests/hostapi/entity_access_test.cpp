// The walk of a host collection and the reads every geometry query starts from.
#include "hostapi/entity_access.h"

#include "sim/geometry_test.h"

#include <gtest/gtest.h>

using Lines = std::vector<std::string>;

namespace {

class EntityAccess : public sim::GeometryTest {
protected:
    // A collection answering its items in turn (a null entry answers empty), then empty.
    sim::ObjectRef Collection(std::vector<sim::Object*> items)
    {
        auto collection = velmar().NewObject("items");
        auto next = std::make_shared<size_t>(0);
        auto at = [items, next](sim::Args&) {
            sim::Object* item = *next < items.size() ? items[*next] : nullptr;
            ++*next;
            return item ? _variant_t(item->Primary()) : _variant_t();
        };
        collection->Method(3, 0, [next, at](sim::Args& args) {
            *next = 0;
            return at(args);
        });
        collection->Method(5, 0, at);
        return collection;
    }
    static std::vector<std::string> Names(const std::vector<IDispatch*>& items)
    {
        std::vector<std::string> names;
        for (IDispatch* item : items)
            names.push_back(sim::Object::From(item)->Name());
        return names;
    }
};

} // namespace

TEST_F(EntityAccess, AWalkEndsAtTheFirstMissingItem)
{
    auto a = velmar().NewObject("a");
    auto b = velmar().NewObject("b");
    auto c = velmar().NewObject("c");
    auto items = Collection({a.get(), b.get(), nullptr, c.get()});
    std::vector<IDispatch*> seen;
    WalkHostItems(items->Ptr(), [&](IDispatch* item) {
        seen.push_back(item);
        return true;
    });
    EXPECT_EQ(Names(seen), (Lines{"a", "b"}));
    EXPECT_EQ(journal().Lines(), (Lines{"items.3()", "items.5()", "items.5()"}));
}

TEST_F(EntityAccess, AWalkStopsWhenTheVisitorHasWhatItWanted)
{
    auto a = velmar().NewObject("a");
    auto b = velmar().NewObject("b");
    auto items = Collection({a.get(), b.get()});
    int visits = 0;
    WalkHostItems(items->Ptr(), [&](IDispatch*) { return ++visits < 1; });
    EXPECT_EQ(visits, 1);
    EXPECT_EQ(journal().Lines(), (Lines{"items.3()"}));
}

TEST_F(EntityAccess, ANullCollectionIsEmptyAndAFailingStepRaises)
{
    WalkHostItems(nullptr, [](IDispatch*) {
        ADD_FAILURE() << "visited";
        return true;
    });
    auto a = velmar().NewObject("a");
    auto items = Collection({a.get(), a.get()});
    velmar().Faults().FailMember("items.5", E_UNEXPECTED);
    EXPECT_EQ(sim::CaughtHostError([&] { WalkHostItems(items->Ptr(), [](IDispatch*) { return true; }); }).Error(), E_UNEXPECTED);
}

TEST_F(EntityAccess, TheMacroOfAFeatureItemIsItsEntityAndOtherItemsHaveNone)
{
    sim::GeoEntity& element = geometry().AddMacro("element", nullptr);
    EXPECT_EQ(sim::Object::From(MacroOfFeatureItem(element.Feature().Ptr())), &element.V5());
    EXPECT_EQ(MacroOfFeatureItem(velmar().AddPart("part").V5().Ptr()), nullptr);   // no feature at all
    EXPECT_EQ(MacroOfFeatureItem(velmar().AddPart("other").Feature().Ptr()), nullptr);   // a part's feature
    EXPECT_EQ(MacroOfFeatureItem(nullptr), nullptr);
    EXPECT_EQ(GetEntityType(element.Entity()), 63);
}
