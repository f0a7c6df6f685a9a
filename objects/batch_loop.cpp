#include "objects/batch_loop.h"

#include "core/format_string.h"
#include "core/progress_wnd.h"
#include "core/trace_log.h"
#include "core/translate.h"
#include "objects/bad_response.h"
#include "hostapi/host_window.h"

#include <algorithm>
#include <memory>
#include <numeric>

namespace {

// The progress bar counts in 16 bits; a longer pass fills the bar early but counts on.
constexpr uint64_t kProgressMaximum = 0xFFFF;

class Progress {
public:
    Progress(const BatchPass& pass, uint64_t total)
    {
        if (!pass.quiet && total > 0)
            window_ = std::make_unique<ProgressWnd>(pass.owner, static_cast<std::uint16_t>(std::min(total, kProgressMaximum)),
                                                    Translate(L"Нормсет"));
    }
    bool Cancelled() const { return window_ && window_->Cancelled(); }
    void Step()
    {
        if (window_)
            window_->Step();
    }

private:
    std::unique_ptr<ProgressWnd> window_;
};

} // namespace

BatchCounts RunBatch(const BatchPass& pass, const std::vector<size_t>& groupSizes,
                     const std::function<BatchItem(size_t group, size_t item, TraceScope& scope)>& work)
{
    BatchCounts counts;
    counts.total = std::accumulate(groupSizes.begin(), groupSizes.end(), uint64_t{0});
    Progress progress(pass, counts.total);
    for (size_t group = 0; group < groupSizes.size() && !counts.cancelled; ++group) {
        TraceLog nested(pass.groupName, false);
        bool keep = group + 1 == groupSizes.size();
        try {
            TraceScope scope(pass.groupName);
            for (size_t item = 0; item <= groupSizes[group]; ++item) {
                // Asked before the group's first item and before each further one.
                if (progress.Cancelled()) {
                    scope.WriteLine(L"Cancelled");
                    counts.cancelled = true;
                    keep = true;
                    break;
                }
                if (item == groupSizes[group])
                    break;
                try {
                    if (work(group, item, scope) == BatchItem::Done)
                        ++counts.done;
                } catch (const BadResponse& failure) {
                    if (pass.badResponseRecord.empty())
                        throw;
                    scope.WriteLine(L"Bad Response!");
                    scope.String(pass.badResponseRecord, pass.badResponseValue ? pass.badResponseValue(group, item) : std::wstring());
                    scope.String(L"B.Msg", failure.Reason());
                    keep = true;
                } catch (const _com_error&) {
                    scope.WriteLine(L"COM Error!");
                    throw;
                }
                progress.Step();
            }
        } catch (...) {
            // Once, complete with the closed scope; the rethrow does not copy it again.
            nested.FlushToParent();
            throw;
        }
        if (keep)
            nested.FlushToParent();
        else
            nested.KeepFromParent();
    }
    return counts;
}

void ShowBatchSummary(IVel7Application* app7, const std::wstring& format, const BatchCounts& counts, bool quiet)
{
    TraceScope scope(L"ShowBatchSummary");
    const std::wstring text = FormatString(Translate(format), _variant_t(static_cast<unsigned __int64>(counts.done)),
                                           _variant_t(static_cast<unsigned __int64>(counts.total)));
    scope.String(L"text", text);
    if (quiet)
        return;
    HostMessageBox(app7, text, 64);
}
