#include "automation/library_context.h"

#include "base/paths.h"

namespace zuro::automation {

void LibraryContext::ReleaseHostObjects() {
  // The host tears its documents down before the application; release in that order.
  spec_document.Release();
  model_document.Release();
  graphic_document.Release();
  application.Release();
}

void SetLibraryPaths(LibraryContext& context, const std::string& module_path) {
  // Drive and folder are everything up to the file name; "/" paths serve the native builds.
  FolderAndName module = SplitFolder(module_path);
  context.library_folder = module.folder;
  std::string base = std::move(module.name);
  const size_t dot = base.find_last_of('.');
  if (dot != std::string::npos)
    base.erase(dot);
  context.help_path = context.library_folder + base + ".chm";
}

}  // namespace zuro::automation
