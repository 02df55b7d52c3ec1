// zentar-host.exe: the stand-in host program. It loads zuro.dll as the ZENTAR host does, reads its
// name and identifier, and runs a library command against the stand-in host of zapi5.dll.
//
//   zentar-host.exe [--library PATH] [--command N] [--graphic | --model ITEMS.txt]
//                   [--host-state N] [--close-windows] [--log]
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "base/text_encoding.h"
#include "base/win32_text.h"
#include "standin/zapi5.h"

namespace {

using LibraryNameProc = const char* (*)();
using LibraryIdProc = int (*)();
using LibraryEntryProc = void(WINAPI*)(unsigned int);

struct Options {
  std::wstring library;
  int command = -1;
  bool graphic = false;
  std::wstring model_items;
  int host_state = 0;
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
      "                       [--host-state N] [--close-windows] [--log]\n");
  return 2;
}

std::wstring ProgramFolder() {
  wchar_t path[MAX_PATH * 4];
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH * 4);
  std::wstring folder(path, length);
  return folder.substr(0, folder.find_last_of(L'\\') + 1);
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
    else if (arg == L"--close-windows")
      options.close_windows = true;
    else if (arg == L"--log")
      options.log = true;
    else
      return false;
  }
  return !(options.graphic && !options.model_items.empty());
}

// --close-windows: a watcher closes each dialog of the host's thread once that thread waits in
// the dialog's message loop, as a user pressing "Выход" would; posting the command does exactly
// that, since the dialog handles it only when it waits for input.
struct Watch {
  DWORD ui_thread;
};

BOOL CALLBACK CloseDialog(HWND window, LPARAM) {
  wchar_t class_name[16] = {};
  GetClassNameW(window, class_name, 16);
  if (IsWindowVisible(window) && std::wstring(class_name) == L"#32770")
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  return TRUE;
}

DWORD WINAPI WatchWindows(void* parameter) {
  const auto* watch = static_cast<const Watch*>(parameter);
  for (;;) {
    Sleep(100);
    EnumThreadWindows(watch->ui_thread, CloseDialog, 0);
  }
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
  if (!options.model_items.empty() && !ZsimOpenModelDocument(options.model_items.c_str()))
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

  static Watch watch{GetCurrentThreadId()};
  if (options.close_windows) {
    CloseHandle(CreateThread(nullptr, 0, WatchWindows, &watch, 0, nullptr));
    CloseHandle(CreateThread(nullptr, 0, Watchdog, nullptr, 0, nullptr));
  }
  if (options.command >= 0)
    entry(static_cast<unsigned int>(options.command));
  else if (!options.close_windows)
    RunHostWindow(library, entry, library_name);

  FreeLibrary(library);  // the library releases the host's objects as it unloads
  if (options.log)
    PrintCallLog();
  return 0;
}
