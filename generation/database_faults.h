// The fault seam of the work database (see SetDatabaseFaultHook): the SQLite file layer that asks
// the test's hook before each step it could fail.
#pragma once

#include "generation/names_database.h"

namespace zuro::generation {

// The VFS to open the work database with: the fault VFS while a hook is set, else the default
// one (null).
const char* FaultVfsName();

}  // namespace zuro::generation
