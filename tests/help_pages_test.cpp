#include <gtest/gtest.h>

#include "tests/test_folder.h"

#include <filesystem>
#include <string>

#include "base/text_encoding.h"

namespace zuro {
namespace {

// The help's sources are UTF-8, and the help build writes them in code page 1251, refusing a
// character that code page lacks. The Windows builds are the only ones to build the help, so the
// native tests check the sources first: a page written with an arrow or a dash 1251 has not is
// found here rather than by a build that stops.
TEST(HelpPagesTest, EverySourceCanBeWrittenInCodePage1251) {
  int pages = 0;
  for (const auto& entry :
       std::filesystem::directory_iterator(std::string(ZURO_SOURCE_DIR) + "/resources/help")) {
    const std::string extension = entry.path().extension().string();
    if (extension != ".htm" && extension != ".hhc" && extension != ".hhp" && extension != ".css")
      continue;
    bool lost = false;
    Utf8ToCp1251(testing_support::ReadBytes(entry.path().string()), &lost);
    EXPECT_FALSE(lost) << entry.path();
    ++pages;
  }
  EXPECT_GE(pages, 10);
}

}  // namespace
}  // namespace zuro
