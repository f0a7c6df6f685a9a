#include "core/list_view.h"

#include <commctrl.h>

void ListViewAddColumn(HWND list, int index, const std::wstring& text, int width)
{
    LVCOLUMNW column = {};
    column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT;
    column.fmt = LVCFMT_LEFT;
    column.cx = width;
    column.pszText = const_cast<wchar_t*>(text.c_str());
    SendMessageW(list, LVM_INSERTCOLUMNW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&column));
}

namespace {

void SetItemText(HWND list, int index, int column, const std::wstring& text)
{
    LVITEMW item = {};
    item.iSubItem = column;
    item.pszText = const_cast<wchar_t*>(text.c_str());
    SendMessageW(list, LVM_SETITEMTEXTW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
}

} // namespace

void ListViewInsertRow(HWND list, int index, const std::vector<std::wstring>& texts)
{
    LVITEMW item = {};
    item.mask = LVIF_TEXT;
    item.iItem = index;
    item.pszText = const_cast<wchar_t*>(texts.at(0).c_str());
    SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    for (size_t column = 1; column < texts.size(); ++column)
        SetItemText(list, index, static_cast<int>(column), texts[column]);
}

void ListViewSetRowTexts(HWND list, int index, const std::vector<std::wstring>& texts)
{
    for (size_t column = 0; column < texts.size(); ++column)
        SetItemText(list, index, static_cast<int>(column), texts[column]);
}

int ListViewGetSelected(HWND list)
{
    const int count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    for (int index = 0; index < count; ++index) {
        LVITEMW item = {};
        item.mask = LVIF_STATE;
        item.iItem = index;
        item.stateMask = LVIS_SELECTED;
        if (SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item)) && (item.state & LVIS_SELECTED))
            return index;
    }
    return -1;
}

void ListViewSelectItem(HWND list, int index)
{
    LVITEMW item = {};
    item.mask = LVIF_STATE;
    item.iItem = index;
    item.state = LVIS_SELECTED;
    item.stateMask = LVIS_SELECTED;
    SendMessageW(list, LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
}
