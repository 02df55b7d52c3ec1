// The PDM window's attribute templates dialog as its Win32 view shows it from zuro.dll's dialog
// 1007. The test's thread runs the dialog as the PDM window would after "Шаблоны ЭРИ..." or
// "Шаблоны СЕ..."; a second thread plays the user through window messages only and looks at what
// the controls show. eri.cfg and se.cfg in a temporary library folder tell what OK and "Отмена"
// wrote.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pdm/attribute_templates.h"
#include "converter/attribute_templates_dialog_win32.h"
#include "tests/win/template_lists_screen.h"
#include "tests/win/window_play.h"

namespace {

using namespace zuro::converter;
using namespace zuro::pdm;
using namespace zuro::win_tests;
using WideTexts = std::vector<std::wstring>;

const std::vector<std::string> kAttributes = {"Count", "RefDes", "Value", "Наименование", "Name"};
const std::string kAttributeList = "Наименование\r\nОбозначение\r\nКод PartLib\r\n";
const std::string kEri = "Наименование=Name;Value\r\nКод PartLib=ID PartLib\r\n";
const std::string kSe = "Наименование=\r\nОбозначение=Name\r\n";

struct Session : PlayedSession {
  OpeningLook opening;
  std::wstring label;
  WideTexts chosen_of_other_attribute;
  WideTexts chosen_after_adding;
  std::vector<bool> buttons_after_picking;
};

// Looks at the opened ERI dialog; gives "Обозначение", which has no record, "Value" twice; takes
// "Name" out of "Наименование"; OK.
void EditEriThenOk(Session& session, const TemplateListsScreen& screen) {
  session.label = screen.Text(kIdAttributeKindLabel);
  screen.ChooseField(2);
  session.chosen_of_other_attribute = screen.Items(kIdChosenAttributes);
  screen.ChooseField(1);
  screen.SelectItem(kIdAvailableAttributes, 2);
  if (!session.Step("first > clicked", screen.Click(kIdAddAttribute)) ||
      !session.Step("second > clicked", screen.Click(kIdAddAttribute)))
    return;
  session.chosen_after_adding = screen.Items(kIdChosenAttributes);

  screen.ChooseField(0);
  session.buttons_after_picking = screen.AddRemoveEnabled();
  screen.SelectItem(kIdChosenAttributes, 0);
  if (!session.Step("< clicked", screen.Click(kIdRemoveAttribute)))
    return;
  screen.SelectItem(kIdAvailableAttributes, 3);
  HoldForScreenshot();
  session.Step("OK clicked", screen.Click(kIdTemplatesOk));
}

// Looks at the SE dialog, empties "Обозначение" and cancels.
void EditSeThenCancel(Session& session, const TemplateListsScreen& screen) {
  session.label = screen.Text(kIdAttributeKindLabel);
  screen.ChooseField(1);
  session.chosen_of_other_attribute = screen.Items(kIdChosenAttributes);
  screen.SelectItem(kIdChosenAttributes, 0);
  session.Step("<< clicked", screen.Click(kIdRemoveAllAttributes));
  session.Step("Отмена clicked", screen.Click(kIdTemplatesCancel));
}

class AttributeTemplatesDialogWindow : public TemplateListsDialogWindow {
 protected:
  void SetUp() override {
    TemplateListsDialogWindow::SetUp();
    Write(L"Attributes.txt", kAttributeList);
    Write(L"eri.cfg", kEri);
    Write(L"se.cfg", kSe);
  }

  // Shows the dialog as the PDM window does, in the mode it has set.
  INT_PTR Run(TemplateMode mode, LPTHREAD_START_ROUTINE user, Session& session) {
    templates_.mode = mode;
    const AttributeTemplatesDialogSetup setup{templates_, kAttributes, LibraryFolder(), HelpPath()};
    return TemplateListsDialogWindow::Run(
        [&] { return RunAttributeTemplatesDialog(module_, nullptr, setup); }, user, session);
  }

  AttributeTemplates templates_;
};

TEST_F(AttributeTemplatesDialogWindow, EditsTheEriTemplatesAndOkWritesEriCfgAlone) {
  Session session;
  EXPECT_EQ(Run(TemplateMode::kEri, PlayTemplateListsDialog<Session, EditEriThenOk>, session),
            IDOK);
  ASSERT_TRUE(user_done_);
  EXPECT_EQ(session.failed_step, "");

  const OpeningLook& opening = session.opening;
  ExpectTemplateListsOpening(opening, CBS_DROPDOWNLIST);
  EXPECT_EQ(session.label, L"Атрибуты ЭРИ");
  EXPECT_EQ(opening.fields, (WideTexts{L"Наименование", L"Обозначение", L"Код PartLib"}));
  EXPECT_EQ(opening.available,
            (WideTexts{L"Count", L"RefDes", L"Value", L"Наименование", L"Name"}));
  EXPECT_EQ(opening.chosen, (WideTexts{L"Name", L"Value"}));
  EXPECT_EQ(session.chosen_of_other_attribute, WideTexts{L"ID PartLib"});
  EXPECT_EQ(session.chosen_after_adding, (WideTexts{L"Value", L"Value"}));
  EXPECT_EQ(session.buttons_after_picking, (std::vector<bool>{false, false, false}));

  EXPECT_EQ(Read(L"eri.cfg"),
            "Наименование=Value\r\nОбозначение=Value;Value\r\nКод PartLib=ID PartLib\r\n");
  EXPECT_EQ(Read(L"se.cfg"), kSe);
}

TEST_F(AttributeTemplatesDialogWindow, CancelInSeModeWritesNothing) {
  Session session;
  EXPECT_EQ(Run(TemplateMode::kSe, PlayTemplateListsDialog<Session, EditSeThenCancel>, session),
            IDCANCEL);
  ASSERT_TRUE(user_done_);
  EXPECT_EQ(session.failed_step, "");
  ExpectTemplateListsOpening(session.opening, CBS_DROPDOWNLIST);
  EXPECT_EQ(session.label, L"Атрибуты СЕ");
  EXPECT_TRUE(session.opening.chosen.empty());
  EXPECT_EQ(session.chosen_of_other_attribute, WideTexts{L"Name"});
  EXPECT_EQ(Read(L"se.cfg"), kSe);
  EXPECT_EQ(Read(L"eri.cfg"), kEri);
}

}  // namespace
