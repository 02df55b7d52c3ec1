// Playing the user of the library's windows in the Windows tests: waiting for what a window
// shows, reading its table as the grid copies it, cancelling what is left open, and a watchdog
// that ends a run whose window waits for nobody.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "standin/user_play_win32.h"
#include "standin/zapi5.h"

namespace zuro::win_tests {

using zuro::standin::AnswerFileDialog;
using zuro::standin::FindThreadDialogs;
using zuro::standin::WaitsForInput;

inline constexpr DWORD kStepTimeout = 10000;
inline constexpr WPARAM kGridSelectAll = 57642;
inline constexpr WPARAM kGridCopy = 57634;

template <typename Condition>
bool WaitFor(Condition condition, DWORD timeout = kStepTimeout) {
  for (DWORD waited = 0; waited < timeout; waited += 50) {
    if (condition())
      return true;
    Sleep(50);
  }
  return condition();
}

inline std::wstring WindowText(HWND window) {
  wchar_t text[512] = {};
  GetWindowTextW(window, text, 512);
  return text;
}

// Ends the command whatever its windows are doing: every dialog of the thread, shown or not yet
// shown, is cancelled once, until none is left.
inline void CloseAllDialogs(DWORD thread) {
  std::vector<HWND> cancelled;
  WaitFor([&] {
    const std::vector<HWND> dialogs = FindThreadDialogs(thread).all;
    for (HWND dialog : dialogs) {
      if (std::find(cancelled.begin(), cancelled.end(), dialog) == cancelled.end()) {
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        cancelled.push_back(dialog);
      }
    }
    return dialogs.empty();
  });
}

inline std::wstring ClipboardText() {
  std::wstring text;
  if (!WaitFor([] { return OpenClipboard(nullptr) != FALSE; }, 2000))
    return text;
  if (HANDLE block = GetClipboardData(CF_UNICODETEXT)) {
    if (const auto* chars = static_cast<const wchar_t*>(GlobalLock(block))) {
      text = chars;
      GlobalUnlock(block);
    }
  }
  CloseClipboard();
  return text;
}

// The whole table below its header, as the grid's own copy command puts it on the clipboard.
inline std::wstring CopiedTable(HWND grid) {
  if (OpenClipboard(nullptr)) {
    EmptyClipboard();
    CloseClipboard();
  }
  SendMessageW(grid, WM_COMMAND, kGridSelectAll, 0);
  SendMessageW(grid, WM_COMMAND, kGridCopy, 0);
  return ClipboardText();
}

inline std::vector<std::wstring> Split(const std::wstring& text, const std::wstring& separator) {
  std::vector<std::wstring> pieces;
  size_t start = 0;
  for (size_t end; (end = text.find(separator, start)) != std::wstring::npos;
       start = end + separator.size())
    pieces.push_back(text.substr(start, end - start));
  pieces.push_back(text.substr(start));
  return pieces;
}

// The grid drawn into a bitmap of its client area, as it paints itself.
class GridPicture {
 public:
  explicit GridPicture(HWND grid) {
    RECT client;
    GetClientRect(grid, &client);
    width_ = client.right;
    height_ = client.bottom;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width_;
    info.bmiHeader.biHeight = -height_;  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC dc = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, bitmap);
    SendMessageW(grid, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    GdiFlush();
    const auto* pixels = static_cast<const uint32_t*>(bits);
    pixels_.assign(pixels, pixels + static_cast<size_t>(width_) * height_);
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(bitmap);
  }

  // The number of pixels of one colour (0xRRGGBB).
  int Count(uint32_t colour) const {
    return static_cast<int>(std::count_if(pixels_.begin(), pixels_.end(), [&](uint32_t pixel) {
      return (pixel & 0xFFFFFF) == colour;
    }));
  }

  bool IsDark(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_)
      return false;
    const uint32_t pixel = pixels_[static_cast<size_t>(y) * width_ + x];
    return (pixel & 0xFF) + ((pixel >> 8) & 0xFF) + ((pixel >> 16) & 0xFF) < 150;
  }

 private:
  int width_ = 0;
  int height_ = 0;
  std::vector<uint32_t> pixels_;
};

// A window that waits for nobody must not hang the run: the program ends after a minute.
inline DWORD WINAPI Watchdog(void* parameter) {
  if (WaitForSingleObject(static_cast<HANDLE>(parameter), 60000) == WAIT_TIMEOUT) {
    std::fputs("window test: timed out\n", stderr);
    ExitProcess(3);
  }
  return 0;
}

inline std::string CallLog() {
  std::string log(ZsimCallLog(nullptr, 0), '\0');
  ZsimCallLog(log.data(), static_cast<int>(log.size()));
  log.pop_back();
  return log;
}

inline std::wstring FullPath(const wchar_t* path) {
  wchar_t full[MAX_PATH * 4];
  const DWORD length = GetFullPathNameW(path, MAX_PATH * 4, full, nullptr);
  return std::wstring(full, length);
}

inline std::wstring CurrentFolder() {
  wchar_t folder[MAX_PATH * 4];
  const DWORD length = GetCurrentDirectoryW(MAX_PATH * 4, folder);
  return std::wstring(folder, length);
}

inline std::vector<std::wstring> TableLines(const std::wstring& table) {
  std::vector<std::wstring> lines = Split(table, L"\r\n");
  if (!lines.empty() && lines.back().empty())
    lines.pop_back();
  return lines;
}

using LibraryEntryProc = void(WINAPI*)(unsigned int);

struct CommandRun {
  bool started = false;    // the library was loaded and its entry found
  bool user_done = false;  // the user's thread ended in time
  std::wstring folder_after;
  std::string log;  // the host calls the command made
};

// Runs a library command of a freshly loaded zuro.dll on this thread, as the host does, while
// `user` plays the user on another thread. The current folder is restored afterwards.
inline CommandRun RunLibraryCommand(unsigned command, LPTHREAD_START_ROUTINE user, void* session) {
  CommandRun run;
  HANDLE finished = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  CloseHandle(CreateThread(nullptr, 0, Watchdog, finished, 0, nullptr));
  HMODULE library = LoadLibraryW(L"zuro.dll");
  const auto entry = reinterpret_cast<LibraryEntryProc>(
      reinterpret_cast<void*>(GetProcAddress(library, "LIBRARYENTRY")));
  run.started = library && entry;
  if (run.started) {
    const std::string log_before = CallLog();
    const std::wstring folder_before = CurrentFolder();
    HANDLE player = CreateThread(nullptr, 0, user, session, 0, nullptr);
    entry(command);
    run.user_done = WaitForSingleObject(player, 20000) == WAIT_OBJECT_0;
    CloseHandle(player);
    run.folder_after = CurrentFolder();
    SetCurrentDirectoryW(folder_before.c_str());
    run.log = CallLog().substr(log_before.size());
  }
  if (library)
    FreeLibrary(library);
  SetEvent(finished);
  CloseHandle(finished);
  return run;
}

// Holds what the user sees on the screen for a screenshot when ZURO_SCREENSHOT_HOLD_MS is set.
inline void HoldForScreenshot() {
  wchar_t value[16] = {};
  if (GetEnvironmentVariableW(L"ZURO_SCREENSHOT_HOLD_MS", value, 16) > 0)
    Sleep(static_cast<DWORD>(_wtoi(value)));
}

}  // namespace zuro::win_tests
