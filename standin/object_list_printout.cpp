#include "standin/object_list_printout.h"

#include <array>
#include <cstdio>

namespace zuro::standin {

namespace {

// The PDM's buffers, and the most a well-formed list can hold: an object line is read in pieces
// of 198 characters, so no object has more attributes than that. The limits only keep a library
// that never answers an empty text from holding the caller for ever.
constexpr size_t kBufferSize = 200;
constexpr int kMostAttributes = 200;
constexpr int kMostObjects = 1000000;

using Buffer = std::array<char, kBufferSize>;

// A buffer holding `text` and zeros after it, so that a call that writes nothing leaves the
// empty text.
Buffer BufferWith(const std::string& text) {
  Buffer buffer{};
  text.copy(buffer.data(), kBufferSize - 1);
  return buffer;
}

std::string TextOf(const Buffer& buffer) {
  size_t length = 0;
  while (length < kBufferSize && buffer[length] != '\0')
    ++length;
  return std::string(buffer.data(), length);
}

std::string Attributes(const ObjectListCalls& calls, int object) {
  std::string attributes;
  for (int attribute = 0; attribute < kMostAttributes; ++attribute) {
    Buffer name = BufferWith(std::to_string(object) + ";" + std::to_string(attribute));
    Buffer value{};
    calls.object_attribute(name.data(), value.data());
    const std::string name_text = TextOf(name);
    if (name_text.empty())
      break;
    attributes += name_text + "=" + TextOf(value) + ";";
  }
  return attributes;
}

}  // namespace

std::vector<std::string> ReadBackObjectList(const ObjectListCalls& calls) {
  std::vector<std::string> objects;
  for (int object = 0; object < kMostObjects; ++object) {
    Buffer type = BufferWith(std::to_string(object));
    calls.object_type(type.data());
    const std::string type_text = TextOf(type);
    if (type_text.empty())
      break;
    objects.push_back(type_text + "#" + Attributes(calls, object));
  }
  return objects;
}

}  // namespace zuro::standin
