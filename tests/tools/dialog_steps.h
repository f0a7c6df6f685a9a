#pragma once
// What the settings dialogs' tests do to a dialog and read from it, as a user's clicks and typing would.
#include "core/com.h"
#include "support/dialog_driver.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <deque>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace dialog_steps {

using testsupport::ControlText;

inline std::wstring WindowText(HWND window)
{
    wchar_t text[256] = {};
    GetWindowTextW(window, text, 256);
    return text;
}

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
            testsupport::PressButton(dialog, IDCANCEL);
            return;
        }
        const auto step = queue->front();
        queue->pop_front();
        step(dialog);
    };
}

// A check box or radio button clicked: it changes its own state and tells the dialog.
inline void Click(HWND dialog, int id) { SendDlgItemMessageW(dialog, id, BM_CLICK, 0, 0); }

inline bool IsChecked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }

inline bool IsEnabled(HWND dialog, int id) { return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE; }

// An item of a drop-down list (combo) or of a list box chosen, as a click would.
inline void Choose(HWND dialog, int id, int index, bool combo = true)
{
    HWND box = GetDlgItem(dialog, id);
    SendMessageW(box, combo ? CB_SETCURSEL : LB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, combo ? CBN_SELCHANGE : LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(box));
}

inline int Chosen(HWND dialog, int id, bool combo = true)
{
    return static_cast<int>(SendDlgItemMessageW(dialog, id, combo ? CB_GETCURSEL : LB_GETCURSEL, 0, 0));
}

inline std::vector<std::wstring> Items(HWND dialog, int id, bool combo = true)
{
    std::vector<std::wstring> items;
    const int count = static_cast<int>(SendDlgItemMessageW(dialog, id, combo ? CB_GETCOUNT : LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        wchar_t text[256] = {};
        SendDlgItemMessageW(dialog, id, combo ? CB_GETLBTEXT : LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
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
inline void Paste(HWND dialog, int id, const std::wstring& text) { SetDlgItemTextW(dialog, id, text.c_str()); }

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
    HWND found = nullptr;
    for (HWND window = nullptr; (window = FindWindowExW(HWND_DESKTOP, window, TOOLTIPS_CLASSW, nullptr));)
        if (GetWindow(window, GW_OWNER) == dialog)
            found = window;
    if (!found)
        return {};
    wchar_t text[256] = {};
    TOOLINFOW tool = {};
    tool.cbSize = sizeof(tool);
    tool.lpszText = text;
    SendMessageW(found, TTM_ENUMTOOLSW, 0, reinterpret_cast<LPARAM>(&tool));
    return {BalloonTitles::Last(), text};
}

// OK pressed on input the dialog should refuse: the balloon it shows, after which the dialog is cancelled
// if it is still open.
inline std::pair<std::wstring, std::wstring> PressOkForBalloon(HWND dialog)
{
    Press(dialog, IDOK);
    const auto balloon = Balloon(dialog);
    if (IsWindowVisible(dialog))
        Press(dialog, IDCANCEL);
    return balloon;
}

// Every value under HKEY_CURRENT_USER\Software\Orbex, by key path and name, with its type and bytes.
using RegistryImage = std::map<std::wstring, std::pair<DWORD, std::vector<BYTE>>>;
inline RegistryImage SettingsRegistry(const std::wstring& path = L"Software\\Orbex")
{
    RegistryImage image;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return image;
    wchar_t name[256];
    BYTE data[8192];
    for (DWORD i = 0, length = 256, size = sizeof(data), type = 0;
         RegEnumValueW(key, i, name, &length, nullptr, &type, data, &size) == ERROR_SUCCESS;
         ++i, length = 256, size = sizeof(data))
        image[path + L"\\" + name] = {type, std::vector<BYTE>(data, data + size)};
    for (DWORD i = 0, length = 256; RegEnumKeyExW(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
         ++i, length = 256)
        image.merge(SettingsRegistry(path + L"\\" + name));
    RegCloseKey(key);
    return image;
}

} // namespace dialog_steps
