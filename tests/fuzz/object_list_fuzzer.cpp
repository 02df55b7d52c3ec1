// Fuzz target: the object list "res.txt" read back through the PDM's exports GetObjectType1 and
// GetObjectAttribute, on 200-byte buffers as the PDM hands them over. The input holds the file,
// then after a part separator the bytes of one more buffer that both exports are called on as
// the PDM might fill it, with or without its NUL.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "pdm/object_list_reader.h"
#include "tests/fuzz/fuzz_input.h"

namespace {

using namespace zuro;

// A few objects and attributes reach every branch.
constexpr int kObjectsRead = 6;
constexpr int kAttributesRead = 12;

using ExportBuffer = std::array<char, pdm::kExportBufferSize>;

void Put(ExportBuffer& buffer, std::string_view text) {
  buffer.fill('\xCC');
  const size_t length = std::min(text.size(), buffer.size());
  std::memcpy(buffer.data(), text.data(), length);
  if (length < buffer.size())
    buffer[length] = '\0';
}

// The PDM's loop: objects from 0 until an empty type, attributes from 0 until an empty name.
void ReadAsThePdmDoes(pdm::ObjectListReader& reader, const std::string& folder) {
  for (int object = 0; object < kObjectsRead; ++object) {
    ExportBuffer type;
    Put(type, std::to_string(object));
    reader.AnswerObjectType(folder, type.data());
    if (type[0] == '\0')
      break;
    for (int attribute = 0; attribute < kAttributesRead; ++attribute) {
      ExportBuffer name;
      ExportBuffer value;
      Put(name, std::to_string(object) + ";" + std::to_string(attribute));
      Put(value, "");
      reader.AnswerObjectAttribute(folder, name.data(), value.data());
      if (name[0] == '\0')
        break;
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::vector<std::string_view> parts = fuzz::InputParts(fuzz::InputBytes(data, size), 2);
  fuzz::PutLibraryFile(pdm::kObjectListFile, parts[0]);
  const std::string& folder = fuzz::LibraryFolder();
  // A reader of its own for every input: the file is rewritten in place faster than its stamp
  // may change, and a reader kept from the input before would answer from that input's lines.
  pdm::ObjectListReader reader;
  ReadAsThePdmDoes(reader, folder);
  if (const std::optional<std::string_view> argument = fuzz::PartAt(parts, 1)) {
    ExportBuffer buffer;
    ExportBuffer value;
    Put(buffer, *argument);
    Put(value, "");
    reader.AnswerObjectType(folder, buffer.data());
    Put(buffer, *argument);
    reader.AnswerObjectAttribute(folder, buffer.data(), value.data());
  }
  return 0;
}
