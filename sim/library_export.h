#pragma once
// How Velmar finds the library's callbacks: by name, in the module whose handle the library handed over
// as a 32-bit integer. The integer is taken as the whole handle (the library is linked below 2 GB).
#include "core/com.h"

#include <string>

namespace sim {

// The export, or null when the module has no export of that name or the handle is 0 (a program that
// links the library statically: its processes take the functions it linked by name instead).
void* FindLibraryExport(long module, const std::wstring& name);

} // namespace sim
