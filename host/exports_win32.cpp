// The exports the host and the PDM call (named in zuro.def, so that x86 keeps the plain names).
// One library context lives from load to unload; no error of any kind leaves an export.
#include <windows.h>

#include <memory>

#include "base/text_encoding.h"
#include "base/win32_text.h"
#include "host/converter_windows_win32.h"
#include "host/host_connector_win32.h"
#include "host/library_entry.h"
#include "host/pdm_entry.h"
#include "pdm/object_list_reader.h"

extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace {

HINSTANCE LibraryModule() {
  return reinterpret_cast<HINSTANCE>(&__ImageBase);
}

struct Library {
  zuro::automation::LibraryContext context;
  zuro::converter::WindowState window_state;
  zuro::host::WinHostConnector connector{LibraryModule()};
  zuro::host::Win32ConverterWindows windows{LibraryModule()};
  zuro::host::Win32PdmWindows pdm_windows{LibraryModule()};
  zuro::pdm::ObjectListReader object_list;
};

Library* g_library = nullptr;

// The library's own file, not the host program's: the library folder holds its configuration.
// UTF-8, so that a library installed in a folder named outside code page 1251 finds its files.
std::string LibraryModulePath() {
  wchar_t path[32768];
  const DWORD length = GetModuleFileNameW(LibraryModule(), path, 32768);
  return zuro::Utf8PathFromWide(path, static_cast<int>(length));
}

bool StartLibrary() {
  try {
    g_library = new Library;
    zuro::automation::SetLibraryPaths(g_library->context, LibraryModulePath());
    return true;
  } catch (...) {
    return false;
  }
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID reserved) {
  switch (reason) {
    case DLL_PROCESS_ATTACH:
      DisableThreadLibraryCalls(module);
      return StartLibrary() ? TRUE : FALSE;
    case DLL_PROCESS_DETACH:
      // On FreeLibrary the context releases the host's objects in the order the host expects. When
      // the process is ending the host's own modules may already be gone: then touch nothing.
      if (reserved == nullptr) {
        delete g_library;
        g_library = nullptr;
      }
      return TRUE;
  }
  return TRUE;
}

extern "C" const char* LIBRARYNAME() {
  return "Конвертер текстовых КД zURO-ЗЕНТАР";
}

extern "C" int LIBRARYID() {
  return 1001;
}

extern "C" void WINAPI LIBRARYENTRY(unsigned int command) {
  if (!g_library)
    return;
  zuro::host::LibraryEntry(g_library->context, g_library->window_state, g_library->connector,
                           g_library->windows, command);
}

namespace {

// The PDM's buffers hold 200 bytes. A pointer that does not lead to that much memory is treated
// as no buffer at all: the export returns without reading or writing it.
char* ReadableBuffer(char* buffer) {
  return buffer && !IsBadReadPtr(buffer, zuro::pdm::kExportBufferSize) ? buffer : nullptr;
}
char* WritableBuffer(char* buffer) {
  return buffer && !IsBadWritePtr(buffer, zuro::pdm::kExportBufferSize) ? buffer : nullptr;
}

}  // namespace

// The report's path comes in the first buffer, which then takes TYPE1; the third takes TYPE2.
// The PDM writes the path in code page 1251, as all its texts; the library holds it as UTF-8.
extern "C" int __cdecl LoadBom(char* path_and_type1, void*, char* type2) {
  try {
    char* first = WritableBuffer(ReadableBuffer(path_and_type1));
    char* third = WritableBuffer(type2);
    if (!g_library || !first)
      return 0;
    const std::string report_path =
        zuro::Utf8PathFromCp1251(zuro::pdm::ExportArgument(first).value_or(""));
    const zuro::host::PdmObjectTypes types = zuro::host::LoadBom(
        g_library->context, g_library->window_state, g_library->pdm_windows, report_path);
    zuro::pdm::CopyToExportBuffer(types.type1, first);
    zuro::pdm::CopyToExportBuffer(types.type2, third);
  } catch (...) {
  }
  return 0;
}

extern "C" int WINAPI GetObjectType1(char* buffer) {
  try {
    char* usable = WritableBuffer(ReadableBuffer(buffer));
    if (!g_library || !usable)
      return 0;
    return g_library->object_list.AnswerObjectType(g_library->context.library_folder, usable);
  } catch (...) {
    return 0;
  }
}

extern "C" int WINAPI GetObjectAttribute(char* name, void*, char* value) {
  try {
    char* usable = WritableBuffer(ReadableBuffer(name));
    if (g_library && usable)
      g_library->object_list.AnswerObjectAttribute(g_library->context.library_folder, usable,
                                                   WritableBuffer(value));
  } catch (...) {
  }
  return 0;
}
