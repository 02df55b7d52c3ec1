// The templates dialog "Шаблоны обозначений" as its Win32 view shows it from zuro.dll's
// resources. The test's thread runs the dialog as a converter window would; a second thread plays
// the user through window messages only (a field chosen in the combo box, an attribute clicked,
// ">" pressed, typing into the combo's edit part) and looks at what the controls show. The
// templates file in a temporary library folder tells what OK and "Отмена" wrote.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "templates/field_templates.h"
#include "templates/templates_dialog_win32.h"
#include "tests/win/template_lists_screen.h"
#include "tests/win/window_play.h"

namespace {

using namespace zuro::templates;
using namespace zuro::win_tests;

const std::vector<std::string> kAttributes = {"RefDes", "Наименование", "Value", "Count", "Note"};
const std::vector<std::wstring> kWideAttributes = {L"RefDes", L"Наименование", L"Value", L"Count",
                                                   L"Note"};

// What the user saw, filled in by the user's thread and checked by the test afterwards.
struct Session : PlayedSession {
  OpeningLook opening;
  std::vector<std::wstring> chosen_after_adding;
  std::vector<int> chosen_data_after_adding;
  bool add_kept_selection = false;
  std::vector<bool> buttons_after_field_change;
  bool remove_disabled_when_empty = false;
  int field_after_typing = -2;
};

// Looks at the opened dialog, then builds field 2 from "Value" twice and field 5 from
// "Наименование", and types a text that selects no field before an edit that must reach no field.
void EditTwoFieldsThenOk(Session& session, const TemplateListsScreen& screen) {
  screen.ChooseField(1);
  screen.SelectItem(kIdAvailableAttributes, 2);
  if (!session.Step("first > clicked", screen.Click(kIdAddAttribute)) ||
      !session.Step("second > clicked", screen.Click(kIdAddAttribute)))
    return;
  session.chosen_after_adding = screen.Items(kIdChosenAttributes);
  session.chosen_data_after_adding = screen.Data(kIdChosenAttributes);
  session.add_kept_selection = screen.Selection(kIdAvailableAttributes) == 2;

  screen.ChooseField(4);
  session.buttons_after_field_change = screen.AddRemoveEnabled();
  screen.SelectItem(kIdAvailableAttributes, 0);
  if (!session.Step("> clicked on field 5", screen.Click(kIdAddAttribute)))
    return;
  screen.SelectItem(kIdChosenAttributes, 0);
  if (!session.Step("< clicked", screen.Click(kIdRemoveAttribute)))
    return;
  session.remove_disabled_when_empty =
      !screen.Enabled(kIdRemoveAttribute) && !screen.Enabled(kIdRemoveAllAttributes);
  screen.SelectItem(kIdAvailableAttributes, 1);
  if (!session.Step("> clicked again on field 5", screen.Click(kIdAddAttribute)))
    return;
  HoldForScreenshot();

  screen.TypeField(L"Длина");
  session.field_after_typing = screen.SelectedField();
  screen.SelectItem(kIdAvailableAttributes, 3);
  if (!session.Step("> clicked after typing", screen.Click(kIdAddAttribute)))
    return;
  session.Step("OK clicked", screen.Click(kIdTemplatesOk));
}

void EditThenCancel(Session& session, const TemplateListsScreen& screen) {
  screen.SelectItem(kIdChosenAttributes, 0);
  session.Step("<< clicked", screen.Click(kIdRemoveAllAttributes));
  screen.ChooseField(3);
  screen.SelectItem(kIdAvailableAttributes, 4);
  session.Step("> clicked", screen.Click(kIdAddAttribute));
  session.Step("Отмена clicked", screen.Click(kIdTemplatesCancel));
}

class TemplatesDialogWindow : public TemplateListsDialogWindow {
 protected:
  // Shows the dialog as the converter window of `command` does.
  INT_PTR Run(int command, LPTHREAD_START_ROUTINE user, Session& session) {
    const TemplatesDialogSetup setup{templates_, kAttributes, zuro::LibraryCommand{command},
                                     LibraryFolder(), HelpPath()};
    return TemplateListsDialogWindow::Run(
        [&] { return RunTemplatesDialog(module_, nullptr, setup); }, user, session);
  }

  FieldTemplates templates_;
};

TEST_F(TemplatesDialogWindow, EditsTwoFieldsAndOkWritesThemToTheCommandsFile) {
  // Field 1 names attribute 2 and attribute 9, which this report lacks.
  Write(L"bom1.cfg", "1 2 9\r\n");
  Session session;
  EXPECT_EQ(Run(2, PlayTemplateListsDialog<Session, EditTwoFieldsThenOk>, session), IDOK);
  ASSERT_TRUE(user_done_);
  EXPECT_EQ(session.failed_step, "");

  const OpeningLook& opening = session.opening;
  ExpectTemplateListsOpening(opening, CBS_DROPDOWN);
  ASSERT_EQ(opening.fields.size(), 10u);
  EXPECT_EQ(opening.fields[0], L"Количество");
  EXPECT_EQ(opening.fields[9], L"Обозначение стандарта для спецификации");
  EXPECT_EQ(opening.available, kWideAttributes);
  EXPECT_EQ(opening.available_data, (std::vector<int>{1, 2, 3, 4, 5}));
  EXPECT_EQ(opening.chosen, std::vector<std::wstring>{L"Наименование"});

  EXPECT_EQ(session.chosen_after_adding, (std::vector<std::wstring>{L"Value", L"Value"}));
  EXPECT_EQ(session.chosen_data_after_adding, (std::vector<int>{3, 3}));
  EXPECT_TRUE(session.add_kept_selection);
  EXPECT_EQ(session.buttons_after_field_change, (std::vector<bool>{false, false, false}));
  EXPECT_TRUE(session.remove_disabled_when_empty);
  EXPECT_EQ(session.field_after_typing, -1);

  // Field 1 was only looked at and keeps its reference to attribute 9; the attribute added after
  // typing reached no field.
  EXPECT_EQ(Read(L"bom1.cfg"), "1 2 9\r\n2 3 3\r\n3\r\n4\r\n5 2\r\n6\r\n7\r\n8\r\n9\r\n10\r\n");
  EXPECT_FALSE(std::filesystem::exists(folder_ / L"bom.cfg"));
}

TEST_F(TemplatesDialogWindow, CancelWritesNothing) {
  const std::string file = "5 4 1\n1 3\n";
  Write(L"bom3.cfg", file);
  Session session;
  EXPECT_EQ(Run(4, PlayTemplateListsDialog<Session, EditThenCancel>, session), IDCANCEL);
  ASSERT_TRUE(user_done_);
  EXPECT_EQ(session.failed_step, "");
  EXPECT_EQ(session.opening.chosen, std::vector<std::wstring>{L"Value"});
  EXPECT_EQ(Read(L"bom3.cfg"), file);
}

}  // namespace
