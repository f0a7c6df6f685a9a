#include "core/display_name.h"

namespace {

std::wstring& Slot() noexcept
{
    static std::wstring name;
    return name;
}

} // namespace

const std::wstring& LibraryDisplayName() noexcept
{
    return Slot();
}

void SetLibraryDisplayName(const std::wstring& name)
{
    Slot() = name;
}
