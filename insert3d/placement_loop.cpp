#include "insert3d/placement_loop.h"

#include "core/display_name.h"
#include "core/format_string.h"
#include "core/progress_wnd.h"
#include "core/trace_log.h"
#include "core/translate.h"
#include "hostapi/host_window.h"
#include "hostapi/vtable_call.h"

#include <algorithm>

namespace {

// The bar counts in 16 bits.
constexpr size_t kProgressMaximum = 0xFFFF;
constexpr long kInformation = 64;

} // namespace

size_t PlaceEveryRecord(const PlacementLoop& loop, size_t records, const std::function<void(size_t)>& select,
                        const std::function<void()>& place)
{
    TraceScope scope(L"PlaceEveryRecord");
    scope.Value(L"n", _variant_t(static_cast<unsigned long>(records)));
    if (records < 2) {
        place();
        return 1;
    }
    size_t done = 0;
    ProgressWnd progress(HostMainWindow(loop.app5), static_cast<std::uint16_t>(std::min(records, kProgressMaximum)),
                         Translate(LibraryDisplayName()));
    for (size_t i = 0; i < records && !progress.Cancelled(); ++i) {
        select(i);
        place();
        progress.Step();
        ++done;
    }
    // Said also when the user stopped early; the window goes afterwards, with the progress object.
    const std::wstring text = FormatString(Translate(loop.countMessage), _variant_t(static_cast<long>(done)),
                                           _variant_t(static_cast<long>(records)));
    scope.String(L"text", text);
    HostMessageBox(loop.app7, text, kInformation);
    return done;
}
