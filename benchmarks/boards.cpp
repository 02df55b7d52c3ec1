#include "benchmarks/boards.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string_view>

#include <unistd.h>

#include "converter/converter_ui.h"
#include "automation/host_objects.h"

namespace zuro::bench {

namespace {

// ZURO_BOARDS names another folder of boards than the repository's build/boards.
std::string BoardsFolder() {
  const char* folder = std::getenv("ZURO_BOARDS");
  return folder && *folder ? folder : ZURO_BOARDS_DIR;
}

// The build's library folder copied once into a temporary folder, removed at exit.
class LibraryCopy {
 public:
  LibraryCopy() {
    path_ =
        std::filesystem::temp_directory_path() / ("zuro_bench_library_" + std::to_string(getpid()));
    std::filesystem::remove_all(path_);
    std::filesystem::copy(ZURO_LIBRARY_DIR, path_, std::filesystem::copy_options::recursive);
  }
  ~LibraryCopy() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  std::string Folder() const { return path_.string() + "/"; }

 private:
  std::filesystem::path path_;
};

}  // namespace

const std::string& LibraryFolder() {
  static const LibraryCopy copy;
  static const std::string folder = copy.Folder();
  return folder;
}

// An Altium Designer report saved as CSV opens in its own window; the CSV that the Cadence
// Allegro window keeps beside its HTML report is read by the Protel window, the one for CSV.
const std::vector<BoardKind>& BoardKinds() {
  static const std::vector<BoardKind> kinds = {
      {"pcad", "bom", 1},        {"mentor", "lst", 5},      {"orcad", "bom", 2},
      {"orcad_fixed", "bom", 2}, {"protel", "csv", 3},      {"altium_csv", "csv", 4},
      {"altium_text", "txt", 4}, {"allegro_csv", "csv", 3}, {"allegro_html", "htm", 6},
  };
  return kinds;
}

const BoardKind& PcadBoard() {
  return BoardKinds().front();
}

bool MakeBoards() {
  std::string sizes;
  for (const int size : kBoardSizes)
    sizes += (sizes.empty() ? "" : ",") + std::to_string(size);
  const std::string command = "python3 '" ZURO_SOURCE_DIR "/scripts/make-boards' --update --out '" +
                              BoardsFolder() + "' --sizes " + sizes + " >&2";
  if (std::system(command.c_str()) == 0)
    return true;
  std::fprintf(stderr, "zuro_bench: could not make the boards: %s\n", command.c_str());
  return false;
}

std::string BoardPath(const BoardKind& kind, int size) {
  return BoardsFolder() + "/" + kind.name + "_" + std::to_string(size) + "." + kind.extension;
}

BoardWindow::BoardWindow(int command) {
  context_.library_folder = LibraryFolder();
  context_.command = static_cast<LibraryCommand>(command);
  context_.application = automation::ZentarObject(host_.Application());
  host_.OpenGraphicDocument();
  context_.graphic_document = context_.application.ActiveGraphicDocument();
  window_ = converter::MakeConverterWindow(context_, state_, ui_);
  window_->OnInitDialog();
}

// The window goes before the host objects it uses, and they before the host.
BoardWindow::~BoardWindow() {
  window_.reset();
  context_.ReleaseHostObjects();
}

int BoardWindow::Open(const std::string& report) {
  ui_.QueueFile(report);
  window_->OnCommand(converter::kIdOpenReport);
  return window_->table().GetRowCount() - 1;
}

bool BoardWindow::Create(int command) {
  const bool specification = command == converter::kIdCreateSpec;
  ui_.CheckRadio(converter::kOutputDeviceRadios, 0);
  ui_.CheckRadio(converter::kDocumentKindRadios, specification ? 0 : 1);
  window_->OnCommand(specification ? converter::kIdSpecRadio : converter::kIdListRadio);
  const size_t before = ui_.messages().size();
  window_->OnCommand(command);
  for (size_t m = before; m < ui_.messages().size(); ++m) {
    if (std::string_view(ui_.messages()[m].text).starts_with("Формирование"))
      return true;
  }
  return false;
}

size_t BoardWindow::ObjectCount() const {
  const standin::SimDocument* document = host_.ActiveGraphicDocument();
  return document ? document->objects.size() : 0;
}

}  // namespace zuro::bench
