#include "converter/grid/grid_ctrl_win32.h"

#include <ole2.h>
#include <windowsx.h>

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <string>
#include <utility>

#include "base/win32_text.h"
#include "converter/grid/grid_drag_drop_win32.h"
#include "converter/grid/grid_title_tip_win32.h"

extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace zuro::grid {

// The cell formats are handed to DrawText as they are.
static_assert(table::kFormatCentre == DT_CENTER && table::kFormatRight == DT_RIGHT &&
              table::kFormatVCentre == DT_VCENTER && table::kFormatBottom == DT_BOTTOM &&
              table::kFormatWordBreak == DT_WORDBREAK &&
              table::kFormatSingleLine == DT_SINGLELINE && table::kFormatNoPrefix == DT_NOPREFIX &&
              table::kFormatEndEllipsis == DT_END_ELLIPSIS);

namespace {

constexpr COLORREF kGridLineColour = RGB(0xC0, 0xC0, 0xC0);
// Messages the grid posts to itself.
constexpr UINT kMsgLayout = WM_USER + 0x100;
constexpr UINT kMsgEndEdit = WM_USER + 0x101;
constexpr UINT_PTR kAutoScrollTimer = 1;
constexpr int kEditId = 1;
constexpr int kSizingZone = 3;
constexpr int kMinimumSize = 4;
constexpr int kMinimumAutoWidth = 16;
constexpr int kMaximumAutoWidth = 300;
constexpr int kAutoWidthSampleRows = 100;
constexpr int kWheelNotch = 120;

HINSTANCE ThisModule() {
  return reinterpret_cast<HINSTANCE>(&__ImageBase);
}

// Lines per wheel notch from the user's "WheelScrollLines"; Windows keeps it as a string
// (REG_SZ), but a REG_DWORD is read as well. -1 (stored as "-1" or as the unsigned 4294967295)
// asks for a page per notch.
int ReadWheelScrollLines() {
  HKEY key;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, KEY_QUERY_VALUE, &key) !=
      ERROR_SUCCESS)
    return 3;
  wchar_t buffer[32] = {};
  DWORD type = 0;
  DWORD size = sizeof(buffer) - sizeof(wchar_t);
  const LONG result = RegQueryValueExW(key, L"WheelScrollLines", nullptr, &type,
                                       reinterpret_cast<BYTE*>(buffer), &size);
  RegCloseKey(key);
  if (result != ERROR_SUCCESS)
    return 3;
  long long lines = 3;
  if (type == REG_DWORD && size == sizeof(DWORD)) {
    DWORD value;
    std::memcpy(&value, buffer, sizeof value);
    lines = value;
  } else if (type == REG_SZ || type == REG_EXPAND_SZ)
    lines = wcstoll(buffer, nullptr, 10);
  if (lines == -1 || lines == 0xFFFFFFFFll)
    return -1;
  return static_cast<int>(std::clamp(lines, 0ll, 1000ll));
}

// Read once per process, as the setting rarely changes while a converter window is open.
int WheelScrollLines() {
  static const int lines = ReadWheelScrollLines();
  return lines;
}

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

void FillSolid(HDC dc, const RECT& rect, COLORREF colour) {
  SetBkColor(dc, colour);
  ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
}

COLORREF Resolve(table::Colour colour, int system_colour) {
  return colour == table::kSystemColour ? GetSysColor(system_colour)
                                        : static_cast<COLORREF>(colour);
}

// The non-fixed items of one axis that show in [fixed_size, extent) of the client area, given
// the item starts `starts` (count + 1 entries) and the scroll offset. {first, first - 1} if none.
std::pair<int, int> VisibleItems(const std::vector<int>& starts,
                                 int fixed,
                                 int scroll,
                                 int extent) {
  const int count = static_cast<int>(starts.size()) - 1;
  if (fixed >= count || extent <= starts[fixed])
    return {fixed, fixed - 1};
  const auto begin = starts.begin() + fixed;
  const auto end = starts.begin() + count;
  const int first =
      static_cast<int>(std::upper_bound(begin, end, scroll + starts[fixed]) - starts.begin()) - 1;
  const int last =
      static_cast<int>(std::lower_bound(begin, end, scroll + extent) - starts.begin()) - 1;
  return {std::max(first, fixed), std::min(last, count - 1)};
}

// The item whose far border lies within the sizing zone of `pos` (client coordinates), or -1.
int BorderAt(const std::vector<int>& starts, int fixed, int scroll, int pos) {
  const int count = static_cast<int>(starts.size()) - 1;
  for (int i = 0; i < fixed && i < count; ++i)
    if (std::abs(starts[i + 1] - pos) <= kSizingZone)
      return i;
  const int content = pos + scroll;
  if (pos <= starts[std::min(fixed, count)])
    return -1;
  const auto it = std::lower_bound(starts.begin() + fixed + 1, starts.end(), content - kSizingZone);
  if (it == starts.end() || *it > content + kSizingZone)
    return -1;
  return static_cast<int>(it - starts.begin()) - 1;
}

bool PutClipboardText(HWND owner, const std::wstring& text) {
  if (!OpenClipboard(owner))
    return false;
  EmptyClipboard();
  const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes);
  bool done = false;
  if (block) {
    std::memcpy(GlobalLock(block), text.c_str(), bytes);
    GlobalUnlock(block);
    done = SetClipboardData(CF_UNICODETEXT, block) != nullptr;
    if (!done)
      GlobalFree(block);
  }
  CloseClipboard();
  return done;
}

bool TakeClipboardText(HWND owner, std::wstring* text) {
  if (!IsClipboardFormatAvailable(CF_UNICODETEXT) || !OpenClipboard(owner))
    return false;
  bool done = false;
  if (HANDLE block = GetClipboardData(CF_UNICODETEXT)) {
    if (const auto* chars = static_cast<const wchar_t*>(GlobalLock(block))) {
      text->assign(chars, wcsnlen(chars, GlobalSize(block) / sizeof(wchar_t)));
      GlobalUnlock(block);
      done = true;
    }
  }
  CloseClipboard();
  return done;
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
// Model changes and layout

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

void CGridCtrl::EnsureLayout() {
  if (!layout_dirty_)
    return;
  layout_dirty_ = false;
  HDC dc = GetDC(hwnd_);
  HGDIOBJ old_font = SelectObject(dc, GetFont());
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc, &metrics);
  int image_width = 0, image_height = 0;
  if (images_)
    ImageList_GetIconSize(images_, &image_width, &image_height);
  default_row_height_ = std::max<int>(
      metrics.tmHeight + metrics.tmExternalLeading + 2 * TextMargin(), image_height + 4);
  const int rows = model_->GetRowCount();
  const int cols = model_->GetColumnCount();
  row_tops_.assign(rows + 1, 0);
  for (int row = 0; row < rows; ++row) {
    const int height = model_->GetRowHeight(row);
    row_tops_[row + 1] = row_tops_[row] + (height > 0 ? height : default_row_height_);
  }
  col_lefts_.assign(cols + 1, 0);
  for (int col = 0; col < cols; ++col) {
    const int width = model_->GetColumnWidth(col);
    col_lefts_[col + 1] = col_lefts_[col] + (width > 0 ? width : AutoColumnWidth(dc, col));
  }
  SelectObject(dc, old_font);
  ReleaseDC(hwnd_, dc);
  UpdateScrollBars();
  InvalidateRect(hwnd_, nullptr, FALSE);
}

// A column the user has not sized fits its headings and the first rows of the table (not all
// of them: a table of 100 000 rows must still lay out at once), within sensible bounds; the
// title tips show whatever is cut off.
int CGridCtrl::AutoColumnWidth(HDC dc, int col) const {
  int image_width = 0, image_height = 0;
  if (images_)
    ImageList_GetIconSize(images_, &image_width, &image_height);
  const int rows =
      std::min(model_->GetRowCount(), model_->GetFixedRowCount() + kAutoWidthSampleRows);
  int widest = 0;
  for (int row = 0; row < rows; ++row) {
    const table::Cell* cell = model_->GetCell(row, col);
    int width = 0;
    if (!cell->text.empty()) {
      const std::wstring text = WideFromCp1251(cell->text);
      SIZE extent{};
      GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
      width = extent.cx;
    }
    if (cell->image >= 0 && images_)
      width += image_width + TextMargin();
    widest = std::max(widest, width);
  }
  return std::clamp(widest + 2 * TextMargin() + 1, kMinimumAutoWidth, kMaximumAutoWidth);
}

int CGridCtrl::VisibleHeight() const {
  RECT client;
  GetClientRect(hwnd_, &client);
  return std::max(0, static_cast<int>(client.bottom) - FixedHeight());
}

int CGridCtrl::VisibleWidth() const {
  RECT client;
  GetClientRect(hwnd_, &client);
  return std::max(0, static_cast<int>(client.right) - FixedWidth());
}

// Showing one scroll bar narrows the client area and may call for the other, so the bars are
// set until the client size stays the same. WM_SIZE during this does not start another round.
void CGridCtrl::UpdateScrollBars() {
  if (in_scroll_update_)
    return;
  in_scroll_update_ = true;
  for (int pass = 0; pass < 3; ++pass) {
    RECT before;
    GetClientRect(hwnd_, &before);
    const int content_height = row_tops_.back() - FixedHeight();
    const int content_width = col_lefts_.back() - FixedWidth();
    scroll_y_ = std::clamp(scroll_y_, 0, std::max(0, content_height - VisibleHeight()));
    scroll_x_ = std::clamp(scroll_x_, 0, std::max(0, content_width - VisibleWidth()));
    SCROLLINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    info.nMax = std::max(0, content_height - 1);
    info.nPage = VisibleHeight();
    info.nPos = scroll_y_;
    SetScrollInfo(hwnd_, SB_VERT, &info, TRUE);
    info.nMax = std::max(0, content_width - 1);
    info.nPage = VisibleWidth();
    info.nPos = scroll_x_;
    SetScrollInfo(hwnd_, SB_HORZ, &info, TRUE);
    RECT after;
    GetClientRect(hwnd_, &after);
    if (EqualRect(&before, &after))
      break;
  }
  in_scroll_update_ = false;
}

int CGridCtrl::RowAtY(int y) const {
  const int fixed = model_->GetFixedRowCount();
  if (y < 0)
    return -1;
  const int content = y < FixedHeight() ? y : y + scroll_y_;
  const auto begin = y < FixedHeight() ? row_tops_.begin() : row_tops_.begin() + fixed;
  const int row =
      static_cast<int>(std::upper_bound(begin, row_tops_.end(), content) - row_tops_.begin()) - 1;
  return row < model_->GetRowCount() ? row : -1;
}

int CGridCtrl::ColumnAtX(int x) const {
  const int fixed = model_->GetFixedColumnCount();
  if (x < 0)
    return -1;
  const int content = x < FixedWidth() ? x : x + scroll_x_;
  const auto begin = x < FixedWidth() ? col_lefts_.begin() : col_lefts_.begin() + fixed;
  const int col =
      static_cast<int>(std::upper_bound(begin, col_lefts_.end(), content) - col_lefts_.begin()) - 1;
  return col < model_->GetColumnCount() ? col : -1;
}

RECT CGridCtrl::CellRect(int row, int col) const {
  const int dx = col >= model_->GetFixedColumnCount() ? scroll_x_ : 0;
  const int dy = row >= model_->GetFixedRowCount() ? scroll_y_ : 0;
  return {col_lefts_[col] - dx, row_tops_[row] - dy, col_lefts_[col + 1] - dx,
          row_tops_[row + 1] - dy};
}

bool CGridCtrl::GetCellRect(int row, int col, RECT* rect) {
  EnsureLayout();
  if (!model_->IsValid(row, col))
    return false;
  *rect = CellRect(row, col);
  return true;
}

table::CellId CGridCtrl::HitTest(POINT point) {
  EnsureLayout();
  const int row = RowAtY(point.y);
  const int col = ColumnAtX(point.x);
  if (row < 0 || col < 0)
    return {};
  return {row, col};
}

int CGridCtrl::GetTopRow() {
  EnsureLayout();
  const auto [first, last] = VisibleItems(row_tops_, model_->GetFixedRowCount(), scroll_y_,
                                          FixedHeight() + VisibleHeight());
  return first <= last ? first : -1;
}

int CGridCtrl::GetLeftColumn() {
  EnsureLayout();
  const auto [first, last] = VisibleItems(col_lefts_, model_->GetFixedColumnCount(), scroll_x_,
                                          FixedWidth() + VisibleWidth());
  return first <= last ? first : -1;
}

int CGridCtrl::GetColumnWidth(int col) {
  EnsureLayout();
  return col >= 0 && col < model_->GetColumnCount() ? col_lefts_[col + 1] - col_lefts_[col] : -1;
}

int CGridCtrl::GetRowHeight(int row) {
  EnsureLayout();
  return row >= 0 && row < model_->GetRowCount() ? row_tops_[row + 1] - row_tops_[row] : -1;
}

// ---------------------------------------------------------------------------------------------
// Painting

void CGridCtrl::OnPaint() {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd_, &ps);
  EnsureLayout();
  const RECT& area = ps.rcPaint;
  const int width = area.right - area.left;
  const int height = area.bottom - area.top;
  if (width > 0 && height > 0) {
    // Drawn off screen first, so scrolling through a long table does not flicker.
    HDC memory = CreateCompatibleDC(dc);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, width, height);
    HGDIOBJ old_bitmap = SelectObject(memory, bitmap);
    SetViewportOrgEx(memory, -area.left, -area.top, nullptr);
    PaintCells(memory, area);
    SetViewportOrgEx(memory, 0, 0, nullptr);
    BitBlt(dc, area.left, area.top, width, height, memory, 0, 0, SRCCOPY);
    SelectObject(memory, old_bitmap);
    DeleteObject(bitmap);
    DeleteDC(memory);
  }
  EndPaint(hwnd_, &ps);
}

// Only the cells in view are drawn, whatever the size of the table: the scrolled cells first,
// then the fixed rows and columns over them, then the fixed corner.
void CGridCtrl::PaintCells(HDC dc, const RECT& area) {
  FillSolid(dc, area, GetSysColor(COLOR_3DFACE));
  RECT client;
  GetClientRect(hwnd_, &client);
  Paint paint;
  paint.font = GetFont();
  if (images_)
    ImageList_GetIconSize(images_, &paint.image_width, &paint.image_height);
  paint.margin = TextMargin();
  const int fixed_rows = model_->GetFixedRowCount();
  const int fixed_cols = model_->GetFixedColumnCount();
  const auto [first_row, last_row] = VisibleItems(row_tops_, fixed_rows, scroll_y_, client.bottom);
  const auto [first_col, last_col] = VisibleItems(col_lefts_, fixed_cols, scroll_x_, client.right);
  const int fixed_row_end = std::min(fixed_rows, model_->GetRowCount()) - 1;
  const int fixed_col_end = std::min(fixed_cols, model_->GetColumnCount()) - 1;
  HGDIOBJ old_font = SelectObject(dc, paint.font);
  SetBkMode(dc, TRANSPARENT);
  auto draw = [&](int top, int bottom, int left, int right) {
    for (int row = top; row <= bottom; ++row)
      for (int col = left; col <= right; ++col) {
        const RECT rect = CellRect(row, col);
        RECT visible;
        if (IntersectRect(&visible, &rect, &area))
          DrawCell(dc, rect, row, col, paint);
      }
  };
  draw(first_row, last_row, first_col, last_col);
  draw(0, fixed_row_end, first_col, last_col);
  draw(first_row, last_row, 0, fixed_col_end);
  draw(0, fixed_row_end, 0, fixed_col_end);
  SelectObject(dc, old_font);
}

void CGridCtrl::DrawCell(HDC dc, const RECT& rect, int row, int col, const Paint& paint) const {
  const table::Cell* cell = model_->GetCell(row, col);
  const bool fixed = model_->IsCellFixed(row, col);
  const table::CellId focus = model_->GetFocusCell();
  const bool is_focus = !paint.printing && focus.row == row && focus.col == col;
  const bool selected =
      !paint.printing && !fixed && !is_focus && model_->GetSelectedRange().Contains(row, col);
  COLORREF background =
      fixed ? GetSysColor(COLOR_BTNFACE) : Resolve(cell->background, COLOR_WINDOW);
  COLORREF foreground = Resolve(cell->foreground, fixed ? COLOR_BTNTEXT : COLOR_WINDOWTEXT);
  if (selected) {
    background = GetSysColor(COLOR_HIGHLIGHT);
    foreground = GetSysColor(COLOR_HIGHLIGHTTEXT);
  }
  const int line = paint.line;
  RECT inner{rect.left, rect.top, rect.right - line, rect.bottom - line};
  FillSolid(dc, inner, background);
  FillSolid(dc, {rect.right - line, rect.top, rect.right, rect.bottom}, kGridLineColour);
  FillSolid(dc, {rect.left, rect.bottom - line, rect.right, rect.bottom}, kGridLineColour);
  if (fixed && !paint.printing) {
    FillSolid(dc, {inner.left, inner.top, inner.right, inner.top + 1},
              GetSysColor(COLOR_3DHIGHLIGHT));
    FillSolid(dc, {inner.left, inner.top, inner.left + 1, inner.bottom},
              GetSysColor(COLOR_3DHIGHLIGHT));
  }
  if (is_focus) {
    HBRUSH frame = GetSysColorBrush(COLOR_HIGHLIGHT);
    FrameRect(dc, &inner, frame);
    RECT second{inner.left + 1, inner.top + 1, inner.right - 1, inner.bottom - 1};
    FrameRect(dc, &second, frame);
  }
  RECT text_rect{inner.left + paint.margin, inner.top, inner.right - paint.margin, inner.bottom};
  if (cell->image >= 0 && images_)
    DrawCellImage(dc, &text_rect, cell->image, paint);
  if (cell->text.empty())
    return;
  const std::wstring text = WideFromCp1251(cell->text);
  UINT format = cell->format | DT_NOPREFIX;
  if (format & DT_SINGLELINE) {
    // A text too wide for its cell shows its beginning and an ellipsis, not a middle cut off at
    // both ends; the title tip shows the rest.
    format |= DT_VCENTER | DT_END_ELLIPSIS;
    SIZE extent{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    if (extent.cx > text_rect.right - text_rect.left)
      format &= ~(DT_CENTER | DT_RIGHT);
  }
  SetTextColor(dc, foreground);
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &text_rect, format);
}

void CGridCtrl::DrawCellImage(HDC dc, RECT* rect, int image, const Paint& paint) const {
  const int y = rect->top + (rect->bottom - rect->top - paint.image_height) / 2;
  if (!paint.printing) {
    ImageList_Draw(images_, image, dc, rect->left, y, ILD_TRANSPARENT);
  } else if (HICON icon = ImageList_GetIcon(images_, image, ILD_TRANSPARENT)) {
    DrawIconEx(dc, rect->left, y, icon, paint.image_width, paint.image_height, 0, nullptr,
               DI_NORMAL);
    DestroyIcon(icon);
  }
  rect->left += paint.image_width + paint.margin;
}

// ---------------------------------------------------------------------------------------------
// Scrolling

void CGridCtrl::ScrollTo(int x, int y) {
  EnsureLayout();
  x = std::clamp(x, 0, std::max(0, col_lefts_.back() - FixedWidth() - VisibleWidth()));
  y = std::clamp(y, 0, std::max(0, row_tops_.back() - FixedHeight() - VisibleHeight()));
  if (x == scroll_x_ && y == scroll_y_)
    return;
  EndEditing(true);
  HideTitleTip();
  scroll_x_ = x;
  scroll_y_ = y;
  SetScrollPos(hwnd_, SB_HORZ, scroll_x_, TRUE);
  SetScrollPos(hwnd_, SB_VERT, scroll_y_, TRUE);
  InvalidateRect(hwnd_, nullptr, FALSE);
}

// Scrolls by whole rows: the new top row starts at the top of the scrolled area.
void CGridCtrl::ScrollRows(int rows) {
  const int top = GetTopRow();
  if (top < 0)
    return;
  const int target = std::clamp(top + rows, model_->GetFixedRowCount(), model_->GetRowCount() - 1);
  ScrollTo(scroll_x_, row_tops_[target] - FixedHeight());
}

void CGridCtrl::ScrollPages(int pages) {
  EnsureLayout();
  ScrollTo(scroll_x_, scroll_y_ + pages * std::max(VisibleHeight(), default_row_height_));
}

void CGridCtrl::OnScroll(int bar, int code) {
  EnsureLayout();
  SCROLLINFO info{};
  info.cbSize = sizeof(info);
  info.fMask = SIF_ALL;
  GetScrollInfo(hwnd_, bar, &info);
  const bool vertical = bar == SB_VERT;
  int pos = vertical ? scroll_y_ : scroll_x_;
  const int page = vertical ? VisibleHeight() : VisibleWidth();
  const int line = vertical ? default_row_height_ : 20;
  switch (code) {
    case SB_LINEUP:
      if (vertical)
        return ScrollRows(-1);
      pos -= line;
      break;
    case SB_LINEDOWN:
      if (vertical)
        return ScrollRows(1);
      pos += line;
      break;
    case SB_PAGEUP:
      pos -= page;
      break;
    case SB_PAGEDOWN:
      pos += page;
      break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION:
      pos = info.nTrackPos;
      break;
    case SB_TOP:
      pos = 0;
      break;
    case SB_BOTTOM:
      pos = info.nMax;
      break;
    default:
      return;
  }
  if (vertical)
    ScrollTo(scroll_x_, pos);
  else
    ScrollTo(pos, scroll_y_);
}

// Each full notch (120 units) scrolls the user's number of rows, or a page for -1; smaller
// movements of precise wheels add up.
void CGridCtrl::OnMouseWheel(int delta) {
  wheel_remainder_ += delta;
  const int notches = wheel_remainder_ / kWheelNotch;
  wheel_remainder_ -= notches * kWheelNotch;
  if (notches == 0)
    return;
  const int lines = WheelScrollLines();
  if (lines < 0)
    ScrollPages(-notches);
  else if (lines > 0)
    ScrollRows(-notches * lines);
}

void CGridCtrl::ScrollCellIntoView(int row, int col) {
  EnsureLayout();
  if (!model_->IsValid(row, col))
    return;
  int x = scroll_x_;
  int y = scroll_y_;
  if (row >= model_->GetFixedRowCount()) {
    const int top = row_tops_[row] - FixedHeight();
    const int bottom = row_tops_[row + 1] - FixedHeight();
    if (top < y)
      y = top;
    else if (bottom > y + VisibleHeight())
      y = std::min(top, bottom - VisibleHeight());
  }
  if (col >= model_->GetFixedColumnCount()) {
    const int left = col_lefts_[col] - FixedWidth();
    const int right = col_lefts_[col + 1] - FixedWidth();
    if (left < x)
      x = left;
    else if (right > x + VisibleWidth())
      x = std::min(left, right - VisibleWidth());
  }
  ScrollTo(x, y);
}

bool CGridCtrl::EnsureVisible(int row, int col) {
  if (!model_->IsValid(row, col))
    return false;
  ScrollCellIntoView(row, col);
  return true;
}

// ---------------------------------------------------------------------------------------------
// Mouse

// Dragging a border in the fixed row sizes a column, in the fixed column a row.
CGridCtrl::MouseMode CGridCtrl::BorderUnder(POINT point, int* index) const {
  if (point.y < FixedHeight()) {
    *index = BorderAt(col_lefts_, model_->GetFixedColumnCount(), scroll_x_, point.x);
    if (*index >= 0)
      return MouseMode::kSizeColumn;
  }
  if (point.x < FixedWidth()) {
    *index = BorderAt(row_tops_, model_->GetFixedRowCount(), scroll_y_, point.y);
    if (*index >= 0)
      return MouseMode::kSizeRow;
  }
  return MouseMode::kNone;
}

bool CGridCtrl::StartSizing(POINT point) {
  int index = -1;
  const MouseMode mode = BorderUnder(point, &index);
  if (mode == MouseMode::kNone)
    return false;
  mouse_mode_ = mode;
  sizing_index_ = index;
  sizing_origin_ =
      mode == MouseMode::kSizeColumn ? CellRect(0, index).left : CellRect(index, 0).top;
  return true;
}

// A click in the fixed column selects the row and puts the focus on its first component cell,
// so that a click on a row's mark flips it as a click on its first cell does. A click in the
// fixed row selects the column and the corner the whole table; both leave no focus cell, so the
// parent's click handling sees no row to act on.
void CGridCtrl::OnButtonDown(POINT point, bool shift, bool double_click) {
  HideTitleTip();
  EndEditing(true);
  SetFocus(hwnd_);
  EnsureLayout();
  press_started_sizing_ = false;
  pressed_cell_ = HitTest(point);
  if (StartSizing(point)) {
    press_started_sizing_ = true;
    if (double_click && mouse_mode_ == MouseMode::kSizeColumn) {
      model_->SetColumnWidth(sizing_index_, 0);
      mouse_mode_ = MouseMode::kNone;
    }
    SetCapture(hwnd_);
    return;
  }
  if (!pressed_cell_.IsValid())
    return;
  const int row = pressed_cell_.row;
  const int col = pressed_cell_.col;
  const int fixed_rows = model_->GetFixedRowCount();
  const int fixed_cols = model_->GetFixedColumnCount();
  if (double_click && model_->IsCellEditable(row, col)) {
    EditCell(row, col);
    return;
  }
  if (row < fixed_rows && col < fixed_cols) {
    model_->ClearFocusCell();
    model_->SelectAll();
    return;
  }
  if (row < fixed_rows) {
    mouse_mode_ = MouseMode::kSelectColumns;
    model_->ClearFocusCell();
    anchor_ = {fixed_rows, col};
  } else if (col < fixed_cols) {
    mouse_mode_ = MouseMode::kSelectRows;
    if (fixed_cols < model_->GetColumnCount())
      model_->SetFocusCell(row, fixed_cols);
    anchor_ = {row, fixed_cols};
  } else if (ole_ready_ && !shift && model_->GetSelectedRange().Contains(row, col) &&
             model_->GetSelectedRange() != table::CellRange{row, col, row, col}) {
    mouse_mode_ = MouseMode::kDragCandidate;
    last_mouse_ = point;
    SetCapture(hwnd_);
    return;
  } else {
    mouse_mode_ = MouseMode::kSelectCells;
    if (!shift || !anchor_.IsValid() || !model_->IsValid(anchor_.row, anchor_.col))
      anchor_ = pressed_cell_;
    model_->SetFocusCell(row, col);
  }
  SelectTo(pressed_cell_);
  SetCapture(hwnd_);
}

// Extends the selection from the anchor to `cell` in the way the press started.
void CGridCtrl::SelectTo(table::CellId cell) {
  const int rows = model_->GetRowCount();
  const int cols = model_->GetColumnCount();
  const int fixed_rows = model_->GetFixedRowCount();
  const int fixed_cols = model_->GetFixedColumnCount();
  if (!cell.IsValid() || !anchor_.IsValid() || fixed_rows >= rows || fixed_cols >= cols)
    return;
  const int row = std::max(cell.row, fixed_rows);
  const int col = std::max(cell.col, fixed_cols);
  switch (mouse_mode_) {
    case MouseMode::kSelectRows:
      model_->SetSelectedRange({anchor_.row, fixed_cols, row, cols - 1});
      break;
    case MouseMode::kSelectColumns:
      model_->SetSelectedRange({fixed_rows, anchor_.col, rows - 1, col});
      break;
    default:
      model_->SetSelectedRange({anchor_.row, anchor_.col, row, col});
      if (mouse_mode_ == MouseMode::kSelectCells)
        model_->SetFocusCell(row, col);
      break;
  }
}

// The cell under the point, or the nearest one in view when the point lies outside the cells.
table::CellId CGridCtrl::HitTestClamped(POINT point) {
  RECT client;
  GetClientRect(hwnd_, &client);
  point.x = std::clamp<LONG>(point.x, FixedWidth(),
                             std::min<LONG>(client.right, col_lefts_.back() - scroll_x_) - 1);
  point.y = std::clamp<LONG>(point.y, FixedHeight(),
                             std::min<LONG>(client.bottom, row_tops_.back() - scroll_y_) - 1);
  return HitTest(point);
}

void CGridCtrl::OnMouseMove(POINT point) {
  if (GetCapture() != hwnd_) {
    TrackHover(point);
    return;
  }
  switch (mouse_mode_) {
    case MouseMode::kSizeColumn:
      model_->SetColumnWidth(sizing_index_, std::max<int>(kMinimumSize, point.x - sizing_origin_));
      break;
    case MouseMode::kSizeRow:
      model_->SetRowHeight(sizing_index_, std::max<int>(kMinimumSize, point.y - sizing_origin_));
      break;
    case MouseMode::kDragCandidate:
      if (std::abs(point.x - last_mouse_.x) > GetSystemMetrics(SM_CXDRAG) ||
          std::abs(point.y - last_mouse_.y) > GetSystemMetrics(SM_CYDRAG))
        StartDrag();
      break;
    case MouseMode::kNone:
      break;
    default: {
      RECT client;
      GetClientRect(hwnd_, &client);
      const bool outside = point.x < FixedWidth() || point.y < FixedHeight() ||
                           point.x >= client.right || point.y >= client.bottom;
      if (outside)
        SetTimer(hwnd_, kAutoScrollTimer, 50, nullptr);
      else
        KillTimer(hwnd_, kAutoScrollTimer);
      SelectTo(HitTestClamped(point));
      break;
    }
  }
}

// While the user selects with the pointer outside the cells, the grid scrolls towards it.
void CGridCtrl::OnAutoScroll() {
  if (GetCapture() != hwnd_) {
    KillTimer(hwnd_, kAutoScrollTimer);
    return;
  }
  POINT point;
  GetCursorPos(&point);
  ScreenToClient(hwnd_, &point);
  RECT client;
  GetClientRect(hwnd_, &client);
  if (point.y < FixedHeight())
    ScrollRows(-1);
  else if (point.y >= client.bottom)
    ScrollRows(1);
  if (point.x < FixedWidth())
    ScrollTo(scroll_x_ - 20, scroll_y_);
  else if (point.x >= client.right)
    ScrollTo(scroll_x_ + 20, scroll_y_);
  SelectTo(HitTestClamped(point));
}

// The parent hears of every click on a cell: the converter windows flip the focus row's mark
// on it. A press that grabbed a border to size a row or column is no click on a cell and is not
// reported, so sizing a column never flips a mark.
void CGridCtrl::OnButtonUp(POINT point) {
  KillTimer(hwnd_, kAutoScrollTimer);
  const MouseMode mode = mouse_mode_;
  mouse_mode_ = MouseMode::kNone;
  if (GetCapture() == hwnd_)
    ReleaseCapture();
  if (mode == MouseMode::kDragCandidate) {
    anchor_ = pressed_cell_;
    model_->SetFocusCell(pressed_cell_.row, pressed_cell_.col);
    model_->SetSelectedRange(
        {pressed_cell_.row, pressed_cell_.col, pressed_cell_.row, pressed_cell_.col});
  }
  RECT client;
  GetClientRect(hwnd_, &client);
  const table::CellId pressed = std::exchange(pressed_cell_, {});
  if (pressed.IsValid() && !press_started_sizing_ && PtInRect(&client, point)) {
    PostMessageW(GetParent(hwnd_), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(hwnd_), 0),
                 reinterpret_cast<LPARAM>(hwnd_));
  }
  press_started_sizing_ = false;
}

// The sizing cursors show over a border that can be dragged and during the drag.
bool CGridCtrl::OnSetCursor() {
  MouseMode shape = mouse_mode_;
  if (shape == MouseMode::kNone) {
    POINT point;
    GetCursorPos(&point);
    ScreenToClient(hwnd_, &point);
    EnsureLayout();
    int index = -1;
    shape = BorderUnder(point, &index);
  }
  if (shape != MouseMode::kSizeColumn && shape != MouseMode::kSizeRow)
    return false;
  SetCursor(LoadCursorW(nullptr, shape == MouseMode::kSizeColumn ? IDC_SIZEWE : IDC_SIZENS));
  return true;
}

void CGridCtrl::StartDrag() {
  mouse_mode_ = MouseMode::kNone;
  if (GetCapture() == hwnd_)
    ReleaseCapture();
  const std::string text = table::CopyText(*model_, model_->GetSelectedRange());
  if (!text.empty())
    DragText(WideFromCp1251(text));
  // The drag loop swallowed the button release; the press is no click any more.
  pressed_cell_ = {};
}

// ---------------------------------------------------------------------------------------------
// Title tips

// Arms the hover detection whenever the pointer enters another cell.
void CGridCtrl::TrackHover(POINT point) {
  const table::CellId cell = HitTest(point);
  if (cell == hover_cell_ && tracking_mouse_)
    return;
  if (cell != hover_cell_)
    HideTitleTip();
  hover_cell_ = cell;
  TRACKMOUSEEVENT track{};
  track.cbSize = sizeof(track);
  track.dwFlags = TME_HOVER | TME_LEAVE;
  track.hwndTrack = hwnd_;
  track.dwHoverTime = HOVER_DEFAULT;
  tracking_mouse_ = TrackMouseEvent(&track) != FALSE;
}

bool CGridCtrl::TextFits(int row, int col, const RECT& rect, SIZE* extent) {
  const table::Cell* cell = model_->GetCell(row, col);
  if (!cell || cell->text.empty())
    return true;
  int room = rect.right - rect.left - 2 * TextMargin() - 1;
  if (cell->image >= 0 && images_) {
    int image_width = 0, image_height = 0;
    ImageList_GetIconSize(images_, &image_width, &image_height);
    room -= image_width + TextMargin();
  }
  const std::wstring text = WideFromCp1251(cell->text);
  HDC dc = GetDC(hwnd_);
  HGDIOBJ old_font = SelectObject(dc, GetFont());
  GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), extent);
  SelectObject(dc, old_font);
  ReleaseDC(hwnd_, dc);
  return extent->cx <= room;
}

// Called when the pointer rests: the tip covers the cell's text area, widened to the text.
void CGridCtrl::ShowTitleTip() {
  if (!title_tips_ || edit_ || GetCapture() || !hover_cell_.IsValid())
    return;
  EnsureLayout();
  if (!model_->IsValid(hover_cell_.row, hover_cell_.col))
    return;
  const RECT cell = CellRect(hover_cell_.row, hover_cell_.col);
  SIZE extent{};
  if (TextFits(hover_cell_.row, hover_cell_.col, cell, &extent))
    return;
  RECT text{cell.left + TextMargin(), cell.top, cell.left + TextMargin() + extent.cx,
            cell.bottom - 1};
  if (const table::Cell* item = model_->GetCell(hover_cell_.row, hover_cell_.col);
      item->image >= 0 && images_) {
    int image_width = 0, image_height = 0;
    ImageList_GetIconSize(images_, &image_width, &image_height);
    OffsetRect(&text, image_width + TextMargin(), 0);
  }
  MapWindowPoints(hwnd_, nullptr, reinterpret_cast<POINT*>(&text), 2);
  title_tip_->Show(text, WideFromCp1251(model_->GetItemText(hover_cell_.row, hover_cell_.col)),
                   GetFont());
}

void CGridCtrl::HideTitleTip() {
  if (title_tip_)
    title_tip_->Hide();
}

// ---------------------------------------------------------------------------------------------
// Keyboard

void CGridCtrl::MoveFocus(int row, int col, bool extend) {
  const int fixed_rows = model_->GetFixedRowCount();
  const int fixed_cols = model_->GetFixedColumnCount();
  if (fixed_rows >= model_->GetRowCount() || fixed_cols >= model_->GetColumnCount())
    return;
  row = std::clamp(row, fixed_rows, model_->GetRowCount() - 1);
  col = std::clamp(col, fixed_cols, model_->GetColumnCount() - 1);
  model_->SetFocusCell(row, col);
  if (!extend || !anchor_.IsValid() || !model_->IsValid(anchor_.row, anchor_.col))
    anchor_ = {row, col};
  model_->SetSelectedRange({anchor_.row, anchor_.col, row, col});
  ScrollCellIntoView(row, col);
}

void CGridCtrl::OnKeyDown(WPARAM key) {
  const bool control = GetKeyState(VK_CONTROL) < 0;
  const bool shift = GetKeyState(VK_SHIFT) < 0;
  if (control) {
    switch (key) {
      case 'C':
      case VK_INSERT:
        return OnEditCopy();
      case 'X':
        return OnEditCut();
      case 'V':
        return OnEditPaste();
      case 'A':
        return OnEditSelectAll();
    }
  }
  if (shift && key == VK_INSERT)
    return OnEditPaste();
  if (shift && key == VK_DELETE)
    return OnEditCut();
  EnsureLayout();
  table::CellId focus = model_->GetFocusCell();
  const bool had_focus = focus.IsValid();
  if (!had_focus)
    focus = {model_->GetFixedRowCount(), model_->GetFixedColumnCount()};
  const int page_rows = std::max(1, VisibleHeight() / std::max(1, default_row_height_));
  switch (key) {
    case VK_UP:
      return MoveFocus(focus.row - (had_focus ? 1 : 0), focus.col, shift);
    case VK_DOWN:
      return MoveFocus(focus.row + (had_focus ? 1 : 0), focus.col, shift);
    case VK_LEFT:
      return MoveFocus(focus.row, focus.col - (had_focus ? 1 : 0), shift);
    case VK_RIGHT:
      return MoveFocus(focus.row, focus.col + (had_focus ? 1 : 0), shift);
    case VK_PRIOR:
      return MoveFocus(focus.row - page_rows, focus.col, shift);
    case VK_NEXT:
      return MoveFocus(focus.row + page_rows, focus.col, shift);
    case VK_HOME:
      return MoveFocus(control ? 0 : focus.row, 0, shift);
    case VK_END:
      return MoveFocus(control ? model_->GetRowCount() : focus.row, model_->GetColumnCount(),
                       shift);
    case VK_F2:
      if (had_focus)
        EditCell(focus.row, focus.col);
      return;
    case VK_DELETE:
      return DeleteSelectedTexts();
  }
}

// Typing on the focus cell starts editing it with the typed character.
void CGridCtrl::OnChar(wchar_t ch) {
  if (ch < L' ' || ch == 0x7F)
    return;
  const table::CellId focus = model_->GetFocusCell();
  const wchar_t typed[2] = {ch, 0};
  StartEdit(focus.row, focus.col, typed);
}

void CGridCtrl::DeleteSelectedTexts() {
  table::CellRange range = model_->GetSelectedRange();
  const table::CellId focus = model_->GetFocusCell();
  if (range.IsEmpty() && focus.IsValid())
    range = {focus.row, focus.col, focus.row, focus.col};
  table::GridUpdate batch(*model_);
  for (int row = std::max(range.top, 0); row <= range.bottom; ++row)
    for (int col = std::max(range.left, 0); col <= range.right; ++col)
      if (model_->IsCellEditable(row, col) && !model_->GetItemText(row, col).empty())
        model_->SetItemText(row, col, "");
}

// ---------------------------------------------------------------------------------------------
// In-place editing

bool CGridCtrl::EditCell(int row, int col) {
  return StartEdit(row, col, nullptr);
}

bool CGridCtrl::StartEdit(int row, int col, const wchar_t* typed) {
  if (!model_->IsCellEditable(row, col))
    return false;
  EndEditing(true);
  HideTitleTip();
  ScrollCellIntoView(row, col);
  const RECT cell = CellRect(row, col);
  const std::wstring text = typed ? typed : WideFromCp1251(model_->GetItemText(row, col));
  edit_ = CreateWindowExW(
      0, L"EDIT", text.c_str(), WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, cell.left, cell.top,
      cell.right - cell.left - 1, cell.bottom - cell.top - 1, hwnd_,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(kEditId)), ThisModule(), nullptr);
  if (!edit_)
    return false;
  edit_cell_ = {row, col};
  SendMessageW(edit_, WM_SETFONT, reinterpret_cast<WPARAM>(GetFont()), FALSE);
  SendMessageW(edit_, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN,
               MAKELONG(TextMargin() - 1, TextMargin() - 1));
  SetWindowSubclass(edit_, &EditProc, kEditId, reinterpret_cast<DWORD_PTR>(this));
  const int length = static_cast<int>(text.size());
  SendMessageW(edit_, EM_SETSEL, typed ? length : 0, length);
  SetFocus(edit_);
  return true;
}

// The typed text replaces the cell's text and marks the cell modified; an unchanged text
// leaves the cell as it was.
void CGridCtrl::EndEditing(bool commit) {
  if (!edit_ || ending_edit_)
    return;
  ending_edit_ = true;
  HWND edit = std::exchange(edit_, nullptr);
  if (commit && model_->IsValid(edit_cell_.row, edit_cell_.col)) {
    const int length = GetWindowTextLengthW(edit);
    std::wstring text(length + 1, L'\0');
    GetWindowTextW(edit, text.data(), length + 1);
    text.resize(length);
    const std::string value = Cp1251FromWide(text.c_str(), length);
    if (value != model_->GetItemText(edit_cell_.row, edit_cell_.col)) {
      table::GridUpdate batch(*model_);
      model_->SetItemText(edit_cell_.row, edit_cell_.col, value);
      model_->SetItemState(
          edit_cell_.row, edit_cell_.col,
          model_->GetItemState(edit_cell_.row, edit_cell_.col) | table::kStateModified);
    }
  }
  const bool had_focus = GetFocus() == edit;
  DestroyWindow(edit);
  if (had_focus)
    SetFocus(hwnd_);
  ending_edit_ = false;
  InvalidateRect(hwnd_, nullptr, FALSE);
}

// Keys that end editing are acted on after the edit's own message is done, through a message
// posted to the grid: the edit window must not be destroyed inside its own handler.
bool CGridCtrl::HandleEditKey(WPARAM key) {
  const bool shift = GetKeyState(VK_SHIFT) < 0;
  EditEnd end = EditEnd::kCommit;
  switch (key) {
    case VK_RETURN:
      break;
    case VK_ESCAPE:
      end = EditEnd::kCancel;
      break;
    case VK_TAB:
      end = shift ? EditEnd::kCommitLeft : EditEnd::kCommitRight;
      break;
    case VK_UP:
      end = EditEnd::kCommitUp;
      break;
    case VK_DOWN:
      end = EditEnd::kCommitDown;
      break;
    default:
      return false;
  }
  PostMessageW(hwnd_, kMsgEndEdit, static_cast<WPARAM>(end), reinterpret_cast<LPARAM>(edit_));
  return true;
}

void CGridCtrl::OnEndEditMessage(EditEnd end, HWND edit) {
  if (edit != edit_)
    return;
  const table::CellId cell = edit_cell_;
  EndEditing(end != EditEnd::kCancel);
  switch (end) {
    case EditEnd::kCommitLeft:
      return MoveFocus(cell.row, cell.col - 1, false);
    case EditEnd::kCommitRight:
      return MoveFocus(cell.row, cell.col + 1, false);
    case EditEnd::kCommitUp:
      return MoveFocus(cell.row - 1, cell.col, false);
    case EditEnd::kCommitDown:
      return MoveFocus(cell.row + 1, cell.col, false);
    default:
      return;
  }
}

LRESULT CALLBACK CGridCtrl::EditProc(HWND edit,
                                     UINT message,
                                     WPARAM wparam,
                                     LPARAM lparam,
                                     UINT_PTR,
                                     DWORD_PTR data) {
  auto* grid = reinterpret_cast<CGridCtrl*>(data);
  switch (message) {
    case WM_GETDLGCODE:
      return DefSubclassProc(edit, message, wparam, lparam) | DLGC_WANTALLKEYS;
    case WM_KEYDOWN:
      if (grid->HandleEditKey(wparam))
        return 0;
      break;
    case WM_CHAR:
      if (wparam == L'\r' || wparam == L'\t' || wparam == 0x1B)
        return 0;
      break;
    case WM_KILLFOCUS:
      PostMessageW(grid->hwnd_, kMsgEndEdit, static_cast<WPARAM>(EditEnd::kCommit),
                   reinterpret_cast<LPARAM>(edit));
      break;
    case WM_NCDESTROY:
      RemoveWindowSubclass(edit, &EditProc, kEditId);
      break;
  }
  return DefSubclassProc(edit, message, wparam, lparam);
}

// ---------------------------------------------------------------------------------------------
// Clipboard

// The selection, or the focus cell alone when nothing is selected.
table::CellRange CGridCtrl::CopyRange() const {
  const table::CellRange range = model_->GetSelectedRange();
  const table::CellId focus = model_->GetFocusCell();
  if (range.IsEmpty() && focus.IsValid())
    return {focus.row, focus.col, focus.row, focus.col};
  return range;
}

void CGridCtrl::OnEditCopy() {
  if (CanCopy())
    PutClipboardText(hwnd_, WideFromCp1251(table::CopyText(*model_, CopyRange())));
}

void CGridCtrl::OnEditCut() {
  if (!CanCut())
    return;
  if (PutClipboardText(hwnd_, WideFromCp1251(table::CopyText(*model_, CopyRange()))))
    table::CutText(*model_, CopyRange());
}

void CGridCtrl::OnEditPaste() {
  std::wstring text;
  if (!CanPaste() || !TakeClipboardText(hwnd_, &text))
    return;
  table::PasteText(*model_, model_->GetFocusCell(), Cp1251FromWide(text.c_str()));
}

void CGridCtrl::OnEditSelectAll() {
  model_->SelectAll();
}

bool CGridCtrl::CanCopy() const {
  return !CopyRange().IsEmpty();
}

bool CGridCtrl::CanCut() const {
  return CanCopy() && model_->IsEditable();
}

bool CGridCtrl::CanPaste() const {
  const table::CellId focus = model_->GetFocusCell();
  return model_->IsCellEditable(focus.row, focus.col) && IsClipboardFormatAvailable(CF_UNICODETEXT);
}

bool CGridCtrl::CanSelectAll() const {
  return model_->GetFixedRowCount() < model_->GetRowCount() &&
         model_->GetFixedColumnCount() < model_->GetColumnCount();
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
