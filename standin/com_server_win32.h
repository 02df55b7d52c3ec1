// Exposes the stand-in host's objects through real COM IDispatch, as the host's API library does.
#pragma once

#include <oaidl.h>

#include "automation/dispatch.h"

namespace zuro::standin {

// A new COM object (one reference, the caller's) for `object`; null for null.
IDispatch* ExposeAsIDispatch(automation::DispatchRef object);

}  // namespace zuro::standin
