// zentar-host.exe: the stand-in host program. It loads zuro.dll as the ZENTAR host does, reads its
// name and identifier, and runs a library command against the stand-in host of zapi5.dll. With
// --create it then plays the designer's part of a whole document road from outside the library.
//
//   zentar-host.exe [--library PATH] [--command N] [--graphic | --model ITEMS.txt]
//                   [--host-state N] [--answer-file PATH] [--close-windows] [--log]
//                   [--create ID [--answer yes|no] [--save-as PATH]] [--document-out OUT.json]
//
// Exit status: 0 when the command (and the road) ran; 1 when a file given could not be read or
// written, the library could not be loaded or the road could not be played; 2 for bad usage; 3
// when the library's windows still waited after the watchdog's time.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "base/file_system.h"
#include "base/paths.h"
#include "base/text_encoding.h"
#include "base/win32_text.h"
#include "standin/dialog_player_win32.h"
#include "standin/program_win32.h"
#include "standin/zapi5.h"

namespace {

using namespace zuro::standin;
using LibraryNameProc = const char* (*)();
using LibraryIdProc = int (*)();

constexpr char kProgram[] = "zentar-host";
constexpr int kOpenReportCommand = 1012;
constexpr int kCreateCommands[] = {32777, 32778, 32779, 32780};

struct Options {
  std::wstring library;
  int command = -1;
  bool graphic = false;
  std::wstring model_items;
  int host_state = 0;
  std::wstring answer_file;
  bool close_windows = false;
  int pick_command = 0;  // --pick: a menu command picked once the report is loaded
  bool log = false;
  int create_command = 0;  // 0: no document road
  int answer = IDYES;
  bool answer_given = false;
  std::wstring save_as;
  std::wstring document_out;
};

constexpr char kUsage[] =
    "usage: zentar-host.exe [--library PATH] [--command N] [--graphic | --model ITEMS.txt]\n"
    "                       [--host-state N] [--answer-file PATH [--pick ID]] [--close-windows]\n"
    "                       [--log]\n"
    "                       [--create ID [--answer yes|no] [--save-as PATH]]\n"
    "                       [--document-out OUT.json]\n"
    "  --create ID needs --command and --answer-file; ID is 32777 (specification), 32778 or\n"
    "  32780 (list of elements by elements or by GOST) or 32779 (purchased-items list)\n";

bool ParseAnswer(const std::wstring& text, Options& options) {
  options.answer_given = true;
  if (text == L"yes")
    options.answer = IDYES;
  else if (text == L"no")
    options.answer = IDNO;
  else
    return false;
  return true;
}

bool ParseOptions(int argc, wchar_t** argv, Options& options) {
  options.library = ProgramFolder() + L"zuro.dll";
  for (int i = 1; i < argc; ++i) {
    const std::wstring arg = argv[i];
    const bool has_value = i + 1 < argc;
    if (arg == L"--library" && has_value)
      options.library = argv[++i];
    else if (arg == L"--command" && has_value)
      options.command = _wtoi(argv[++i]);
    else if (arg == L"--graphic")
      options.graphic = true;
    else if (arg == L"--model" && has_value)
      options.model_items = argv[++i];
    else if (arg == L"--host-state" && has_value)
      options.host_state = _wtoi(argv[++i]);
    else if (arg == L"--answer-file" && has_value)
      options.answer_file = argv[++i];
    else if (arg == L"--pick" && has_value)
      options.pick_command = _wtoi(argv[++i]);
    else if (arg == L"--close-windows")
      options.close_windows = true;
    else if (arg == L"--log")
      options.log = true;
    else if (arg == L"--create" && has_value)
      options.create_command = _wtoi(argv[++i]);
    else if (arg == L"--answer" && has_value) {
      if (!ParseAnswer(argv[++i], options))
        return false;
    } else if (arg == L"--save-as" && has_value)
      options.save_as = argv[++i];
    else if (arg == L"--document-out" && has_value)
      options.document_out = argv[++i];
    else
      return false;
  }
  if (options.graphic && !options.model_items.empty())
    return false;
  if (options.pick_command != 0 && (options.create_command != 0 || options.answer_file.empty()))
    return false;
  if (options.create_command == 0)
    return !options.answer_given && options.save_as.empty();
  return std::count(std::begin(kCreateCommands), std::end(kCreateCommands),
                    options.create_command) == 1 &&
         options.command >= 0 && !options.answer_file.empty();
}

// The document road (--create) goes step by step; the program's exit status comes from the step
// it reached.
enum class RoadStep { kWaitingForWindow, kLoadingTable, kRunningCommand, kPlayed, kFailed };

// The watcher plays the user from outside the library, through window messages only:
// --answer-file types a path into the first file dialog the library shows and presses its OK
// button (if the converter window waits without showing one, it picks "Открыть..." first);
// --close-windows then closes every dialog of the host's thread as soon as that thread waits for
// input again, as a user pressing "Выход" would. --create plays the document road instead (see
// DocumentRoad) and then closes the windows the same way.
struct Watch {
  DWORD ui_thread = 0;
  std::wstring answer_file;  // empty: no file dialog to answer
  bool close_windows = false;
  int pick_command = 0;
  int create_command = 0;
  int answer = IDYES;
  std::wstring save_as;  // empty: the document's save dialog is cancelled
  std::atomic<RoadStep> step{RoadStep::kWaitingForWindow};
  std::string failure;  // why the road could not be played; written before step is kFailed
};

// A command ends with its completion message; one that shows none counts as over when its window
// has waited this long for the user.
constexpr DWORD kQuietCommandTime = 20000;

// The designer's part of a document road, played on the watcher's thread: load the report given
// with --answer-file, pick the create command from the converter window's menu, answer what the
// command asks, and wait until the window waits for the designer again. Every message box met on
// the way is printed ("message: <caption>: <text>", questions as "question: ...") and answered:
// OK for a message, --answer for a question. The save dialog gets --save-as, or is cancelled.
class DocumentRoad {
 public:
  explicit DocumentRoad(Watch& watch)
      : watch_(watch),
        player_(watch.ui_thread,
                {watch.answer, [this](const ShownMessage& message) { Read(message); },
                 [this](bool again) { return FilePath(again); }}) {}

  void Play() {
    if (LoadTable() && PickCommand() && RunCommand())
      watch_.step = RoadStep::kPlayed;
  }
  [[noreturn]] void CloseWindows() { player_.CloseWindows(); }

 private:
  bool LoadTable();
  bool PickCommand();
  bool RunCommand();
  void Read(const ShownMessage& message);
  std::wstring FilePath(bool again);
  bool Fail(const std::string& why) {
    watch_.failure = why;
    watch_.step = RoadStep::kFailed;
    return false;
  }

  Watch& watch_;
  bool report_typed_ = false;
  int messages_ = 0;  // message boxes answered with OK since the command was picked
  DialogPlayer player_;
};

void DocumentRoad::Read(const ShownMessage& message) {
  Print(stdout, std::string(message.question ? "question: " : "message: ") + Utf8(message.caption) +
                    ": " + Utf8(message.text) + "\n");
  if (!message.question && watch_.step == RoadStep::kRunningCommand)
    ++messages_;
}

// The report goes into the first file dialog, the path of --save-as into each dialog of the
// command; without --save-as, and for any other file dialog, the designer cancels, as for a
// dialog that refused its path.
std::wstring DocumentRoad::FilePath(bool again) {
  if (again)
    return {};
  if (watch_.step == RoadStep::kRunningCommand)
    return watch_.save_as;
  if (report_typed_)
    return {};
  report_typed_ = true;
  return watch_.answer_file;
}

// Loaded means the converter window shows the report's name in its caption (":name") and waits
// for the designer again. Warnings the reading shows are answered on the way.
bool DocumentRoad::LoadTable() {
  int polls_without_dialog = 0;
  const bool waits = player_.PlayUntil(kWindowTimeout, [&](const ThreadDialogs& found, ULONGLONG) {
    HWND converter = player_.Window();
    if (converter && watch_.step == RoadStep::kWaitingForWindow)
      watch_.step = RoadStep::kLoadingTable;
    if (report_typed_)
      return player_.WindowWaits(found);
    if (converter && !found.file_dialog && ++polls_without_dialog == 10)
      PostMessageW(converter, WM_COMMAND, MAKEWPARAM(kOpenReportCommand, 0), 0);
    return false;
  });
  if (!player_.Window())
    return Fail("no converter window was shown");
  if (waits && WindowText(player_.Window()).find(L':') != std::wstring::npos)
    return true;
  return Fail("no table was loaded from " + Utf8(watch_.answer_file));
}

bool DocumentRoad::PickCommand() {
  HWND converter = player_.Window();
  if (!CanPickCommand(GetMenu(converter), static_cast<UINT>(watch_.create_command)))
    return Fail("the converter window's menu offers no command " +
                std::to_string(watch_.create_command) + " to pick");
  watch_.step = RoadStep::kRunningCommand;
  player_.Restart();
  PostMessageW(converter, WM_COMMAND, MAKEWPARAM(watch_.create_command, 0), 0);
  return true;
}

// The command is over when the converter window waits for the designer again after its
// completion message, or after kQuietCommandTime when it shows none. A window that closed has
// ended its command too.
bool DocumentRoad::RunCommand() {
  HWND converter = player_.Window();
  if (player_.PlayUntil(kCommandTimeout, [&](const ThreadDialogs& found, ULONGLONG waited) {
        return !IsWindow(converter) ||
               (player_.WindowWaits(found) && (messages_ > 0 || waited >= kQuietCommandTime));
      }))
    return true;
  return Fail("the command " + std::to_string(watch_.create_command) + " did not finish");
}

DWORD WINAPI WatchWindows(void* parameter) {
  auto* watch = static_cast<Watch*>(parameter);
  if (watch->create_command != 0) {
    DocumentRoad road(*watch);
    road.Play();
    road.CloseWindows();
  }
  bool answered = watch->answer_file.empty();
  int idle_polls = 0;
  for (;;) {
    Sleep(kPoll);
    const ThreadDialogs found = FindThreadDialogs(watch->ui_thread);
    if (!answered) {
      if (found.file_dialog && WaitsForInput(found.file_dialog)) {
        AnswerFileDialog(found.file_dialog, watch->answer_file);
        answered = true;
      } else if (found.converter && !found.file_dialog && ++idle_polls == 10) {
        PostMessageW(found.converter, WM_COMMAND, MAKEWPARAM(kOpenReportCommand, 0), 0);
      }
      continue;
    }
    // The menu command is picked once the converter window alone has waited for a second.
    if (watch->pick_command != 0 && found.converter && found.shown.size() == 1 &&
        WaitsForInput(found.converter) && ++idle_polls == 20) {
      PostMessageW(found.converter, WM_COMMAND, MAKEWPARAM(watch->pick_command, 0), 0);
      watch->pick_command = 0;
      continue;
    }
    if (watch->close_windows)
      CancelWaitingDialogs(found.shown);
  }
}

LRESULT CALLBACK HostWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  static LibraryEntryProc entry = nullptr;
  switch (message) {
    case WM_CREATE:
      entry = reinterpret_cast<LibraryEntryProc>(
          reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams);
      return 0;
    case WM_COMMAND:
      if (entry && LOWORD(wparam) >= 1 && LOWORD(wparam) <= 6)
        entry(LOWORD(wparam));
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcW(window, message, wparam, lparam);
}

// Without --command the host shows its main window with the library's menu, as ZENTAR does.
void RunHostWindow(HMODULE library, LibraryEntryProc entry, const std::string& name) {
  WNDCLASSW window_class = {};
  window_class.lpfnWndProc = HostWindowProc;
  window_class.hInstance = GetModuleHandleW(nullptr);
  window_class.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_APPWORKSPACE + 1);
  window_class.lpszClassName = L"ZentarHostWindow";
  RegisterClassW(&window_class);
  const HMENU menu = LoadMenuW(library, MAKEINTRESOURCEW(1001));
  const std::wstring title = L"ZENTAR (stand-in) - " + zuro::WideFromCp1251(name);
  HWND window = CreateWindowW(L"ZentarHostWindow", title.c_str(), WS_OVERLAPPEDWINDOW,
                              CW_USEDEFAULT, CW_USEDEFAULT, 800, 600, nullptr, menu,
                              window_class.hInstance, reinterpret_cast<void*>(entry));
  ShowWindow(window, SW_SHOW);
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

bool CanRead(const std::wstring& path) {
  FILE* file = _wfopen(WindowsPath(path).c_str(), L"rb");
  if (file)
    std::fclose(file);
  return file != nullptr;
}

// Every file the host was given to read must be there before the library runs.
bool InputFilesReadable(const Options& options) {
  if (!options.model_items.empty() && !CanRead(options.model_items)) {
    Complain(kProgram, "cannot read the model items file " + Utf8(options.model_items));
    return false;
  }
  if (!options.answer_file.empty() && !CanRead(options.answer_file)) {
    Complain(kProgram, "cannot read the file to answer with " + Utf8(options.answer_file));
    return false;
  }
  return true;
}

bool SetUpHost(const Options& options) {
  if (options.graphic)
    ZsimOpenGraphicDocument();
  if (!options.model_items.empty() &&
      !ZsimOpenModelDocument(WindowsPath(options.model_items).c_str())) {
    Complain(kProgram, "cannot read the model items file " + Utf8(options.model_items));
    return false;
  }
  ZsimSetHostState(options.host_state);
  return true;
}

void PrintCallLog() {
  std::vector<char> log(ZsimCallLog(nullptr, 0));
  ZsimCallLog(log.data(), static_cast<int>(log.size()));
  Print(stdout, log.data());
}

// The document that received the library's objects, in the stand-in's document format.
bool WriteTargetDocument(const std::wstring& path) {
  std::vector<char> json(ZsimTargetDocumentJson(nullptr, 0));
  ZsimTargetDocumentJson(json.data(), static_cast<int>(json.size()));
  const std::string text(json.data());
  if (text.empty()) {
    Complain(kProgram,
             "no document received the library's objects; nothing written to " + Utf8(path));
    return false;
  }
  const bool written = zuro::ReplaceFileContents(
      zuro::Utf8PathFromWide(WindowsPath(path).c_str()), [&](std::FILE* file) {
        return std::fwrite(text.data(), 1, text.size(), file) == text.size();
      });
  if (!written)
    Complain(kProgram, "cannot write the document to " + Utf8(path));
  return written;
}

// What went wrong on a road that did not reach its end while the library's windows closed.
std::string RoadFailure(const Watch& watch) {
  switch (watch.step.load()) {
    case RoadStep::kPlayed:
      return {};
    case RoadStep::kFailed:
      return watch.failure;
    case RoadStep::kWaitingForWindow:
      return "no converter window was shown";
    case RoadStep::kLoadingTable:
      return "the converter window closed before a table was loaded";
    case RoadStep::kRunningCommand:
      return "the converter window closed before the command finished";
  }
  return {};
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  Options options;
  if (!ParseOptions(argc, argv, options))
    return Usage(kUsage);
  if (!InputFilesReadable(options) || !SetUpHost(options))
    return 1;

  HMODULE library = LoadLibraryW(WindowsPath(options.library).c_str());
  if (!library) {
    Complain(kProgram, "cannot load the library");
    return 1;
  }
  const auto name = LibraryExport<LibraryNameProc>(library, "LIBRARYNAME");
  const auto id = LibraryExport<LibraryIdProc>(library, "LIBRARYID");
  const auto entry = LibraryExport<LibraryEntryProc>(library, "LIBRARYENTRY");
  if (!name || !id || !entry) {
    Complain(kProgram, "the library lacks LIBRARYNAME, LIBRARYID or LIBRARYENTRY");
    return 1;
  }
  const std::string library_name = name();
  Print(stdout, "LIBRARYNAME=" + zuro::Cp1251ToUtf8(library_name) + "\n");
  Print(stdout, "LIBRARYID=" + std::to_string(id()) + "\n");

  static Watch watch;
  watch.ui_thread = GetCurrentThreadId();
  watch.close_windows = options.close_windows;
  watch.pick_command = options.pick_command;
  if (!options.answer_file.empty())
    watch.answer_file = WindowsPath(options.answer_file);
  watch.create_command = options.create_command;
  watch.answer = options.answer;
  if (!options.save_as.empty())
    watch.save_as = WindowsPath(options.save_as);
  // The file dialogs move the current folder to the report's: the document goes where the path
  // named it when the host started.
  if (!options.document_out.empty())
    options.document_out = WindowsPath(options.document_out);
  const bool road = options.create_command != 0;
  if (options.close_windows || road || !watch.answer_file.empty())
    CloseHandle(CreateThread(nullptr, 0, WatchWindows, &watch, 0, nullptr));
  // Nothing in a test may wait for a person: the whole run ends after the watchdog's time at the
  // latest.
  std::optional<Watchdog> watchdog;
  if (options.close_windows || road)
    watchdog.emplace(road ? kRoadPatience : kRunPatience, kProgram,
                     "timed out waiting for the library's windows");
  if (options.command >= 0)
    entry(static_cast<unsigned int>(options.command));
  else if (!options.close_windows)
    RunHostWindow(library, entry, library_name);

  FreeLibrary(library);  // the library releases the host's objects as it unloads
  if (options.log)
    PrintCallLog();
  int status = 0;
  if (road) {
    // A window that closed by itself ended the road; the watcher says so at its next poll.
    WaitFor([] { return watch.step == RoadStep::kPlayed || watch.step == RoadStep::kFailed; },
            10 * kPoll, kPoll);
    if (const std::string failure = RoadFailure(watch); !failure.empty()) {
      Complain(kProgram, failure);
      status = 1;
    }
  }
  if (!options.document_out.empty() && !WriteTargetDocument(options.document_out))
    status = 1;
  return status;
}
