// Paths outside code page 1251: the library holds file paths in UTF-8, so that a report, a table
// file and the library folder in a folder named "Müller 日本" open as well as in a Cyrillic folder
// with blanks. A path shown to the designer or handed to the host becomes a code page 1251 text,
// a character 1251 lacks showing as "?".
#include <gtest/gtest.h>

#include "tests/sim_objects.h"
#include "tests/test_folder.h"

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "base/file_system.h"
#include "base/text_encoding.h"
#include "base/text_file.h"
#include "converter/converter_window.h"
#include "converter/headless_ui.h"
#include "generation/names_database.h"
#include "automation/library_context.h"
#include "standin/sim_host.h"
#include "table/table_file.h"

namespace zuro {
namespace {

using testing_support::ReadBytes;
using testing_support::TestFolder;
using testing_support::Utf8;

// The folders the tests put files in, as UTF-8 names, and as the designer sees them in code page
// 1251. "ü" is no letter of code page 1251 either.
const std::string kForeignFolder = Utf8(u8"Müller 日本");
const std::string kForeignFolderShown = "M?ller ??";
const std::string kCyrillicFolder = Utf8(u8"Проекты платы");
const std::string kCyrillicFolderShown = "Проекты платы";

const std::string kPcadCaption = "Текстовый конвертер P-CAD-ЗЕНТАР";

// Gtest's macros also spell their arguments out as narrow literals, which cannot hold what code
// page 1251 lacks: such UTF-8 texts are named outside them.
const std::string kReportName = Utf8(u8"отчёт 日本.bom");
const std::string kMullerName = Utf8(u8"Müller");

const std::string kReport =
    "\"Count\";\"RefDes\";\"Value\";\"Type\"\r\n"
    "\"2\";\"R1\";\"10 кОм\";\"Резистор\"\r\n"
    "\"\";\"R2\";\"10 кОм\";\"Резистор\"\r\n"
    "\"1\";\"C1\";\"0,1 мкФ\";\"Конденсатор\"\r\n";

// The files shipped beside the library, copied into `folder`.
void CopyLibraryFiles(const std::string& folder) {
  std::filesystem::create_directories(folder);
  for (const auto& file : std::filesystem::directory_iterator(ZURO_SOURCE_DIR "/library")) {
    if (file.path().extension() != ".md")
      std::filesystem::copy_file(file.path(), folder + file.path().filename().string());
  }
}

// The names of the folder's entries as the system lists them (UTF-8 natively).
std::vector<std::string> EntryNames(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

TEST(PathTextsTest, PathsBecomeTextsAndTextsPaths) {
  // A path the PDM or the host hands over in code page 1251.
  EXPECT_EQ(Utf8PathFromCp1251("C:\\Проекты платы\\плата №2.bom"),
            Utf8(u8"C:\\Проекты платы\\плата №2.bom"));
  // A path shown or handed on: what code page 1251 lacks becomes "?", one for each character.
  const std::string foreign = Utf8(u8"/work/Müller 日本/плата.bom");
  EXPECT_EQ(Cp1251FromUtf8Path(foreign), "/work/" + kForeignFolderShown + "/плата.bom");
  const std::string four_bytes = Utf8(u8"/😀/a");
  EXPECT_EQ(Cp1251FromUtf8Path(four_bytes), "/?/a");
  EXPECT_EQ(Cp1251FromUtf8Path("/a\xFF/b"), "/a?/b");  // a byte that is no UTF-8
  EXPECT_EQ(Cp1251FromUtf8Path(""), "");
  // Every path of code page 1251 goes there and back unchanged.
  std::string every_byte;
  for (int b = 1; b < 256; ++b)
    every_byte += static_cast<char>(b);
  EXPECT_EQ(Cp1251FromUtf8Path(Utf8PathFromCp1251(every_byte)), every_byte);
}

// Every operation of the file-system seam, in a folder named outside code page 1251 and in a
// Cyrillic one with blanks: the files lie under the very names given, nowhere else.
TEST(FileSeamTest, EveryOperationWorksInFoldersOfEveryName) {
  TestFolder files("utf8_seam");
  for (const std::string& name : {kForeignFolder, kCyrillicFolder}) {
    SCOPED_TRACE(name);
    const std::string folder = files + name + "/";
    std::filesystem::create_directories(folder);
    const std::string report = folder + kReportName;
    ASSERT_TRUE(ReplaceFileContents(
        report, [](std::FILE* file) { return std::fputs(kReport.c_str(), file) >= 0; }));
    EXPECT_EQ(EntryNames(folder), std::vector<std::string>{kReportName});
    EXPECT_TRUE(FileExists(report));
    const std::optional<TextFile> read = ReadTextFile(report);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->text, kReport);
    const std::optional<FileStamp> stamp = ReadFileStamp(report);
    ASSERT_TRUE(stamp);
    EXPECT_EQ(stamp->size, kReport.size());

    const std::string copy = folder + Utf8(u8"копия.bom");
    ASSERT_TRUE(CopyFileOver(report, copy));
    EXPECT_EQ(ReadBytes(copy), kReport);
    EXPECT_TRUE(OpenFile(copy, "rb"));
    EXPECT_TRUE(RemoveFile(copy));
    EXPECT_FALSE(FileExists(copy));
    EXPECT_FALSE(ReadFileStamp(copy));
    EXPECT_FALSE(RemoveFile(copy));

    // The work database, whose file name SQLite takes in UTF-8.
    generation::NamesDatabase database;
    ASSERT_TRUE(database.Open(folder)) << database.LastError();
    EXPECT_TRUE(database.Close());
    EXPECT_EQ(EntryNames(folder), (std::vector<std::string>{"bom.db", kReportName}));
  }
}

TEST(FileSeamTest, TheWorkDatabaseTellsItsPathAsTheDesignerSeesIt) {
  TestFolder files("utf8_seam");
  generation::NamesDatabase database;
  EXPECT_FALSE(database.Open(files + kForeignFolder + "/missing/"));
  EXPECT_TRUE(database.LastError().starts_with("Connection String = " + files.path() +
                                               kForeignFolderShown + "/missing/bom.db\n"))
      << database.LastError();
}

TEST(LibraryPathsTest, TheLibraryFolderAndHelpFileKeepTheModulesUtf8Path) {
  automation::LibraryContext context;
  converter::WindowState state;
  const std::string folder = Utf8(u8"C:\\Program Files\\Müller 日本\\");
  automation::SetLibraryPaths(context, folder + "zuro.dll");
  EXPECT_EQ(context.library_folder, folder);
  EXPECT_EQ(context.help_path, folder + "zuro.chm");
  automation::SetLibraryPaths(context, Utf8(u8"/opt/Библиотека zURO/библиотека.so"));
  EXPECT_EQ(context.library_folder, Utf8(u8"/opt/Библиотека zURO/"));
  EXPECT_EQ(context.help_path, Utf8(u8"/opt/Библиотека zURO/библиотека.chm"));
}

// Four characters come off a name, whatever their length in bytes; the caption shows the rest in
// code page 1251.
TEST(CaptionTest, FileNamesLoseFourCharactersAndShowIn1251) {
  using converter::CaptionWithFileName;
  using converter::WithoutExtension;
  EXPECT_EQ(WithoutExtension(Utf8(u8"плата.bom")), Utf8(u8"плата"));
  EXPECT_EQ(WithoutExtension(Utf8(u8"отчёт")), Utf8(u8"о"));
  const std::string japanese = Utf8(u8"日本");
  const std::string face = Utf8(u8"😀");
  EXPECT_EQ(WithoutExtension(japanese + japanese), "");
  EXPECT_EQ(WithoutExtension(japanese + japanese + face), japanese.substr(0, 3));
  EXPECT_EQ(WithoutExtension(japanese), "");
  EXPECT_EQ(CaptionWithFileName("K", Utf8(u8"плата 1.bom")), "K:плата 1");
  EXPECT_EQ(CaptionWithFileName("K", kMullerName + " " + japanese + ".bom"), "K:M?ller ??");
  EXPECT_EQ(CaptionWithFileName("K", Utf8(u8"Ж.bom")), "K:Ж");
}

// The P-CAD window with its library folder and its reports in a folder named outside code page
// 1251: it reads reports and writes table files there, sorts the specification in the work
// database of that library folder, and shows the names with "?" where 1251 has no character.
class ForeignFolderWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CopyLibraryFiles(library_);
    context_.library_folder = library_;
    context_.help_path = library_ + "zuro.chm";
    context_.command = LibraryCommand::kPcad;
    context_.application = automation::ZentarObject(host_.Application());
    host_.OpenGraphicDocument();
    context_.graphic_document = context_.application.ActiveGraphicDocument();
    window_ = converter::MakeConverterWindow(context_, state_, ui_);
    window_->OnInitDialog();
  }
  void Load(const std::string& path) {
    ui_.QueueFile(path);
    window_->OnCommand(converter::kIdOpenReport);
  }

  TestFolder files_{"utf8_window"};
  const std::string folder_ = files_ + kForeignFolder + "/";
  const std::string library_ = folder_ + "library/";
  standin::SimHost host_;
  automation::LibraryContext context_;
  converter::WindowState state_;
  converter::HeadlessUi ui_;
  std::unique_ptr<converter::ConverterWindow> window_;
};

TEST_F(ForeignFolderWindowTest, ReadsReportsAndShowsTheirNamesIn1251) {
  const std::string name = Utf8(u8"плата 日本.bom");
  Load(files_.Write(kForeignFolder + "/" + name, kReport));
  EXPECT_TRUE(ui_.messages().empty());
  EXPECT_EQ(window_->table().GetRowCount(), 3);
  EXPECT_EQ(ui_.caption(), kPcadCaption + ":плата ??");
  EXPECT_EQ(state_.report_path, name);
  EXPECT_EQ(state_.report_folder, folder_);

  // A report that is not there: the message keeps its wording, the name shown in 1251.
  Load(folder_ + kMullerName + ".bom");
  ASSERT_EQ(ui_.messages().size(), 1u);
  EXPECT_EQ(ui_.messages()[0].text, "Не удалось открыть файл M?ller.bom");
  EXPECT_EQ(ui_.caption(), kPcadCaption + ":плата ??");
  EXPECT_EQ(state_.report_path, name);

  // A UTF-8 report with characters 1251 lacks is named in that message too.
  Load(files_.Write(kForeignFolder + "/" + Utf8(u8"Ω.bom"),
                    Cp1251ToUtf8(kReport) + Utf8(u8"\"1\";\"R9\";\"1 Ω\";\"Резистор\"\r\n")));
  ASSERT_EQ(ui_.messages().size(), 2u);
  EXPECT_TRUE(ui_.messages()[1].text.starts_with("Файл ?.bom записан в кодировке UTF-8"))
      << ui_.messages()[1].text;
}

TEST_F(ForeignFolderWindowTest, SavesAndOpensTableFilesThere) {
  Load(files_.Write(kForeignFolder + "/board.bom", kReport));
  const std::vector<std::string> loaded = table::TableFileText(window_->table());
  const std::string table_file = folder_ + Utf8(u8"таблица 日本.tbl");
  ui_.QueueFile(table_file);
  window_->OnCommand(converter::kIdSaveTable);
  EXPECT_EQ(ui_.file_dialogs().back().initial_name, "board");
  ASSERT_TRUE(FileExists(table_file));
  window_->table().DeleteRow(1);
  ui_.QueueFile(table_file);
  window_->OnCommand(converter::kIdOpenTable);
  EXPECT_TRUE(ui_.messages().empty());
  EXPECT_EQ(table::TableFileText(window_->table()), loaded);
  EXPECT_EQ(ui_.caption(), kPcadCaption + ":таблица ??");

  // The save dialog proposes the report's own name, in UTF-8 as the dialog shows any path.
  Load(files_.Write(kForeignFolder + "/" + kMullerName + ".bom", kReport));
  window_->OnCommand(converter::kIdSaveTable);
  EXPECT_EQ(ui_.file_dialogs().back().initial_name, kMullerName);

  // A table file that cannot be written is named as the designer sees it.
  ui_.QueueFile(folder_ + Utf8(u8"нет/日本.tbl"));
  window_->OnCommand(converter::kIdSaveTable);
  ASSERT_EQ(ui_.messages().size(), 1u);
  EXPECT_EQ(ui_.messages()[0].text, "Не удалось записать файл ??.tbl");
}

TEST_F(ForeignFolderWindowTest, SortsTheSpecificationInTheLibrarysWorkDatabase) {
  const std::string report = folder_ + "board.bom";
  std::filesystem::copy_file(ZURO_SOURCE_DIR "/samples/board.bom", report);
  Load(report);
  window_->OnCommand(converter::kIdCreateSpec);
  ASSERT_EQ(ui_.messages().size(), 1u);
  EXPECT_EQ(ui_.messages()[0].text, "Формирование объектов спецификации в документе завершено");
  EXPECT_TRUE(FileExists(library_ + "bom.db"));
  EXPECT_GT(testing_support::WrittenObjects(host_).size(), 10u);
}

// A document made from the pattern: the host is handed the working copy in the library folder and
// the name to save under as code page 1251 texts. From a Cyrillic folder with blanks both arrive
// whole; from a folder named outside 1251 the host gets "?" for what 1251 lacks.
TEST(PatternRoadTest, TheHostIsHandedItsPathsIn1251) {
  TestFolder files("utf8_pattern");
  for (const auto& [name, shown] : {std::pair{kCyrillicFolder, kCyrillicFolderShown},
                                    std::pair{kForeignFolder, kForeignFolderShown}}) {
    SCOPED_TRACE(shown);
    const std::string folder = files + name + "/";
    CopyLibraryFiles(folder + "library/");
    standin::SimHost host;
    automation::LibraryContext context;
    converter::WindowState state;
    context.library_folder = folder + "library/";
    context.command = LibraryCommand::kPcad;
    context.application = automation::ZentarObject(host.Application());
    converter::HeadlessUi ui;
    const std::unique_ptr<converter::ConverterWindow> window =
        converter::MakeConverterWindow(context, state, ui);
    window->OnInitDialog();
    std::filesystem::copy_file(ZURO_SOURCE_DIR "/samples/board.bom", folder + "board.bom");
    ui.QueueFile(folder + "board.bom");
    window->OnCommand(converter::kIdOpenReport);
    const std::string saved = folder + Utf8(u8"перечень.spw");
    ui.QueueFile(saved);
    host.ClearLog();
    window->OnCommand(converter::kIdCreateListByElements);

    const std::string shown_folder = files.path() + shown + "/";
    const std::string log = host.CallLogText();
    EXPECT_NE(
        log.find("SpecDocument 12 method \"" + shown_folder + "library/Перечень элементов.spw\" 0"),
        std::string::npos)
        << log;
    EXPECT_NE(log.find("SpecDocument 7 method \"" + shown_folder + "перечень.spw\""),
              std::string::npos)
        << log;
    EXPECT_TRUE(FileExists(context.library_folder + Utf8(u8"Перечень элементов.spw")));
    EXPECT_EQ(FileExists(saved), name == kCyrillicFolder);
    context.ReleaseHostObjects();
  }
}

}  // namespace
}  // namespace zuro
