// The stand-in host honours the host's contract: what the library writes is what its documents
// keep, and its refusals and failures look like the real host's.
#include <fstream>
#include <iterator>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "base/file_system.h"
#include "automation/host_objects.h"
#include "standin/sim_host.h"
#include "tests/test_folder.h"

namespace zuro::standin {
namespace {

using namespace zuro::automation;

class SimHostTest : public ::testing::Test {
 protected:
  // Writes one object with a text and an integer column, as the generators do.
  int32_t WriteObject(SpecEditor editor,
                      const std::string& library,
                      int32_t style,
                      const std::string& text) {
    ParamRecord line = app_.NewParamRecord(kTextLineRecord);
    ParamRecord item = app_.NewParamRecord(kTextItemRecord);
    line.Initialise(6);
    item.Initialise(11);
    const int32_t reference = editor.CreateObject(library, style, 7);
    if (reference == 0)
      return 0;
    DynArray array = app_.NewDynArray(kDynArrayOfItems);
    line.AttachArray(array);
    item.SetText(text);
    array.Append(item);
    editor.SetColumn(2, line, kColumnText);
    array = app_.NewDynArray(kDynArrayOfItems);
    line.AttachArray(array);
    item.SetInteger(4);
    array.Append(item);
    editor.SetColumn(3, line, kColumnInteger);
    return editor.Finish();
  }

  SimHost host_;
  ZentarObject app_{host_.Application()};
};

TEST_F(SimHostTest, NoDocumentMeansEmptyResults) {
  EXPECT_TRUE(app_.ActiveGraphicDocument().empty());
  EXPECT_TRUE(app_.ActiveModelDocument().empty());
  EXPECT_TRUE(app_.ActiveSpecDocument().empty());
}

TEST_F(SimHostTest, DocumentKeepsObjectsColumnsInOrderAndSavesAsJson) {
  host_.OpenGraphicDocument();
  SpecEditor editor = app_.ActiveGraphicDocument().Editor();
  EXPECT_EQ(WriteObject(editor, "zURO_gr.lyt", 3, "Резистор"), 1);
  EXPECT_EQ(WriteObject(editor, "zURO_gr.lyt", 3, "Конденсатор"), 2);
  const SimDocument& document = *host_.TargetDocument();
  ASSERT_EQ(document.objects.size(), 2u);
  EXPECT_EQ(document.objects[1].columns[0].text, "Конденсатор");
  EXPECT_EQ(document.objects[1].columns[1].number, 4);

  const std::string json = DocumentToJson(document);
  EXPECT_NE(json.find("\"format\": \"zentar-sim/1\""), std::string::npos);
  EXPECT_NE(json.find("\"value\": \"\xD0\xA0\xD0\xB5"), std::string::npos);  // UTF-8 "Ре"
  SimDocument reopened;
  ASSERT_TRUE(DocumentFromJson(json, reopened));
  EXPECT_EQ(reopened.objects, document.objects);
}

// The document file is written object by object; its text must be exactly what a JSON library
// makes of the whole tree, which documents saved before rely on: an empty document, one object,
// several with texts holding line feeds, quotes and Cyrillic, real and integer columns and links.
TEST(SimDocumentJsonTest, WrittenObjectByObjectAsTheWholeTreeWouldBe) {
  SimDocument document;
  const auto expect_canonical = [&](const char* what) {
    const std::string text = DocumentToJson(document);
    const nlohmann::json tree = nlohmann::json::parse(text);
    EXPECT_EQ(text, tree.dump(1) + "\n") << what;
    SimDocument reopened;
    ASSERT_TRUE(DocumentFromJson(text, reopened)) << what;
    EXPECT_EQ(reopened.objects, document.objects) << what;
  };
  expect_canonical("empty");
  SimObject object;
  object.library = "zURO_gr.lyt";
  object.style = 3;
  object.section = 5;
  object.columns = {{1, 8, "R1,\nR2 \"10\xEA\" \\ end", 0}, {2, 3, "", 4}, {3, 7, "", 0.125}};
  document.objects.push_back(object);
  expect_canonical("one object");
  object.link = "\xD1\xF5\xE5\xEC\xE0";  // code page 1251
  object.columns.clear();
  document.objects.push_back(object);
  object.columns = {{4, 7, "", -1e-7}};
  document.objects.push_back(object);
  expect_canonical("three objects");
  // Every byte, the control characters and code page 1251's unassigned 0x98 among them, in a
  // text, the library and the link.
  std::string every_byte;
  for (int c = 0; c < 256; ++c)
    every_byte += static_cast<char>(c);
  object.columns = {{5, 8, every_byte, 0}};
  object.library = every_byte + "\\";
  object.link = "\"" + every_byte;
  document.objects.push_back(object);
  expect_canonical("every byte");
  document.objects.pop_back();

  // A file is written in pieces of a few hundred kilobytes: a document of several pieces reads
  // back as the whole text, its objects unchanged.
  while (document.objects.size() < 4000)
    document.objects.push_back(document.objects[document.objects.size() % 3]);
  testing_support::TestFolder folder("sim_json");
  ASSERT_TRUE(SaveDocument(document, folder + "board.json"));
  std::ifstream file(folder + "board.json", std::ios::binary);
  const std::string saved((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  ASSERT_GT(saved.size(), 2u * 256 * 1024);
  EXPECT_EQ(saved, DocumentToJson(document));
  SimDocument reopened;
  ASSERT_TRUE(OpenDocument(folder + "board.json", reopened));
  EXPECT_EQ(reopened.objects, document.objects);
}

TEST_F(SimHostTest, RefusesUnknownStylesAndOnRequest) {
  host_.OpenGraphicDocument();
  SpecEditor editor = app_.ActiveGraphicDocument().Editor();
  EXPECT_EQ(WriteObject(editor, "nosuch.lyt", 3, "x"), 0);
  EXPECT_EQ(WriteObject(editor, "zURO_gr.lyt", 4, "x"), 0);
  host_.set_refuse_objects(true);
  EXPECT_EQ(WriteObject(editor, "zURO_gr.lyt", 3, "x"), 0);
  EXPECT_TRUE(host_.TargetDocument()->objects.empty());
}

TEST_F(SimHostTest, OnlyTheGraphicSpecificationStyleHasTheExtraColumns) {
  host_.OpenGraphicDocument();
  SpecEditor editor = app_.ActiveGraphicDocument().Editor();
  for (const char* library : {"graphic.lyt", "vector.lyt"}) {
    const int32_t reference = WriteObject(editor, library, 1, "x");
    ASSERT_GT(reference, 0);
    editor.Reopen(reference);
    const int32_t columns = editor.ColumnCount("", 0, 0) + editor.ColumnCount("", 0, 1) - 1;
    std::vector<std::string> names;
    for (int32_t i = 1; i <= columns; ++i) {
      ParamRecord column = app_.NewParamRecord(kColumnRecord);
      editor.DescribeColumn(reference, i, column);
      names.push_back(column.ColumnName());
    }
    const bool graphic = std::string(library) == "graphic.lyt";
    EXPECT_EQ(names.size(), graphic ? 10u : 7u) << library;
    if (graphic) {
      EXPECT_EQ(std::vector<std::string>(names.begin() + 7, names.end()),
                (std::vector<std::string>{"БЦО", "Обозн_СТ", "PartLib"}));
    }
  }
}

TEST_F(SimHostTest, ModelItemsStartAfterTheModelAndLinkToObjects) {
  host_.OpenModelDocument({"R1 Резистор", "C1 Конденсатор"});
  ModelDocument model = app_.ActiveModelDocument();
  ItemCollection items = model.Items();
  ASSERT_EQ(items.Count(), 3);
  EXPECT_EQ(items.Item(2).Text(), "C1 Конденсатор");
  EXPECT_TRUE(items.Item(3).empty());
  SpecEditor editor = model.Editor();
  ASSERT_GT(WriteObject(editor, "graphic.lyt", 1, "Резистор"), 0);
  EXPECT_TRUE(editor.LinkItem(items.Item(1), false));
  EXPECT_EQ(host_.TargetDocument()->objects[0].link, "R1 Резистор");
}

TEST_F(SimHostTest, NewSpecificationDocumentOpensAndSavesFiles) {
  const std::string pattern = testing::TempDir() + "sim_pattern.spw";
  const std::string saved = testing::TempDir() + testing_support::Utf8(u8"sim_Спецификация.spw");
  SimDocument stored;
  stored.objects.push_back({"graphic.lyt", 1, 30, {{5, 8, "Плата", 0}}, std::nullopt});
  ASSERT_TRUE(SaveDocument(stored, pattern));

  SpecDocument document = app_.NewSpecDocument();
  ASSERT_FALSE(document.empty());
  EXPECT_FALSE(document.Open(testing::TempDir() + "missing.spw"));
  EXPECT_TRUE(document.Open(pattern));
  ASSERT_GT(WriteObject(document.Editor(), "zURO_gr.lyt", 3, "Резистор"), 0);
  EXPECT_TRUE(document.SaveAs(saved));
  SimDocument reread;
  ASSERT_TRUE(OpenDocument(saved, reread));
  ASSERT_EQ(reread.objects.size(), 2u);
  EXPECT_EQ(reread.objects[0].columns[0].text, "Плата");
  EXPECT_TRUE(document.NoNameChosen());
  EXPECT_TRUE(host_.TargetDocument()->no_name_chosen);
  RemoveFile(pattern);
  RemoveFile(saved);
}

TEST_F(SimHostTest, WrongCallsRaiseAutomationErrors) {
  const Value int32_type[] = {Value::Int32(6)};
  EXPECT_THROW(app_.ref()->Invoke(9, InvokeKind::Method, int32_type), AutomationError);
  EXPECT_THROW(app_.ref()->Invoke(77, InvokeKind::Method, {}), AutomationError);
  host_.FailCall("ZentarObject", 15);
  EXPECT_THROW(app_.GetHostState(), AutomationError);
  EXPECT_EQ(host_.call_log().back(), "ZentarObject 15 method");
}

TEST_F(SimHostTest, ItemLinesAcceptUtf8AndCp1251Files) {
  const std::string path = testing::TempDir() + "sim_items.txt";
  ASSERT_TRUE(ReplaceFileContents(path, [](std::FILE* f) {
    // "R1 Р" in UTF-8, then "C2 Р" in code page 1251, with CR LF.
    return std::fputs("R1 \xD0\xA0\r\nC2 \xD0\n", f) >= 0;
  }));
  EXPECT_EQ(ReadItemLines(path), (std::vector<std::string>{"R1 Р", "C2 Р"}));
  RemoveFile(path);
}

}  // namespace
}  // namespace zuro::standin
