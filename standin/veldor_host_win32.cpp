// veldor-host.exe: the stand-in PDM caller. It loads zuro.dll as the PDM VELDOR does, calls
// LoadBom on a report, and once the PDM window has closed reads the objects back through
// GetObjectType1 and GetObjectAttribute and prints them, one object a line: its type, "#", its
// attributes as NAME=VALUE;. Before them come the two type names LoadBom handed back, one line
// each (TYPE1=..., TYPE2=...).
//
//   veldor-host.exe REPORT [--library PATH] [--create | --cancel | --pick COMMAND]
//
// --create presses "Создать объекты ЭРИ" from outside the library, through window messages, as
// soon as the window waits for the designer; --cancel presses "Выход". --pick picks the menu
// command of that number (1003 the ERI templates, 32784 the SE templates, ...) and leaves what it
// opens to a person, for a look at it. With none of them the window waits for a person. The
// messages the window shows on the way are printed to standard error as "caption: text" and
// answered; so are the two object type names LoadBom hands back.
//
// Exit status: 0 when the road ran; 1 when the library could not be loaded or lacks the PDM's
// exports, or the window could not be played as asked; 2 for bad usage; 3 when the window still
// waited after the watchdog's time.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "base/text_encoding.h"
#include "base/win32_text.h"
#include "standin/object_list_printout.h"
#include "standin/program_paths_win32.h"
#include "standin/user_play_win32.h"

namespace {

using zuro::standin::CanPickCommand;
using zuro::standin::DesignerWait;
using zuro::standin::FindThreadDialogs;
using zuro::standin::HasButton;
using zuro::standin::MessageBoxText;
using zuro::standin::PressButton;
using zuro::standin::ThreadDialogs;
using zuro::standin::Utf8;
using zuro::standin::WaitsForInput;
using zuro::standin::WindowsPath;
using zuro::standin::WindowText;

// LoadBom leaves its arguments to the caller to remove; the two reading exports remove their own.
using LoadBomProc = int(__cdecl*)(char*, void*, char*);
using ObjectTypeProc = int(WINAPI*)(char*);
using ObjectAttributeProc = int(WINAPI*)(char*, void*, char*);

constexpr size_t kBufferSize = 200;
constexpr int kCreateCommand = IDOK;    // "Создать объекты ЭРИ"
constexpr int kExitCommand = IDCANCEL;  // "Выход"

enum class Press { kNobody, kCreate, kCancel, kPick };

struct Options {
  std::wstring report;
  std::wstring library;
  Press press = Press::kNobody;
  int picked_command = 0;  // with Press::kPick
};

// The road goes step by step; the program's exit status comes from the step it reached.
enum class RoadStep { kWaitingForWindow, kPressing, kPlayed, kFailed };

void PrintTo(std::FILE* stream, const std::string& utf8) {
  std::fwrite(utf8.data(), 1, utf8.size(), stream);
  std::fflush(stream);
}

void Complain(const std::string& utf8) {
  std::fflush(stdout);
  PrintTo(stderr, "veldor-host: " + utf8 + "\n");
}

int Usage() {
  std::fputs(
      "usage: veldor-host.exe REPORT [--library PATH] [--create | --cancel | --pick COMMAND]\n",
      stderr);
  return 2;
}

bool ParseOptions(int argc, wchar_t** argv, Options& options) {
  options.library = zuro::standin::ProgramFolder() + L"zuro.dll";
  bool pressed = false;
  for (int i = 1; i < argc; ++i) {
    const std::wstring arg = argv[i];
    if (arg == L"--library" && i + 1 < argc) {
      options.library = argv[++i];
    } else if ((arg == L"--create" || arg == L"--cancel") && !pressed) {
      options.press = arg == L"--create" ? Press::kCreate : Press::kCancel;
      pressed = true;
    } else if (arg == L"--pick" && i + 1 < argc && !pressed) {
      options.press = Press::kPick;
      options.picked_command = _wtoi(argv[++i]);
      pressed = true;
      if (options.picked_command <= 0)
        return false;
    } else if (!arg.starts_with(L"-") && options.report.empty()) {
      options.report = arg;
    } else {
      return false;
    }
  }
  return !options.report.empty();
}

struct Watch {
  DWORD ui_thread = 0;
  Press press = Press::kNobody;
  int picked_command = 0;
  std::atomic<RoadStep> step{RoadStep::kWaitingForWindow};
  std::string failure;  // why the road could not be played (UTF-8); written before step is kFailed
};

// How long the road waits for each of its steps (ms), polling every kPoll ms.
constexpr DWORD kPoll = 100;
constexpr DWORD kWindowTimeout = 20000;
constexpr DWORD kCloseTimeout = 45000;

// The designer's part, played on the watcher's thread: wait until the PDM window waits for the
// designer, press the command asked for, and see the window close. Message boxes met on the way
// are printed and answered with OK (a question with No); a file dialog is cancelled, as the
// window's report is the one LoadBom handed over.
class PdmRoad {
 public:
  explicit PdmRoad(Watch& watch) : watch_(watch) {}

  void Play() {
    if (!WaitForWindow() || !PressCommand())
      return;
    if (watch_.press == Press::kPick || SeeWindowClose())
      watch_.step = RoadStep::kPlayed;
  }

 private:
  bool WaitForWindow();
  bool PressCommand();
  bool SeeWindowClose();
  ThreadDialogs Settle() const;
  bool AnswerDialogs(const ThreadDialogs& found);
  // The road cannot go on: the window is closed as the designer would, so that LoadBom returns.
  bool Fail(const std::string& why) {
    watch_.failure = why;
    watch_.step = RoadStep::kFailed;
    if (window_)
      PostMessageW(window_, WM_COMMAND, MAKEWPARAM(kExitCommand, 0), 0);
    return false;
  }

  Watch& watch_;
  HWND window_ = nullptr;
  std::vector<HWND> answered_;  // dialogs answered, perhaps not gone yet
  int messages_ = 0;            // message boxes answered since the command was pressed
  DesignerWait designer_wait_;  // of the PDM window
};

// The thread is asked first, through the PDM window: it answers once it is back in a message
// loop, and by then a dialog it was making is there to be found.
ThreadDialogs PdmRoad::Settle() const {
  if (window_)
    WaitsForInput(window_);
  return FindThreadDialogs(watch_.ui_thread);
}

// The answer is posted and counted as given; the dialog goes away by itself.
bool PdmRoad::AnswerDialogs(const ThreadDialogs& found) {
  std::erase_if(answered_, [](HWND dialog) { return !IsWindow(dialog); });
  bool answered = false;
  for (HWND box : found.message_boxes) {
    if (std::find(answered_.begin(), answered_.end(), box) != answered_.end() ||
        !WaitsForInput(box))
      continue;
    const std::wstring caption = WindowText(box);
    PrintTo(stderr,
            (caption.empty() ? "" : Utf8(caption) + ": ") + Utf8(MessageBoxText(box)) + "\n");
    PressButton(box, HasButton(box, IDOK) ? IDOK : IDNO);
    answered_.push_back(box);
    if (watch_.step == RoadStep::kPressing)
      ++messages_;
    answered = true;
  }
  if (found.message_boxes.empty() && found.file_dialog &&
      std::find(answered_.begin(), answered_.end(), found.file_dialog) == answered_.end() &&
      WaitsForInput(found.file_dialog)) {
    PressButton(found.file_dialog, IDCANCEL);
    answered_.push_back(found.file_dialog);
    answered = true;
  }
  return answered;
}

bool PdmRoad::WaitForWindow() {
  const ULONGLONG started = GetTickCount64();
  while (GetTickCount64() - started < kWindowTimeout) {
    Sleep(kPoll);
    const ThreadDialogs found = Settle();
    if (!window_ && found.converter)
      window_ = found.converter;
    if (AnswerDialogs(found)) {
      designer_wait_.Restart();
      continue;
    }
    if (window_ && designer_wait_.Waits(window_, found))
      return true;
  }
  return Fail(window_ ? "the PDM window never waited for the designer" : "no PDM window was shown");
}

// "Создать объекты ЭРИ" is pressed only when a person could pick it: a window without a table
// keeps it greyed.
bool PdmRoad::PressCommand() {
  designer_wait_.Restart();
  watch_.step = RoadStep::kPressing;
  if (watch_.press == Press::kCancel) {
    PostMessageW(window_, WM_COMMAND, MAKEWPARAM(kExitCommand, 0), 0);
    return true;
  }
  if (watch_.press == Press::kPick) {
    PostMessageW(window_, WM_COMMAND, MAKEWPARAM(watch_.picked_command, 0), 0);
    return true;
  }
  if (!CanPickCommand(GetMenu(window_), kCreateCommand))
    return Fail(zuro::Cp1251ToUtf8("the PDM window offers no \"Создать объекты ЭРИ\" to pick"));
  PostMessageW(window_, WM_COMMAND, MAKEWPARAM(kCreateCommand, 0), 0);
  return true;
}

// Create and Exit both close the window; one that waits for the designer again after telling
// something kept its objects back.
bool PdmRoad::SeeWindowClose() {
  const ULONGLONG started = GetTickCount64();
  while (GetTickCount64() - started < kCloseTimeout) {
    Sleep(kPoll);
    if (!IsWindow(window_))
      return true;
    const ThreadDialogs found = Settle();
    if (AnswerDialogs(found)) {
      designer_wait_.Restart();
      continue;
    }
    if (messages_ > 0 && designer_wait_.Waits(window_, found))
      return Fail("the PDM window stayed open after its command");
  }
  return Fail("the PDM window did not close after its command");
}

DWORD WINAPI WatchWindows(void* parameter) {
  auto* watch = static_cast<Watch*>(parameter);
  PdmRoad road(*watch);
  road.Play();
  return 0;
}

// Nothing in a test may wait for a person: a played road ends within a minute and a half.
DWORD WINAPI Watchdog(void*) {
  Sleep(90000);
  Complain("timed out waiting for the PDM window");
  ExitProcess(3);
}

template <typename Proc>
Proc Export(HMODULE module, const char* name) {
  return reinterpret_cast<Proc>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

std::string BufferText(const char* buffer) {
  return std::string(buffer, strnlen(buffer, kBufferSize));
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  Options options;
  if (!ParseOptions(argc, argv, options))
    return Usage();
  // The PDM hands the path over in code page 1251, in its 200-byte buffer.
  const std::wstring report = WindowsPath(options.report);
  const std::string report_cp1251 = zuro::Cp1251FromWide(report.c_str());
  if (report_cp1251.size() >= kBufferSize || zuro::WideFromCp1251(report_cp1251) != report) {
    Complain("the PDM cannot hand over the path " + Utf8(report) +
             ": it must be code page 1251 and shorter than 200 bytes");
    return 1;
  }

  HMODULE library = LoadLibraryW(WindowsPath(options.library).c_str());
  if (!library) {
    Complain("cannot load the library");
    return 1;
  }
  const auto load_bom = Export<LoadBomProc>(library, "LoadBom");
  const auto object_type = Export<ObjectTypeProc>(library, "GetObjectType1");
  const auto object_attribute = Export<ObjectAttributeProc>(library, "GetObjectAttribute");
  if (!load_bom || !object_type || !object_attribute) {
    Complain("the library lacks LoadBom, GetObjectType1 or GetObjectAttribute");
    return 1;
  }

  static Watch watch;
  watch.ui_thread = GetCurrentThreadId();
  watch.press = options.press;
  watch.picked_command = options.picked_command;
  // A picked command leaves the window to a person, as a window no one presses is.
  const bool played = options.press == Press::kCreate || options.press == Press::kCancel;
  if (options.press != Press::kNobody)
    CloseHandle(CreateThread(nullptr, 0, WatchWindows, &watch, 0, nullptr));
  if (played)
    CloseHandle(CreateThread(nullptr, 0, Watchdog, nullptr, 0, nullptr));

  char first[kBufferSize] = {};
  char third[kBufferSize] = {};
  report_cp1251.copy(first, kBufferSize - 1);
  load_bom(first, nullptr, third);
  PrintTo(stdout, "TYPE1=" + zuro::Cp1251ToUtf8(BufferText(first)) +
                      "\nTYPE2=" + zuro::Cp1251ToUtf8(BufferText(third)) + "\n");

  int status = 0;
  if (played) {
    // The window has closed; the watcher sees it at its next poll.
    for (int polls = 0;
         polls < 20 && watch.step != RoadStep::kPlayed && watch.step != RoadStep::kFailed; ++polls)
      Sleep(kPoll);
    if (watch.step != RoadStep::kPlayed) {
      Complain(watch.step == RoadStep::kFailed ? watch.failure
                                               : "the PDM window closed before it was played");
      status = 1;
    }
  }

  const zuro::standin::ObjectListCalls calls{
      [&](char* buffer) { return object_type(buffer); },
      [&](char* name, char* value) { object_attribute(name, nullptr, value); }};
  for (const std::string& object : zuro::standin::ReadBackObjectList(calls))
    PrintTo(stdout, zuro::Cp1251ToUtf8(object) + "\n");
  FreeLibrary(library);
  return status;
}
