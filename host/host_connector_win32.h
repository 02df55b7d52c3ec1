#pragma once

#include <windows.h>

#include "host/library_entry.h"

namespace zuro::host {

// Connects through the host API library that lies in the host program's folder, named by string
// resource 4 of the library module.
class WinHostConnector : public HostConnector {
 public:
  explicit WinHostConnector(HINSTANCE library_module) : library_module_(library_module) {}
  DispatchRef Connect() override;

 private:
  HINSTANCE library_module_;
};

}  // namespace zuro::host
