// What the files of the grid control share among themselves and nothing outside the control
// uses: the messages and the timer the grid sends itself, its module, the items in view.
#pragma once

#include <windows.h>

#include <utility>
#include <vector>

extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace zuro::grid {

// Messages the grid posts to itself, listed together so that their numbers stay apart.
inline constexpr UINT kMsgLayout = WM_USER + 0x100;
inline constexpr UINT kMsgEndEdit = WM_USER + 0x101;
// Runs while a selection drag holds the pointer outside the cells.
inline constexpr UINT_PTR kAutoScrollTimer = 1;

// The module holding this code: the library, not the program that loaded it.
inline HINSTANCE ThisModule() {
  return reinterpret_cast<HINSTANCE>(&__ImageBase);
}

// The rows or columns in view; painting draws them and the scrolling geometry reports them.
std::pair<int, int> VisibleItems(const std::vector<int>& starts, int fixed, int scroll, int extent);

}  // namespace zuro::grid
