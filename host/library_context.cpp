#include "host/library_context.h"

namespace zuro::host {

void LibraryContext::ReleaseHostObjects() {
  // The host tears its documents down before the application; release in that order.
  spec_document.Release();
  model_document.Release();
  graphic_document.Release();
  application.Release();
}

void SetLibraryPaths(LibraryContext& context, const std::string& module_path) {
  // Drive and folder are everything up to the last separator; Windows paths use "\", but "/" is
  // accepted as well so the same code serves the native builds.
  const size_t slash = module_path.find_last_of("\\/");
  const size_t name_start = slash == std::string::npos ? 0 : slash + 1;
  context.library_folder = module_path.substr(0, name_start);
  std::string base = module_path.substr(name_start);
  const size_t dot = base.find_last_of('.');
  if (dot != std::string::npos)
    base.erase(dot);
  context.help_path = context.library_folder + base + ".chm";
}

}  // namespace zuro::host
