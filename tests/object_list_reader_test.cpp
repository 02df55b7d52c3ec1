#include <gtest/gtest.h>

#include "tests/test_folder.h"

#include <chrono>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "base/file_system.h"
#include "pdm/object_list_reader.h"

namespace zuro::pdm {
namespace {

class ObjectListReaderTest : public ::testing::Test {
 protected:
  void WriteList(const std::string& text) { folder_.Write("res.txt", text); }
  std::string Name(std::string_view k) { return reader_.ReadObjectType(folder_.path(), k).name; }
  int32_t Result(std::string_view k) { return reader_.ReadObjectType(folder_.path(), k).result; }
  std::string Attribute(std::string_view kj) {
    const ObjectAttributeAnswer answer = reader_.ReadObjectAttribute(folder_.path(), kj);
    return answer.name + "|" + answer.value;
  }

  testing_support::TestFolder folder_{"object_list"};
  ObjectListReader reader_;
};

TEST_F(ObjectListReaderTest, ObjectsAndAttributesInOrder) {
  WriteList(
      "Резистор 10 кОм#Наименование=Резистор 10 кОм;Количество=1;Абсолютная "
      "величина=1.000000e+04;\r\n"
      "Плата*#Наименование=Плата*;\r\n");
  EXPECT_EQ(Name("0"), "Резистор 10 кОм");
  EXPECT_EQ(Result("0"), 0);
  EXPECT_EQ(Name("1"), "Плата*");
  EXPECT_EQ(Result("1"), 1);
  // The end of the list is an empty name.
  EXPECT_EQ(Name("2"), "");
  EXPECT_EQ(Result("2"), 0);

  EXPECT_EQ(Attribute("0;0"), "Наименование|Резистор 10 кОм");
  EXPECT_EQ(Attribute("0;1"), "Количество|1");
  EXPECT_EQ(Attribute("0;2"), "Абсолютная величина|1.000000e+04");
  // One past the last attribute is the empty piece after the closing ";"; further on there is
  // no piece at all; both read empty.
  EXPECT_EQ(Attribute("0;3"), "|");
  EXPECT_EQ(Attribute("0;4"), "|");
  EXPECT_EQ(Attribute("1;0"), "Наименование|Плата*");
  EXPECT_EQ(Attribute("1;1"), "|");
  EXPECT_EQ(Attribute("2;0"), "|");
}

TEST_F(ObjectListReaderTest, OnePastTheLastOfFiveAttributes) {
  WriteList("R#A=1;B=2;C=3;D=4;E=5;\n");
  EXPECT_EQ(Attribute("0;4"), "E|5");
  EXPECT_EQ(Attribute("0;5"), "|");
}

TEST_F(ObjectListReaderTest, StarOnlyInTheNameCounts) {
  WriteList("Резистор#Наименование=R*;\nR*#\n*\n");
  EXPECT_EQ(Result("0"), 0);
  EXPECT_EQ(Result("1"), 1);
  // A line without "#" is all name, and has no attributes.
  EXPECT_EQ(Name("2"), "*");
  EXPECT_EQ(Result("2"), 1);
  EXPECT_EQ(Attribute("2;0"), "|");
}

TEST_F(ObjectListReaderTest, EqualsSignInAValueCutsIt) {
  WriteList("X#NAME=A=B;Пусто=;Без знака;=без имени;\n");
  EXPECT_EQ(Attribute("0;0"), "NAME|A");
  EXPECT_EQ(Attribute("0;1"), "Пусто|");
  EXPECT_EQ(Attribute("0;2"), "Без знака|");
  EXPECT_EQ(Attribute("0;3"), "|без имени");
}

TEST_F(ObjectListReaderTest, AttributesEndAtASecondHash) {
  WriteList("X#A=1;B=2#C=3;\n");
  EXPECT_EQ(Attribute("0;1"), "B|2");
  EXPECT_EQ(Attribute("0;2"), "|");
}

TEST_F(ObjectListReaderTest, EqualConsecutiveLinesGiveNoSecondObject) {
  WriteList("A#N=1;\nA#N=1;\nA#N=1;\nB#N=2;\nA#N=1;\n");
  EXPECT_EQ(Name("0"), "A");
  EXPECT_EQ(Name("1"), "");
  EXPECT_EQ(Result("1"), 0);
  EXPECT_EQ(Name("2"), "");
  EXPECT_EQ(Name("3"), "B");
  // Equal to a line before, but not to the one just before it.
  EXPECT_EQ(Name("4"), "A");
  // The attributes of the repeated line are still there.
  EXPECT_EQ(Attribute("1;0"), "N|1");
  EXPECT_EQ(Attribute("2;0"), "N|1");
}

// An object line as the window writes it is far longer than the PDM's buffers: it is still one
// object, with every attribute up to its last, and the objects after it keep their numbers.
TEST_F(ObjectListReaderTest, LongLinesAreOneObjectWithAllTheirAttributes) {
  const std::string name(150, 'N');
  const std::string long_value(190, 'a');
  WriteList(name + "#A=" + long_value + ";B=2;" + std::string(300, 'C') + "=3;\r\n" +
            "Next#C=3;\n");
  EXPECT_EQ(Name("0"), name);
  EXPECT_EQ(Attribute("0;0"), "A|" + long_value);
  EXPECT_EQ(Attribute("0;1"), "B|2");
  // An answer longer than the buffer is cut to fit it.
  EXPECT_EQ(Attribute("0;2"), std::string(kExportBufferSize - 1, 'C') + "|3");
  EXPECT_EQ(Attribute("0;3"), "|");
  EXPECT_EQ(Name("1"), "Next");
  EXPECT_EQ(Attribute("1;0"), "C|3");
  EXPECT_EQ(Name("2"), "");
}

TEST_F(ObjectListReaderTest, MissingListAndOddNumbers) {
  EXPECT_EQ(Name("0"), "");
  EXPECT_EQ(Attribute("0;0"), "|");
  WriteList("A#N=1;\nB#M=2;\n");
  // Numbers read as atoi reads them.
  EXPECT_EQ(Name(" 1"), "B");
  EXPECT_EQ(Name("1x"), "B");
  EXPECT_EQ(Name("abc"), "A");
  EXPECT_EQ(Name(""), "A");
  EXPECT_EQ(Name("-1"), "");
  EXPECT_EQ(Name("99999999999999999999999"), "");
  EXPECT_EQ(Attribute("1;0"), "M|2");
  EXPECT_EQ(Attribute("1; 0"), "M|2");
  EXPECT_EQ(Attribute(";0"), "N|1");
  EXPECT_EQ(Attribute("0;-1"), "|");
  EXPECT_EQ(Attribute("-1;0"), "|");
  EXPECT_EQ(Attribute("1;0x"), "M|2");
  EXPECT_EQ(Attribute("1;"), "M|2");
  EXPECT_EQ(Attribute("000000001;0"), "M|2");   // nine digits
  EXPECT_EQ(Attribute("0000000001;0"), "M|2");  // ten
  EXPECT_EQ(Attribute("1;99999999999999999999999"), "|");
  // Without ";" there is no attribute number.
  EXPECT_EQ(Attribute("1"), "|");
}

TEST_F(ObjectListReaderTest, VeryLongLineStillFitsTheCallersBuffers) {
  WriteList(std::string(10000, 'N') + "*#A=" + std::string(10000, 'v') + ";\n");
  const ObjectTypeAnswer type = reader_.ReadObjectType(folder_.path(), "0");
  EXPECT_EQ(type.name, std::string(kExportBufferSize - 1, 'N'));
  // The "*" beyond what the buffer shows still marks the object.
  EXPECT_EQ(type.result, 1);
  const ObjectAttributeAnswer attribute = reader_.ReadObjectAttribute(folder_.path(), "0;0");
  EXPECT_EQ(attribute.name, "A");
  EXPECT_EQ(attribute.value, std::string(kExportBufferSize - 1, 'v'));
  EXPECT_EQ(reader_.ReadObjectType(folder_.path(), "1").name, "");
}

// The reader keeps the lines between calls; a list replaced as the window replaces it (a new file
// moved over the old one), even by one of the same size, or removed, is what the next call sees.
TEST_F(ObjectListReaderTest, EveryCallSeesTheListAsItNowIs) {
  const auto replace = [this](const std::string& text) {
    ASSERT_TRUE(ReplaceFileContents(folder_ + "res.txt", [&](std::FILE* file) {
      return std::fwrite(text.data(), 1, text.size(), file) == text.size();
    }));
  };
  replace("A#N=1;\nB#M=2;\n");
  EXPECT_EQ(Name("1"), "B");
  EXPECT_EQ(Attribute("0;0"), "N|1");
  replace("C#K=3;\nD#L=4;\n");
  EXPECT_EQ(Name("1"), "D");
  EXPECT_EQ(Attribute("0;0"), "K|3");
  replace("E#J=5;\n");
  EXPECT_EQ(Name("1"), "");
  EXPECT_EQ(Name("0"), "E");
  ASSERT_TRUE(RemoveFile(folder_ + "res.txt"));
  EXPECT_EQ(Name("0"), "");
  EXPECT_EQ(Attribute("0;0"), "|");
  replace("F#I=6;\n");
  EXPECT_EQ(Name("0"), "F");
}

// What another program does to the list (here: writes made without this library's file
// functions) is seen once the interval between two askings of the file's stamp has passed.
TEST_F(ObjectListReaderTest, AnotherProgramsListIsSeenAfterTheInterval) {
  const auto after_interval = [] {
    std::this_thread::sleep_for(ObjectListReader::kStampInterval * 2);
  };
  WriteList("A#N=1;\n");
  EXPECT_EQ(Name("0"), "A");
  WriteList("Longer#N=1;\n");
  after_interval();
  EXPECT_EQ(Name("0"), "Longer");
  std::filesystem::remove(folder_ + "res.txt");
  after_interval();
  EXPECT_EQ(Name("0"), "");
}

// The caller's buffer sits inside a larger block whose tail must stay untouched.
TEST(ExportBufferTest, CopiesNeverPassTheBuffer) {
  std::vector<char> block(kExportBufferSize + 64, '#');
  CopyToExportBuffer(std::string(10000, 'x'), block.data());
  EXPECT_EQ(std::string(block.data()), std::string(kExportBufferSize - 1, 'x'));
  for (size_t i = kExportBufferSize; i < block.size(); ++i)
    ASSERT_EQ(block[i], '#') << i;

  CopyToExportBuffer("Резистор", block.data());
  EXPECT_STREQ(block.data(), "Резистор");
  CopyToExportBuffer("", block.data());
  EXPECT_STREQ(block.data(), "");
  CopyToExportBuffer("x", nullptr);  // writes nothing, and does not fail
}

TEST(ExportBufferTest, ArgumentsAreReadUpToTheirNulAndNeverPastTheBuffer) {
  EXPECT_FALSE(ExportArgument(nullptr));
  std::vector<char> block(10000, '7');
  const std::optional<std::string_view> unterminated = ExportArgument(block.data());
  ASSERT_TRUE(unterminated);
  EXPECT_EQ(unterminated->size(), kExportBufferSize);
  std::strcpy(block.data(), "3;4");
  EXPECT_EQ(ExportArgument(block.data()), "3;4");
  const char short_text[] = "0";
  EXPECT_EQ(ExportArgument(short_text), "0");
}

// The PDM's buffers, each inside a larger block whose tail must stay untouched.
class ExportAnswerTest : public ObjectListReaderTest {
 protected:
  static constexpr size_t kGuard = 64;
  ExportAnswerTest() : name_(kExportBufferSize + kGuard, '#'), value_(name_) {}

  void SetArgument(const std::string& text) { std::strcpy(name_.data(), text.c_str()); }
  void ExpectGuardsKept() {
    for (size_t i = kExportBufferSize; i < name_.size(); ++i) {
      ASSERT_EQ(name_[i], '#') << i;
      ASSERT_EQ(value_[i], '#') << i;
    }
  }

  std::vector<char> name_;
  std::vector<char> value_;
};

TEST_F(ExportAnswerTest, AnswersGoBackIntoTheArgumentsBuffer) {
  WriteList("Плата*#Наименование=Плата*;Количество=1;\n");
  SetArgument("0");
  EXPECT_EQ(reader_.AnswerObjectType(folder_.path(), name_.data()), 1);
  EXPECT_STREQ(name_.data(), "Плата*");
  SetArgument("0;1");
  reader_.AnswerObjectAttribute(folder_.path(), name_.data(), value_.data());
  EXPECT_STREQ(name_.data(), "Количество");
  EXPECT_STREQ(value_.data(), "1");
  SetArgument("0;2");
  reader_.AnswerObjectAttribute(folder_.path(), name_.data(), value_.data());
  EXPECT_STREQ(name_.data(), "");
  EXPECT_STREQ(value_.data(), "");
  ExpectGuardsKept();
}

TEST_F(ExportAnswerTest, TenThousandCharacterLineNeverOverrunsTheBuffers) {
  WriteList(std::string(10000, 'N') + "\n" + "#" + std::string(10000, '=') + "\n");
  SetArgument("0");
  EXPECT_EQ(reader_.AnswerObjectType(folder_.path(), name_.data()), 0);
  EXPECT_EQ(std::string(name_.data()), std::string(kExportBufferSize - 1, 'N'));
  // The second line: no name, an attribute of "=" alone.
  SetArgument("1;0");
  reader_.AnswerObjectAttribute(folder_.path(), name_.data(), value_.data());
  EXPECT_STREQ(name_.data(), "");
  EXPECT_STREQ(value_.data(), "");
  // An argument without its NUL is read no further than the buffer.
  std::fill(name_.begin(), name_.begin() + kExportBufferSize, '0');
  EXPECT_EQ(reader_.AnswerObjectType(folder_.path(), name_.data()), 0);
  EXPECT_EQ(std::string(name_.data()), std::string(kExportBufferSize - 1, 'N'));
  ExpectGuardsKept();
}

TEST_F(ExportAnswerTest, NullBuffersAreLeftAlone) {
  WriteList("A#N=1;\n");
  EXPECT_EQ(reader_.AnswerObjectType(folder_.path(), nullptr), 0);
  reader_.AnswerObjectAttribute(folder_.path(), nullptr, value_.data());
  EXPECT_EQ(value_[0], '#');
  SetArgument("0;0");
  reader_.AnswerObjectAttribute(folder_.path(), name_.data(), nullptr);
  EXPECT_STREQ(name_.data(), "N");
  ExpectGuardsKept();
}

}  // namespace
}  // namespace zuro::pdm
