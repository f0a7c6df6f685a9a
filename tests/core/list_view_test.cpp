// Report-style list views as the settings dialogs fill and read them.
#include "core/list_view.h"

#include "test_window.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <stdexcept>

using testsupport::TestWindow;

namespace {

class ListViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_LISTVIEW_CLASSES};
        InitCommonControlsEx(&controls);
        list_ = CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | LVS_REPORT, 0, 0, 300, 200, parent_.get(),
                                nullptr, GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(list_, nullptr);
    }

    std::wstring Text(int row, int column) const
    {
        wchar_t text[128] = {};
        LVITEMW item = {};
        item.iSubItem = column;
        item.pszText = text;
        item.cchTextMax = 128;
        SendMessageW(list_, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
        return text;
    }

    int Count() const { return static_cast<int>(SendMessageW(list_, LVM_GETITEMCOUNT, 0, 0)); }

    TestWindow parent_;
    HWND list_ = nullptr;
};

} // namespace

TEST_F(ListViewTest, ColumnsAreInsertedLeftAlignedWithTextAndWidth)
{
    ListViewAddColumn(list_, 0, L"Обозначение", 120);
    ListViewAddColumn(list_, 1, L"Кол.", 40);
    wchar_t text[64] = {};
    LVCOLUMNW column = {};
    column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT;
    column.pszText = text;
    column.cchTextMax = 64;
    ASSERT_TRUE(SendMessageW(list_, LVM_GETCOLUMNW, 1, reinterpret_cast<LPARAM>(&column)));
    EXPECT_EQ(std::wstring(text), L"Кол.");
    EXPECT_EQ(column.cx, 40);
    EXPECT_EQ(column.fmt & LVCFMT_JUSTIFYMASK, LVCFMT_LEFT);
}

TEST_F(ListViewTest, RowsAreInsertedAtTheirIndexAndTheirTextsReplaced)
{
    ListViewAddColumn(list_, 0, L"A", 50);
    ListViewAddColumn(list_, 1, L"B", 50);
    ListViewAddColumn(list_, 2, L"C", 50);
    ListViewInsertRow(list_, 0, {L"r1", L"r1b", L"r1c"});
    ListViewInsertRow(list_, 0, {L"r0", L"r0b", L"r0c"});
    ASSERT_EQ(Count(), 2);
    EXPECT_EQ(Text(0, 0), L"r0");
    EXPECT_EQ(Text(0, 2), L"r0c");
    EXPECT_EQ(Text(1, 1), L"r1b");

    ListViewSetRowTexts(list_, 1, {L"x", L"y", L"z"});
    EXPECT_EQ(Text(1, 0), L"x");
    EXPECT_EQ(Text(1, 1), L"y");
    EXPECT_EQ(Text(1, 2), L"z");
    EXPECT_EQ(Text(0, 0), L"r0");

    // A row needs at least its first text.
    EXPECT_THROW(ListViewInsertRow(list_, 0, {}), std::out_of_range);
    EXPECT_EQ(Count(), 2);
}

TEST_F(ListViewTest, TheSelectedRowIsTheFirstSelectedOneOrMinusOne)
{
    EXPECT_EQ(ListViewGetSelected(list_), -1);
    ListViewAddColumn(list_, 0, L"A", 50);
    for (int i = 0; i < 4; ++i)
        ListViewInsertRow(list_, i, {L"row"});
    EXPECT_EQ(ListViewGetSelected(list_), -1);
    ListViewSelectItem(list_, 3);
    EXPECT_EQ(ListViewGetSelected(list_), 3);
    ListViewSelectItem(list_, 1);
    EXPECT_EQ(ListViewGetSelected(list_), 1);
    EXPECT_EQ(SendMessageW(list_, LVM_GETITEMSTATE, 3, LVIS_SELECTED), LVIS_SELECTED);
}
