// The object list as the PDM receives it after LoadBom: read object by object and attribute by
// attribute through the two reading exports, on buffers of the PDM's size. zuro-bom reads it
// through the exports' own code, the stand-in PDM caller through zuro.dll; both print it alike.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace zuro::standin {

// The two reading calls: GetObjectType1 on one buffer, GetObjectAttribute on the name and value
// buffers.
struct ObjectListCalls {
  std::function<int32_t(char* buffer)> object_type;
  std::function<void(char* name, char* value)> object_attribute;
};

// One text per object: its type, "#", then every attribute as NAME=VALUE followed by ";". The list
// ends at the first empty type, an object's attributes at the first empty NAME, as the PDM reads
// them. Texts in code page 1251.
std::vector<std::string> ReadBackObjectList(const ObjectListCalls& calls);
// The same objects handed to `take` one by one as they are read, none kept: a large list is never
// held twice. The text handed over is reused for the next object.
void ReadBackObjectList(const ObjectListCalls& calls,
                        const std::function<void(const std::string& object)>& take);

}  // namespace zuro::standin
