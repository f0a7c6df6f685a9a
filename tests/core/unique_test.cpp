// The one owner type: what it holds is freed on every way out, once, and handed over on a move or a
// release.
#include "core/unique.h"

#include "test_dispatch.h"

#include <gtest/gtest.h>

#include <utility>

namespace {

bool IsOpen(HANDLE handle)
{
    DWORD flags = 0;
    return GetHandleInformation(handle, &flags) != FALSE;
}

HANDLE NewEvent()
{
    return CreateEventW(nullptr, TRUE, FALSE, nullptr);
}

} // namespace

TEST(Unique, HandlesAreClosedOnceAndFollowTheirOwner)
{
    HANDLE raw = NewEvent();
    {
        UniqueHandle first(raw);
        UniqueHandle second(std::move(first));
        EXPECT_FALSE(first);
        EXPECT_EQ(second.get(), raw);
        EXPECT_TRUE(IsOpen(raw));
    }
    EXPECT_FALSE(IsOpen(raw));

    UniqueHandle kept(NewEvent());
    HANDLE released = kept.release();
    kept.reset();
    EXPECT_TRUE(IsOpen(released));
    CloseHandle(released);

    // A file's empty value is INVALID_HANDLE_VALUE: a failed open is nothing to close.
    UniqueFile missing(CreateFileW(L"Z:\\no\\such\\file", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    EXPECT_FALSE(missing);
}

TEST(Unique, VariantsReleaseWhatTheyHoldWhenRefilledOrLeft)
{
    testsupport::TestDispatch object;
    const long own = object.References();
    {
        UniqueVariant value;
        V_VT(value.put()) = VT_DISPATCH;
        V_DISPATCH(&value.get()) = &object;
        object.AddRef();
        EXPECT_EQ(object.References(), own + 1);
        value.put();   // an out parameter refills it: the old content goes first
        EXPECT_EQ(object.References(), own);
        V_VT(value.put()) = VT_DISPATCH;
        V_DISPATCH(&value.get()) = &object;
        object.AddRef();
    }
    EXPECT_EQ(object.References(), own);
}

TEST(Unique, ExcepInfoAndBstrOwnTheirTexts)
{
    UniqueExcepInfo info;
    EXPECT_FALSE(info);
    info.put()->bstrDescription = SysAllocString(L"описание");
    EXPECT_TRUE(info);
    UniqueExcepInfo moved(std::move(info));
    EXPECT_FALSE(info);
    EXPECT_STREQ(moved.get().bstrDescription, L"описание");
    moved.reset();
    EXPECT_EQ(moved.get().bstrDescription, nullptr);

    UniqueBstr text(SysAllocString(L"abc"));
    _bstr_t taken(text.release(), false);
    EXPECT_FALSE(text);
    EXPECT_EQ(taken, _bstr_t(L"abc"));
}
