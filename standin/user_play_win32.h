// Playing the user from outside the library, through window messages only: finding the library's
// dialogs on the host's thread, reading and answering message boxes, answering a file dialog,
// waiting until a window waits for input, closing what is left open, and a watchdog that ends a
// run whose window waits for nobody. The stand-in programs and the Windows tests use it.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace zuro::standin {

// How long a step of the user's play is looked for (ms), and how often.
inline constexpr DWORD kStepTimeout = 10000;
inline constexpr DWORD kStepPoll = 50;
// The watchdog's patience (ms): a minute for a run, a minute and a half for a road played whole.
inline constexpr DWORD kRunPatience = 60000;
inline constexpr DWORD kRoadPatience = 90000;
// The exit status of a run the watchdog ended.
inline constexpr int kTimedOut = 3;

// Looks every `poll` ms, for `timeout` ms of waiting at most, until the condition holds; true when
// it held. The time the condition takes to look is not counted.
template <typename Condition>
bool WaitFor(Condition condition, DWORD timeout = kStepTimeout, DWORD poll = kStepPoll) {
  for (DWORD waited = 0; waited < timeout; waited += poll) {
    if (condition())
      return true;
    Sleep(poll);
  }
  return condition();
}

struct ThreadDialogs {
  HWND file_dialog = nullptr;       // a common open or save dialog
  HWND converter = nullptr;         // a dialog with a menu bar: a converter window
  std::vector<HWND> message_boxes;  // visible message boxes
  std::vector<HWND> shown;          // every visible dialog (message boxes included)
  std::vector<HWND> all;            // every dialog, shown or not yet shown
};

ThreadDialogs FindThreadDialogs(DWORD thread);
// True once the window's thread has come back to its message loop (false after 5 s).
bool WaitsForInput(HWND window);
// Types the path into the dialog's file name field and presses its OK button; returns once the
// dialog has taken the press (a box it opens over itself must be answered by another thread).
void AnswerFileDialog(HWND dialog, const std::wstring& path);
// The same, but the press is posted: the call returns at once.
void TypeIntoFileDialog(HWND dialog, const std::wstring& path);

// A message box: a dialog of buttons and static texts only.
bool IsMessageBox(HWND dialog);
// The message a message box shows.
std::wstring MessageBoxText(HWND box);
// True when the message box asks a question: it offers Yes or No.
bool AsksQuestion(HWND box);
// True when the dialog shows a button with this id.
bool HasButton(HWND dialog, int id);
// Presses a dialog's button as a click does; posted, so the call does not wait for the dialog.
void PressButton(HWND dialog, int id);
// A window's text (a caption, a control's text).
std::wstring WindowText(HWND window);

// Presses Cancel in each of the dialogs that waits for input, as a user leaving them does.
void CancelWaitingDialogs(const std::vector<HWND>& dialogs);
// Ends the command whatever its windows are doing: every dialog of the thread, shown or not yet
// shown, is cancelled once, until none is left (kStepTimeout at most).
void CloseAllDialogs(DWORD thread);

// Nothing may wait for a person: unless called off by its end within `patience` ms, the watchdog
// complains as `program` on standard error and ends the process with kTimedOut.
class Watchdog {
 public:
  Watchdog(DWORD patience, std::string program, std::string complaint);
  ~Watchdog();
  Watchdog(const Watchdog&) = delete;
  Watchdog& operator=(const Watchdog&) = delete;

 private:
  HANDLE called_off_;
};

// Tells, poll by poll, when a window of the library waits for the designer: it alone of its
// thread's dialogs is shown on two polls in a row, with the same dialogs of the thread behind it.
// A dialog being made is shown by its first wait for input, so it is seen by the second poll at
// the latest.
class DesignerWait {
 public:
  bool Waits(HWND window, const ThreadDialogs& found);
  // Starts counting afresh, as after an answer given or a command pressed.
  void Restart() { polls_ = 0; }

 private:
  int polls_ = 0;              // polls in a row that found the window waiting alone
  std::vector<HWND> dialogs_;  // every dialog of the thread at the last of them
};

// Whether a person could pick the command from a window's menu: it is there, and neither it nor
// a sub-menu on the way to it is greyed.
bool CanPickCommand(HMENU menu, UINT command);

}  // namespace zuro::standin
