// The geometry of the grid: the layout of its rows and columns, the cells in view, the scroll
// bars and scrolling.
#include "converter/grid/grid_ctrl_win32.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "base/win32_text.h"
#include "converter/grid/grid_ctrl_internal_win32.h"

namespace zuro::grid {

namespace {

constexpr int kMinimumAutoWidth = 16;
constexpr int kMaximumAutoWidth = 300;
constexpr int kAutoWidthSampleRows = 100;

}  // namespace

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

// ---------------------------------------------------------------------------------------------
// Layout

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
    const std::optional<table::Cell> cell = model_->GetCell(row, col);
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

}  // namespace zuro::grid
