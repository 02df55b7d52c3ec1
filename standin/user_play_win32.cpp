#include "standin/user_play_win32.h"

#include <algorithm>
#include <utility>

#include "standin/program_win32.h"

namespace zuro::standin {

namespace {

constexpr int kFileNameCombo = 0x47c;  // cmb13 of the common file dialog
constexpr int kFileNameEdit = 0x480;   // edt1, its older form
constexpr int kMessageBoxText = 0xFFFF;
constexpr int kPollsToSettle = 2;

std::wstring ClassName(HWND window) {
  wchar_t class_name[64] = {};
  GetClassNameW(window, class_name, 64);
  return class_name;
}

bool IsDialogClass(HWND window) {
  return ClassName(window) == L"#32770";
}

BOOL CALLBACK CollectDialog(HWND window, LPARAM parameter) {
  if (!IsDialogClass(window))
    return TRUE;
  auto* found = reinterpret_cast<ThreadDialogs*>(parameter);
  found->all.push_back(window);
  if (!IsWindowVisible(window))
    return TRUE;
  found->shown.push_back(window);
  if (GetDlgItem(window, kFileNameCombo) || GetDlgItem(window, kFileNameEdit))
    found->file_dialog = window;
  else if (GetMenu(window))
    found->converter = window;
  else if (IsMessageBox(window))
    found->message_boxes.push_back(window);
  return TRUE;
}

// Class names only: reading a control's text would wait for the window's thread.
struct Controls {
  int buttons = 0;
  int others = 0;  // controls of any other class than button and static text
};

BOOL CALLBACK CountControl(HWND control, LPARAM parameter) {
  auto* controls = reinterpret_cast<Controls*>(parameter);
  const std::wstring class_name = ClassName(control);
  if (class_name == L"Button")
    ++controls->buttons;
  else if (class_name != L"Static")
    ++controls->others;
  return TRUE;
}

BOOL CALLBACK FindStaticText(HWND control, LPARAM parameter) {
  auto* text = reinterpret_cast<std::wstring*>(parameter);
  if (ClassName(control) == L"Static")
    *text = WindowText(control);
  return text->empty();
}

void SetFileName(HWND dialog, const std::wstring& path) {
  HWND name = GetDlgItem(dialog, kFileNameCombo);
  if (!name)
    name = GetDlgItem(dialog, kFileNameEdit);
  SetWindowTextW(name, path.c_str());
}

Controls CountControls(HWND dialog) {
  Controls controls;
  EnumChildWindows(dialog, CountControl, reinterpret_cast<LPARAM>(&controls));
  return controls;
}

// What the watchdog's thread owns: it outlives the Watchdog that started it.
struct WatchdogWatch {
  DWORD patience;
  std::string program;
  std::string complaint;
  HANDLE called_off;
};

DWORD WINAPI WatchTheRun(void* parameter) {
  auto* watch = static_cast<WatchdogWatch*>(parameter);
  if (WaitForSingleObject(watch->called_off, watch->patience) == WAIT_TIMEOUT) {
    Complain(watch->program, watch->complaint);
    ExitProcess(kTimedOut);
  }
  CloseHandle(watch->called_off);
  delete watch;
  return 0;
}

}  // namespace

std::wstring WindowText(HWND window) {
  wchar_t text[2048] = {};
  GetWindowTextW(window, text, 2048);
  return text;
}

bool DesignerWait::Waits(HWND window, const ThreadDialogs& found) {
  const bool alone = found.shown.size() == 1 && found.shown[0] == window;
  if (!alone || (polls_ > 0 && found.all != dialogs_)) {
    polls_ = 0;
    return false;
  }
  dialogs_ = found.all;
  return ++polls_ >= kPollsToSettle;
}

ThreadDialogs FindThreadDialogs(DWORD thread) {
  ThreadDialogs found;
  EnumThreadWindows(thread, CollectDialog, reinterpret_cast<LPARAM>(&found));
  return found;
}

bool WaitsForInput(HWND window) {
  DWORD_PTR result;
  return SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &result) != 0;
}

void AnswerFileDialog(HWND dialog, const std::wstring& path) {
  SetFileName(dialog, path);
  SendMessageW(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
}

void TypeIntoFileDialog(HWND dialog, const std::wstring& path) {
  SetFileName(dialog, path);
  PressButton(dialog, IDOK);
}

// Windows and Wine build message boxes of a static icon, a static text and push buttons; the
// library's own dialogs all hold edit fields, lists or the grid besides.
bool IsMessageBox(HWND dialog) {
  if (!IsDialogClass(dialog) || GetMenu(dialog))
    return false;
  const Controls controls = CountControls(dialog);
  return controls.buttons > 0 && controls.others == 0;
}

// Windows and Wine give the text the id 0xFFFF; any other build of the box is read by its first
// static text that says something (the icon says nothing).
std::wstring MessageBoxText(HWND box) {
  if (HWND text = GetDlgItem(box, kMessageBoxText))
    return WindowText(text);
  std::wstring text;
  EnumChildWindows(box, FindStaticText, reinterpret_cast<LPARAM>(&text));
  return text;
}

bool AsksQuestion(HWND box) {
  return HasButton(box, IDYES) || HasButton(box, IDNO);
}

bool HasButton(HWND dialog, int id) {
  HWND button = GetDlgItem(dialog, id);
  return button && IsWindowVisible(button);
}

void PressButton(HWND dialog, int id) {
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

void CancelWaitingDialogs(const std::vector<HWND>& dialogs) {
  for (HWND dialog : dialogs) {
    if (WaitsForInput(dialog))
      PressButton(dialog, IDCANCEL);
  }
}

void CloseAllDialogs(DWORD thread) {
  std::vector<HWND> cancelled;
  WaitFor([&] {
    const std::vector<HWND> dialogs = FindThreadDialogs(thread).all;
    for (HWND dialog : dialogs) {
      if (std::find(cancelled.begin(), cancelled.end(), dialog) == cancelled.end()) {
        PressButton(dialog, IDCANCEL);
        cancelled.push_back(dialog);
      }
    }
    return dialogs.empty();
  });
}

Watchdog::Watchdog(DWORD patience, std::string program, std::string complaint)
    : called_off_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
  auto* watch = new WatchdogWatch{patience, std::move(program), std::move(complaint), called_off_};
  CloseHandle(CreateThread(nullptr, 0, WatchTheRun, watch, 0, nullptr));
}

Watchdog::~Watchdog() {
  SetEvent(called_off_);
}

bool CanPickCommand(HMENU menu, UINT command) {
  const int count = GetMenuItemCount(menu);
  for (int i = 0; i < count; ++i) {
    const bool enabled = (GetMenuState(menu, i, MF_BYPOSITION) & (MF_GRAYED | MF_DISABLED)) == 0;
    if (HMENU sub_menu = GetSubMenu(menu, i)) {
      if (enabled && CanPickCommand(sub_menu, command))
        return true;
    } else if (GetMenuItemID(menu, i) == command) {
      return enabled;
    }
  }
  return false;
}

}  // namespace zuro::standin
