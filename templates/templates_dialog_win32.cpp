#include "templates/templates_dialog_win32.h"

#include "resources/resource.h"
#include "templates/template_lists_view_win32.h"

namespace zuro::templates {

INT_PTR RunTemplatesDialog(HINSTANCE module, HWND owner, const TemplatesDialogSetup& setup) {
  return RunTemplateListsDialog<TemplatesDialog>(module, owner, IDD_TEMPLATES, setup);
}

}  // namespace zuro::templates
