// zapi5.dll: the stand-in host's API library. The library connects through CreateZentarObject;
// the stand-in host program sets the host up and reads what happened through the Zsim calls.
#include <windows.h>

#include <cstring>

#include "base/text_encoding.h"
#include "base/win32_text.h"
#include "standin/com_server_win32.h"
#include "standin/sim_host.h"
#include "standin/zapi5.h"
#include "base/file_system.h"

namespace {

zuro::standin::SimHost& Host() {
  static zuro::standin::SimHost* host = new zuro::standin::SimHost;  // lives as long as the process
  return *host;
}

int CopyOut(const std::string& text, char* buffer, int size) {
  if (buffer && size > 0) {
    const size_t n = std::min(text.size(), static_cast<size_t>(size - 1));
    std::memcpy(buffer, text.data(), n);
    buffer[n] = '\0';
  }
  return static_cast<int>(text.size()) + 1;
}

}  // namespace

extern "C" {

IDispatch* WINAPI CreateZentarObject();
IDispatch* WINAPI CreateZentarObject() {
  try {
    return zuro::standin::ExposeAsIDispatch(Host().Application());
  } catch (...) {
    return nullptr;
  }
}

void ZsimOpenGraphicDocument() {
  Host().OpenGraphicDocument();
}

int ZsimOpenModelDocument(const wchar_t* items_path) {
  const std::string path = zuro::Utf8PathFromWide(items_path);
  if (!zuro::FileExists(path))
    return 0;
  Host().OpenModelDocument(zuro::standin::ReadItemLines(path));
  return 1;
}

void ZsimOpenSpecDocument() {
  Host().OpenSpecDocument();
}

void ZsimSetHostState(int state) {
  Host().set_host_state(state);
}

void ZsimRefuseObjects(int refuse) {
  Host().set_refuse_objects(refuse != 0);
}

int ZsimCallLog(char* buffer, int size) {
  return CopyOut(zuro::Cp1251ToUtf8(Host().CallLogText()), buffer, size);
}

int ZsimTargetDocumentJson(char* buffer, int size) {
  const zuro::standin::SimDocument* document = Host().TargetDocument();
  return CopyOut(document ? zuro::standin::DocumentToJson(*document) : std::string(), buffer, size);
}

int ZsimHostInput() {
  return Host().host_input();
}

}  // extern "C"
