// The stand-ins of the maker's utility classes, created as the library creates them.
#include "sim/utility_classes.h"

#include "hostapi/utility_objects.h"
#include "hostapi/vtable_call.h"
#include "sim/stand_in_test.h"

#include <gtest/gtest.h>

using Lines = std::vector<std::string>;

namespace {

class UtilityClasses : public sim::StandInTest {
protected:
    void TearDown() override
    {
        classes_.reset();
        StandInTest::TearDown();
    }

    template <class I>
    HostPtr<I> Create(const CLSID& clsid)
    {
        IUnknownPtr object;
        EXPECT_EQ(CoCreateInstance(clsid, nullptr, 0x17, IID_IUnknown, reinterpret_cast<void**>(&object)), S_OK);
        EXPECT_EQ(OleRun(object), S_OK);
        return QueryHost<I>(object);
    }

    std::unique_ptr<sim::UtilityClasses> classes_ = std::make_unique<sim::UtilityClasses>(velmar().GetSession());
};

} // namespace

TEST_F(UtilityClasses, RAZadiGivesBackWhatTheScriptWroteUntilReset)
{
    IRAZadiPtr razadi = Create<IRAZadi>(CLSID_RAZadi);
    ASSERT_EQ(classes_->RAZadiObjects().size(), 1u);
    sim::UtilityClasses::AppendText(*classes_->RAZadiObjects()[0], L"L=50\r\n");
    sim::UtilityClasses::AppendText(*classes_->RAZadiObjects()[0], L"D=10\r\n");
    EXPECT_EQ(std::wstring(V7Get(razadi, &IRAZadi::get_Text)), L"L=50\r\nD=10\r\n");
    V7Call(razadi, &IRAZadi::Reset);
    EXPECT_EQ(std::wstring(V7Get(razadi, &IRAZadi::get_Text)), L"");
    EXPECT_EQ(journal().Lines(), (Lines{"razadi#26(&)", "razadi#27()", "razadi#26(&)"}));
}

TEST_F(UtilityClasses, AnItemListKeepsItsItemsInOrderNullIncluded)
{
    IItemListPtr list = Create<IItemList>(CLSID_ItemList);
    sim::Part& bolt = velmar().AddPart("bolt");
    V7Call(list, &IItemList::Add, bolt.V5().Primary());
    V7Call(list, &IItemList::Add, static_cast<IDispatch*>(nullptr));
    EXPECT_EQ(V7Get(list, &IItemList::get_Count), 2);
    EXPECT_EQ(sim::Object::From(V7Get(list, &IItemList::Item, 0L)), &bolt.V5());
    EXPECT_EQ(V7Get(list, &IItemList::Item, 1L), nullptr);
    EXPECT_THROW(V7Get(list, &IItemList::Item, 2L), _com_error);
    EXPECT_EQ(classes_->ItemsOf(0).size(), 2u);
    EXPECT_EQ(journal().LinesOf("itemList").front(), "itemList#8(bolt5)");
}
