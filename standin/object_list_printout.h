// The object list as the PDM receives it after LoadBom: read object by object and attribute by
// attribute through the two reading exports, on buffers of the PDM's size. zuro-bom reads it
// through the exports' own code, the stand-in PDM caller through zuro.dll; both print it alike.
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <string_view>

namespace zuro::standin {

// The two reading calls: GetObjectType1 on one buffer, GetObjectAttribute on the name and value
// buffers.
struct ObjectListCalls {
  std::function<int32_t(char* buffer)> object_type;
  std::function<void(char* name, char* value)> object_attribute;
};

// Hands `take` one text per object as it is read, none kept (a large list is never held twice):
// its type, "#", then every attribute as NAME=VALUE followed by ";". The list ends at the first
// empty type, an object's attributes at the first empty NAME, as the PDM reads them. Texts in code
// page 1251; the text handed over is reused for the next object.
void ReadBackObjectList(const ObjectListCalls& calls,
                        const std::function<void(const std::string& object)>& take);
// Reads the list back and prints it to `stream` in UTF-8, one object a line, each ended by
// `line_end`.
void PrintObjectList(const ObjectListCalls& calls,
                     std::FILE* stream,
                     std::string_view line_end = "\n");

}  // namespace zuro::standin
