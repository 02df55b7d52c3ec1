// The dialog procedure of a modal dialog's view: DialogBoxParamW hands the view to WM_INITDIALOG,
// which keeps it with the window; every later message finds it there. The view answers three
// events: OnInitDialog(window), OnCommand(id, code) (false for an id it does not handle) and
// OnClose(). Nothing may leave a dialog procedure: whatever a handler throws ends that message
// only.
#pragma once

#include <windows.h>

namespace zuro::converter {

template <typename View>
INT_PTR CALLBACK ViewDialogProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_INITDIALOG)
    SetWindowLongPtrW(window, DWLP_USER, lparam);
  auto* view = reinterpret_cast<View*>(GetWindowLongPtrW(window, DWLP_USER));
  if (!view)
    return FALSE;
  try {
    switch (message) {
      case WM_INITDIALOG:
        view->OnInitDialog(window);
        return TRUE;
      case WM_COMMAND:
        return view->OnCommand(LOWORD(wparam), HIWORD(wparam)) ? TRUE : FALSE;
      case WM_CLOSE:
        view->OnClose();
        return TRUE;
    }
  } catch (...) {
  }
  return message == WM_INITDIALOG ? TRUE : FALSE;
}

// Shows the dialog `id` of `module` modally over `owner` with `view` behind it.
template <typename View>
INT_PTR RunViewDialog(HINSTANCE module, int id, HWND owner, View& view) {
  return DialogBoxParamW(module, MAKEINTRESOURCEW(id), owner, &ViewDialogProc<View>,
                         reinterpret_cast<LPARAM>(&view));
}

}  // namespace zuro::converter
