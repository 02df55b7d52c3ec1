// Painting of the grid on the screen: the cells in view, their colours, lines, images and texts.
#include "converter/grid/grid_ctrl_win32.h"

#include <algorithm>
#include <string>

#include "base/win32_text.h"
#include "converter/grid/grid_ctrl_internal_win32.h"

namespace zuro::grid {

// The cell formats are handed to DrawText as they are.
static_assert(table::kFormatCentre == DT_CENTER && table::kFormatRight == DT_RIGHT &&
              table::kFormatVCentre == DT_VCENTER && table::kFormatBottom == DT_BOTTOM &&
              table::kFormatWordBreak == DT_WORDBREAK &&
              table::kFormatSingleLine == DT_SINGLELINE && table::kFormatNoPrefix == DT_NOPREFIX &&
              table::kFormatEndEllipsis == DT_END_ELLIPSIS);

namespace {

constexpr COLORREF kGridLineColour = RGB(0xC0, 0xC0, 0xC0);

void FillSolid(HDC dc, const RECT& rect, COLORREF colour) {
  SetBkColor(dc, colour);
  ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
}

COLORREF Resolve(table::Colour colour, int system_colour) {
  return colour == table::kSystemColour ? GetSysColor(system_colour)
                                        : static_cast<COLORREF>(colour);
}

}  // namespace

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
  const std::optional<table::Cell> cell = model_->GetCell(row, col);
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

}  // namespace zuro::grid
