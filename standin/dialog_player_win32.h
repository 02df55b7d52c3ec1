// The designer's part at the library's windows, played poll by poll from a thread of its own while
// the host's thread runs the library: waiting until the window waits for the designer, reading out
// and answering every message box met on the way, answering file dialogs. The stand-in programs
// play their roads with it; each says how it answers.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "standin/user_play_win32.h"

namespace zuro::standin {

// How often a road looks at the windows (ms), and how long it waits for a step: a window to show
// and load what it was given, a command to end.
inline constexpr DWORD kPoll = 100;
inline constexpr DWORD kWindowTimeout = 20000;
inline constexpr DWORD kCommandTimeout = 45000;

// What a message box said, read before it is answered.
struct ShownMessage {
  std::wstring caption;
  std::wstring text;
  bool question = false;  // it offers Yes or No
};

// How the designer answers the library's dialogs.
struct DesignerAnswers {
  int to_questions = IDYES;  // IDYES or IDNO; a message is answered with OK
  // Hears each message box before it is answered.
  std::function<void(const ShownMessage&)> read;
  // The path typed into a file dialog, or empty to cancel it; `again` when the dialog took a path
  // before and is still open. Null: every file dialog is cancelled.
  std::function<std::wstring(bool again)> file_path;
};

class DialogPlayer {
 public:
  DialogPlayer(DWORD thread, DesignerAnswers answers);

  // The window the designer works in: the first dialog with a menu bar the thread showed.
  HWND Window() const { return window_; }
  // Plays polls until `ended(found, waited)` says the step is over (true) or `timeout` ms have
  // passed (false). `ended` sees the thread's dialogs and the step's time on each poll that
  // answered nothing.
  template <typename Ended>
  bool PlayUntil(DWORD timeout, Ended ended) {
    const ULONGLONG started = GetTickCount64();
    for (ULONGLONG waited = 0; waited < timeout; waited = GetTickCount64() - started) {
      const ThreadDialogs found = Poll();
      if (!answered_ && ended(found, waited))
        return true;
    }
    return false;
  }
  // True once the window waits for the designer (see DesignerWait).
  bool WindowWaits(const ThreadDialogs& found);
  // Starts the designer's wait afresh, as after a command pressed.
  void Restart() { designer_wait_.Restart(); }
  // Leaves the library: message boxes are still read out and answered, every other dialog is
  // cancelled as soon as it waits for input. Never returns; the program ends when the library
  // returns.
  [[noreturn]] void CloseWindows();

 private:
  ThreadDialogs Poll();
  ThreadDialogs Settle();
  bool AnswerDialogs(const ThreadDialogs& found);
  bool AnswerMessageBox(HWND box);
  bool AnswerFileDialog(HWND dialog);
  bool Answered(HWND dialog) const;
  void ForgetClosed();
  void WaitUntilTaken(HWND dialog) const;

  DWORD thread_;
  DesignerAnswers answers_;
  HWND window_ = nullptr;
  bool answered_ = false;               // the last poll answered a dialog
  std::vector<HWND> answered_dialogs_;  // dialogs answered, perhaps not gone yet
  DesignerWait designer_wait_;          // of the window
};

}  // namespace zuro::standin
