// Fuzz target: the histories of the replace-text dialog ("bom1.txt" of the texts searched for,
// "bom2.txt" of their replacements), loaded as the dialog opens. The input holds the first file,
// then after a part separator the second; an input without one leaves the second file missing.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "converter/replace_text_dialog.h"
#include "tests/fuzz/fuzz_input.h"

namespace {

using zuro::converter::ReplaceCombo;

// The dialog's screen with its two combo boxes, which keep their lists sorted.
class HistoryUi : public zuro::converter::ReplaceTextUi {
 public:
  void AddColumn(const std::string&, int) override {}
  int SelectedColumn() const override { return -1; }
  void AddEntry(ReplaceCombo combo, const std::string& entry) override {
    List(combo).insert(entry);
  }
  std::vector<std::string> Entries(ReplaceCombo combo) const override {
    const auto& list = combo == ReplaceCombo::kFind ? find_ : replacement_;
    return {list.begin(), list.end()};
  }
  std::string EditText(ReplaceCombo) const override { return {}; }
  std::optional<std::string> SelectedEntry(ReplaceCombo) const override { return std::nullopt; }
  void EnableButton(int, bool) override {}
  void ShowMessage(const zuro::converter::MessageRequest&) override {}
  void RequestStep() override {}
  void Close(int) override {}

 private:
  std::multiset<std::string>& List(ReplaceCombo combo) {
    return combo == ReplaceCombo::kFind ? find_ : replacement_;
  }

  std::multiset<std::string> find_;
  std::multiset<std::string> replacement_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace zuro;
  const std::vector<std::string_view> parts = fuzz::InputParts(fuzz::InputBytes(data, size), 2);
  fuzz::PutLibraryFile(converter::kFindHistoryFile, fuzz::PartAt(parts, 0));
  fuzz::PutLibraryFile(converter::kReplacementHistoryFile, fuzz::PartAt(parts, 1));
  table::ReplaceState state;
  const std::vector<std::string> attribute_names = {"Name", "RefDes"};
  HistoryUi ui;
  converter::ReplaceTextDialog dialog(state, attribute_names, fuzz::LibraryFolder(), ui);
  dialog.OnInitDialog();
  return 0;
}
