#include "tests/support/dialog_driver.h"

#include <vector>

namespace {

struct PendingSteps {
  std::wstring Title;
  std::function<void(HWND)> Steps;
  bool Ran = false;
};
PendingSteps* Pending = nullptr;

struct WindowSearch {
  const wchar_t* ClassName;
  const wchar_t* Title;
  HWND Found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM lParam) {
  auto& search = *reinterpret_cast<WindowSearch*>(lParam);
  wchar_t className[64] = {};
  GetClassNameW(window, className, 64);
  if ((search.ClassName == nullptr || std::wstring(className) == search.ClassName) &&
      (search.Title == nullptr || TextOf(window) == search.Title)) {
    search.Found = window;
    return FALSE;
  }
  return TRUE;
}

void CALLBACK RunPendingSteps(HWND, UINT, UINT_PTR timer, DWORD) {
  if (Pending == nullptr || Pending->Ran) return;
  HWND dialog = FindThreadWindow(nullptr, Pending->Title.c_str());
  if (dialog == nullptr) return;
  KillTimer(nullptr, timer);
  Pending->Ran = true;
  Pending->Steps(dialog);
}

// A top-level window and all its descendants, which EnumChildWindows walks.
BOOL CALLBACK CountWithDescendants(HWND window, LPARAM count) {
  ++*reinterpret_cast<int*>(count);
  EnumChildWindows(window, CountWithDescendants, count);
  return TRUE;
}

}  // namespace

bool WithDialog(const std::wstring& title, const std::function<void(HWND dialog)>& steps,
                const std::function<void()>& open) {
  PendingSteps pending{title, steps};
  Pending = &pending;
  const UINT_PTR timer = SetTimer(nullptr, 0, 10, RunPendingSteps);
  open();
  KillTimer(nullptr, timer);
  Pending = nullptr;
  return pending.Ran;
}

HWND FindThreadWindow(const wchar_t* className, const wchar_t* title) {
  WindowSearch search{className, title, nullptr};
  EnumThreadWindows(GetCurrentThreadId(), MatchWindow, reinterpret_cast<LPARAM>(&search));
  return search.Found;
}

int CountThreadWindows() {
  int count = 0;
  EnumThreadWindows(GetCurrentThreadId(), CountWithDescendants, reinterpret_cast<LPARAM>(&count));
  return count;
}

HWND ControlAt(HWND dialog, int index) { return GetDlgItem(dialog, index + 1); }

std::wstring TextOf(HWND window) {
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

std::wstring SelectedItem(HWND list) {
  const LRESULT item = SendMessageW(list, CB_GETCURSEL, 0, 0);
  if (item == CB_ERR) return {};
  std::vector<wchar_t> text(static_cast<size_t>(SendMessageW(list, CB_GETLBTEXTLEN, item, 0)) + 1);
  SendMessageW(list, CB_GETLBTEXT, item, reinterpret_cast<LPARAM>(text.data()));
  return text.data();
}

bool IsBoxChecked(HWND box) { return SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED; }

RECT ClientRectOf(HWND control) {
  RECT rect{};
  GetWindowRect(control, &rect);
  MapWindowPoints(HWND_DESKTOP, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

void Click(HWND button) { SendMessageW(button, BM_CLICK, 0, 0); }

void Type(HWND field, const std::wstring& text) { SetWindowTextW(field, text.c_str()); }

void Choose(HWND list, const std::wstring& item) {
  const LRESULT index =
      SendMessageW(list, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(item.c_str()));
  SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
  SendMessageW(GetParent(list), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(list), CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(list));
}

void RequestClose(HWND dialog) { SendMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); }
