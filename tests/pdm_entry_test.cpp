// LoadBom's body: the object type names of the settings handed back, the PDM window run on the
// handed report, and the library's flags left as the host's commands expect them afterwards.
#include <gtest/gtest.h>

#include "tests/test_folder.h"

#include <filesystem>
#include <stdexcept>
#include <string>

#include "converter/headless_ui.h"
#include "host/pdm_entry.h"
#include "converter/pdm_converter_window.h"

namespace zuro::host {
namespace {

class NoLines : public pdm::PdmObjectLines {
 public:
  bool Begin(const std::string&) override { return true; }
  void AppendLines(const table::GridModel&,
                   const readers::ReportAttributes&,
                   int,
                   std::string&) override {}
};

// The PDM window started headlessly, as the DLL starts it on the screen.
class HeadlessPdmWindows : public PdmWindows {
 public:
  void Run(LibraryContext& context, WindowState& state, const std::string& report_path) override {
    NoLines lines;
    converter::PdmConverterWindow window(context, state, ui, lines, report_path);
    window.OnInitDialog();
    rows = window.table().GetRowCount();
    output_mode_while_open = static_cast<int32_t>(context.output_mode);
    if (fail)
      throw std::runtime_error("the window failed");
  }
  converter::HeadlessUi ui;
  int rows = 0;
  int32_t output_mode_while_open = 0;
  bool fail = false;
};

class PdmEntryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directories(files_ + "library");
    context_.library_folder = files_ + "library/";
    report_ = files_.Write("board.bom",
                           "\"Count\";\"RefDes\";\"TypeElement\"\r\n\"1\";\"R1\";\"Резистор\"\r\n");
  }
  testing_support::TestFolder files_{"pdm_entry"};
  LibraryContext context_;
  WindowState state_;
  std::string report_;
  HeadlessPdmWindows windows_;
};

// The window writes text lines only while it is open: the host's next command gets its quantity
// columns and host objects again.
TEST_F(PdmEntryTest, HandsBackTheTypesAndClearsTheTextOutputAfterTheWindow) {
  files_.Write("library/bom_veldor.ini", "TYPE1=Изделие\r\nTYPE2=Сборка\r\nSKO=2\r\n");
  const PdmObjectTypes types = LoadBom(context_, state_, windows_, report_);
  EXPECT_EQ(types.type1, "Изделие");
  EXPECT_EQ(types.type2, "Сборка");
  EXPECT_EQ(windows_.rows, 2);
  EXPECT_EQ(windows_.output_mode_while_open, 1);
  EXPECT_EQ(context_.output_mode, automation::OutputMode::kHostObjects);

  // A window that fails still lets LoadBom hand the types back, and nothing leaves it.
  windows_.fail = true;
  EXPECT_EQ(LoadBom(context_, state_, windows_, report_).type1, "Изделие");
  EXPECT_EQ(context_.output_mode, automation::OutputMode::kHostObjects);
}

// A host command that found a model document leaves its flag in the library; the PDM's window has
// no host document and must read the handed report alone, asking for no other.
TEST_F(PdmEntryTest, AModelDocumentOfAnEarlierHostCommandAsksForNoSecondReport) {
  context_.active_document = automation::ActiveDocument::kModel;
  const PdmObjectTypes types = LoadBom(context_, state_, windows_, report_);
  EXPECT_TRUE(types.type1.empty());
  EXPECT_EQ(windows_.rows, 2);
  EXPECT_TRUE(windows_.ui.file_dialogs().empty());
}

}  // namespace
}  // namespace zuro::host
