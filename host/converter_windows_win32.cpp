#include "host/converter_windows_win32.h"

#include "converter/converter_dialog_win32.h"
#include "converter/grid/grid_ctrl_win32.h"

namespace zuro::host {

// The dialog templates place their tables as controls of the grid's class, registered for this
// module before any of them is made. The window of the command is the context's: the kind was
// chosen from the same command number.
void Win32ConverterWindows::Run(ConverterWindowKind, LibraryContext& context) {
  grid::CGridCtrl::RegisterWindowClass(module_);
  converter::Win32ConverterDialog window(module_, context);
  window.Run();
}

}  // namespace zuro::host
