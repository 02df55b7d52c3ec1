// The fault seam of the work database: a VFS that passes every call on to the default one, first
// asking the hook whether an open, write, sync or truncate should fail, so that tests can make the
// disk refuse a step. It is registered the first time a database opens while a hook is set.
#include "generation/database_faults.h"

#include <sqlite3.h>

#include <utility>

namespace zuro::generation {

namespace {

DatabaseFaultHook& Hook() {
  static DatabaseFaultHook hook;
  return hook;
}

sqlite3_vfs* RealVfs() {
  static sqlite3_vfs* const real = sqlite3_vfs_find(nullptr);
  return real;
}

bool Refuse(const char* step) {
  return Hook() && Hook()(step);
}

// The default VFS's own file lies right after this header, in the same allocation.
struct FaultFile {
  sqlite3_file base;
  sqlite3_file* real;
};

sqlite3_file* Real(sqlite3_file* file) {
  return reinterpret_cast<FaultFile*>(file)->real;
}

int Close(sqlite3_file* f) {
  return Real(f)->pMethods->xClose(Real(f));
}
int Read(sqlite3_file* f, void* buffer, int amount, sqlite3_int64 offset) {
  return Real(f)->pMethods->xRead(Real(f), buffer, amount, offset);
}
int Write(sqlite3_file* f, const void* buffer, int amount, sqlite3_int64 offset) {
  if (Refuse("write"))
    return SQLITE_IOERR_WRITE;
  return Real(f)->pMethods->xWrite(Real(f), buffer, amount, offset);
}
int Truncate(sqlite3_file* f, sqlite3_int64 size) {
  if (Refuse("truncate"))
    return SQLITE_IOERR_TRUNCATE;
  return Real(f)->pMethods->xTruncate(Real(f), size);
}
int Sync(sqlite3_file* f, int flags) {
  if (Refuse("sync"))
    return SQLITE_IOERR_FSYNC;
  return Real(f)->pMethods->xSync(Real(f), flags);
}
int FileSize(sqlite3_file* f, sqlite3_int64* size) {
  return Real(f)->pMethods->xFileSize(Real(f), size);
}
int Lock(sqlite3_file* f, int level) {
  return Real(f)->pMethods->xLock(Real(f), level);
}
int Unlock(sqlite3_file* f, int level) {
  return Real(f)->pMethods->xUnlock(Real(f), level);
}
int CheckReservedLock(sqlite3_file* f, int* result) {
  return Real(f)->pMethods->xCheckReservedLock(Real(f), result);
}
int FileControl(sqlite3_file* f, int operation, void* argument) {
  return Real(f)->pMethods->xFileControl(Real(f), operation, argument);
}
int SectorSize(sqlite3_file* f) {
  return Real(f)->pMethods->xSectorSize(Real(f));
}
int DeviceCharacteristics(sqlite3_file* f) {
  return Real(f)->pMethods->xDeviceCharacteristics(Real(f));
}

// Version 1: no shared memory (the journal is a rollback journal) and no memory mapping.
const sqlite3_io_methods kFileMethods = [] {
  sqlite3_io_methods m{};
  m.iVersion = 1;
  m.xClose = Close;
  m.xRead = Read;
  m.xWrite = Write;
  m.xTruncate = Truncate;
  m.xSync = Sync;
  m.xFileSize = FileSize;
  m.xLock = Lock;
  m.xUnlock = Unlock;
  m.xCheckReservedLock = CheckReservedLock;
  m.xFileControl = FileControl;
  m.xSectorSize = SectorSize;
  m.xDeviceCharacteristics = DeviceCharacteristics;
  return m;
}();

int Open(sqlite3_vfs*, sqlite3_filename name, sqlite3_file* file, int flags, int* out_flags) {
  auto* fault_file = reinterpret_cast<FaultFile*>(file);
  fault_file->base.pMethods = nullptr;
  fault_file->real = reinterpret_cast<sqlite3_file*>(fault_file + 1);
  if (Refuse("open"))
    return SQLITE_CANTOPEN;
  const int code = RealVfs()->xOpen(RealVfs(), name, fault_file->real, flags, out_flags);
  // SQLite closes a file only when it has methods, whether or not the open succeeded.
  if (fault_file->real->pMethods)
    fault_file->base.pMethods = &kFileMethods;
  return code;
}
int Delete(sqlite3_vfs*, const char* name, int sync_directory) {
  return RealVfs()->xDelete(RealVfs(), name, sync_directory);
}
int Access(sqlite3_vfs*, const char* name, int flags, int* result) {
  return RealVfs()->xAccess(RealVfs(), name, flags, result);
}
int FullPathname(sqlite3_vfs*, const char* name, int size, char* out) {
  return RealVfs()->xFullPathname(RealVfs(), name, size, out);
}
int Randomness(sqlite3_vfs*, int size, char* out) {
  return RealVfs()->xRandomness(RealVfs(), size, out);
}
int Sleep(sqlite3_vfs*, int microseconds) {
  return RealVfs()->xSleep(RealVfs(), microseconds);
}
int CurrentTime(sqlite3_vfs*, double* now) {
  return RealVfs()->xCurrentTime(RealVfs(), now);
}
int GetLastError(sqlite3_vfs*, int size, char* out) {
  return RealVfs()->xGetLastError(RealVfs(), size, out);
}
int CurrentTimeInt64(sqlite3_vfs*, sqlite3_int64* now) {
  return RealVfs()->xCurrentTimeInt64(RealVfs(), now);
}

}  // namespace

const char* FaultVfsName() {
  if (!Hook())
    return nullptr;
  static sqlite3_vfs vfs = [] {
    sqlite3_vfs v{};
    v.iVersion = 2;
    v.szOsFile = static_cast<int>(sizeof(FaultFile)) + RealVfs()->szOsFile;
    v.mxPathname = RealVfs()->mxPathname;
    v.zName = "zuro-faults";
    v.xOpen = Open;
    v.xDelete = Delete;
    v.xAccess = Access;
    v.xFullPathname = FullPathname;
    v.xRandomness = Randomness;
    v.xSleep = Sleep;
    v.xCurrentTime = CurrentTime;
    v.xGetLastError = GetLastError;
    v.xCurrentTimeInt64 = CurrentTimeInt64;
    return v;
  }();
  static const bool registered = sqlite3_vfs_register(&vfs, 0) == SQLITE_OK;
  return registered ? vfs.zName : nullptr;
}

void SetDatabaseFaultHook(DatabaseFaultHook hook) {
  Hook() = std::move(hook);
}

}  // namespace zuro::generation
