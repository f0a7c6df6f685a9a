#include "core/mem_block.h"

#include <gtest/gtest.h>

#include <cstring>
#include <new>
#include <type_traits>

static_assert(!std::is_copy_constructible_v<MemChunk> && !std::is_copy_assignable_v<MemChunk>);
static_assert(std::has_virtual_destructor_v<MemChunk>);

TEST(MemBlock, FromAPathOfUpTo259CharactersKeepsATerminator)
{
    const std::wstring path(259, L'x');
    MemBlock block(path);
    EXPECT_EQ(block.Capacity(), 520u);
    EXPECT_EQ(std::wstring(block.As<wchar_t>()), path);
    EXPECT_EQ(block.As<wchar_t>()[259], L'\0');

    MemBlock empty(std::wstring{});
    EXPECT_EQ(empty.Capacity(), 520u);
    for (size_t i = 0; i < 260; ++i)
        ASSERT_EQ(empty.As<wchar_t>()[i], L'\0') << i;
}

TEST(MemBlock, FromAPathOf260CharactersOrMoreThrowsBadAlloc)
{
    EXPECT_THROW(MemBlock(std::wstring(260, L'x')), std::bad_alloc);
    EXPECT_THROW(MemBlock(std::wstring(1000, L'x')), std::bad_alloc);
}

TEST(MemBlock, ResizeKeepsTheContents)
{
    MemBlock block(4);
    std::memcpy(block.Data(), "abc", 4);
    block.Resize(100000);
    EXPECT_EQ(block.Capacity(), 100000u);
    EXPECT_STREQ(block.As<char>(), "abc");
    block.Resize(2);
    EXPECT_EQ(block.Capacity(), 2u);
    EXPECT_EQ(std::memcmp(block.Data(), "ab", 2), 0);
}

TEST(MemBlock, AnImpossibleSizeThrowsBadAllocAndKeepsTheBlock)
{
    EXPECT_THROW(MemBlock(SIZE_MAX / 2), std::bad_alloc);
    MemBlock block(8);
    std::memcpy(block.Data(), "kept", 5);
    EXPECT_THROW(block.Resize(SIZE_MAX / 2), std::bad_alloc);
    EXPECT_EQ(block.Capacity(), 8u);
    EXPECT_STREQ(block.As<char>(), "kept");
}
