// The grid control's window: its class, the lifetime of the grid object, the model it shows, its
// settings and the dispatch of its messages.
#include "converter/grid/grid_ctrl_win32.h"

#include <ole2.h>
#include <windowsx.h>

#include <memory>
#include <string>
#include <utility>

#include "base/win32_text.h"
#include "converter/grid/grid_ctrl_internal_win32.h"
#include "converter/grid/grid_drag_drop_win32.h"
#include "converter/grid/grid_title_tip_win32.h"

namespace zuro::grid {

namespace {

HFONT CreateMessageFont() {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof(metrics);
  if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) {
    // Before Vista the structure lacks its last field.
    metrics.cbSize = sizeof(metrics) - sizeof(metrics.iPaddedBorderWidth);
    if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0))
      return nullptr;
  }
  return CreateFontIndirectW(&metrics.lfMessageFont);
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Window class and object lifetime

bool CGridCtrl::RegisterWindowClass(HINSTANCE instance) {
  if (!instance)
    instance = ThisModule();
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  if (GetClassInfoExW(instance, kGridWindowClass, &wc))
    return true;
  wc = {};
  wc.cbSize = sizeof(wc);
  wc.style = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = &WindowProc;
  wc.cbWndExtra = sizeof(LONG_PTR);
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_3DFACE + 1);
  wc.lpszClassName = kGridWindowClass;
  return RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

// Only windows of this class carry a grid object in their extra bytes; any other window gives
// nullptr rather than a misread pointer.
CGridCtrl* CGridCtrl::FromHandle(HWND window) {
  if (!window || !IsWindow(window))
    return nullptr;
  if (reinterpret_cast<WNDPROC>(GetClassLongPtrW(window, GCLP_WNDPROC)) != &WindowProc)
    return nullptr;
  return reinterpret_cast<CGridCtrl*>(GetWindowLongPtrW(window, 0));
}

CGridCtrl* CGridCtrl::Create(HWND parent, int id, const RECT& rect, DWORD style) {
  if (!RegisterWindowClass())
    return nullptr;
  HWND window =
      CreateWindowExW(0, kGridWindowClass, L"", style, rect.left, rect.top, rect.right - rect.left,
                      rect.bottom - rect.top, parent,
                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ThisModule(), nullptr);
  return FromHandle(window);
}

// The grid object lives from WM_NCCREATE to WM_NCDESTROY of its window, so a grid placed by a
// dialog template gets its object without any code of the dialog.
LRESULT CALLBACK CGridCtrl::WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE)
    SetWindowLongPtrW(window, 0, reinterpret_cast<LONG_PTR>(new CGridCtrl(window)));
  auto* grid = reinterpret_cast<CGridCtrl*>(GetWindowLongPtrW(window, 0));
  if (!grid)
    return DefWindowProcW(window, message, wparam, lparam);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(window, 0, 0);
    delete grid;
    return DefWindowProcW(window, message, wparam, lparam);
  }
  return grid->HandleMessage(message, wparam, lparam);
}

// Drag and drop needs OLE on this thread. OleInitialize only counts up when OLE is already
// initialised, so the grid balances it with OleUninitialize whatever the caller did before.
CGridCtrl::CGridCtrl(HWND window) : hwnd_(window) {
  if (SUCCEEDED(OleInitialize(nullptr))) {
    ole_initialised_ = true;
    ole_ready_ = true;
  } else {
    MessageBoxW(nullptr,
                L"OLE initialization failed. Make sure that the OLE libraries are the correct "
                L"version",
                WideFromCp1251("Внимание").c_str(), MB_OK | MB_ICONEXCLAMATION);
  }
  message_font_ = CreateMessageFont();
  title_tip_ = std::make_unique<TitleTip>(hwnd_);
  Attach(&own_model_);
}

CGridCtrl::~CGridCtrl() {
  if (model_ && listener_)
    model_->RemoveListener(listener_);
  title_tip_.reset();
  if (message_font_)
    DeleteObject(message_font_);
  if (ole_initialised_)
    OleUninitialize();
}

void CGridCtrl::Attach(table::GridModel* model) {
  if (model_ && listener_)
    model_->RemoveListener(listener_);
  EndEditing(false);
  model_ = model;
  listener_ =
      model_->AddListener([this](const table::GridChange& change) { OnModelChange(change); });
  scroll_x_ = 0;
  scroll_y_ = 0;
  hover_cell_ = {};
  anchor_ = {};
  InvalidateLayout();
}

void CGridCtrl::SetModel(table::GridModel* model) {
  Attach(model ? model : &own_model_);
}

// ---------------------------------------------------------------------------------------------
// Settings

void CGridCtrl::SetImageList(HIMAGELIST images) {
  images_ = images;
  InvalidateLayout();
}

void CGridCtrl::SetFont(HFONT font) {
  font_ = font;
  InvalidateLayout();
}

HFONT CGridCtrl::GetFont() const {
  if (font_)
    return font_;
  return message_font_ ? message_font_ : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

void CGridCtrl::SetTitleTips(bool enabled) {
  title_tips_ = enabled;
  if (!enabled)
    HideTitleTip();
}

void CGridCtrl::Refresh() {
  InvalidateLayout();
}

// ---------------------------------------------------------------------------------------------
// Model changes

void CGridCtrl::OnModelChange(const table::GridChange& change) {
  switch (change.kind) {
    case table::ChangeKind::kStructure:
      EndEditing(false);
      hover_cell_ = {};
      HideTitleTip();
      InvalidateLayout();
      break;
    case table::ChangeKind::kLayout:
      InvalidateLayout();
      break;
    case table::ChangeKind::kEnsureVisible:
      ScrollCellIntoView(change.range.top, change.range.left);
      break;
    default:
      InvalidateRect(hwnd_, nullptr, FALSE);
      break;
  }
}

// Layout is rebuilt lazily: a reader that inserts 100 000 rows one by one costs one rebuild,
// done when the grid next paints or handles its posted layout message.
void CGridCtrl::InvalidateLayout() {
  layout_dirty_ = true;
  InvalidateRect(hwnd_, nullptr, FALSE);
  if (!layout_posted_ && PostMessageW(hwnd_, kMsgLayout, 0, 0))
    layout_posted_ = true;
}

// ---------------------------------------------------------------------------------------------
// Messages

LRESULT CGridCtrl::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  const POINT point{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)};
  switch (message) {
    case WM_CREATE:
      if (ole_ready_) {
        drop_target_ = new GridDropTarget(this);
        if (FAILED(RegisterDragDrop(hwnd_, drop_target_))) {
          drop_target_->Release();
          drop_target_ = nullptr;
        }
      }
      return 0;
    case WM_DESTROY:
      KillTimer(hwnd_, kAutoScrollTimer);
      edit_ = nullptr;
      if (drop_target_) {
        RevokeDragDrop(hwnd_);
        drop_target_->Release();
        drop_target_ = nullptr;
      }
      HideTitleTip();
      return 0;
    case WM_PAINT:
      OnPaint();
      return 0;
    case WM_PRINTCLIENT: {
      EnsureLayout();
      RECT client;
      GetClientRect(hwnd_, &client);
      PaintCells(reinterpret_cast<HDC>(wparam), client);
      return 0;
    }
    case WM_ERASEBKGND:
      return 1;
    case WM_SIZE:
      if (!in_scroll_update_) {
        EnsureLayout();
        UpdateScrollBars();
      }
      if (edit_)
        EndEditing(true);
      return 0;
    case kMsgLayout:
      layout_posted_ = false;
      EnsureLayout();
      return 0;
    case kMsgEndEdit:
      OnEndEditMessage(static_cast<EditEnd>(wparam), reinterpret_cast<HWND>(lparam));
      return 0;
    case WM_VSCROLL:
      OnScroll(SB_VERT, LOWORD(wparam));
      return 0;
    case WM_HSCROLL:
      OnScroll(SB_HORZ, LOWORD(wparam));
      return 0;
    case WM_MOUSEWHEEL:
      HideTitleTip();
      OnMouseWheel(GET_WHEEL_DELTA_WPARAM(wparam));
      return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      OnButtonDown(point, (wparam & MK_SHIFT) != 0, message == WM_LBUTTONDBLCLK);
      return 0;
    case WM_LBUTTONUP:
      OnButtonUp(point);
      return 0;
    case WM_MOUSEMOVE:
      OnMouseMove(point);
      return 0;
    case WM_MOUSEHOVER:
      tracking_mouse_ = false;
      ShowTitleTip();
      return 0;
    case WM_MOUSELEAVE:
      tracking_mouse_ = false;
      hover_cell_ = {};
      HideTitleTip();
      return 0;
    case WM_CAPTURECHANGED:
      if (reinterpret_cast<HWND>(lparam) != hwnd_) {
        KillTimer(hwnd_, kAutoScrollTimer);
        mouse_mode_ = MouseMode::kNone;
      }
      return 0;
    case WM_TIMER:
      if (wparam == kAutoScrollTimer)
        OnAutoScroll();
      return 0;
    case WM_SETCURSOR:
      if (LOWORD(lparam) == HTCLIENT && OnSetCursor())
        return TRUE;
      break;
    case WM_GETDLGCODE:
      return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_KEYDOWN:
      OnKeyDown(wparam);
      return 0;
    case WM_CHAR:
      OnChar(static_cast<wchar_t>(wparam));
      return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      if (message == WM_KILLFOCUS)
        HideTitleTip();
      InvalidateRect(hwnd_, nullptr, FALSE);
      return 0;
    // The cells keep the system message font whatever font the dialog template gives its
    // controls; SetFont changes it on purpose.
    case WM_SETFONT:
      return 0;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(GetFont());
    case WM_SETTINGCHANGE:
      if (wparam == SPI_SETNONCLIENTMETRICS) {
        if (HFONT font = CreateMessageFont()) {
          DeleteObject(std::exchange(message_font_, font));
          InvalidateLayout();
        }
      }
      break;
    case WM_SYSCOLORCHANGE:
      InvalidateRect(hwnd_, nullptr, FALSE);
      break;
    case WM_COMMAND:
      switch (LOWORD(wparam)) {
        case kCommandCopy:
          OnEditCopy();
          return 0;
        case kCommandCut:
          OnEditCut();
          return 0;
        case kCommandPaste:
          OnEditPaste();
          return 0;
        case kCommandSelectAll:
          OnEditSelectAll();
          return 0;
      }
      break;
  }
  return DefWindowProcW(hwnd_, message, wparam, lparam);
}

}  // namespace zuro::grid
