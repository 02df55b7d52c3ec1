#include <gtest/gtest.h>

#include "tests/test_folder.h"

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "base/text_encoding.h"

namespace zuro {
namespace {

std::string Utf8(const char8_t* text) {
  return reinterpret_cast<const char*>(text);
}

struct Outcome {
  int status = -1;
  std::string out;  // UTF-8
  std::string err;
};

class ZuroBomTest : public ::testing::Test {
 protected:
  static std::string ReadBytes(const std::string& path) { return testing_support::ReadBytes(path); }
  std::string Sample(const std::string& name) { return files_.CopySample(name); }
  // Runs the program with `arguments` (already quoted for the shell).
  Outcome Run(const std::string& arguments) {
    const std::string command = std::string("'") + ZURO_BOM_PATH + "' " + arguments + " >'" +
                                folder_ + "out' 2>'" + folder_ + "err'";
    const int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadBytes(folder_ + "out"),
            ReadBytes(folder_ + "err")};
  }

  testing_support::TestFolder files_{"bom"};
  const std::string folder_ = files_.path();
};

TEST_F(ZuroBomTest, WritesTheComponentTableOfASampleReport) {
  const Outcome pcad = Run("table '" + Sample("board.bom") + "'");
  ASSERT_EQ(pcad.status, 0) << pcad.err;
  EXPECT_TRUE(pcad.out.starts_with("#Count#RefDes#Value#Type#" + Utf8(u8"Наименование#")));
  const std::string first_line = pcad.out.substr(0, pcad.out.find('\n'));
  EXPECT_TRUE(
      first_line.ends_with(Utf8(u8"#ID PartLib#Количество в комплекты#Количество на регулировку")));
  EXPECT_NE(pcad.out.find("\n#10#C1...C10#"), std::string::npos);
  EXPECT_EQ(std::count(pcad.out.begin(), pcad.out.end(), '\n'), 31);

  // The same table in a table file: code page 1251 with CR LF line ends.
  const std::string tbl = folder_ + "board.tbl";
  ASSERT_EQ(Run("table '" + folder_ + "board.bom' -o '" + tbl + "'").status, 0);
  std::string expected = Utf8ToCp1251(pcad.out);
  for (size_t at = 0; (at = expected.find('\n', at)) != std::string::npos; at += 2)
    expected.insert(at, "\r");
  EXPECT_EQ(ReadBytes(tbl), expected);

  const Outcome mentor = Run("table '" + Sample("board.lst") + "' --library '" + folder_ + "'");
  ASSERT_EQ(mentor.status, 0) << mentor.err;
  EXPECT_TRUE(mentor.out.starts_with("#Count#RefDes#VALUE#"));
}

TEST_F(ZuroBomTest, BadUsageExitsWithTwo) {
  EXPECT_EQ(Run("").status, 2);
  EXPECT_EQ(Run("table").status, 2);
  EXPECT_EQ(Run("table a.bom --colour red").status, 2);
  EXPECT_EQ(Run("table a.bom -o").status, 2);
  EXPECT_EQ(Run("table a.unknown").status, 2);
  EXPECT_EQ(Run("table a.bom --converter nonsense").status, 2);
  EXPECT_EQ(Run("frobnicate a.bom").status, 2);
  const Outcome later = Run("table a.csv");
  EXPECT_EQ(later.status, 2);
  EXPECT_NE(later.err.find("not available yet"), std::string::npos);
  EXPECT_EQ(Run("convert a.bom --document spec -o a.json").status, 2);
  EXPECT_EQ(Run("pdm a.bom").status, 2);
  const Outcome help = Run("--help");
  EXPECT_EQ(help.status, 0);
  EXPECT_TRUE(help.out.starts_with("zuro-bom table REPORT [--converter K]"));
}

TEST_F(ZuroBomTest, AMessageStopsTheRoadWithOne) {
  std::ofstream(folder_ + "bad.bom", std::ios::binary) << "Count;RefDes\r\n";
  const Outcome bad = Run("table '" + folder_ + "bad.bom'");
  EXPECT_EQ(bad.status, 1);
  EXPECT_EQ(bad.err, Utf8(u8"Внимание: Недопустимая структура файла\n"));
  EXPECT_TRUE(bad.out.empty());

  const Outcome missing = Run("table '" + folder_ + "missing.bom' -o '" + folder_ + "t.tbl'");
  EXPECT_EQ(missing.status, 1);
  EXPECT_TRUE(missing.err.starts_with(Utf8(u8"Внимание: ")));
  EXPECT_FALSE(std::filesystem::exists(folder_ + "t.tbl"));
}

}  // namespace
}  // namespace zuro
