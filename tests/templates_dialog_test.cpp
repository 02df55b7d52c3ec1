#include <gtest/gtest.h>

#include "tests/test_folder.h"

#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "base/file_system.h"
#include "templates/field_templates.h"
#include "templates/headless_templates_ui.h"
#include "templates/templates_dialog.h"

namespace zuro::templates {
namespace {

constexpr int kAvailable = kIdAvailableAttributes;
constexpr int kChosen = kIdChosenAttributes;
constexpr int kAddRemoveButtons[] = {kIdAddAttribute, kIdRemoveAttribute, kIdRemoveAllAttributes};

// Five attributes, named out of alphabetical order so that a sorted list would show.
const std::vector<std::string> kAttributes = {"RefDes", "Наименование", "Value", "Count", "Note"};

const std::string kEmptyFile = "1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n8\r\n9\r\n10\r\n";

using Item = HeadlessTemplatesUi::Item;

TemplateRow MakeRow(std::initializer_list<int32_t> references) {
  TemplateRow row{};
  std::copy(references.begin(), references.end(), row.begin());
  return row;
}

// Each showing gets a fresh screen, as the Win32 dialog gets fresh controls; the table, the
// attribute names and the files are the library's and outlive the showings.
class TemplatesDialogTest : public ::testing::Test {
 protected:
  void TearDown() override { SetFileFaultHook(nullptr); }

  void Open(int command = 1) {
    ui_ = std::make_unique<HeadlessTemplatesUi>();
    dialog_ = std::make_unique<TemplatesDialog>(
        TemplatesDialogSetup{templates_, names_, LibraryCommand{command}, folder_, "help.chm"},
        *ui_);
    dialog_->OnInitDialog();
  }
  void ChooseField(int position) {
    ui_->SelectField(position);
    dialog_->OnFieldChanged();
  }
  // The user clicks attribute n (from 1) in the available list.
  void SelectAvailable(int attribute) {
    ui_->SelectListItem(kAvailable, attribute - 1);
    dialog_->OnAvailableSelectionChanged();
  }
  void SelectChosen(int index) {
    ui_->SelectListItem(kChosen, index);
    dialog_->OnChosenSelectionChanged();
  }
  void Click(int button) { EXPECT_TRUE(dialog_->OnButton(button)); }
  void Add(int attribute) {
    SelectAvailable(attribute);
    Click(kIdAddAttribute);
  }

  std::vector<int> ChosenData() const {
    std::vector<int> data;
    for (const Item& item : ui_->Items(kChosen))
      data.push_back(item.data);
    return data;
  }
  std::vector<bool> ButtonsEnabled() const {
    std::vector<bool> enabled;
    for (const int id : kAddRemoveButtons)
      enabled.push_back(ui_->IsControlEnabled(id));
    return enabled;
  }
  std::string Write(const std::string& name, const std::string& bytes) {
    return files_.Write(name, bytes);
  }
  std::string Read(const std::string& name) const {
    return testing_support::ReadBytes(files_ + name);
  }

  testing_support::TestFolder files_{"templates_dialog"};
  const std::string folder_ = files_.path();
  FieldTemplates templates_;
  std::vector<std::string> names_ = kAttributes;
  std::unique_ptr<HeadlessTemplatesUi> ui_;
  std::unique_ptr<TemplatesDialog> dialog_;
};

TEST_F(TemplatesDialogTest, OpensWithTheReportsAttributesAndTheFirstFieldsTemplate) {
  Write("bom.cfg", "1 4 2\r\n5 3\r\n");
  templates_.Row(DocumentField::kSupplier) = MakeRow({1});  // left from an earlier showing
  Open();
  EXPECT_EQ(ui_->Items(kAvailable),
            (std::vector<Item>{
                {"RefDes", 1}, {"Наименование", 2}, {"Value", 3}, {"Count", 4}, {"Note", 5}}));
  ASSERT_EQ(ui_->fields().size(), 10u);
  EXPECT_EQ(ui_->fields()[0], "Количество");
  EXPECT_EQ(ui_->fields()[4], "Позиционное обозначение/примечание для спецификации");
  EXPECT_EQ(ui_->fields()[9], "Обозначение стандарта для спецификации");
  EXPECT_EQ(ui_->SelectedField(), 0);
  EXPECT_EQ(ui_->Items(kChosen), (std::vector<Item>{{"Count", 4}, {"Наименование", 2}}));
  EXPECT_EQ(ButtonsEnabled(), (std::vector<bool>{false, false, false}));
  // The table is the file's.
  EXPECT_TRUE(templates_.loaded);
  EXPECT_EQ(templates_.Row(DocumentField::kSupplier), TemplateRow{});
  EXPECT_EQ(templates_.Row(DocumentField::kDesignators), MakeRow({3}));
}

// A template may name attributes that the loaded report lacks (it was made for another layout).
// The last attribute is shown, the one after it is not, nor are empty slots.
TEST_F(TemplatesDialogTest, ShowsOnlyReferencesToAttributesOfTheLoadedReport) {
  Write("bom.cfg", "1 5 6 0 -1 3 100\r\n3 6 1\r\n");
  Open();
  EXPECT_EQ(ui_->Items(kChosen), (std::vector<Item>{{"Note", 5}, {"Value", 3}}));
  ChooseField(2);
  EXPECT_EQ(ui_->Items(kChosen), (std::vector<Item>{{"RefDes", 1}}));

  // An edit writes what the list shows: the hidden references of that field go. A field that
  // was only looked at keeps them.
  ChooseField(0);
  Add(1);
  Click(kIdTemplatesOk);
  EXPECT_EQ(Read("bom.cfg"), "1 5 3 1\r\n2\r\n3 6 1\r\n4\r\n5\r\n6\r\n7\r\n8\r\n9\r\n10\r\n");
}

TEST_F(TemplatesDialogTest, BeforeAnyReportTheListsAreEmpty) {
  Write("bom.cfg", "1 1 2\r\n");
  names_.clear();
  Open();
  EXPECT_TRUE(ui_->Items(kAvailable).empty());
  EXPECT_TRUE(ui_->Items(kChosen).empty());
  EXPECT_EQ(templates_.Row(DocumentField::kCount), MakeRow({1, 2}));
  // A click into the empty list enables nothing, and ">" has nothing to add.
  dialog_->OnAvailableSelectionChanged();
  dialog_->OnChosenSelectionChanged();
  EXPECT_EQ(ButtonsEnabled(), (std::vector<bool>{false, false, false}));
  Click(kIdAddAttribute);
  EXPECT_TRUE(ui_->Items(kChosen).empty());
  EXPECT_EQ(templates_.Row(DocumentField::kCount), MakeRow({1, 2}));
}

TEST_F(TemplatesDialogTest, ButtonsFollowTheSelectionsAndEveryFieldChange) {
  Write("bom.cfg", "5 2 3\r\n");
  Open();
  SelectAvailable(3);
  EXPECT_EQ(ButtonsEnabled(), (std::vector<bool>{true, false, false}));
  Click(kIdAddAttribute);
  EXPECT_EQ(ButtonsEnabled(), (std::vector<bool>{true, true, true}));

  ChooseField(4);
  EXPECT_EQ(ui_->Items(kChosen), (std::vector<Item>{{"Наименование", 2}, {"Value", 3}}));
  EXPECT_EQ(ui_->ListSelection(kAvailable), -1);
  EXPECT_EQ(ButtonsEnabled(), (std::vector<bool>{false, false, false}));
  SelectChosen(1);
  EXPECT_EQ(ButtonsEnabled(), (std::vector<bool>{false, true, true}));

  // A field with an empty template: a click into its empty list enables nothing.
  ChooseField(7);
  EXPECT_TRUE(ui_->Items(kChosen).empty());
  dialog_->OnChosenSelectionChanged();
  EXPECT_EQ(ButtonsEnabled(), (std::vector<bool>{false, false, false}));
}

TEST_F(TemplatesDialogTest, AddingTwiceRepeatsTheAttributeInTheComposedText) {
  Open();
  ChooseField(1);
  SelectAvailable(3);
  Click(kIdAddAttribute);
  Click(kIdAddAttribute);  // the available list kept its selection
  Add(1);
  EXPECT_EQ(ui_->Items(kChosen), (std::vector<Item>{{"Value", 3}, {"Value", 3}, {"RefDes", 1}}));
  EXPECT_EQ(templates_.Row(DocumentField::kSpecName), MakeRow({3, 3, 1}));
  const FieldTexts texts =
      Compose(templates_, 5, [](int column) { return "c" + std::to_string(column); });
  EXPECT_EQ(texts[1], "c3 c3 c1 ");
  EXPECT_EQ(texts[0], "");
}

// The list takes an eleventh item, the table does not: the tenth is kept, the eleventh is not.
TEST_F(TemplatesDialogTest, OnlyTheFirstTenAttributesAreKept) {
  Open();
  for (const int attribute : {1, 2, 3, 4, 5, 1, 2, 3, 4, 5, 3})
    Add(attribute);
  EXPECT_EQ(ui_->Items(kChosen).size(), 11u);
  const TemplateRow ten = MakeRow({1, 2, 3, 4, 5, 1, 2, 3, 4, 5});
  EXPECT_EQ(templates_.Row(DocumentField::kCount), ten);
  Add(2);  // a twelfth changes nothing either
  EXPECT_EQ(templates_.Row(DocumentField::kCount), ten);

  ChooseField(1);
  ChooseField(0);
  EXPECT_EQ(ChosenData(), std::vector<int>(ten.begin(), ten.end()));

  Add(3);
  Click(kIdTemplatesOk);
  EXPECT_EQ(Read("bom.cfg").substr(0, 23), "1 1 2 3 4 5 1 2 3 4 5\r\n");
  Open();
  EXPECT_EQ(ChosenData(), std::vector<int>(ten.begin(), ten.end()));
  EXPECT_EQ(ui_->Texts(kChosen).back(), "Note");
}

// "<" with no selection does not even sync: the hidden reference 50 would go if it did.
TEST_F(TemplatesDialogTest, RemoveWithNothingSelectedChangesNothing) {
  Write("bom.cfg", "1 4 50 2\r\n");
  Open();
  SelectChosen(0);
  ui_->SelectListItem(kChosen, -1);
  Click(kIdRemoveAttribute);
  EXPECT_EQ(ChosenData(), (std::vector<int>{4, 2}));
  EXPECT_EQ(templates_.Row(DocumentField::kCount), MakeRow({4, 50, 2}));
  EXPECT_EQ(ButtonsEnabled(), (std::vector<bool>{false, true, true}));
}

TEST_F(TemplatesDialogTest, RemovingTheLastItemDisablesRemoving) {
  Write("bom.cfg", "1 4 2 5\r\n");
  Open();
  SelectChosen(1);
  Click(kIdRemoveAttribute);
  EXPECT_EQ(ChosenData(), (std::vector<int>{4, 5}));
  EXPECT_EQ(templates_.Row(DocumentField::kCount), MakeRow({4, 5}));
  EXPECT_EQ(ButtonsEnabled(), (std::vector<bool>{false, true, true}));
  // The removed item took the selection with it: another "<" removes nothing.
  Click(kIdRemoveAttribute);
  EXPECT_EQ(ChosenData(), (std::vector<int>{4, 5}));

  SelectChosen(1);
  Click(kIdRemoveAttribute);
  SelectChosen(0);
  Click(kIdRemoveAttribute);
  EXPECT_TRUE(ui_->Items(kChosen).empty());
  EXPECT_EQ(templates_.Row(DocumentField::kCount), TemplateRow{});
  EXPECT_EQ(ButtonsEnabled(), (std::vector<bool>{false, false, false}));
}

TEST_F(TemplatesDialogTest, RemoveAllEmptiesTheFieldOnly) {
  Write("bom.cfg", "1 4 2 5\r\n2 1\r\n");
  Open();
  SelectChosen(2);
  Click(kIdRemoveAllAttributes);
  EXPECT_TRUE(ui_->Items(kChosen).empty());
  EXPECT_EQ(ButtonsEnabled(), (std::vector<bool>{false, false, false}));
  EXPECT_EQ(templates_.Row(DocumentField::kCount), TemplateRow{});
  EXPECT_EQ(templates_.Row(DocumentField::kSpecName), MakeRow({1}));
}

// Every converter's command writes its family's file, and only that one.
TEST_F(TemplatesDialogTest, OkWritesEveryEditedFieldToTheFileOfTheCommand) {
  const std::pair<int, const char*> kFiles[] = {{1, "bom.cfg"},  {2, "bom1.cfg"}, {3, "bom3.cfg"},
                                                {4, "bom3.cfg"}, {5, "bom4.cfg"}, {6, "bom3.cfg"}};
  for (const auto& [command, file] : kFiles) {
    SCOPED_TRACE(file);
    std::filesystem::remove_all(folder_);
    std::filesystem::create_directories(folder_);
    Open(command);
    ChooseField(1);
    Add(3);
    Add(1);
    ChooseField(4);
    Add(2);
    SelectChosen(0);  // the current field is written as it stands at OK
    Click(kIdTemplatesOk);
    EXPECT_EQ(ui_->close_result(), kIdTemplatesOk);
    EXPECT_EQ(Read(file), "1\r\n2 3 1\r\n3\r\n4\r\n5 2\r\n6\r\n7\r\n8\r\n9\r\n10\r\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder_), {}), 1);
  }
}

TEST_F(TemplatesDialogTest, CancelLeavesTheFileByteForByte) {
  // Written by hand: LF line ends, a comment, a line out of order, a missing field.
  const std::string file = "; fields\n5 3\n1 4 2\n2  1\n";
  Write("bom1.cfg", file);
  Open(2);
  ChooseField(1);
  Add(5);
  ChooseField(4);
  Click(kIdRemoveAllAttributes);
  Click(kIdTemplatesCancel);
  EXPECT_EQ(ui_->close_result(), kIdTemplatesCancel);
  EXPECT_EQ(Read("bom1.cfg"), file);
  // The edits stay in the table until the next showing reads the file again.
  EXPECT_EQ(templates_.Row(DocumentField::kSpecName), MakeRow({1, 5}));
  Open(2);
  EXPECT_EQ(templates_.Row(DocumentField::kSpecName), MakeRow({1}));
  EXPECT_EQ(templates_.Row(DocumentField::kDesignators), MakeRow({3}));

  // Cancel with no file creates none.
  Open(5);
  Add(1);
  Click(kIdTemplatesCancel);
  EXPECT_FALSE(std::filesystem::exists(files_ + "bom4.cfg"));
}

TEST_F(TemplatesDialogTest, OkClosesWithOkWhenTheFileCannotBeWritten) {
  Write("bom.cfg", "1 4\r\n");
  Open();
  Add(2);
  SetFileFaultHook([](const char* step) { return std::string(step) == "move"; });
  Click(kIdTemplatesOk);
  EXPECT_EQ(ui_->close_result(), kIdTemplatesOk);
  EXPECT_EQ(Read("bom.cfg"), "1 4\r\n");
  SetFileFaultHook(nullptr);

  // Without a file OK creates one.
  Open(3);
  Click(kIdTemplatesOk);
  EXPECT_EQ(Read("bom3.cfg"), kEmptyFile);
}

// Text typed into the field combo box selects no field: edits then reach no row, yet OK saves.
TEST_F(TemplatesDialogTest, TypedFieldTextSelectsNoFieldButOkStillSaves) {
  Write("bom.cfg", "2 3\n1 4\n");
  Open();
  ui_->TypeFieldText("Количество");
  Add(2);
  EXPECT_EQ(ui_->Items(kChosen), (std::vector<Item>{{"Count", 4}, {"Наименование", 2}}));
  SelectChosen(0);
  Click(kIdRemoveAttribute);
  Click(kIdRemoveAllAttributes);
  EXPECT_EQ(templates_.Row(DocumentField::kCount), MakeRow({4}));
  EXPECT_EQ(templates_.Row(DocumentField::kSpecName), MakeRow({3}));
  Click(kIdTemplatesOk);
  EXPECT_EQ(ui_->close_result(), kIdTemplatesOk);
  EXPECT_EQ(Read("bom.cfg"), "1 4\r\n2 3\r\n3\r\n4\r\n5\r\n6\r\n7\r\n8\r\n9\r\n10\r\n");
}

TEST_F(TemplatesDialogTest, HelpShowsTheLibrarysHelpFile) {
  Open();
  Click(kIdTemplatesHelp);
  EXPECT_EQ(ui_->help_requests(), std::vector<std::string>{"help.chm"});
  EXPECT_EQ(ui_->close_result(), std::nullopt);
  EXPECT_FALSE(dialog_->OnButton(kIdTemplateField));
  EXPECT_FALSE(dialog_->OnButton(kIdChosenAttributes));
}

}  // namespace
}  // namespace zuro::templates
