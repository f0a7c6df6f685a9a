#pragma once
// The identity of a 2D library part as its macro keeps it: five strings one after the other, each a
// signed 32-bit count of UTF-16 code units followed by the units, little-endian, without terminator,
// header or padding. A block is document data: reading never goes past its end, whatever the counts say.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct PartIdentity {
    std::wstring libName;      // NM_LibName
    std::wstring quarvendId;   // NM_QuarvendID
    std::wstring id;           // NM_ID
    std::wstring name;         // NM_Name
    std::wstring body;         // NM_Body
};

// 20 + 2 x the units of the five strings.
std::size_t UserDataSize(const PartIdentity& identity);

// Writes the count and, when it is not 0 and fits, the units; fewer than 4 bytes left: nothing.
void SaveUserString(std::uint8_t*& cursor, std::size_t& remaining, const std::wstring& text);

// Fewer than 4 bytes: empty, nothing taken. A count of 0 or below: empty, the count taken. A count whose
// units do not fit what is left: empty, only the count taken. Else the units.
std::wstring LoadUserString(const std::uint8_t*& cursor, std::size_t& remaining);

std::vector<std::uint8_t> EncodeUserData(const PartIdentity& identity);

// Reads the five strings in order into identity (a damaged block leaves empty strings where it fails)
// and returns the bytes left over.
std::size_t DecodeUserData(const std::vector<std::uint8_t>& block, PartIdentity& identity);
