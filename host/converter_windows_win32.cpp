#include "host/converter_windows_win32.h"

#include "base/win32_text.h"
#include "converter/converter_dialog_win32.h"
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

// The frame of a converter window whose table and commands are still to come: the OrCAD and the
// Protel / Altium Designer / Cadence Allegro windows.
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

// The dialog templates place their tables as controls of the grid's class, registered for this
// module before any of them is made.
void Win32ConverterWindows::Run(ConverterWindowKind kind, LibraryContext& context) {
  grid::CGridCtrl::RegisterWindowClass(module_);
  if (kind == ConverterWindowKind::PcadMentor) {
    converter::Win32ConverterDialog window(module_, context);
    window.Run();
    return;
  }
  WindowStart start{kind};
  DialogBoxParamW(module_, MAKEINTRESOURCEW(IDD_CONVERTER), nullptr, ConverterWindowProc,
                  reinterpret_cast<LPARAM>(&start));
}

}  // namespace zuro::host
