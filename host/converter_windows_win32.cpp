#include "host/converter_windows_win32.h"

#include "base/win32_text.h"
#include "converter/grid/grid_ctrl_win32.h"
#include "resources/resource.h"

namespace zuro::host {

namespace {

struct WindowStart {
  ConverterWindowKind kind;
};

const char* CaptionOf(ConverterWindowKind kind) {
  switch (kind) {
    case ConverterWindowKind::PcadMentor:
      return "Текстовый конвертер P-CAD-ЗЕНТАР";
    case ConverterWindowKind::Orcad:
      return "Текстовый конвертер OrCAD-ЗЕНТАР";
    case ConverterWindowKind::ProtelFamily:
      return "Текстовый конвертер Protel-ЗЕНТАР";
  }
  return "";
}

// The converter window's frame; its table and commands are filled in by the window classes.
INT_PTR CALLBACK ConverterWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_INITDIALOG: {
      const auto* start = reinterpret_cast<const WindowStart*>(lparam);
      SetWindowTextW(window, WideFromCp1251(CaptionOf(start->kind)).c_str());
      return TRUE;
    }
    case WM_COMMAND:
      if (LOWORD(wparam) == IDCANCEL) {
        EndDialog(window, IDCANCEL);
        return TRUE;
      }
      break;
    case WM_CLOSE:
      EndDialog(window, IDCANCEL);
      return TRUE;
  }
  return FALSE;
}

}  // namespace

void Win32ConverterWindows::Run(ConverterWindowKind kind, LibraryContext&) {
  WindowStart start{kind};
  grid::CGridCtrl::RegisterWindowClass(module_);
  DialogBoxParamW(module_, MAKEINTRESOURCEW(IDD_CONVERTER), nullptr, ConverterWindowProc,
                  reinterpret_cast<LPARAM>(&start));
}

}  // namespace zuro::host
