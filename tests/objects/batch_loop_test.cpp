// The loop of the bulk passes alone: which group texts reach the command's log, once; the bar's range
// for a long pass; the closing text.
#include "objects/batch_loop.h"

#include "core/progress_wnd.h"
#include "objects/bad_response.h"

#include <commctrl.h>
#include <gtest/gtest.h>

namespace {

size_t Count(const std::wstring& text, const std::wstring& what)
{
    size_t n = 0;
    for (size_t at = text.find(what); at != std::wstring::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

BatchPass Pass()
{
    BatchPass pass;
    pass.groupName = L"Item_i";
    pass.badResponseRecord = L"obj->NM_ID";
    pass.badResponseValue = [](size_t group, size_t) { return L"id" + std::to_wstring(group); };
    return pass;
}

} // namespace

TEST(BatchLoop, OnlyFailedCancelledAndLastGroupsReachTheLogEachOnce)
{
    struct Row {
        const char* what;
        std::function<void(size_t group)> item;
        size_t copies;          // group texts in the command's log
        uint64_t done;
        bool leaves;
    };
    const Row rows[] = {
        {"all well", [](size_t) {}, 1, 3, false},
        {"a bad response in the middle", [](size_t g) { if (g == 1) throw BadResponse(L"No response"); }, 2, 2, false},
        {"a COM error", [](size_t g) { if (g == 1) _com_issue_error(E_FAIL); }, 1, 1, true},
        {"anything else", [](size_t g) { if (g == 0) throw std::wstring(L"x"); }, 1, 0, true},
        {"an exception caught inside an item", [](size_t) { try { throw 1; } catch (int) {} }, 1, 3, false},
    };
    for (const Row& row : rows) {
        TraceLog log(L"ROOT", false);
        BatchCounts counts;
        bool left = false;
        try {
            counts = RunBatch(Pass(), {1, 1, 1}, [&](size_t group, size_t, TraceScope&) {
                row.item(group);
                return BatchItem::Done;
            });
        } catch (...) {
            left = true;
        }
        EXPECT_EQ(left, row.leaves) << row.what;
        EXPECT_EQ(Count(log.Text(), L"Item_i\r\n{Item_i"), row.copies) << row.what;
        if (!row.leaves) {
            EXPECT_EQ(counts.done, row.done) << row.what;
            EXPECT_EQ(counts.total, 3u);
        }
        EXPECT_LE(Count(log.Text(), L"COM Error!"), 1u) << row.what;
        EXPECT_EQ(ProgressWnd::Current(), nullptr);
    }
}

TEST(BatchLoop, TheBarStopsAt65535ButTheCountsDoNotAndACancelEndsThePass)
{
    TraceLog log(L"ROOT", false);
    LRESULT range = 0;
    const BatchCounts counts = RunBatch(Pass(), {70000}, [&](size_t, size_t item, TraceScope&) {
        if (ProgressWnd* window = ProgressWnd::Current(); window && window->Bar()) {
            range = SendMessageW(window->Bar(), PBM_GETRANGE, FALSE, 0);
            SendMessageW(window->Window(), WM_COMMAND, IDCANCEL, 0);
        }
        return item % 2 ? BatchItem::Skipped : BatchItem::Done;
    });
    EXPECT_EQ(range, 65535);
    EXPECT_EQ(counts.total, 70000u);
    EXPECT_EQ(counts.done, 1u);
    EXPECT_TRUE(counts.cancelled);
    EXPECT_EQ(Count(log.Text(), L"Item_i\r\n{Item_i"), 1u);

    // A quiet pass opens no window, and so cannot be cancelled.
    BatchPass quiet = Pass();
    quiet.quiet = true;
    bool window = false;
    EXPECT_EQ(RunBatch(quiet, {2}, [&](size_t, size_t, TraceScope&) {
                  window = window || ProgressWnd::Current();
                  return BatchItem::Done;
              }).done,
              2u);
    EXPECT_FALSE(window);
}
