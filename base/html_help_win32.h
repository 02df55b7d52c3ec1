// The library's help file in the HTML help viewer.
#pragma once

#include <windows.h>

#include <string>

namespace zuro {

// Shows the help file (a UTF-8 path) at its default topic, owned by `owner` (or by no
// window). A system without the viewer shows nothing.
void ShowHtmlHelp(HWND owner, const std::string& help_path);

}  // namespace zuro
