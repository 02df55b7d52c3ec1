// The settings dialog on the screen: dialog 1100 of the library's resources, shown by "Файл" →
// "Параметры..." of the converter windows and the PDM window.
#pragma once

#include <windows.h>

#include <string>

namespace zuro::converter {

// Shows the dialog modally, owned by `owner`, until it closes. `module` holds the dialog resource
// (the library's own module). IDOK when the settings were written, IDCANCEL, or -1 when the
// dialog could not be made. Paths are UTF-8.
INT_PTR RunSettingsDialog(HINSTANCE module,
                          HWND owner,
                          const std::string& library_folder,
                          const std::string& help_path);

}  // namespace zuro::converter
