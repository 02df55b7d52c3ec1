// The boards the benchmarks read: the reports scripts/make-boards writes, and a converter window
// on the stand-in host that opens one of them and makes its documents.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "converter/converter_window.h"
#include "converter/headless_ui.h"
#include "automation/library_context.h"
#include "standin/sim_host.h"

namespace zuro::bench {

struct BoardKind {
  const char* name;       // as make-boards names it: pcad, orcad_fixed, ...
  const char* extension;  // of its files
  int command;            // the library command whose window reads it
};

const std::vector<BoardKind>& BoardKinds();
const BoardKind& PcadBoard();
inline constexpr int kBoardSizes[] = {1000, 10000, 100000};

// Writes the boards of every kind and size that are missing or older than the script.
bool MakeBoards();
std::string BoardPath(const BoardKind& kind, int size);
// The copy of the build's library folder the benchmarks work in, made once per run.
const std::string& LibraryFolder();

// A converter window as the host opens it for a command, with a graphic document active, so
// that the objects it makes stay in the host. Its library folder is a copy of the build's, made
// once per run: the specification keeps its work database there.
class BoardWindow {
 public:
  explicit BoardWindow(int command);
  ~BoardWindow();
  BoardWindow(const BoardWindow&) = delete;
  BoardWindow& operator=(const BoardWindow&) = delete;

  // "Открыть..." answered with the report; the number of components read.
  int Open(const std::string& report);
  // The create command (kIdCreateSpec, kIdCreateListByGost, ...) with the choices zuro-bom
  // convert makes; false when the window did not say the document was made.
  bool Create(int command);
  size_t ObjectCount() const;

 private:
  standin::SimHost host_;
  automation::LibraryContext context_;
  converter::WindowState state_;
  converter::HeadlessUi ui_;
  std::unique_ptr<converter::ConverterWindow> window_;
};

}  // namespace zuro::bench
