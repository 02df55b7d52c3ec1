#include "standin/dialog_player_win32.h"

#include <algorithm>
#include <iterator>
#include <utility>

namespace zuro::standin {

namespace {

// How long an answer may take to be taken (ms), and how often that is looked at.
constexpr DWORD kTakenTimeout = 2000;
constexpr DWORD kTakenPoll = 2;

bool Holds(const std::vector<HWND>& dialogs, HWND dialog) {
  return std::find(dialogs.begin(), dialogs.end(), dialog) != dialogs.end();
}

}  // namespace

DialogPlayer::DialogPlayer(DWORD thread, DesignerAnswers answers)
    : thread_(thread), answers_(std::move(answers)) {}

bool DialogPlayer::WindowWaits(const ThreadDialogs& found) {
  return window_ && designer_wait_.Waits(window_, found);
}

// Whatever was answered, the designer's wait starts afresh: the window waits alone only once the
// answer's consequences have settled. A poll right after an answer does not wait first: the answer
// was taken (its box gone or another one open), and the library may already show the next box,
// which a designer who reads and answers at once would not leave standing for a poll's time.
ThreadDialogs DialogPlayer::Poll() {
  if (!answered_)
    Sleep(kPoll);
  const ThreadDialogs found = Settle();
  answered_ = AnswerDialogs(found);
  if (answered_)
    designer_wait_.Restart();
  return found;
}

// The thread is asked first, through the window: it answers once it is back in a message loop,
// its own or a dialog's, and by then a dialog it was making is there to be found.
ThreadDialogs DialogPlayer::Settle() {
  if (window_)
    WaitsForInput(window_);
  ThreadDialogs found = FindThreadDialogs(thread_);
  if (!window_)
    window_ = found.converter;
  return found;
}

// While a message box is open nothing else is touched: the dialog under it waits for its answer.
bool DialogPlayer::AnswerDialogs(const ThreadDialogs& found) {
  ForgetClosed();
  if (!found.message_boxes.empty()) {
    bool answered = false;
    for (HWND box : found.message_boxes)
      answered = AnswerMessageBox(box) || answered;
    return answered;
  }
  return found.file_dialog && AnswerFileDialog(found.file_dialog);
}

// A question gets the designer's answer, a message OK; a box without that button is cancelled.
bool DialogPlayer::AnswerMessageBox(HWND box) {
  if (Answered(box) || !WaitsForInput(box))
    return false;
  const ShownMessage message{WindowText(box), MessageBoxText(box), AsksQuestion(box)};
  if (answers_.read)
    answers_.read(message);
  const int button = message.question ? answers_.to_questions : IDOK;
  PressButton(box, HasButton(box, button) ? button : IDCANCEL);
  answered_dialogs_.push_back(box);
  WaitUntilTaken(box);
  return true;
}

// A dialog met again is one that refused its path, the box that said why answered already.
bool DialogPlayer::AnswerFileDialog(HWND dialog) {
  if (!WaitsForInput(dialog))
    return false;
  const std::wstring path = answers_.file_path ? answers_.file_path(Answered(dialog)) : L"";
  if (path.empty()) {
    PressButton(dialog, IDCANCEL);
  } else {
    TypeIntoFileDialog(dialog, path);
    answered_dialogs_.push_back(dialog);
  }
  WaitUntilTaken(dialog);
  return true;
}

bool DialogPlayer::Answered(HWND dialog) const {
  return Holds(answered_dialogs_, dialog);
}

void DialogPlayer::ForgetClosed() {
  std::erase_if(answered_dialogs_, [](HWND dialog) { return !IsWindow(dialog); });
}

// An answer is posted, so that a dialog that opens another one under it never waits for this
// thread; the answer counts as taken once its dialog is gone or has opened a message box.
void DialogPlayer::WaitUntilTaken(HWND dialog) const {
  WaitFor(
      [&] {
        if (!IsWindow(dialog))
          return true;
        const ThreadDialogs found = FindThreadDialogs(thread_);
        return std::any_of(found.message_boxes.begin(), found.message_boxes.end(),
                           [&](HWND box) { return box != dialog; });
      },
      kTakenTimeout, kTakenPoll);
}

void DialogPlayer::CloseWindows() {
  for (;;) {
    Sleep(kPoll);
    const ThreadDialogs found = Settle();
    ForgetClosed();
    for (HWND box : found.message_boxes)
      AnswerMessageBox(box);
    std::vector<HWND> others;
    std::copy_if(found.shown.begin(), found.shown.end(), std::back_inserter(others),
                 [&](HWND dialog) { return !Holds(found.message_boxes, dialog); });
    CancelWaitingDialogs(others);
  }
}

}  // namespace zuro::standin
