// The stand-in host program's view of zapi5.dll. Texts come out in UTF-8; a getter returns the
// size its text needs (with the final NUL) and copies what fits into the buffer.
#pragma once

#include <windows.h>
#include <oaidl.h>

// The library's entry into the host, looked up as the library looks it up.
using CreateZentarObjectProc = IDispatch*(WINAPI*)();
inline IDispatch* CallCreateZentarObject() {
  const auto create = reinterpret_cast<CreateZentarObjectProc>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"zapi5.dll"), "CreateZentarObject")));
  return create ? create() : nullptr;
}

extern "C" {
void ZsimOpenGraphicDocument();
int ZsimOpenModelDocument(const wchar_t* items_path);
void ZsimOpenSpecDocument();
void ZsimSetHostState(int state);
void ZsimRefuseObjects(int refuse);
int ZsimCallLog(char* buffer, int size);
int ZsimTargetDocumentJson(char* buffer, int size);
int ZsimHostInput();
}
