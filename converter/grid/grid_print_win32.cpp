// Printing of the grid: the table in Times New Roman, cut into pages that repeat the headers,
// each page with the footer "Page %d of %d".
#include <algorithm>
#include <cwchar>
#include <string>
#include <vector>

#include "converter/grid/grid_ctrl_win32.h"
#include "table/grid_pages.h"

namespace zuro::grid {

// Everything of a print run, in points (the printer's mapping is set to 72 units per inch).
struct PrintMetrics {
  std::vector<int> heights;
  std::vector<int> widths;
  RECT area{};
  HFONT font = nullptr;
  int image_width = 0;
  int image_height = 0;
};

namespace {

constexpr int kPointsPerInch = 72;
constexpr int kPrintFontHeight = 9;
constexpr int kPageMargin = 36;
constexpr int kFooterHeight = 18;
constexpr int kPrintTextMargin = 2;

void UsePoints(HDC dc, int dpi_x, int dpi_y) {
  SetMapMode(dc, MM_ANISOTROPIC);
  SetWindowExtEx(dc, kPointsPerInch, kPointsPerInch, nullptr);
  SetViewportExtEx(dc, dpi_x, dpi_y, nullptr);
}

void FillLine(HDC dc, const RECT& rect) {
  SetBkColor(dc, RGB(0xC0, 0xC0, 0xC0));
  ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
}

HFONT CreatePrintFont() {
  LOGFONTW font{};
  font.lfHeight = -kPrintFontHeight;
  font.lfWeight = FW_NORMAL;
  font.lfCharSet = RUSSIAN_CHARSET;
  font.lfOutPrecision = OUT_TT_PRECIS;
  font.lfQuality = DEFAULT_QUALITY;
  wcscpy(font.lfFaceName, L"Times New Roman");
  return CreateFontIndirectW(&font);
}

std::wstring DocumentName(HWND grid) {
  HWND owner = GetAncestor(grid, GA_ROOT);
  wchar_t caption[256] = {};
  if (owner && GetWindowTextW(owner, caption, 256) > 0)
    return caption;
  return L"Grid";
}

}  // namespace

// Screen sizes of rows and columns become points at the screen's resolution, so the printed
// table keeps the proportions the user gave it; rows of default height take the print font's.
bool CGridCtrl::Print(HDC printer) {
  if (!printer)
    return false;
  EndEditing(true);
  EnsureLayout();
  HDC screen = GetDC(nullptr);
  const int screen_dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  const int dpi_x = GetDeviceCaps(printer, LOGPIXELSX);
  const int dpi_y = GetDeviceCaps(printer, LOGPIXELSY);
  const int page_width =
      MulDiv(GetDeviceCaps(printer, HORZRES), kPointsPerInch, dpi_x > 0 ? dpi_x : 1);
  const int page_height =
      MulDiv(GetDeviceCaps(printer, VERTRES), kPointsPerInch, dpi_y > 0 ? dpi_y : 1);
  if (dpi_x <= 0 || dpi_y <= 0 || screen_dpi <= 0 || page_width <= 2 * kPageMargin ||
      page_height <= 2 * kPageMargin + kFooterHeight)
    return false;

  PrintMetrics metrics;
  metrics.area = {kPageMargin, kPageMargin, page_width - kPageMargin,
                  page_height - kPageMargin - kFooterHeight};
  metrics.font = CreatePrintFont();
  if (images_) {
    ImageList_GetIconSize(images_, &metrics.image_width, &metrics.image_height);
    metrics.image_width = MulDiv(metrics.image_width, kPointsPerInch, screen_dpi);
    metrics.image_height = MulDiv(metrics.image_height, kPointsPerInch, screen_dpi);
  }
  const int saved = SaveDC(printer);
  UsePoints(printer, dpi_x, dpi_y);
  HGDIOBJ old_font = SelectObject(printer, metrics.font);
  TEXTMETRICW text{};
  GetTextMetricsW(printer, &text);
  SelectObject(printer, old_font);
  RestoreDC(printer, saved);
  const int row_height = std::max<int>(
      text.tmHeight + text.tmExternalLeading + 2 * kPrintTextMargin, metrics.image_height + 2);
  for (int row = 0; row < model_->GetRowCount(); ++row) {
    const int height = model_->GetRowHeight(row);
    metrics.heights.push_back(height > 0 ? MulDiv(height, kPointsPerInch, screen_dpi) : row_height);
  }
  for (int col = 0; col < model_->GetColumnCount(); ++col)
    metrics.widths.push_back(
        std::max(1, MulDiv(col_lefts_[col + 1] - col_lefts_[col], kPointsPerInch, screen_dpi)));
  const std::vector<table::PrintPage> pages = table::PaginateGrid(
      metrics.heights, metrics.widths, model_->GetFixedRowCount(), model_->GetFixedColumnCount(),
      metrics.area.right - metrics.area.left, metrics.area.bottom - metrics.area.top);

  const std::wstring name = DocumentName(hwnd_);
  DOCINFOW document{};
  document.cbSize = sizeof(document);
  document.lpszDocName = name.c_str();
  bool printed = StartDocW(printer, &document) > 0;
  for (size_t i = 0; printed && i < pages.size(); ++i) {
    printed = StartPage(printer) > 0;
    if (!printed)
      break;
    // Some drivers reset the device context at every page.
    const int page_state = SaveDC(printer);
    UsePoints(printer, dpi_x, dpi_y);
    PrintOnePage(printer, pages[i], metrics, static_cast<int>(i) + 1,
                 static_cast<int>(pages.size()));
    RestoreDC(printer, page_state);
    printed = EndPage(printer) > 0;
  }
  if (printed)
    printed = EndDoc(printer) > 0;
  else
    AbortDoc(printer);
  DeleteObject(metrics.font);
  return printed;
}

void CGridCtrl::PrintOnePage(HDC dc,
                             const table::PrintPage& page,
                             const PrintMetrics& metrics,
                             int number,
                             int count) {
  std::vector<int> rows, cols;
  for (int row = 0; row < std::min(model_->GetFixedRowCount(), model_->GetRowCount()); ++row)
    rows.push_back(row);
  for (int row = page.first_row; row <= page.last_row; ++row)
    rows.push_back(row);
  for (int col = 0; col < std::min(model_->GetFixedColumnCount(), model_->GetColumnCount()); ++col)
    cols.push_back(col);
  for (int col = page.first_col; col <= page.last_col; ++col)
    cols.push_back(col);

  HGDIOBJ old_font = SelectObject(dc, metrics.font);
  SetBkMode(dc, TRANSPARENT);
  Paint paint;
  paint.printing = true;
  paint.font = metrics.font;
  paint.image_width = metrics.image_width;
  paint.image_height = metrics.image_height;
  paint.margin = kPrintTextMargin;
  int y = metrics.area.top;
  int right = metrics.area.left;
  for (int row : rows) {
    int x = metrics.area.left;
    for (int col : cols) {
      const RECT rect{x, y, x + metrics.widths[col], y + metrics.heights[row]};
      DrawCell(dc, rect, row, col, paint);
      x = rect.right;
    }
    right = x;
    y += metrics.heights[row];
  }
  // The cells draw their right and bottom lines; the table's outer top and left lines close it.
  if (!rows.empty() && !cols.empty()) {
    FillLine(dc, {metrics.area.left, metrics.area.top, right, metrics.area.top + 1});
    FillLine(dc, {metrics.area.left, metrics.area.top, metrics.area.left + 1, y});
  }
  wchar_t footer[64];
  swprintf(footer, 64, L"Page %d of %d", number, count);
  RECT footer_rect{metrics.area.left, metrics.area.bottom + 4, metrics.area.right,
                   metrics.area.bottom + kFooterHeight};
  SetTextColor(dc, RGB(0, 0, 0));
  DrawTextW(dc, footer, -1, &footer_rect, DT_CENTER | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  SelectObject(dc, old_font);
}

}  // namespace zuro::grid
