#pragma once
// Rows and columns of report-style list views, as the settings dialogs use them. The controls' own
// results are not looked at.
#include "core/com.h"

#include <string>
#include <vector>

// Inserts a left-aligned column at index.
void ListViewAddColumn(HWND list, int index, const std::wstring& text, int width);
// Inserts a row at index: texts[0] is the item, texts[1..] its sub-items. texts holds at least one text.
void ListViewInsertRow(HWND list, int index, const std::vector<std::wstring>& texts);
// Sets the texts of columns 0..n-1 of the row.
void ListViewSetRowTexts(HWND list, int index, const std::vector<std::wstring>& texts);
// The index of the first selected row, or -1 when none is selected or the list is empty.
int ListViewGetSelected(HWND list);
// Selects the row (other rows keep their state).
void ListViewSelectItem(HWND list, int index);
