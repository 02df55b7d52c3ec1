#include "converter/attribute_templates_dialog_win32.h"

#include "resources/resource.h"
#include "templates/template_lists_view_win32.h"

namespace zuro::converter {

INT_PTR RunAttributeTemplatesDialog(HINSTANCE module,
                                    HWND owner,
                                    const AttributeTemplatesDialogSetup& setup) {
  return templates::RunTemplateListsDialog<AttributeTemplatesDialog>(
      module, owner, IDD_ATTRIBUTE_TEMPLATES, setup);
}

}  // namespace zuro::converter
