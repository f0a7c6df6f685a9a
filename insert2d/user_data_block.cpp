#include "insert2d/user_data_block.h"

#include <cstring>

namespace {

constexpr std::size_t kCountSize = 4;

void PutCount(std::uint8_t* at, std::int32_t count)
{
    const auto value = static_cast<std::uint32_t>(count);
    for (std::size_t i = 0; i < kCountSize; ++i)
        at[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

std::int32_t GetCount(const std::uint8_t* at)
{
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < kCountSize; ++i)
        value |= static_cast<std::uint32_t>(at[i]) << (8 * i);
    return static_cast<std::int32_t>(value);
}

// The five strings in the block's order.
template <class Identity, class F>
void ForEachString(Identity& identity, F&& f)
{
    for (auto* text : {&identity.libName, &identity.quarvendId, &identity.id, &identity.name, &identity.body})
        f(*text);
}

} // namespace

std::size_t UserDataSize(const PartIdentity& identity)
{
    std::size_t size = 5 * kCountSize;
    ForEachString(identity, [&](const std::wstring& text) { size += 2 * text.size(); });
    return size;
}

void SaveUserString(std::uint8_t*& cursor, std::size_t& remaining, const std::wstring& text)
{
    if (remaining < kCountSize)
        return;
    const auto count = static_cast<std::int32_t>(text.size());
    PutCount(cursor, count);
    cursor += kCountSize;
    remaining -= kCountSize;
    const std::size_t bytes = 2 * text.size();
    if (count == 0 || bytes > remaining)
        return;
    for (wchar_t unit : text) {
        *cursor++ = static_cast<std::uint8_t>(unit & 0xFF);
        *cursor++ = static_cast<std::uint8_t>((unit >> 8) & 0xFF);
    }
    remaining -= bytes;
}

std::wstring LoadUserString(const std::uint8_t*& cursor, std::size_t& remaining)
{
    if (remaining < kCountSize)
        return std::wstring();
    const std::int32_t count = GetCount(cursor);
    cursor += kCountSize;
    remaining -= kCountSize;
    // Compared in 64 bits: a count near 2^31 doubled would wrap and let the read run past the block.
    if (count <= 0 || 2 * static_cast<std::uint64_t>(count) > remaining)
        return std::wstring();
    std::wstring text(static_cast<std::size_t>(count), L'\0');
    for (wchar_t& unit : text) {
        unit = static_cast<wchar_t>(cursor[0] | (cursor[1] << 8));
        cursor += 2;
    }
    remaining -= 2 * static_cast<std::size_t>(count);
    return text;
}

std::vector<std::uint8_t> EncodeUserData(const PartIdentity& identity)
{
    std::vector<std::uint8_t> block(UserDataSize(identity));
    std::uint8_t* cursor = block.data();
    std::size_t remaining = block.size();
    ForEachString(identity, [&](const std::wstring& text) { SaveUserString(cursor, remaining, text); });
    return block;
}

std::size_t DecodeUserData(const std::vector<std::uint8_t>& block, PartIdentity& identity)
{
    const std::uint8_t* cursor = block.data();
    std::size_t remaining = block.size();
    ForEachString(identity, [&](std::wstring& text) { text = LoadUserString(cursor, remaining); });
    return remaining;
}
