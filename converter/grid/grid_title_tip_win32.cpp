#include "converter/grid/grid_title_tip_win32.h"

extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace zuro::grid {

namespace {

constexpr int kTipMargin = 2;

HINSTANCE ThisModule() {
  return reinterpret_cast<HINSTANCE>(&__ImageBase);
}

// Registered once per process; CS_SAVEBITS because the tip comes and goes over the grid often.
bool RegisterTipClass(WNDPROC procedure) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  if (GetClassInfoExW(ThisModule(), kTitleTipWindowClass, &wc))
    return true;
  wc = {};
  wc.cbSize = sizeof(wc);
  wc.style = CS_SAVEBITS;
  wc.lpfnWndProc = procedure;
  wc.hInstance = ThisModule();
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_INFOBK + 1);
  wc.lpszClassName = kTitleTipWindowClass;
  return RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

}  // namespace

TitleTip::TitleTip(HWND owner) : owner_(owner) {}

TitleTip::~TitleTip() {
  if (hwnd_ && IsWindow(hwnd_))
    DestroyWindow(hwnd_);
}

// The tip is made on first use: most grids never show one.
void TitleTip::Show(const RECT& screen_rect, const std::wstring& text, HFONT font) {
  if (!hwnd_) {
    if (!RegisterTipClass(&WindowProc))
      return;
    hwnd_ =
        CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, kTitleTipWindowClass, L"",
                        WS_POPUP | WS_BORDER, 0, 0, 0, 0, owner_, nullptr, ThisModule(), nullptr);
    if (!hwnd_)
      return;
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }
  text_ = text;
  font_ = font;
  SetWindowTextW(hwnd_, text_.c_str());
  SetWindowPos(hwnd_, HWND_TOPMOST, screen_rect.left - kTipMargin - 1, screen_rect.top,
               screen_rect.right - screen_rect.left + 2 * kTipMargin + 2,
               screen_rect.bottom - screen_rect.top, SWP_NOACTIVATE | SWP_SHOWWINDOW);
  InvalidateRect(hwnd_, nullptr, TRUE);
}

void TitleTip::Hide() {
  if (hwnd_ && IsWindowVisible(hwnd_))
    ShowWindow(hwnd_, SW_HIDE);
}

bool TitleTip::IsVisible() const {
  return hwnd_ && IsWindowVisible(hwnd_);
}

void TitleTip::OnPaint() {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd_, &ps);
  RECT rect;
  GetClientRect(hwnd_, &rect);
  InflateRect(&rect, -kTipMargin, 0);
  HGDIOBJ old_font = SelectObject(dc, font_);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(COLOR_INFOTEXT));
  DrawTextW(dc, text_.c_str(), static_cast<int>(text_.size()), &rect,
            DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_LEFT);
  SelectObject(dc, old_font);
  EndPaint(hwnd_, &ps);
}

// The tip lets the mouse through to the grid beneath it (same thread, so HTTRANSPARENT works),
// and it never takes the activation from the window the user works in.
LRESULT CALLBACK TitleTip::WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  auto* tip = reinterpret_cast<TitleTip*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  switch (message) {
    case WM_NCHITTEST:
      return HTTRANSPARENT;
    case WM_MOUSEACTIVATE:
      return MA_NOACTIVATE;
    case WM_PAINT:
      if (tip) {
        tip->OnPaint();
        return 0;
      }
      break;
    case WM_NCDESTROY:
      if (tip)
        tip->hwnd_ = nullptr;
      break;
  }
  return DefWindowProcW(window, message, wparam, lparam);
}

}  // namespace zuro::grid
