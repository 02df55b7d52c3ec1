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
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "base/text_encoding.h"
#include "base/win32_text.h"
#include "standin/dialog_player_win32.h"
#include "standin/object_list_printout.h"
#include "standin/program_win32.h"

namespace {

using namespace zuro::standin;

// LoadBom leaves its arguments to the caller to remove; the two reading exports remove their own.
using LoadBomProc = int(__cdecl*)(char*, void*, char*);
using ObjectTypeProc = int(WINAPI*)(char*);
using ObjectAttributeProc = int(WINAPI*)(char*, void*, char*);

constexpr char kProgram[] = "veldor-host";
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

constexpr char kUsage[] =
    "usage: veldor-host.exe REPORT [--library PATH] [--create | --cancel | --pick COMMAND]\n";

bool ParseOptions(int argc, wchar_t** argv, Options& options) {
  options.library = ProgramFolder() + L"zuro.dll";
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

// The designer's part, played on the watcher's thread: wait until the PDM window waits for the
// designer, press the command asked for, and see the window close. Message boxes met on the way
// are printed to standard error and answered with OK (a question with No); a file dialog is
// cancelled, as the window's report is the one LoadBom handed over.
class PdmRoad {
 public:
  explicit PdmRoad(Watch& watch)
      : watch_(watch),
        player_(watch.ui_thread,
                {IDNO, [this](const ShownMessage& message) { Read(message); }, nullptr}) {}

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
  void Read(const ShownMessage& message);
  // The road cannot go on: the window is closed as the designer would, so that LoadBom returns.
  bool Fail(const std::string& why) {
    watch_.failure = why;
    watch_.step = RoadStep::kFailed;
    if (player_.Window())
      PostMessageW(player_.Window(), WM_COMMAND, MAKEWPARAM(kExitCommand, 0), 0);
    return false;
  }

  Watch& watch_;
  int messages_ = 0;  // message boxes answered since the command was pressed
  DialogPlayer player_;
};

// A message is printed as "caption: text", or as its text alone when it has no caption.
void PdmRoad::Read(const ShownMessage& message) {
  Print(stderr,
        (message.caption.empty() ? "" : Utf8(message.caption) + ": ") + Utf8(message.text) + "\n");
  if (watch_.step == RoadStep::kPressing)
    ++messages_;
}

bool PdmRoad::WaitForWindow() {
  if (player_.PlayUntil(kWindowTimeout, [&](const ThreadDialogs& found, ULONGLONG) {
        return player_.WindowWaits(found);
      }))
    return true;
  return Fail(player_.Window() ? "the PDM window never waited for the designer"
                               : "no PDM window was shown");
}

// "Создать объекты ЭРИ" is pressed only when a person could pick it: a window without a table
// keeps it greyed.
bool PdmRoad::PressCommand() {
  HWND window = player_.Window();
  player_.Restart();
  watch_.step = RoadStep::kPressing;
  if (watch_.press == Press::kCancel) {
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(kExitCommand, 0), 0);
    return true;
  }
  if (watch_.press == Press::kPick) {
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(watch_.picked_command, 0), 0);
    return true;
  }
  if (!CanPickCommand(GetMenu(window), kCreateCommand))
    return Fail(zuro::Cp1251ToUtf8("the PDM window offers no \"Создать объекты ЭРИ\" to pick"));
  PostMessageW(window, WM_COMMAND, MAKEWPARAM(kCreateCommand, 0), 0);
  return true;
}

// Create and Exit both close the window; one that waits for the designer again after telling
// something kept its objects back.
bool PdmRoad::SeeWindowClose() {
  HWND window = player_.Window();
  bool stayed = false;
  if (player_.PlayUntil(kCommandTimeout, [&](const ThreadDialogs& found, ULONGLONG) {
        stayed = messages_ > 0 && player_.WindowWaits(found);
        return !IsWindow(window) || stayed;
      }))
    return !stayed || Fail("the PDM window stayed open after its command");
  return Fail("the PDM window did not close after its command");
}

DWORD WINAPI WatchWindows(void* parameter) {
  auto* watch = static_cast<Watch*>(parameter);
  PdmRoad road(*watch);
  road.Play();
  return 0;
}

std::string BufferText(const char* buffer) {
  return std::string(buffer, strnlen(buffer, kBufferSize));
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  Options options;
  if (!ParseOptions(argc, argv, options))
    return Usage(kUsage);
  // The PDM hands the path over in code page 1251, in its 200-byte buffer.
  const std::wstring report = WindowsPath(options.report);
  const std::string report_cp1251 = zuro::Cp1251FromWide(report.c_str());
  if (report_cp1251.size() >= kBufferSize || zuro::WideFromCp1251(report_cp1251) != report) {
    Complain(kProgram, "the PDM cannot hand over the path " + Utf8(report) +
                           ": it must be code page 1251 and shorter than 200 bytes");
    return 1;
  }

  HMODULE library = LoadLibraryW(WindowsPath(options.library).c_str());
  if (!library) {
    Complain(kProgram, "cannot load the library");
    return 1;
  }
  const auto load_bom = LibraryExport<LoadBomProc>(library, "LoadBom");
  const auto object_type = LibraryExport<ObjectTypeProc>(library, "GetObjectType1");
  const auto object_attribute = LibraryExport<ObjectAttributeProc>(library, "GetObjectAttribute");
  if (!load_bom || !object_type || !object_attribute) {
    Complain(kProgram, "the library lacks LoadBom, GetObjectType1 or GetObjectAttribute");
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
  // Nothing in a test may wait for a person: a played road ends within the watchdog's time.
  std::optional<Watchdog> watchdog;
  if (played)
    watchdog.emplace(kRoadPatience, kProgram, "timed out waiting for the PDM window");

  char first[kBufferSize] = {};
  char third[kBufferSize] = {};
  report_cp1251.copy(first, kBufferSize - 1);
  load_bom(first, nullptr, third);
  Print(stdout, "TYPE1=" + zuro::Cp1251ToUtf8(BufferText(first)) +
                    "\nTYPE2=" + zuro::Cp1251ToUtf8(BufferText(third)) + "\n");

  int status = 0;
  if (played) {
    // The window has closed; the watcher sees it at its next poll.
    WaitFor([] { return watch.step == RoadStep::kPlayed || watch.step == RoadStep::kFailed; },
            20 * kPoll, kPoll);
    if (watch.step != RoadStep::kPlayed) {
      Complain(kProgram, watch.step == RoadStep::kFailed
                             ? watch.failure
                             : "the PDM window closed before it was played");
      status = 1;
    }
  }

  const zuro::standin::ObjectListCalls calls{
      [&](char* buffer) { return object_type(buffer); },
      [&](char* name, char* value) { object_attribute(name, nullptr, value); }};
  // The list is written in binary, its line ends as the text mode would write them: the C
  // runtime's text mode hands a large output to the system a few hundred bytes at a time.
  std::fflush(stdout);
  _setmode(_fileno(stdout), _O_BINARY);
  PrintObjectList(calls, stdout, "\r\n");
  FreeLibrary(library);
  return status;
}
