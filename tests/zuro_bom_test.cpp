#include <gtest/gtest.h>

#include "tests/test_folder.h"

#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <string>
#include <vector>

#include "base/text_encoding.h"
#include "generation/designators.h"
#include "standin/sim_host.h"

namespace zuro {
namespace {

std::string Utf8(const char8_t* text) {
  return reinterpret_cast<const char*>(text);
}

// The two object type names the shipped bom_veldor.ini gives the PDM, as zuro-bom pdm prints them
// before the objects.
std::string PdmTypes() {
  return Utf8(u8"TYPE1=Электрорадиоизделие\nTYPE2=Сборочная единица\n");
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
  // A library folder of the test's own, from the files shipped beside the library: documents
  // made from a pattern leave their working copy there, and the specification its work database,
  // which tests running side by side must not share.
  std::string OwnLibrary() {
    const std::string library = folder_ + "library/";
    std::filesystem::create_directories(library);
    for (const auto& file : std::filesystem::directory_iterator(ZURO_SOURCE_DIR "/library")) {
      if (file.path().extension() != ".md")
        std::filesystem::copy_file(file.path(), library + file.path().filename().string());
    }
    return library;
  }
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
  EXPECT_EQ(Run("convert a.bom --document report -o a.json").status, 2);
  EXPECT_EQ(Run("convert a.bom --document list").status, 2);
  EXPECT_EQ(Run("convert a.bom --document list --sort size -o a.json").status, 2);
  EXPECT_EQ(Run("convert a.bom --document list --set 1=x -o a.json").status, 2);
  EXPECT_EQ(Run("pdm").status, 2);
  EXPECT_EQ(Run("pdm a.bom --document report").status, 2);
  EXPECT_EQ(Run("pdm a.bom --unmark").status, 2);
  EXPECT_EQ(Run("pdm a.bom --sort gost").status, 2);
  const Outcome help = Run("--help");
  EXPECT_EQ(help.status, 0);
  EXPECT_TRUE(help.out.starts_with("zuro-bom table REPORT [--converter K]"));
  // The version is the project's, as the top CMakeLists.txt sets it.
  std::ifstream lists(ZURO_SOURCE_DIR "/CMakeLists.txt");
  const std::string text((std::istreambuf_iterator<char>(lists)), {});
  const std::string key = "project(zuro VERSION ";
  const size_t start = text.find(key);
  ASSERT_NE(start, std::string::npos);
  const std::string version =
      text.substr(start + key.size(), text.find(' ', start + key.size()) - start - key.size());
  EXPECT_EQ(Run("--version").out, "zuro-bom " + version + "\n");
}

TEST_F(ZuroBomTest, AMessageStopsTheRoadWithOne) {
  std::ofstream(folder_ + "bad.bom", std::ios::binary) << "Count;RefDes\r\n";
  const Outcome bad = Run("table '" + folder_ + "bad.bom'");
  EXPECT_EQ(bad.status, 1);
  // The window's message, then why the report was refused.
  EXPECT_EQ(bad.err, Utf8(u8"Внимание: Недопустимая структура файла\n") +
                         "line 1: no double quote (a P-CAD report quotes every field)\n");
  EXPECT_TRUE(bad.out.empty());

  const Outcome missing = Run("table '" + folder_ + "missing.bom' -o '" + folder_ + "t.tbl'");
  EXPECT_EQ(missing.status, 1);
  EXPECT_TRUE(missing.err.starts_with(Utf8(u8"Внимание: ")));
  EXPECT_FALSE(std::filesystem::exists(folder_ + "t.tbl"));
}

// Every sample reads into the same 30 components, with the two quantity columns; a table written
// by -o reads back, as a .tbl REPORT, into the same table.
TEST_F(ZuroBomTest, ReadsEverySampleAndEveryTableItWrote) {
  const std::pair<std::string, std::string> kSamples[] = {{"board.bom", ""},
                                                          {"board.lst", ""},
                                                          {"board_orcad.bom", "orcad"},
                                                          {"board_orcad_fixed.bom", "orcad"},
                                                          {"board.csv", ""},
                                                          {"board_altium.txt", ""},
                                                          {"board_allegro.htm", ""}};
  for (const auto& [sample, converter] : kSamples) {
    SCOPED_TRACE(sample);
    const std::string report = Sample(sample);
    const std::string option = converter.empty() ? "" : " --converter " + converter;
    const std::string tbl = folder_ + sample + ".tbl";
    const Outcome read = Run("table '" + report + "'" + option + " -o '" + tbl + "'");
    ASSERT_EQ(read.status, 0) << read.err;
    EXPECT_TRUE(read.err.empty()) << read.err;
    const std::string table = ReadBytes(tbl);
    EXPECT_EQ(std::count(table.begin(), table.end(), '\n'), 31);
    EXPECT_NE(
        table.find(Utf8ToCp1251(Utf8(u8"#Количество в комплекты#Количество на регулировку\r\n"))),
        std::string::npos);
    const Outcome again = Run("table '" + tbl + "'" + option);
    ASSERT_EQ(again.status, 0) << again.err;
    std::string expected = Utf8ToCp1251(again.out);
    for (size_t at = 0; (at = expected.find('\n', at)) != std::string::npos; at += 2)
      expected.insert(at, "\r");
    EXPECT_EQ(expected, table);
  }
  // The converted CSV of an Altium Designer report stays beside it.
  EXPECT_TRUE(std::filesystem::exists(folder_ + "board_altium.csv"));
  EXPECT_TRUE(std::filesystem::exists(folder_ + "board_allegro.csv"));
}

// The designators of the table printed by `zuro-bom table` (ranges expanded) and the sum of its
// quantities, found by their column names.
std::pair<int64_t, int64_t> DesignatorsAndQuantities(const std::string& table,
                                                     const std::string& designator_name,
                                                     const std::string& quantity_name) {
  std::vector<std::vector<std::string>> rows;
  for (size_t start = 0; start < table.size();) {
    const size_t end = std::min(table.find('\n', start), table.size());
    std::vector<std::string> cells;
    const std::string line = table.substr(start, end - start);
    for (size_t at = 1; at <= line.size();) {
      const size_t next = std::min(line.find('#', at), line.size());
      cells.push_back(line.substr(at, next - at));
      at = next + 1;
    }
    rows.push_back(cells);
    start = end + 1;
  }
  const auto column = [&](const std::string& name) {
    return std::find(rows[0].begin(), rows[0].end(), name) - rows[0].begin();
  };
  const size_t designators = column(designator_name);
  const size_t quantities = column(quantity_name);
  std::pair<int64_t, int64_t> counts{0, 0};
  for (size_t row = 1; row < rows.size(); ++row) {
    if (designators < rows[row].size())
      counts.first += generation::CountDesignators(rows[row][designators]);
    if (quantities < rows[row].size())
      counts.second += std::atoll(rows[row][quantities].c_str());
  }
  return counts;
}

// Every layout of the Protel, Altium Designer and Cadence Allegro windows reads with all 65
// designators of the board, as many as its quantities add up to; a UTF-8 report with a
// byte-order mark reads as its code page 1251 twin. Reports of other systems are refused.
TEST_F(ZuroBomTest, ProtelFamilyLayoutsReadWholeOrAreRefused) {
  const struct {
    const char* sample;
    const char* converter;
    const char* designators;
    const char* quantities;
  } kLayouts[] = {
      {"board.csv", "protel", "Designator", "Quantity"},
      {"board_altium_plain.csv", "protel", "Designator", "Quantity"},
      {"board_altium_plain.csv", "altium", "Designator", "Quantity"},
      {"board_altium.txt", "altium", "Designator", "Quantity"},
      {"board_altium_quoted.txt", "altium", "Designator", "Quantity"},
      {"board_allegro.htm", "allegro", "REFDES", "QUANTITY"},
      {"board_allegro_condensed.htm", "allegro", "REFDES", "QUANTITY"},
  };
  for (const auto& layout : kLayouts) {
    SCOPED_TRACE(std::string(layout.sample) + " " + layout.converter);
    if (!std::filesystem::exists(folder_ + layout.sample))
      Sample(layout.sample);
    const Outcome read =
        Run("table '" + folder_ + layout.sample + "' --converter " + layout.converter);
    ASSERT_EQ(read.status, 0) << read.err;
    EXPECT_TRUE(read.err.empty()) << read.err;
    EXPECT_EQ(std::count(read.out.begin(), read.out.end(), '\n'), 31);
    EXPECT_EQ(DesignatorsAndQuantities(read.out, layout.designators, layout.quantities),
              (std::pair<int64_t, int64_t>{65, 65}));
  }

  const std::string plain = Run("table '" + folder_ + "board_altium_plain.csv'").out;
  std::ofstream(folder_ + "utf8.csv", std::ios::binary)
      << "\xEF\xBB\xBF" + Cp1251ToUtf8(ReadBytes(folder_ + "board_altium_plain.csv"));
  const Outcome utf8 = Run("table '" + folder_ + "utf8.csv' --converter altium");
  EXPECT_EQ(utf8.status, 0);
  EXPECT_EQ(utf8.out, plain);
  EXPECT_TRUE(utf8.err.empty()) << utf8.err;

  for (const char* sample : {"board.bom", "board_orcad.bom", "board.lst"}) {
    Sample(sample);
    for (const char* converter : {"protel", "altium", "allegro"}) {
      SCOPED_TRACE(std::string(sample) + " " + converter);
      const Outcome refused = Run("table '" + folder_ + sample + "' --converter " + converter);
      EXPECT_EQ(refused.status, 1);
      EXPECT_TRUE(testing_support::IsRefusalWithReason(refused.err)) << refused.err;
      EXPECT_TRUE(refused.out.empty());
    }
  }
}

// The list of elements and the purchased-items list of a sample, into a new document made from
// the pattern and saved under the output's name, or into the open graphic document.
TEST_F(ZuroBomTest, ConvertsASampleIntoTheHostsDocument) {
  const std::string report = Sample("board.bom");
  const Outcome gost =
      Run("convert '" + report + "' --document list --sort gost -o '" + folder_ + "list.json'");
  ASSERT_EQ(gost.status, 0) << gost.err;
  EXPECT_EQ(gost.err, Utf8(u8"Формирование объектов перечня элементов в документе завершено\n"));
  standin::SimDocument list;
  ASSERT_TRUE(standin::OpenDocument(folder_ + "list.json", list));
  ASSERT_EQ(list.objects.size(), 33u);
  EXPECT_EQ(list.objects.back().columns[2].text, "R16");  // cut off by R15, as R7...R9 by R6
  EXPECT_EQ(list.objects[0].library, "zURO_gr.lyt");

  const Outcome purchased = Run("convert '" + report +
                                "' --document purchased --graphic --device vector --unmark 1 "
                                "--set " +
                                Utf8(u8"2,5=Конденсатор") + " -o '" + folder_ + "vp.json'");
  ASSERT_EQ(purchased.status, 0) << purchased.err;
  standin::SimDocument vp;
  ASSERT_TRUE(standin::OpenDocument(folder_ + "vp.json", vp));
  // A1 unticked; C1...C10 renamed, so that it no longer makes one item with C21,C22.
  ASSERT_EQ(vp.objects.size(), 29u);
  EXPECT_EQ(vp.objects[0].library, "zURO_vc.lyt");
  EXPECT_EQ(vp.objects[0].style, 11);
  EXPECT_EQ(vp.objects[0].columns[0].text, "Конденсатор ");

  // A library folder without the pattern stops the road with the message.
  const Outcome nothing = Run("convert '" + report + "' --document list --library '" + folder_ +
                              "' -o '" + folder_ + "none.json'");
  EXPECT_EQ(nothing.status, 1);
  EXPECT_NE(nothing.err.find("patternPE.spw"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(folder_ + "none.json"));
}

// The documents the DLL writes under Wine through the stand-in host program are compared with
// these same files: both roads give the same document, for a report of every kind. The
// specification of the P-CAD and Mentor reports is sorted through the work database, that of the
// others comes in table order.
TEST_F(ZuroBomTest, ConversionsGiveTheRecordedDocuments) {
  const std::pair<std::string, std::string> kReports[] = {
      {"board.bom", "pcad"},   {"board_orcad.bom", "orcad"},   {"board.lst", "mentor"},
      {"board.csv", "protel"}, {"board_altium.txt", "altium"}, {"board_allegro.htm", "allegro"}};
  const std::string library = OwnLibrary();
  for (const auto& [sample, converter] : kReports) {
    SCOPED_TRACE(sample);
    std::string name = sample;
    std::replace(name.begin(), name.end(), '.', '_');
    const std::string report = Sample(sample);
    ASSERT_EQ(Run("convert '" + report + "' --converter " + converter +
                  " --document list --sort gost --library '" + library + "' -o '" + folder_ +
                  "list.json'")
                  .status,
              0);
    EXPECT_EQ(ReadBytes(folder_ + "list.json"),
              ReadBytes(std::string(ZURO_TEST_DATA "/") + name + "_list_gost.json"));
    const Outcome spec =
        Run("convert '" + report + "' --converter " + converter + " --document spec --library '" +
            library + "' -o '" + folder_ + "spec.json'");
    ASSERT_EQ(spec.status, 0) << spec.err;
    EXPECT_EQ(spec.err, Utf8(u8"Формирование объектов спецификации в документе завершено\n"));
    EXPECT_EQ(ReadBytes(folder_ + "spec.json"),
              ReadBytes(std::string(ZURO_TEST_DATA "/") + name + "_spec.json"));
  }
  ASSERT_EQ(Run("convert '" + folder_ + "board.bom' --document purchased --graphic -o '" + folder_ +
                "vp.json'")
                .status,
            0);
  EXPECT_EQ(ReadBytes(folder_ + "vp.json"),
            ReadBytes(ZURO_TEST_DATA "/board_bom_purchased_graphic.json"));
}

// With a model document open the window asks for the report at once, or for a table file after
// that first dialog was cancelled, and makes the specification only: the model document, written
// to -o, holds one object per designator, each linked to the model's item of that designator.
TEST_F(ZuroBomTest, SpecificationIntoAModelDocument) {
  const std::string library = OwnLibrary();
  const std::string items = ZURO_SOURCE_DIR "/samples/model_items.txt";
  const std::string recorded = ReadBytes(ZURO_TEST_DATA "/board_bom_spec_model.json");
  const std::string report = Sample("board.bom");
  const std::string model = " --model '" + items + "' --library '" + library + "'";
  const Outcome spec = Run("convert '" + report + "' --document spec" + model + " -o '" + folder_ +
                           "model.json' --html '" + folder_ + "model.html'");
  ASSERT_EQ(spec.status, 0) << spec.err;
  EXPECT_EQ(ReadBytes(folder_ + "model.json"), recorded);
  EXPECT_NE(ReadBytes(folder_ + "model.html").find(Utf8(u8"Связь с моделью: R21")),
            std::string::npos);
  EXPECT_TRUE(std::filesystem::exists(library + "bom.db"));

  const Outcome shown = Run("show '" + folder_ + "model.json'");
  ASSERT_EQ(shown.status, 0) << shown.err;
  // R17* has no item in the model, whose resistor is R17: it is left out.
  EXPECT_EQ(std::count(shown.out.begin(), shown.out.end(), '\n'), 64);
  EXPECT_NE(shown.out.find(Utf8(u8"\n30 | 0 | Резистор С2-33Н-0,125-330 Ом ±5%  | 1 | R12 | R12 | "
                                u8"ОЖО.467.093 ТУ | PL-1331\n")),
            std::string::npos);
  EXPECT_EQ(shown.out.find("R17"), std::string::npos);

  // A table file read in a run that read no report leaves the "ID PartLib" column unknown: the
  // same objects, linked alike, with no part library ids (column 10 of graphic.lyt's style).
  ASSERT_EQ(Run("table '" + report + "' -o '" + folder_ + "board.tbl'").status, 0);
  const Outcome table = Run("convert '" + folder_ + "board.tbl' --document spec" + model + " -o '" +
                            folder_ + "tbl.json'");
  ASSERT_EQ(table.status, 0) << table.err;
  standin::SimDocument from_table, expected;
  ASSERT_TRUE(standin::OpenDocument(folder_ + "tbl.json", from_table));
  ASSERT_TRUE(standin::OpenDocument(ZURO_TEST_DATA "/board_bom_spec_model.json", expected));
  for (standin::SimObject& object : expected.objects) {
    for (standin::SimColumnValue& value : object.columns) {
      if (value.column == 10)
        value.text.clear();
    }
  }
  EXPECT_EQ(from_table.objects, expected.objects);

  // Only the specification is made with a model document, into no other document; its items
  // must be there to read.
  for (const char* refused :
       {"--document list", "--document purchased", "--document spec --graphic"}) {
    const Outcome outcome =
        Run("convert '" + report + "' " + refused + model + " -o '" + folder_ + "x.json'");
    EXPECT_EQ(outcome.status, 2) << refused;
    EXPECT_NE(outcome.err.find("--model"), std::string::npos) << outcome.err;
  }
  const Outcome missing = Run("convert '" + report + "' --document spec --model '" + folder_ +
                              "missing.txt' -o '" + folder_ + "x.json'");
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.err.find("missing.txt"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(folder_ + "x.json"));
}

// Every sample converts into both sorts of the list, on both devices, the purchased-items list
// and the specification on the vector device.
TEST_F(ZuroBomTest, EverySampleConvertsIntoEveryDocument) {
  const std::string library = OwnLibrary();
  for (const char* sample :
       {"board.bom", "board.lst", "board.csv", "board_altium.txt", "board_allegro.htm"}) {
    const std::string report = Sample(sample);
    for (const char* document :
         {"list --sort gost", "list --sort elements --device vector", "purchased --device vector",
          "purchased --graphic", "spec --device vector"}) {
      SCOPED_TRACE(std::string(sample) + " " + document);
      const Outcome outcome = Run("convert '" + report + "' --document " + document +
                                  " --library '" + library + "' -o '" + folder_ + "out.json'");
      EXPECT_EQ(outcome.status, 0) << outcome.err;
      standin::SimDocument converted;
      ASSERT_TRUE(standin::OpenDocument(folder_ + "out.json", converted));
      EXPECT_GE(converted.objects.size(), 29u);
    }
  }
}

// A UTF-8 report reads as its twin; characters code page 1251 lacks are told of, and the road
// goes on with the table.
TEST_F(ZuroBomTest, Utf8ReportsReadWithAWarningOnlyWhenCharactersAreLost) {
  const std::string twin = Run("table '" + Sample("board.bom") + "'").out;
  std::ofstream(folder_ + "utf8.bom", std::ios::binary)
      << Cp1251ToUtf8(ReadBytes(folder_ + "board.bom"));
  const Outcome utf8 = Run("table '" + folder_ + "utf8.bom'");
  EXPECT_EQ(utf8.status, 0);
  EXPECT_EQ(utf8.out, twin);
  EXPECT_TRUE(utf8.err.empty());
  std::ofstream(folder_ + "omega.bom", std::ios::binary)
      << "\"Count\";\"RefDes\";\"Value\"\r\n\"1\";\"R1\";\"10 \xE2\x84\xA6\"\r\n";
  const Outcome omega = Run("table '" + folder_ + "omega.bom'");
  EXPECT_EQ(omega.status, 0);
  EXPECT_NE(omega.out.find("#1#R1#10 ?#"), std::string::npos);
  EXPECT_NE(omega.err.find("UTF-8"), std::string::npos);
}

// The PDM's road: the object list the window writes is read back as the PDM reads it, and the
// printout holds it whole, line for line. veldor-host.exe prints the same files under Wine. The
// Mentor list is read without a file written beside it other than its object list: the
// designer's board.bom there stays as it was, and a list in a folder named "lst-files" loads.
TEST_F(ZuroBomTest, PdmRoadPrintsTheObjectListAsThePdmReadsIt) {
  const std::string library = OwnLibrary();
  const std::pair<std::string, std::string> kReports[] = {{"board.bom", "board_bom_pdm.txt"},
                                                          {"board.lst", "board_lst_pdm.txt"}};
  for (const auto& [sample, recorded] : kReports) {
    SCOPED_TRACE(sample);
    std::ofstream(library + "res.txt", std::ios::binary) << "stale#A=1;\r\n";
    const Outcome pdm = Run("pdm '" + Sample(sample) + "' --library '" + library + "'");
    ASSERT_EQ(pdm.status, 0) << pdm.err;
    EXPECT_TRUE(pdm.err.empty()) << pdm.err;
    EXPECT_EQ(pdm.out, PdmTypes() + ReadBytes(std::string(ZURO_TEST_DATA "/") + recorded));
    std::string list = Cp1251ToUtf8(ReadBytes(library + "res.txt"));
    list.erase(std::remove(list.begin(), list.end(), '\r'), list.end());
    EXPECT_EQ(pdm.out, PdmTypes() + list);
    EXPECT_EQ(ReadBytes(folder_ + "board.txt"), ReadBytes(library + "res.txt"));
  }
  EXPECT_EQ(ReadBytes(folder_ + "board.bom"), ReadBytes(ZURO_SOURCE_DIR "/samples/board.bom"));
  std::vector<std::string> files;
  for (const auto& entry : std::filesystem::directory_iterator(folder_))
    files.push_back(entry.path().filename().string());
  std::sort(files.begin(), files.end());
  EXPECT_EQ(files, (std::vector<std::string>{"board.bom", "board.lst", "board.txt", "err",
                                             "library", "out"}));

  std::filesystem::create_directories(folder_ + "lst-files");
  std::filesystem::copy_file(folder_ + "board.lst", folder_ + "lst-files/board.lst");
  const Outcome in_folder =
      Run("pdm '" + folder_ + "lst-files/board.lst' --library '" + library + "'");
  ASSERT_EQ(in_folder.status, 0) << in_folder.err;
  EXPECT_EQ(in_folder.out, PdmTypes() + ReadBytes(ZURO_TEST_DATA "/board_lst_pdm.txt"));
  EXPECT_FALSE(std::filesystem::exists(folder_ + "bom-files"));
}

// The PDM reads objects until an empty name. A report without the column the name template takes
// ("Наименование") gives every object its designator for a name, so all of them reach the PDM,
// and the window says once how many and which templates to fill.
TEST_F(ZuroBomTest, PdmObjectsWithoutANameAreNamedByTheirDesignator) {
  const std::string library = OwnLibrary();
  // Code page 1251 literals: the assembly unit is told by its section.
  std::ofstream(folder_ + "plain.bom", std::ios::binary)
      << "\"Count\";\"RefDes\";\"Value\";\"Раздел\"\r\n\"2\";\"R1\";\"10k\";\"Прочие изделия\"\r\n"
         "\"\";\"R2\";\"10k\";\"Прочие изделия\"\r\n\"1\";\"C1\";\"1u\";\"Прочие изделия\"\r\n"
         "\"1\";\"A1\";\"\";\"Сборочные единицы\"\r\n";
  const Outcome pdm = Run("pdm '" + folder_ + "plain.bom' --library '" + library + "'");
  ASSERT_EQ(pdm.status, 0) << pdm.err;
  std::vector<std::string> names;
  for (size_t start = PdmTypes().size(), end;
       (end = pdm.out.find('\n', start)) != std::string::npos; start = end + 1)
    names.push_back(pdm.out.substr(start, pdm.out.find('#', start) - start));
  EXPECT_EQ(names, (std::vector<std::string>{"R1", "R2", "C1", "A1"}));  // 10k before 1u
  EXPECT_EQ(pdm.err, Utf8(u8"Внимание: Объектов без наименования: 4. Им дано имя по позиционному "
                          u8"обозначению. Заполните атрибут \"Наименование\" в шаблонах ЭРИ "
                          u8"(\"Настройка\", \"Шаблоны ЭРИ...\") и СЕ (\"Настройка\", "
                          u8"\"Шаблоны СЕ...\")\n"));
}

// Only the rows left marked are passed on, and only the specification choice passes any; a
// report that is none, missing templates or a row outside the table stop the road, and the window
// then closes as cancelled, leaving no object list of an earlier run for the PDM to find.
TEST_F(ZuroBomTest, PdmRoadChoicesAndStops) {
  const std::string library = OwnLibrary();
  const std::string report = Sample("board.bom");
  const std::string recorded = ReadBytes(ZURO_TEST_DATA "/board_bom_pdm.txt");
  const std::string in_library = " --library '" + library + "'";

  // Row 1 is C1, the first electrical item; row 65 the assembly unit A1, after all of them.
  const Outcome unmarked = Run("pdm '" + report + "'" + in_library + " --unmark 1 --unmark 65");
  ASSERT_EQ(unmarked.status, 0) << unmarked.err;
  std::string expected;
  for (size_t start = 0, end; (end = recorded.find('\n', start)) != std::string::npos;
       start = end + 1) {
    const std::string line = recorded.substr(start, end - start + 1);
    if (line.find(Utf8(u8"Позиционное обозначение=C1;")) == std::string::npos &&
        line.find(Utf8(u8"Позиционное обозначение=A1;")) == std::string::npos)
      expected += line;
  }
  EXPECT_EQ(std::count(expected.begin(), expected.end(), '\n'), 79);
  EXPECT_EQ(unmarked.out, PdmTypes() + expected);

  for (const char* document : {"list", "purchased"}) {
    const Outcome empty = Run("pdm '" + report + "'" + in_library + " --document " + document);
    EXPECT_EQ(empty.status, 0) << empty.err;
    EXPECT_EQ(empty.out, PdmTypes());
    EXPECT_TRUE(std::filesystem::exists(library + "res.txt"));
    EXPECT_EQ(std::filesystem::file_size(library + "res.txt"), 0u);
  }

  const auto stopped = [&](const std::string& arguments, const std::string& message) {
    SCOPED_TRACE(arguments);
    std::ofstream(library + "res.txt", std::ios::binary) << "stale#A=1;\r\n";
    const Outcome outcome = Run("pdm " + arguments + in_library);
    EXPECT_EQ(outcome.status, 1);
    EXPECT_EQ(outcome.out, PdmTypes());  // the PDM gets its type names all the same
    EXPECT_NE(outcome.err.find(message), std::string::npos) << outcome.err;
    EXPECT_FALSE(std::filesystem::exists(library + "res.txt"));
  };
  std::ofstream(folder_ + "bad.bom", std::ios::binary) << "Count;RefDes\r\n1;R1\r\n";
  stopped("'" + folder_ + "bad.bom'", Utf8(u8"Внимание: Недопустимая структура файла\n"));
  stopped("'" + report + "' --unmark 66", "there is no row 66");
  stopped("'" + report + "' --unmark 0", "there is no row 0");
  std::filesystem::remove(library + "se.cfg");
  stopped("'" + report + "'", Utf8(u8"Внимание: Не созданы шаблоны полей КД\n"));
}

// Reports, table files and the library folder in a folder named outside code page 1251, and in a
// Cyrillic one with blanks: every road runs as it runs in an ASCII folder, and a message names a
// file as the designer sees it, in code page 1251, with "?" for what 1251 lacks. The host takes
// the name to save a document under in 1251 as well, so it cannot save into the first folder.
TEST_F(ZuroBomTest, RoadsInFoldersNamedOutsideCp1251AndInCyrillic) {
  const std::string report = Sample("board.bom");
  const std::string ascii_library = OwnLibrary();
  const Outcome table = Run("table '" + report + "'");
  ASSERT_EQ(table.status, 0) << table.err;
  ASSERT_EQ(Run("convert '" + report + "' --document spec --graphic --library '" + ascii_library +
                "' -o '" + folder_ + "spec.json'")
                .status,
            0);
  struct Place {
    std::string folder;
    std::string report;  // the report's name there
    std::string report_shown;
    std::string missing;
    std::string missing_shown;  // as the message names it, in UTF-8 on the terminal
  };
  const Place kPlaces[] = {{Utf8(u8"Müller 日本"), Utf8(u8"плата 日本.bom"), Utf8(u8"плата ??.bom"),
                            Utf8(u8"Müller.bom"), "M?ller.bom"},
                           {Utf8(u8"Проекты платы"), Utf8(u8"плата 1.bom"), Utf8(u8"плата 1.bom"),
                            Utf8(u8"плата 2.bom"), Utf8(u8"плата 2.bom")}};
  for (const Place& place : kPlaces) {
    SCOPED_TRACE(place.folder);
    const std::string folder = folder_ + place.folder + "/";
    const std::string library = folder + Utf8(u8"библиотека 日本/");
    std::filesystem::create_directories(library);
    for (const auto& file : std::filesystem::directory_iterator(ascii_library))
      std::filesystem::copy_file(file.path(), library + file.path().filename().string());
    const std::string moved = folder + place.report;
    std::filesystem::copy_file(report, moved);
    const std::string in_library = " --library '" + library + "'";

    // The table, written to a table file there and read back from it.
    const std::string tbl = folder + Utf8(u8"таблица 日本.tbl");
    const Outcome written = Run("table '" + moved + "'" + in_library + " -o '" + tbl + "'");
    ASSERT_EQ(written.status, 0) << written.err;
    const Outcome reread = Run("table '" + tbl + "'" + in_library);
    ASSERT_EQ(reread.status, 0) << reread.err;
    EXPECT_EQ(reread.out, table.out);

    // The specification sorted in the work database of the library folder there.
    const std::string spec = folder + "spec.json";
    const Outcome sorted = Run("convert '" + moved + "' --document spec --graphic" + in_library +
                               " -o '" + spec + "' --html '" + folder + "spec.html'");
    ASSERT_EQ(sorted.status, 0) << sorted.err;
    EXPECT_EQ(ReadBytes(spec), ReadBytes(folder_ + "spec.json"));
    EXPECT_TRUE(std::filesystem::exists(library + "bom.db"));
    // The page's title is the report's name as the designer sees it.
    EXPECT_NE(ReadBytes(folder + "spec.html").find("<title>" + place.report_shown + "</title>"),
              std::string::npos);

    // A document made from the pattern of that library folder, saved where the host can save.
    const Outcome list = Run("convert '" + moved + "' --document list --sort gost" + in_library +
                             " -o '" + folder_ + "list.json'");
    ASSERT_EQ(list.status, 0) << list.err;
    EXPECT_EQ(ReadBytes(folder_ + "list.json"),
              ReadBytes(ZURO_TEST_DATA "/board_bom_list_gost.json"));

    // The PDM's road: the object list in the library folder and beside the report.
    const Outcome pdm = Run("pdm '" + moved + "'" + in_library);
    ASSERT_EQ(pdm.status, 0) << pdm.err;
    EXPECT_EQ(pdm.out, PdmTypes() + ReadBytes(ZURO_TEST_DATA "/board_bom_pdm.txt"));
    EXPECT_EQ(ReadBytes(folder + place.report.substr(0, place.report.size() - 4) + ".txt"),
              ReadBytes(library + "res.txt"));

    const Outcome missing = Run("table '" + folder + place.missing + "'" + in_library);
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err,
              Utf8(u8"Внимание: Не удалось открыть файл ") + place.missing_shown + "\n");
  }

  // The host is handed the name to save under in code page 1251: "Müller 日本" reaches it as
  // "M?ller ??", no folder it can save into, and the road ends without a document.
  const std::string unsavable = folder_ + Utf8(u8"Müller 日本/list.json");
  const Outcome lost = Run("convert '" + report + "' --document list --library '" + ascii_library +
                           "' -o '" + unsavable + "'");
  EXPECT_EQ(lost.status, 1);
  EXPECT_NE(lost.err.find("the host did not save the document to " + unsavable), std::string::npos)
      << lost.err;
  EXPECT_FALSE(std::filesystem::exists(unsavable));
}

// The settings of the library folder: rows of parts not fitted left out of every road, a Cyrillic
// С read as C, runs written with a dash in the documents only. The table and the PDM's object list
// keep their "...".
TEST_F(ZuroBomTest, SettingsOfTheLibraryFolderActOnEveryRoad) {
  // Three resistors, one not fitted; three capacitors, the first typed with a Cyrillic С; one
  // more not fitted, marked at the end of its value.
  const std::string report = folder_ + "s.bom";
  std::filesystem::copy_file(ZURO_TEST_DATA "/settings_board.bom", report);
  const std::string library = OwnLibrary();
  std::filesystem::copy_file(ZURO_TEST_DATA "/settings/zuro.ini", library + "zuro.ini");
  const std::string options = "'" + report + "' --library '" + library + "'";

  const Outcome table = Run("table " + options);
  ASSERT_EQ(table.status, 0) << table.err;
  EXPECT_NE(table.out.find("\n#3#R1...R3#"), std::string::npos);
  EXPECT_NE(table.out.find("\n#3#C1...C3#"), std::string::npos);
  EXPECT_EQ(table.err, Utf8(u8"zuro-bom: zuro.ini line 4: unknown key Colour, ignored\n"
                            u8"zuro-bom: не отмечено строк: 2 (DNP): строки 2, 4\n"));

  const std::string json = folder_ + "list.json";
  ASSERT_EQ(Run("convert " + options + " --document list -o '" + json + "'").status, 0);
  const std::string list = ReadBytes(json);
  EXPECT_NE(list.find("\"value\": \"R1-R3\""), std::string::npos) << list;
  EXPECT_NE(list.find("\"value\": \"C1-C3\""), std::string::npos) << list;
  EXPECT_EQ(list.find("R4"), std::string::npos);
  EXPECT_EQ(list.find("C4"), std::string::npos);
  // The Windows road into a graphic document gives these same bytes.
  ASSERT_EQ(Run("convert " + options + " --document list --graphic -o '" + json + "'").status, 0);
  EXPECT_EQ(ReadBytes(json), ReadBytes(ZURO_TEST_DATA "/settings_board_list.json"));
  ASSERT_EQ(Run("convert " + options + " --document spec -o '" + json + "'").status, 0);
  // One item of the specification: the two rows have the same (empty) name.
  EXPECT_NE(ReadBytes(json).find("\"value\": \"R1-R3,\\nC1-C3\""), std::string::npos);

  const Outcome pdm = Run("pdm " + options);
  ASSERT_EQ(pdm.status, 0) << pdm.err;
  EXPECT_NE(pdm.out.find("\nC1#"), std::string::npos);
  EXPECT_EQ(pdm.out.find("\nR4#"), std::string::npos);
}

// --timings names each phase once, in order, the host's line with its count of calls; the
// document is the one made without it.
TEST_F(ZuroBomTest, TimingsNameEachPhaseAndLeaveTheDocumentAsItIs) {
  const std::string report = Sample("board.bom");
  const std::string base = "convert '" + report + "' --document list --sort gost --graphic -o '";
  ASSERT_EQ(Run(base + folder_ + "plain.json'").status, 0);
  const Outcome timed = Run(base + folder_ + "timed.json' --timings");
  ASSERT_EQ(timed.status, 0) << timed.err;
  EXPECT_EQ(ReadBytes(folder_ + "timed.json"), ReadBytes(folder_ + "plain.json"));
  const std::regex phases(
      "[^\n]*\n"  // the completion message
      "timing: read [0-9]+\\.[0-9]{6}\n"
      "timing: run [0-9]+\\.[0-9]{6}\n"
      "timing: host [0-9]+\\.[0-9]{6} [1-9][0-9]*\n"
      "timing: save [0-9]+\\.[0-9]{6}\n");
  EXPECT_TRUE(std::regex_match(timed.err, phases)) << timed.err;
}

}  // namespace
}  // namespace zuro
