#pragma once
// What the settings dialogs' tests do to a dialog and read from it, as a user's clicks and typing would.
#include "core/com.h"
#include "support/dialog_driver.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace dialog_steps {

using testsupport::ControlText;
using testsupport::PressButton;

// A button pressed. The command is sent, not posted: it has run, nested dialogs included, when this returns.
inline void Press(HWND dialog, int id)
{
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

// Answers the dialogs in the order they appear, one step each; a dialog no step expects is cancelled.
inline testsupport::DialogDriver::Answer InTurn(std::vector<testsupport::DialogDriver::Answer> steps)
{
    auto queue = std::make_shared<std::deque<testsupport::DialogDriver::Answer>>(steps.begin(), steps.end());
    return [queue](HWND dialog) {
        if (queue->empty()) {
            ADD_FAILURE() << "a dialog no step expected";
            PressButton(dialog, IDCANCEL);
            return;
        }
        const auto step = queue->front();
        queue->pop_front();
        step(dialog);
    };
}

// A check box or radio button clicked: it changes its own state and tells the dialog.
inline void Click(HWND dialog, int id)
{
    SendDlgItemMessageW(dialog, id, BM_CLICK, 0, 0);
}

inline bool IsChecked(HWND dialog, int id)
{
    return IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}

inline bool IsEnabled(HWND dialog, int id)
{
    return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE;
}

// An item of a drop-down list chosen.
inline void Choose(HWND dialog, int id, int index)
{
    HWND combo = GetDlgItem(dialog, id);
    SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
}

inline int Chosen(HWND dialog, int id)
{
    return static_cast<int>(SendDlgItemMessageW(dialog, id, CB_GETCURSEL, 0, 0));
}

inline std::vector<std::wstring> ComboItems(HWND dialog, int id)
{
    std::vector<std::wstring> items;
    const int count = static_cast<int>(SendDlgItemMessageW(dialog, id, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        std::wstring text(static_cast<size_t>(SendDlgItemMessageW(dialog, id, CB_GETLBTEXTLEN, i, 0)) + 1, L'\0');
        SendDlgItemMessageW(dialog, id, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text.data()));
        text.resize(text.size() - 1);
        items.push_back(text);
    }
    return items;
}

// A row of the list box chosen.
inline void Pick(HWND dialog, int id, int index)
{
    HWND list = GetDlgItem(dialog, id);
    SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
}

inline std::vector<std::wstring> ListItems(HWND dialog, int id)
{
    std::vector<std::wstring> items;
    const int count = static_cast<int>(SendDlgItemMessageW(dialog, id, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        std::wstring text(static_cast<size_t>(SendDlgItemMessageW(dialog, id, LB_GETTEXTLEN, i, 0)) + 1, L'\0');
        SendDlgItemMessageW(dialog, id, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text.data()));
        text.resize(text.size() - 1);
        items.push_back(text);
    }
    return items;
}

// Characters typed into an edit field, one key at a time.
inline void Type(HWND dialog, int id, const std::wstring& text)
{
    for (wchar_t c : text)
        SendDlgItemMessageW(dialog, id, WM_CHAR, c, 0);
}

// The field's whole text replaced, as a paste would.
inline void Paste(HWND dialog, int id, const std::wstring& text)
{
    SetDlgItemTextW(dialog, id, text.c_str());
}

// Keeps the title of every balloon shown on this thread while it lives: a tool tip of the common controls
// before version 6 cannot tell its title back.
class BalloonTitles {
public:
    BalloonTitles() : hook_(SetWindowsHookExW(WH_CALLWNDPROC, &Watch, nullptr, GetCurrentThreadId())) {}
    ~BalloonTitles() { UnhookWindowsHookEx(hook_); }
    BalloonTitles(const BalloonTitles&) = delete;
    BalloonTitles& operator=(const BalloonTitles&) = delete;

    static std::wstring& Last()
    {
        static std::wstring title;
        return title;
    }

private:
    static LRESULT CALLBACK Watch(int code, WPARAM wParam, LPARAM lParam)
    {
        const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
        if (code == HC_ACTION && call->message == TTM_SETTITLEW && call->lParam)
            Last() = reinterpret_cast<const wchar_t*>(call->lParam);
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }

    HHOOK hook_;
};

// The title (seen by a living BalloonTitles) and text of the input-error balloon the dialog shows; empty
// when it shows none.
inline std::pair<std::wstring, std::wstring> Balloon(HWND dialog)
{
    struct Search {
        HWND owner;
        HWND found;
    } search{dialog, nullptr};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM data) -> BOOL {
            auto* s = reinterpret_cast<Search*>(data);
            wchar_t name[32] = {};
            GetClassNameW(window, name, 32);
            if (std::wstring(name) == TOOLTIPS_CLASSW && GetWindow(window, GW_OWNER) == s->owner)
                s->found = window;
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    if (!search.found)
        return {};
    wchar_t text[256] = {};
    TOOLINFOW tool = {};
    tool.cbSize = sizeof(tool);
    tool.lpszText = text;
    SendMessageW(search.found, TTM_ENUMTOOLSW, 0, reinterpret_cast<LPARAM>(&tool));
    return {BalloonTitles::Last(), text};
}

// Every value under HKEY_CURRENT_USER\path and its subkeys, by "subkey\name", with its type and bytes.
using RegistryImage = std::map<std::wstring, std::pair<DWORD, std::vector<BYTE>>>;
inline void ReadRegistryImage(HKEY root, const std::wstring& path, RegistryImage& image)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return;
    for (DWORD i = 0;; ++i) {
        wchar_t name[256];
        DWORD nameLength = 256;
        BYTE data[8192];
        DWORD size = sizeof(data);
        DWORD type = 0;
        if (RegEnumValueW(key, i, name, &nameLength, nullptr, &type, data, &size) != ERROR_SUCCESS)
            break;
        image[path + L"\\" + name] = {type, std::vector<BYTE>(data, data + size)};
    }
    for (DWORD i = 0;; ++i) {
        wchar_t name[256];
        DWORD nameLength = 256;
        if (RegEnumKeyExW(key, i, name, &nameLength, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        ReadRegistryImage(root, path + L"\\" + name, image);
    }
    RegCloseKey(key);
}

inline RegistryImage SettingsRegistry()
{
    RegistryImage image;
    ReadRegistryImage(HKEY_CURRENT_USER, L"Software\\Orbex", image);
    return image;
}

} // namespace dialog_steps
