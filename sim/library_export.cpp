#include "sim/library_export.h"

#include "sim/journal.h"

namespace sim {

void* FindLibraryExport(long module, const std::wstring& name)
{
    if (module == 0)
        return nullptr;
    HMODULE handle = reinterpret_cast<HMODULE>(static_cast<ULONG_PTR>(static_cast<unsigned long>(module)));
    return reinterpret_cast<void*>(GetProcAddress(handle, Utf8(name).c_str()));
}

} // namespace sim
