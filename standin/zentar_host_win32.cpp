// zentar-host.exe: the stand-in host program. It loads zuro.dll as the ZENTAR host does, reads its
// name and identifier, and runs a library command against the stand-in host of zapi5.dll.
//
//   zentar-host.exe [--library PATH] [--command N] [--graphic | --model ITEMS.txt]
//                   [--host-state N] [--answer-file PATH] [--close-windows] [--log]
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "base/paths.h"
#include "base/text_encoding.h"
#include "base/win32_text.h"
#include "standin/user_play_win32.h"
#include "standin/zapi5.h"

namespace {

using zuro::standin::AnswerFileDialog;
using zuro::standin::FindThreadDialogs;
using zuro::standin::ThreadDialogs;
using zuro::standin::WaitsForInput;
using LibraryNameProc = const char* (*)();
using LibraryIdProc = int (*)();
using LibraryEntryProc = void(WINAPI*)(unsigned int);

struct Options {
  std::wstring library;
  int command = -1;
  bool graphic = false;
  std::wstring model_items;
  int host_state = 0;
  std::wstring answer_file;
  bool close_windows = false;
  bool log = false;
};

void Print(const std::string& utf8) {
  std::fwrite(utf8.data(), 1, utf8.size(), stdout);
  std::fflush(stdout);
}

int Usage() {
  Print(
      "usage: zentar-host.exe [--library PATH] [--command N] [--graphic | --model ITEMS.txt]\n"
      "                       [--host-state N] [--answer-file PATH] [--close-windows] [--log]\n");
  return 2;
}

std::wstring ProgramFolder() {
  wchar_t path[MAX_PATH * 4];
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH * 4);
  std::wstring folder(path, length);
  return folder.substr(0, zuro::FileNameStart(folder));
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
    else if (arg == L"--close-windows")
      options.close_windows = true;
    else if (arg == L"--log")
      options.log = true;
    else
      return false;
  }
  return !(options.graphic && !options.model_items.empty());
}

// The watcher plays the user from outside the library, through window messages only:
// --answer-file types a path into the first file dialog the library shows and presses its OK
// button (if the converter window waits without showing one, it picks "Открыть..." first);
// --close-windows then closes every dialog of the host's thread as soon as that thread waits for
// input again, as a user pressing "Выход" would.
struct Watch {
  DWORD ui_thread = 0;
  std::wstring answer_file;  // empty: no file dialog to answer
  bool close_windows = false;
};

DWORD WINAPI WatchWindows(void* parameter) {
  const auto* watch = static_cast<const Watch*>(parameter);
  bool answered = watch->answer_file.empty();
  int idle_polls = 0;
  for (;;) {
    Sleep(100);
    const ThreadDialogs found = FindThreadDialogs(watch->ui_thread);
    if (!answered) {
      if (found.file_dialog && WaitsForInput(found.file_dialog)) {
        AnswerFileDialog(found.file_dialog, watch->answer_file);
        answered = true;
      } else if (found.converter && !found.file_dialog && ++idle_polls == 10) {
        PostMessageW(found.converter, WM_COMMAND, MAKEWPARAM(1012, 0), 0);
      }
      continue;
    }
    if (!watch->close_windows)
      continue;
    for (HWND dialog : found.shown) {
      if (WaitsForInput(dialog))
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    }
  }
}

// A path as Windows programs name it: Unix paths given on the command line become Wine's
// drive paths, relative paths become full ones.
std::wstring WindowsPath(const std::wstring& path) {
  using DosNameProc = wchar_t* (*)(const char*);
  const auto dos_name = reinterpret_cast<DosNameProc>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_dos_file_name")));
  if (dos_name && !path.empty() && path[0] == L'/') {
    char unix_path[4096];
    WideCharToMultiByte(CP_UTF8, 0, path.c_str(), -1, unix_path, sizeof unix_path, nullptr,
                        nullptr);
    if (wchar_t* converted = dos_name(unix_path)) {
      std::wstring result = converted;
      HeapFree(GetProcessHeap(), 0, converted);
      return result;
    }
  }
  wchar_t full[MAX_PATH * 4];
  const DWORD length = GetFullPathNameW(path.c_str(), MAX_PATH * 4, full, nullptr);
  return length ? std::wstring(full, length) : path;
}

// Nothing in a test may wait for a person: the whole run ends after a minute at the latest.
DWORD WINAPI Watchdog(void*) {
  Sleep(60000);
  Print("zentar-host: timed out waiting for the library's windows\n");
  ExitProcess(3);
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

void SetUpHost(const Options& options) {
  if (options.graphic)
    ZsimOpenGraphicDocument();
  if (!options.model_items.empty() &&
      !ZsimOpenModelDocument(WindowsPath(options.model_items).c_str()))
    Print("zentar-host: cannot read the model items file\n");
  ZsimSetHostState(options.host_state);
}

void PrintCallLog() {
  std::vector<char> log(ZsimCallLog(nullptr, 0));
  ZsimCallLog(log.data(), static_cast<int>(log.size()));
  Print(log.data());
}

template <typename Proc>
Proc Export(HMODULE module, const char* name) {
  return reinterpret_cast<Proc>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  Options options;
  if (!ParseOptions(argc, argv, options))
    return Usage();
  SetUpHost(options);

  HMODULE library = LoadLibraryW(options.library.c_str());
  if (!library) {
    Print("zentar-host: cannot load the library\n");
    return 1;
  }
  const auto name = Export<LibraryNameProc>(library, "LIBRARYNAME");
  const auto id = Export<LibraryIdProc>(library, "LIBRARYID");
  const auto entry = Export<LibraryEntryProc>(library, "LIBRARYENTRY");
  if (!name || !id || !entry) {
    Print("zentar-host: the library lacks LIBRARYNAME, LIBRARYID or LIBRARYENTRY\n");
    return 1;
  }
  const std::string library_name = name();
  Print("LIBRARYNAME=" + zuro::Cp1251ToUtf8(library_name) + "\n");
  Print("LIBRARYID=" + std::to_string(id()) + "\n");

  static Watch watch;
  watch.ui_thread = GetCurrentThreadId();
  watch.close_windows = options.close_windows;
  if (!options.answer_file.empty())
    watch.answer_file = WindowsPath(options.answer_file);
  if (options.close_windows || !watch.answer_file.empty())
    CloseHandle(CreateThread(nullptr, 0, WatchWindows, &watch, 0, nullptr));
  if (options.close_windows)
    CloseHandle(CreateThread(nullptr, 0, Watchdog, nullptr, 0, nullptr));
  if (options.command >= 0)
    entry(static_cast<unsigned int>(options.command));
  else if (!options.close_windows)
    RunHostWindow(library, entry, library_name);

  FreeLibrary(library);  // the library releases the host's objects as it unloads
  if (options.log)
    PrintCallLog();
  return 0;
}
