// Playing the user from outside the library, through window messages only: finding the library's
// dialogs on the host's thread, answering a file dialog, waiting until a window waits for input.
// The stand-in host program and the Windows tests use it.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace zuro::standin {

struct ThreadDialogs {
  HWND file_dialog = nullptr;  // a common open or save dialog
  HWND converter = nullptr;    // a dialog with a menu bar: a converter window
  std::vector<HWND> shown;     // every visible dialog (message boxes included)
  std::vector<HWND> all;       // every dialog, shown or not yet shown
};

ThreadDialogs FindThreadDialogs(DWORD thread);
// True once the window's thread has come back to its message loop (false after 5 s).
bool WaitsForInput(HWND window);
// Types the path into the dialog's file name field and presses its OK button.
void AnswerFileDialog(HWND dialog, const std::wstring& path);

}  // namespace zuro::standin
