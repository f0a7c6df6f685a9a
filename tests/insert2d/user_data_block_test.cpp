// The identity block of a placed 2D part, read and written without a host: what a damaged block gives.
#include "insert2d/user_data_block.h"

#include <gtest/gtest.h>

namespace {

PartIdentity Nut()
{
    return {L"Нормсет", L"1188:40127", L"PART:5915-70[d=12]", L"Гайка М12", L"Scripts2D\\Nut.vbs"};
}

std::vector<std::uint8_t> Count(std::int32_t count)
{
    const auto value = static_cast<std::uint32_t>(count);
    return {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8), static_cast<std::uint8_t>(value >> 16),
            static_cast<std::uint8_t>(value >> 24)};
}

std::vector<std::uint8_t> Block(std::initializer_list<std::vector<std::uint8_t>> pieces)
{
    std::vector<std::uint8_t> block;
    for (const auto& piece : pieces)
        block.insert(block.end(), piece.begin(), piece.end());
    return block;
}

void ExpectSame(const PartIdentity& read, const PartIdentity& written)
{
    EXPECT_EQ(read.libName, written.libName);
    EXPECT_EQ(read.quarvendId, written.quarvendId);
    EXPECT_EQ(read.id, written.id);
    EXPECT_EQ(read.name, written.name);
    EXPECT_EQ(read.body, written.body);
}

} // namespace

TEST(UserDataBlock, FiveStringsComeBackAsWrittenAnEmptyOneIncluded)
{
    for (PartIdentity written : {Nut(), PartIdentity{L"Нормсет", L"", L"PART:X", L"", L"x.lfr"}}) {
        const std::vector<std::uint8_t> block = EncodeUserData(written);
        PartIdentity read{L"old", L"old", L"old", L"old", L"old"};
        EXPECT_EQ(DecodeUserData(block, read), 0u);
        ExpectSame(read, written);
    }
}

TEST(UserDataBlock, CountsAreLittleEndianUnitsWithoutTerminatorOrPadding)
{
    const PartIdentity identity{L"a", L"", L"bcd", L"efgh", L"ijklm"};
    const std::vector<std::uint8_t> block = EncodeUserData(identity);
    ASSERT_EQ(block.size(), 46u);
    EXPECT_EQ(UserDataSize(identity), 46u);
    EXPECT_EQ(std::vector<std::uint8_t>(block.begin(), block.begin() + 10), Block({Count(1), {'a', 0}, Count(0)}));
    EXPECT_EQ(std::vector<std::uint8_t>(block.end() - 2, block.end()), (std::vector<std::uint8_t>{'m', 0}));
}

TEST(UserDataBlock, ADamagedBlockNeverReadsPastItsEnd)
{
    struct Row {
        const char* what;
        std::vector<std::uint8_t> block;
        PartIdentity read;
        size_t left;
    };
    const std::vector<std::uint8_t> whole = EncodeUserData(Nut());
    std::vector<std::uint8_t> trailing = whole;
    trailing.push_back(0);
    const Row rows[] = {
        {"one byte too many", trailing, Nut(), 1},
        {"three bytes", {1, 0, 0}, {}, 3},
        // A count that does not fit is taken, its units are not: the next string starts right after it.
        {"a count past the end", Block({Count(2), {'x', 0}}), {}, 2},
        {"the largest count", Block({Count(0x7FFFFFFF), Count(1), {'y', 0}}), {L"", L"y", L"", L"", L""}, 0},
        {"a negative count", Block({Count(-2), Count(1), {'y', 0}}), {L"", L"y", L"", L"", L""}, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        PartIdentity read;
        EXPECT_EQ(DecodeUserData(row.block, read), row.left);
        ExpectSame(read, row.read);
    }
}
