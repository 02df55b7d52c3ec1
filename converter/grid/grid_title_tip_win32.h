// The tip window that shows the whole text of a grid cell too narrow for it.
#pragma once

#include <windows.h>

#include <string>

namespace zuro::grid {

inline constexpr wchar_t kTitleTipWindowClass[] = L"ZTitleTip";

class TitleTip {
 public:
  explicit TitleTip(HWND owner);
  ~TitleTip();
  TitleTip(const TitleTip&) = delete;
  TitleTip& operator=(const TitleTip&) = delete;

  // Shows `text` in `font` at `screen_rect` (the text area of the cell, widened to the text).
  void Show(const RECT& screen_rect, const std::wstring& text, HFONT font);
  void Hide();
  bool IsVisible() const;
  HWND GetSafeHwnd() const { return hwnd_; }
  const std::wstring& Text() const { return text_; }

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  void OnPaint();

  HWND owner_;
  HWND hwnd_ = nullptr;
  std::wstring text_;
  HFONT font_ = nullptr;
};

}  // namespace zuro::grid
