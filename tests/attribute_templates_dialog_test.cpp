#include <gtest/gtest.h>

#include "tests/test_folder.h"

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "base/file_system.h"
#include "pdm/attribute_templates.h"
#include "converter/attribute_templates_dialog.h"
#include "templates/headless_templates_ui.h"

namespace zuro::pdm {
namespace {

using converter::AttributeTemplatesDialog;
using converter::AttributeTemplatesDialogSetup;
using converter::kIdAttributeKindLabel;
using templates::HeadlessTemplatesUi;
using templates::kIdAddAttribute;
using templates::kIdRemoveAllAttributes;
using templates::kIdRemoveAttribute;
using templates::kIdTemplatesCancel;
using templates::kIdTemplatesHelp;
using templates::kIdTemplatesOk;
constexpr int kAvailable = templates::kIdAvailableAttributes;
constexpr int kChosen = templates::kIdChosenAttributes;
constexpr int kAddRemoveButtons[] = {kIdAddAttribute, kIdRemoveAttribute, kIdRemoveAllAttributes};

using Texts = std::vector<std::string>;

const Texts kAttributes = {"Count", "RefDes", "Value", "Наименование", "Name", "Раздел"};
const std::string kAttributeList = "Наименование\r\nОбозначение\r\nРаздел спецификации\r\nКод\r\n";
const std::string kEri = "Наименование=Name;Value\r\nКод=ID PartLib;REFDES\r\n";
const std::string kSe = "Наименование=\r\nРаздел спецификации=Раздел\r\n";

// Each showing gets a fresh screen, as the Win32 dialog gets fresh controls; the tables, the
// attribute names and the files are the library's and outlive the showings.
class AttributeTemplatesDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Write("Attributes.txt", kAttributeList);
    Write("eri.cfg", kEri);
    Write("se.cfg", kSe);
  }
  void TearDown() override { SetFileFaultHook(nullptr); }

  void Open(TemplateMode mode = TemplateMode::kEri) {
    templates_.mode = mode;
    ui_ = std::make_unique<HeadlessTemplatesUi>();
    dialog_ = std::make_unique<AttributeTemplatesDialog>(
        AttributeTemplatesDialogSetup{templates_, names_, folder_, "help.chm"}, *ui_);
    dialog_->OnInitDialog();
  }
  void Pick(int attribute) {
    ui_->SelectField(attribute);
    dialog_->OnFieldChanged();
  }
  // The user clicks attribute n (from 1) in the available list and presses ">".
  void Add(int attribute) {
    ui_->SelectListItem(kAvailable, attribute - 1);
    dialog_->OnAvailableSelectionChanged();
    Click(kIdAddAttribute);
  }
  void SelectChosen(int index) {
    ui_->SelectListItem(kChosen, index);
    dialog_->OnChosenSelectionChanged();
  }
  void Click(int button) { EXPECT_TRUE(dialog_->OnButton(button)); }

  std::vector<bool> ButtonsEnabled() const {
    std::vector<bool> enabled;
    for (const int id : kAddRemoveButtons)
      enabled.push_back(ui_->IsControlEnabled(id));
    return enabled;
  }
  Texts RecordValues(TemplateMode mode, const std::string& name) const {
    const AttributeRecord* record = templates_.Table(mode).Find(name);
    if (!record)
      return {"(no record)"};
    Texts values;
    for (const std::string& value : record->values) {
      if (!value.empty())
        values.push_back(value);
    }
    return values;
  }
  void Write(const std::string& name, const std::string& bytes) { files_.Write(name, bytes); }
  std::string Read(const std::string& name) const {
    return testing_support::ReadBytes(files_ + name);
  }
  bool Exists(const std::string& name) const { return std::filesystem::exists(files_ + name); }

  testing_support::TestFolder files_{"attribute_templates_dialog"};
  const std::string folder_ = files_.path();
  AttributeTemplates templates_;
  Texts names_ = kAttributes;
  std::unique_ptr<HeadlessTemplatesUi> ui_;
  std::unique_ptr<AttributeTemplatesDialog> dialog_;
};

TEST_F(AttributeTemplatesDialogTest, OpensWithThePdmAttributesAndTheFirstOnesList) {
  templates_.eri.records[50].name = "Забытый";  // left from an earlier showing
  Open();
  EXPECT_EQ(ui_->ControlText(kIdAttributeKindLabel), "Атрибуты ЭРИ");
  EXPECT_EQ(ui_->fields(), (Texts{"Наименование", "Обозначение", "Раздел спецификации", "Код"}));
  EXPECT_EQ(ui_->SelectedField(), 0);
  EXPECT_EQ(ui_->Texts(kAvailable), kAttributes);
  EXPECT_EQ(ui_->Texts(kChosen), (Texts{"Name", "Value"}));
  EXPECT_EQ(ButtonsEnabled(), (std::vector<bool>{false, false, false}));
  // Both tables are the files', the SE table too.
  EXPECT_EQ(templates_.eri.Find("Забытый"), nullptr);
  EXPECT_EQ(RecordValues(TemplateMode::kSe, "Раздел спецификации"), Texts{"Раздел"});

  // A value the report lacks is shown all the same; an attribute without a record shows none.
  Pick(3);
  EXPECT_EQ(ui_->Texts(kChosen), (Texts{"ID PartLib", "REFDES"}));
  Pick(1);
  EXPECT_TRUE(ui_->Texts(kChosen).empty());
  EXPECT_EQ(ButtonsEnabled(), (std::vector<bool>{false, false, false}));
}

// The same dialog edits the SE table and writes se.cfg alone.
TEST_F(AttributeTemplatesDialogTest, InSeModeItEditsAndWritesTheSeTemplates) {
  Open(TemplateMode::kSe);
  EXPECT_EQ(ui_->ControlText(kIdAttributeKindLabel), "Атрибуты СЕ");
  EXPECT_TRUE(ui_->Texts(kChosen).empty());  // "Наименование=" lists nothing
  Pick(2);
  EXPECT_EQ(ui_->Texts(kChosen), Texts{"Раздел"});
  Add(4);
  Click(kIdTemplatesOk);
  EXPECT_EQ(ui_->close_result(), kIdTemplatesOk);
  EXPECT_EQ(Read("se.cfg"), "Наименование=\r\nРаздел спецификации=Раздел;Наименование\r\n");
  EXPECT_EQ(Read("eri.cfg"), kEri);
}

TEST_F(AttributeTemplatesDialogTest, ButtonsFollowTheSelectionsAndEveryAttributeChange) {
  Open();
  ui_->SelectListItem(kAvailable, 2);
  dialog_->OnAvailableSelectionChanged();
  EXPECT_EQ(ButtonsEnabled(), (std::vector<bool>{true, false, false}));
  Click(kIdAddAttribute);
  EXPECT_EQ(ButtonsEnabled(), (std::vector<bool>{true, true, true}));
  Pick(3);
  EXPECT_EQ(ui_->ListSelection(kAvailable), -1);
  EXPECT_EQ(ButtonsEnabled(), (std::vector<bool>{false, false, false}));
  SelectChosen(1);
  EXPECT_EQ(ButtonsEnabled(), (std::vector<bool>{false, true, true}));
  // An attribute with an empty list: a click into it enables nothing.
  Pick(1);
  dialog_->OnChosenSelectionChanged();
  EXPECT_EQ(ButtonsEnabled(), (std::vector<bool>{false, false, false}));
}

// Every edit is synced at once: switching attributes and back shows the edit, and OK writes every
// attribute edited, in the order of Attributes.txt.
TEST_F(AttributeTemplatesDialogTest, EditsOfSeveralAttributesAreKeptAndWrittenInListOrder) {
  Open();
  Add(3);  // "Наименование": Name, Value, Value
  EXPECT_EQ(ui_->Texts(kChosen), (Texts{"Name", "Value", "Value"}));
  Click(kIdAddAttribute);  // the available list kept its selection
  SelectChosen(0);
  Click(kIdRemoveAttribute);
  EXPECT_EQ(RecordValues(TemplateMode::kEri, "Наименование"), (Texts{"Value", "Value", "Value"}));
  // The removed item took the selection with it: another "<" removes nothing.
  Click(kIdRemoveAttribute);
  EXPECT_EQ(ui_->Texts(kChosen).size(), 3u);

  Pick(2);  // "Раздел спецификации" has no record yet: the first edit gives it one
  Add(6);
  Pick(3);
  SelectChosen(1);
  Click(kIdRemoveAllAttributes);
  EXPECT_TRUE(ui_->Texts(kChosen).empty());
  EXPECT_EQ(ButtonsEnabled(), (std::vector<bool>{false, false, false}));
  Pick(0);
  EXPECT_EQ(ui_->Texts(kChosen), (Texts{"Value", "Value", "Value"}));

  Pick(1);  // selected at OK: written with its empty list
  Click(kIdTemplatesOk);
  EXPECT_EQ(Read("eri.cfg"),
            "Наименование=Value;Value;Value\r\nОбозначение=\r\nРаздел спецификации=Раздел\r\n"
            "Код=\r\n");
}

// An attribute the file has but Attributes.txt does not is dropped at the next OK.
TEST_F(AttributeTemplatesDialogTest, OkDropsAttributesNoLongerListed) {
  Write("eri.cfg", "Старый=Name\r\n" + kEri);
  Open();
  Click(kIdTemplatesOk);
  EXPECT_EQ(Read("eri.cfg"), kEri);
}

// The list takes more items than a record; 20 are kept in the table, 19 reach the file. A line
// written by hand with 20 values shows all 20.
TEST_F(AttributeTemplatesDialogTest, TwentyValuesAreKeptAndNineteenSaved) {
  std::string twenty;
  for (int value = 1; value <= 20; ++value)
    twenty += (value > 1 ? ";v" : "v") + std::to_string(value);
  Write("eri.cfg", "Наименование=" + twenty + "\r\n");
  Open();
  ASSERT_EQ(ui_->Texts(kChosen).size(), 20u);
  EXPECT_EQ(ui_->Texts(kChosen).back(), "v20");
  Add(1);
  EXPECT_EQ(ui_->Texts(kChosen).size(), 21u);
  EXPECT_EQ(RecordValues(TemplateMode::kEri, "Наименование").back(), "v20");
  Pick(1);
  Pick(0);
  EXPECT_EQ(ui_->Texts(kChosen).size(), 20u);

  Click(kIdTemplatesOk);
  const std::string nineteen = twenty.substr(0, twenty.find(";v20"));
  EXPECT_EQ(Read("eri.cfg"), "Наименование=" + nineteen + "\r\n");
  Open();
  EXPECT_EQ(ui_->Texts(kChosen).size(), 19u);
}

// With all 100 records taken by other attributes, a new attribute's edit has nowhere to go: it
// is not stored, not saved, and no other record is overwritten.
TEST_F(AttributeTemplatesDialogTest, ANewAttributeFindsNoRecordInAFullTable) {
  std::string full;
  for (int record = 1; record <= 99; ++record)
    full += "R" + std::to_string(record) + "=Name\r\n";
  Write("eri.cfg", full + "Наименование=Value\r\n");
  Open();
  Pick(1);
  Add(2);
  EXPECT_EQ(ui_->Texts(kChosen), Texts{"RefDes"});
  EXPECT_EQ(RecordValues(TemplateMode::kEri, "Обозначение"), Texts{"(no record)"});
  Pick(0);
  Add(2);  // the last record's own attribute is edited as ever
  Click(kIdTemplatesOk);
  EXPECT_EQ(Read("eri.cfg"), "Наименование=Value;RefDes\r\n");
}

TEST_F(AttributeTemplatesDialogTest, CancelWritesNothingAndTheNextShowingReadsTheFile) {
  Open();
  Click(kIdRemoveAllAttributes);
  Pick(1);
  Add(1);
  Click(kIdTemplatesCancel);
  EXPECT_EQ(ui_->close_result(), kIdTemplatesCancel);
  EXPECT_EQ(Read("eri.cfg"), kEri);
  EXPECT_EQ(RecordValues(TemplateMode::kEri, "Обозначение"), Texts{"Count"});
  Open();
  EXPECT_EQ(ui_->Texts(kChosen), (Texts{"Name", "Value"}));
  EXPECT_EQ(RecordValues(TemplateMode::kEri, "Обозначение"), Texts{"(no record)"});
}

// Without eri.cfg the lists start empty and OK creates it; without Attributes.txt there is
// nothing to edit and OK leaves the templates as they are, none created.
TEST_F(AttributeTemplatesDialogTest, MissingFiles) {
  RemoveFile(files_ + "eri.cfg");
  Open();
  EXPECT_TRUE(ui_->Texts(kChosen).empty());
  Add(5);
  Click(kIdTemplatesOk);
  EXPECT_EQ(Read("eri.cfg"), "Наименование=Name\r\n");

  RemoveFile(files_ + "Attributes.txt");
  Open();
  EXPECT_TRUE(ui_->fields().empty());
  EXPECT_EQ(ui_->SelectedField(), -1);
  Add(5);
  EXPECT_EQ(ui_->Texts(kChosen), Texts{"Name"});
  Click(kIdTemplatesOk);
  EXPECT_EQ(ui_->close_result(), kIdTemplatesOk);
  EXPECT_EQ(Read("eri.cfg"), "Наименование=Name\r\n");
  RemoveFile(files_ + "se.cfg");
  Open(TemplateMode::kSe);
  Click(kIdTemplatesOk);
  EXPECT_FALSE(Exists("se.cfg"));
}

TEST_F(AttributeTemplatesDialogTest, OkClosesWithOkWhenTheFileCannotBeWritten) {
  Open();
  Add(1);
  SetFileFaultHook([](const char* step) { return std::string(step) == "move"; });
  Click(kIdTemplatesOk);
  EXPECT_EQ(ui_->close_result(), kIdTemplatesOk);
  EXPECT_EQ(Read("eri.cfg"), kEri);
  EXPECT_FALSE(Exists("eri.cfg.new"));
}

TEST_F(AttributeTemplatesDialogTest, HelpShowsTheLibrarysHelpFile) {
  Open();
  Click(kIdTemplatesHelp);
  EXPECT_EQ(ui_->help_requests(), Texts{"help.chm"});
  EXPECT_EQ(ui_->close_result(), std::nullopt);
  EXPECT_FALSE(dialog_->OnButton(kIdAttributeKindLabel));
}

}  // namespace
}  // namespace zuro::pdm
