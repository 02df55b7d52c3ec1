// The stand-in PDM's printout: the list read through the two calls, printed in UTF-8 in the order
// read, whole however many pieces it is written in.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "standin/object_list_printout.h"

namespace zuro::standin {
namespace {

// A list of `objects` objects of two attributes each, answered as the library answers: the type
// for "k", NAME and VALUE for "k;j", empty texts past the end. Names hold a Cyrillic letter in
// code page 1251, "\xC6" ("Ж", two bytes in UTF-8).
ObjectListCalls ListOf(int objects) {
  return {[objects](char* buffer) {
            const int k = std::atoi(buffer);
            const std::string type = k < objects ? "\xC6-" + std::to_string(k) : "";
            std::memcpy(buffer, type.c_str(), type.size() + 1);
            return 0;
          },
          [objects](char* name, char* value) {
            const int k = std::atoi(name);
            const int j = std::atoi(std::strchr(name, ';') + 1);
            const bool there = k < objects && j < 2;
            std::strcpy(name, there ? (j == 0 ? "A" : "\xC6") : "");
            std::strcpy(value, there ? std::to_string(k * 10 + j).c_str() : "");
          }};
}

std::string Printed(const ObjectListCalls& calls, const char* line_end) {
  std::FILE* file = std::tmpfile();
  PrintObjectList(calls, file, line_end);
  std::string text(static_cast<size_t>(std::ftell(file)), '\0');
  std::rewind(file);
  text.resize(std::fread(text.data(), 1, text.size(), file));
  std::fclose(file);
  return text;
}

// 20 000 objects print some 600 KB: several pieces of the printout's own.
TEST(ObjectListPrintoutTest, EveryObjectOnceInOrderWhateverTheListsLength) {
  for (const int objects : {0, 1, 20000}) {
    for (const char* line_end : {"\n", "\r\n"}) {
      std::string expected;
      for (int k = 0; k < objects; ++k) {
        expected += "\xD0\x96-" + std::to_string(k) + "#A=" + std::to_string(k * 10) +
                    ";\xD0\x96=" + std::to_string(k * 10 + 1) + ";" + line_end;
      }
      const std::string printed = Printed(ListOf(objects), line_end);
      EXPECT_EQ(printed.size(), expected.size()) << objects;
      EXPECT_TRUE(printed == expected) << objects << " objects";
    }
  }
}

}  // namespace
}  // namespace zuro::standin
