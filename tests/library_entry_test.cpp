#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "host/library_entry.h"
#include "standin/sim_host.h"

namespace zuro::host {
namespace {

using automation::Dispatch;
using automation::GraphicDocument;
using automation::InvokeKind;
using automation::ModelDocument;
using automation::SpecDocument;
using automation::Value;
using automation::ZentarObject;
using standin::SimHost;

// Connects to the stand-in host, or fails as a host without its API library would.
class SimConnector : public HostConnector {
 public:
  explicit SimConnector(SimHost& host) : host_(host) {}
  DispatchRef Connect() override {
    ++attempts;
    return available ? host_.Application() : nullptr;
  }
  int attempts = 0;
  bool available = true;

 private:
  SimHost& host_;
};

// Records which window a command opened and what the host saw while it was open.
class RecordingWindows : public ConverterWindows {
 public:
  explicit RecordingWindows(SimHost& host) : host_(host) {}
  void Run(ConverterWindowKind kind, LibraryContext& context, WindowState&) override {
    opened.push_back(kind);
    host_input_while_open = host_.host_input();
    model_flag_while_open = static_cast<int>(context.active_document);
  }
  std::vector<ConverterWindowKind> opened;
  int host_input_while_open = -1;
  int model_flag_while_open = -1;

 private:
  SimHost& host_;
};

class LibraryEntryTest : public ::testing::Test {
 protected:
  void Run(uint32_t command) { LibraryEntry(context_, state_, connector_, windows_, command); }
  std::vector<std::string> Log() const { return host_.call_log(); }

  SimHost host_;
  LibraryContext context_;
  converter::WindowState state_;
  SimConnector connector_{host_};
  RecordingWindows windows_{host_};
};

std::vector<std::string> ReadLines(const std::string& path) {
  std::ifstream in(path);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);)
    lines.push_back(line);
  return lines;
}

// The command record and its sub-record, set up before every window.
const std::vector<std::string> kDispatcher = {"ZentarObject 9 method 6", "ParamRecord 3 method",
                                              "ParamRecord 1 put 1",     "ParamRecord 2 method",
                                              "ParamRecord 6 method",    "ParamRecord 3 put 1.0",
                                              "ParamRecord 5 put 0",     "ZentarObject 15 method"};

std::vector<std::string> Concat(std::vector<std::string> a, const std::vector<std::string>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

TEST_F(LibraryEntryTest, GraphicDocumentCallSequenceMatchesTheRecordedOne) {
  host_.OpenGraphicDocument();
  Run(1);
  // The same file is compared with what zuro.dll does over real COM under Wine.
  EXPECT_EQ(Log(), ReadLines(ZURO_TEST_DATA "/entry_graphic_command1.log"));
  ASSERT_EQ(windows_.opened.size(), 1u);
  EXPECT_EQ(windows_.host_input_while_open, 0);
  EXPECT_EQ(host_.host_input(), 1);
  EXPECT_FALSE(context_.graphic_document.empty());
  EXPECT_EQ(context_.active_document, automation::ActiveDocument::kGraphicOrSpecification);
  EXPECT_EQ(context_.command, LibraryCommand::kPcad);
}

TEST_F(LibraryEntryTest, ModelDocumentCallSequenceMatchesTheRecordedOne) {
  host_.OpenModelDocument(standin::ReadItemLines(ZURO_TEST_DATA "/model_items.txt"));
  Run(5);
  EXPECT_EQ(Log(), ReadLines(ZURO_TEST_DATA "/entry_model_command5.log"));
  EXPECT_EQ(windows_.model_flag_while_open, 1);
}

TEST_F(LibraryEntryTest, ModelDocumentIsEnteredAndFlagged) {
  host_.OpenModelDocument({"R1 resistor"});
  Run(2);
  EXPECT_EQ(Log(),
            Concat({"ZentarObject 5 method", "ZentarObject 3 method", "ModelDocument 32 method"},
                   kDispatcher));
  EXPECT_EQ(windows_.model_flag_while_open, 1);
  EXPECT_TRUE(context_.spec_document.empty());
}

TEST_F(LibraryEntryTest, WithoutGraphicOrModelTheSpecificationDocumentIsFetched) {
  host_.OpenSpecDocument();
  Run(3);
  EXPECT_EQ(Log(),
            Concat({"ZentarObject 5 method", "ZentarObject 3 method", "ZentarObject 11 method"},
                   kDispatcher));
  EXPECT_FALSE(context_.spec_document.empty());
  EXPECT_EQ(windows_.model_flag_while_open, 0);
}

TEST_F(LibraryEntryTest, GraphicDocumentClearsTheModelFlagOfAnEarlierCall) {
  host_.OpenModelDocument({});
  Run(1);
  EXPECT_EQ(windows_.model_flag_while_open, 1);
  host_.OpenGraphicDocument();
  Run(1);
  EXPECT_EQ(windows_.model_flag_while_open, 0);
}

TEST_F(LibraryEntryTest, ConnectsOncePerLibraryLifeAndRetriesAFailedConnection) {
  connector_.available = false;
  Run(1);
  EXPECT_EQ(connector_.attempts, 1);
  EXPECT_TRUE(windows_.opened.empty());
  EXPECT_TRUE(Log().empty());

  connector_.available = true;
  Run(1);
  Run(5);
  EXPECT_EQ(connector_.attempts, 2);
  EXPECT_EQ(windows_.opened.size(), 2u);
}

TEST_F(LibraryEntryTest, NonZeroHostStateOpensNothing) {
  host_.set_host_state(3);
  Run(1);
  EXPECT_TRUE(windows_.opened.empty());
  EXPECT_EQ(Log().back(), "ZentarObject 15 method");
}

TEST_F(LibraryEntryTest, HostFailingACallMidDispatchEndsTheCommandSilently) {
  host_.FailCall("ParamRecord", 2);
  EXPECT_NO_THROW(Run(1));
  EXPECT_TRUE(windows_.opened.empty());
  EXPECT_EQ(Log().back(), "ParamRecord 2 method");
  EXPECT_EQ(host_.host_input(), 1);
}

TEST_F(LibraryEntryTest, ClearsPerCommandStateOnEveryCall) {
  context_.output_mode = automation::OutputMode::kTextLines;
  state_.report_path = "board.bom";
  context_.spec_columns.bco = 8;
  Run(4);
  EXPECT_EQ(context_.output_mode, automation::OutputMode::kHostObjects);
  EXPECT_TRUE(state_.report_path.empty());
  EXPECT_EQ(context_.spec_columns.bco, 0);
  EXPECT_EQ(context_.command, LibraryCommand::kAltiumDesigner);
}

TEST_F(LibraryEntryTest, EachCommandOpensItsWindowAndOthersOpenNothing) {
  using K = ConverterWindowKind;
  const std::vector<std::pair<uint32_t, K>> cases = {{1, K::PcadMentor},   {2, K::Orcad},
                                                     {3, K::ProtelFamily}, {4, K::ProtelFamily},
                                                     {5, K::PcadMentor},   {6, K::ProtelFamily}};
  for (const auto& [command, kind] : cases) {
    windows_.opened.clear();
    host_.ClearLog();
    Run(command);
    ASSERT_EQ(windows_.opened.size(), 1u) << command;
    EXPECT_EQ(windows_.opened[0], kind) << command;
    // Only the P-CAD / Mentor window takes the host's input away while it is open.
    const bool holds_input = kind == K::PcadMentor;
    EXPECT_EQ(Log().back() == "ZentarObject 14 method 1", holds_input) << command;
  }
  for (const uint32_t command : {0u, 7u, 0xFFFFFFFFu}) {
    windows_.opened.clear();
    Run(command);
    EXPECT_TRUE(windows_.opened.empty()) << command;
  }
}

// An automation object that notes when its last holder lets it go.
class NotedObject : public Dispatch {
 public:
  NotedObject(std::string name, std::vector<std::string>& released)
      : name_(std::move(name)), released_(released) {}
  ~NotedObject() override { released_.push_back(name_); }
  Value Invoke(int32_t, InvokeKind, std::span<const Value>) override { return Value(); }

 private:
  std::string name_;
  std::vector<std::string>& released_;
};

TEST(HostObjectHolders, ReleaseOnReassignmentAndInTheHostsOrderAtUnload) {
  std::vector<std::string> released;
  const auto object = [&](const char* name) {
    return std::make_shared<NotedObject>(name, released);
  };
  {
    LibraryContext context;
    context.application = ZentarObject(object("application"));
    context.graphic_document = GraphicDocument(object("graphic"));
    context.model_document = ModelDocument(object("model"));
    context.spec_document = SpecDocument(object("first spec"));
    context.spec_document = SpecDocument(object("spec"));
    EXPECT_EQ(released, std::vector<std::string>{"first spec"});
  }
  EXPECT_EQ(released,
            (std::vector<std::string>{"first spec", "spec", "model", "graphic", "application"}));
}

TEST(LibraryPaths, FolderAndHelpPathComeFromTheModulePath) {
  LibraryContext context;
  SetLibraryPaths(context, "C:\\Program Files\\ZENTAR\\lib.v2\\zuro.dll");
  EXPECT_EQ(context.library_folder, "C:\\Program Files\\ZENTAR\\lib.v2\\");
  EXPECT_EQ(context.help_path, "C:\\Program Files\\ZENTAR\\lib.v2\\zuro.chm");
  EXPECT_EQ(context.LibraryFile("bom.cfg"), "C:\\Program Files\\ZENTAR\\lib.v2\\bom.cfg");
}

TEST(LibraryPaths, HostApiLibraryReplacesOnlyTheProgramName) {
  EXPECT_EQ(
      HostApiLibraryPath(std::string("C:\\ZENTAR.5\\bin\\zentar.exe"), std::string("zapi5.dll ")),
      "C:\\ZENTAR.5\\bin\\zapi5.dll ");
}

}  // namespace
}  // namespace zuro::host
