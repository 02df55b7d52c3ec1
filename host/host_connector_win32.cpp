#include "host/host_connector_win32.h"

#include <string>

#include "base/win32_text.h"
#include "automation/idispatch_win32.h"
#include "resources/resource.h"

namespace zuro::host {

namespace {

using CreateZentarObjectProc = IDispatch*(WINAPI*)();

// Full path of the host's program. The buffer grows as needed, so a program in a deep folder is
// found as well as one in a short one.
std::wstring HostProgramPath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0)
      return {};
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

std::wstring HostApiLibraryName(HINSTANCE module) {
  wchar_t name[64] = {};
  const int length = LoadStringW(module, IDS_HOST_API_LIBRARY, name, 64);
  return std::wstring(name, length > 0 ? length : 0);
}

}  // namespace

DispatchRef WinHostConnector::Connect() {
  const std::wstring program = HostProgramPath();
  const std::wstring name = HostApiLibraryName(library_module_);
  if (program.empty() || name.empty())
    return nullptr;
  const std::wstring path = HostApiLibraryPath(program, name);
  HMODULE api = LoadLibraryW(path.c_str());
  if (!api)
    return nullptr;
  const auto create = reinterpret_cast<CreateZentarObjectProc>(
      reinterpret_cast<void*>(GetProcAddress(api, "CreateZentarObject")));
  if (!create) {
    FreeLibrary(api);
    return nullptr;
  }
  IDispatch* application = create();
  // The application object's code lives in the host API library: keep the library loaded as long
  // as the object may be used, that is for the rest of the library's life. The host itself keeps
  // it loaded as well, so this only matters to a host that loaded it for us alone.
  if (!application)
    FreeLibrary(api);
  return automation::WrapIDispatch(application);
}

}  // namespace zuro::host
