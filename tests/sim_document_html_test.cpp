// The page of a stand-in document: texts escaped and converted to UTF-8, designator line feeds
// kept, reals printed as the forms print them, purchased items and specification objects grouped
// by section, the list of elements ordered by section and first designator, long lists carried
// over several sheets each with the column headings.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "standin/sim_document_html.h"
#include "test_folder.h"

namespace zuro::standin {
namespace {

// UTF-8 text as the page holds it (narrow literals here are code page 1251).
std::string Utf8(const char8_t* text) {
  return reinterpret_cast<const char*>(text);
}

size_t Count(const std::string& text, const std::string& part) {
  size_t count = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
    ++count;
  return count;
}

SimColumnValue Text(int32_t column, std::string text) {
  return {column, 8, std::move(text), 0};
}
SimColumnValue Integer(int32_t column, double number) {
  return {column, 3, {}, number};
}
SimColumnValue Real(int32_t column, double number) {
  return {column, 7, {}, number};
}

// A list-of-elements object as the library writes it: name, quantity, designators, note.
SimObject ListObject(const std::string& designators, const std::string& name, int quantity) {
  return {"zURO_gr.lyt",
          3,
          65,
          {Text(2, name), Integer(3, quantity), Text(1, designators), Text(4, "")},
          std::nullopt};
}

SimObject PurchasedObject(int32_t section,
                          const std::string& name,
                          double per_product,
                          double kits,
                          double adjustment,
                          double total) {
  return {"zURO_gr.lyt",
          11,
          section,
          {Text(2, name), Text(3, ""), Text(4, "ОЖО.467.093 ТУ"), Text(5, ""), Real(7, per_product),
           Real(8, kits), Real(9, adjustment), Real(10, total)},
          std::nullopt};
}

TEST(SimDocumentHtmlTest, EscapesEveryText) {
  SimDocument document;
  document.objects.push_back(ListObject("R1", "<b>\"Tom\" & 'Jerry'</b>", 1));
  const std::string html = DocumentToHtml(document, "A<B>&\"C\"");
  EXPECT_NE(html.find("&lt;b&gt;&quot;Tom&quot; &amp; &#39;Jerry&#39;&lt;/b&gt;"),
            std::string::npos);
  EXPECT_EQ(html.find("<b>"), std::string::npos);
  EXPECT_NE(html.find("<title>A&lt;B&gt;&amp;&quot;C&quot;</title>"), std::string::npos);
  EXPECT_EQ(html.find("A<B>"), std::string::npos);
}

TEST(SimDocumentHtmlTest, DesignatorLineFeedsBecomeLineBreaks) {
  SimDocument document;
  document.objects.push_back(ListObject("R1,\nR2,\r\nR5", "Резистор", 3));
  const std::string html = DocumentToHtml(document, "");
  EXPECT_NE(html.find(">R1,<br>R2,<br>R5</td>"), std::string::npos);
}

TEST(SimDocumentHtmlTest, CyrillicComesOutAsUtf8) {
  SimDocument document;
  document.objects.push_back(ListObject("R1", "Резистор С2-33Н-0,125-10 кОм ±5%", 1));
  const std::string html = DocumentToHtml(document, "Плата");
  EXPECT_NE(html.find("<meta charset=\"utf-8\">"), std::string::npos);
  EXPECT_NE(html.find(Utf8(u8"Резистор С2-33Н-0,125-10 кОм ±5%")), std::string::npos);
  EXPECT_NE(html.find(Utf8(u8"<title>Плата</title>")), std::string::npos);
  EXPECT_NE(html.find(Utf8(u8"Перечень элементов")), std::string::npos);
  // No code page 1251 byte is left: "Р" of "Резистор" is 0xD0 there, followed by "е" 0xE5.
  EXPECT_EQ(html.find("\xD0\xE5"), std::string::npos);
}

TEST(SimDocumentHtmlTest, PurchasedRealsHaveNoNeedlessDecimalsAndADecimalComma) {
  SimDocument document;
  document.objects.push_back(PurchasedObject(65, "Резистор", 2, 0.5, 0.25, 2.75));
  const std::string html = DocumentToHtml(document, "");
  EXPECT_NE(html.find(">2</td>"), std::string::npos);
  EXPECT_NE(html.find(">0,5</td>"), std::string::npos);
  EXPECT_NE(html.find(">0,25</td>"), std::string::npos);
  EXPECT_NE(html.find(">2,75</td>"), std::string::npos);
  EXPECT_EQ(html.find(">2,0"), std::string::npos);
  EXPECT_EQ(html.find(">2.0"), std::string::npos);
  EXPECT_EQ(html.find(">0.5"), std::string::npos);
  EXPECT_NE(html.find(Utf8(u8"Ведомость покупных изделий")), std::string::npos);
}

// Each text once, in this order.
void ExpectInOrder(const std::string& html, const std::vector<std::string>& texts) {
  size_t at = 0;
  for (const std::string& text : texts) {
    EXPECT_EQ(Count(html, text), 1u) << text;
    const size_t found = html.find(text, at);
    ASSERT_NE(found, std::string::npos) << text;
    at = found;
  }
}

TEST(SimDocumentHtmlTest, PurchasedItemsGoSectionBySectionUnderHeadings) {
  SimDocument document;
  document.objects.push_back(PurchasedObject(65, "Резистор А", 1, 0, 0, 1));
  document.objects.push_back(PurchasedObject(10, "Конденсатор Б", 1, 0, 0, 1));
  document.objects.push_back(PurchasedObject(65, "Резистор В", 1, 0, 0, 1));
  document.objects.push_back(PurchasedObject(10, "Конденсатор Г", 1, 0, 0, 1));
  ExpectInOrder(DocumentToHtml(document, ""),
                {Utf8(u8"Раздел 10"), Utf8(u8"Конденсатор Б"), Utf8(u8"Конденсатор Г"),
                 Utf8(u8"Раздел 65"), Utf8(u8"Резистор А"), Utf8(u8"Резистор В")});
}

TEST(SimDocumentHtmlTest, LongListGoesOnASecondSheetWithTheHeadingsAgain) {
  SimDocument document;
  for (int n = 1; n <= 40; ++n)
    document.objects.push_back(ListObject("R" + std::to_string(n), "Резистор", 1));
  const std::string html = DocumentToHtml(document, "");
  EXPECT_EQ(Count(html, "<section class=\"sheet\""), 2u);
  const std::string heading = Utf8(u8"Наименование</th>");
  EXPECT_EQ(Count(html, heading), 2u);
  // Every object once, in order; the second sheet opens with its headings.
  const size_t second_sheet = html.find("<section class=\"sheet\"", html.find("<section") + 1);
  EXPECT_GT(html.find(heading, second_sheet), second_sheet);
  size_t at = 0;
  for (int n = 1; n <= 40; ++n) {
    const std::string cell = ">R" + std::to_string(n) + "</td>";
    EXPECT_EQ(Count(html, cell), 1u) << cell;
    const size_t found = html.find(cell);
    EXPECT_GT(found, at) << cell;
    at = found;
  }
  EXPECT_GT(html.find(">R40</td>"), html.find(heading, second_sheet));
  EXPECT_LT(html.find(">R1</td>"), second_sheet);
}

// Whatever number of lines precede it, an object of three lines is never cut by a sheet's end.
TEST(SimDocumentHtmlTest, ObjectThatFitsOnASheetIsNotCutAtTheSheetsEnd) {
  for (int before = 20; before <= 40; ++before) {
    SimDocument document;
    for (int n = 1; n <= before; ++n)
      document.objects.push_back(ListObject("C" + std::to_string(n), "Конденсатор", 1));
    document.objects.push_back(ListObject("R1,\nR2,\nR5", "Резистор", 3));
    const std::string html = DocumentToHtml(document, "");
    EXPECT_EQ(Count(html, ">R1,<br>R2,<br>R5</td>"), 1u) << before;
  }
}

TEST(SimDocumentHtmlTest, ObjectTallerThanASheetGoesOnOverTheNext) {
  SimDocument document;
  std::string designators;
  for (int n = 1; n <= 80; ++n)
    designators += (n > 1 ? ",\n" : "") + ("R" + std::to_string(n));
  document.objects.push_back(ListObject(designators, "Резистор", 80));
  const std::string html = DocumentToHtml(document, "");
  EXPECT_EQ(Count(html, "<section class=\"sheet\""), 3u);
  // Each designator once, whether it opens a cell (">") or follows a line break ("<br>").
  for (int n = 1; n < 80; ++n) {
    const std::string designator = ">R" + std::to_string(n) + ",";
    EXPECT_EQ(Count(html, designator), 1u) << designator;
  }
  EXPECT_EQ(Count(html, ">R80</td>"), 1u);
}

TEST(SimDocumentHtmlTest, SpecificationShowsItsColumnsAndModelLinks) {
  SimDocument document;
  SimObject object{"graphic.lyt",
                   1,
                   30,
                   {Text(5, "Резистор"), Integer(6, 1), Text(7, "R1"), Integer(3, 0)},
                   std::string("R1 резистор")};
  document.objects.push_back(object);
  const std::string html = DocumentToHtml(document, "");
  EXPECT_NE(html.find(Utf8(u8"Спецификация")), std::string::npos);
  EXPECT_NE(html.find(Utf8(u8">Резистор</td><td class=\"c\">1</td><td class=\"r\">R1</td>")),
            std::string::npos);
  EXPECT_NE(html.find(Utf8(u8"Связь с моделью: R1 резистор")), std::string::npos);
  EXPECT_EQ(html.find(">0</td>"), std::string::npos);  // position 0 is not yet a position
}

// A specification object as the library writes it into a model document.
SimObject SpecObject(int32_t section,
                     const std::string& name,
                     std::optional<std::string> link,
                     const std::string& designators = "R1") {
  return {"graphic.lyt",
          1,
          section,
          {Text(5, name), Integer(6, 1), Text(7, designators), Integer(3, 0)},
          std::move(link)};
}

// The specification runs section by section as the purchased-items list does; each model link
// stays right under its object.
TEST(SimDocumentHtmlTest, SpecificationGoesSectionBySectionEachLinkUnderItsObject) {
  SimDocument document;
  document.objects.push_back(SpecObject(30, "Резистор А", "R1 Резистор"));
  document.objects.push_back(SpecObject(20, "Плата Б", std::nullopt));
  document.objects.push_back(SpecObject(30, "Резистор В", "R2 Резистор"));
  ExpectInOrder(DocumentToHtml(document, ""),
                {Utf8(u8"Раздел 20"), Utf8(u8"Плата Б"), Utf8(u8"Раздел 30"), Utf8(u8"Резистор А"),
                 Utf8(u8"Связь с моделью: R1 Резистор"), Utf8(u8"Резистор В"),
                 Utf8(u8"Связь с моделью: R2 Резистор")});
}

// The list runs by section, then by the class letters and the number of each object's first
// designator; objects of one place keep the order they were made in. A specification keeps that
// order within its sections, whatever its designators.
TEST(SimDocumentHtmlTest, ListRunsBySectionThenFirstDesignator) {
  struct Made {
    int32_t section;
    std::string designators;
    std::string name;
  };
  const std::vector<Made> made = {
      {65, "R2", "r2"},           {65, "R1...R3", "r1-r3"}, {65, "C1", "c1"},
      {15, "DA2", "da2"},         {10, "C10", "c10"},       {10, "C9", "c9"},
      {15, "D5", "d5"},           {10, "C2,\nC3", "c2-c3"}, {65, "R2", "r2-again"},
      {200, "", "no-designator"},
  };
  SimDocument document;
  for (const Made& object : made) {
    document.objects.push_back(ListObject(object.designators, object.name, 1));
    document.objects.back().section = object.section;
  }
  document.objects.push_back(SpecObject(30, "spec-r2", std::nullopt, "R2"));
  document.objects.push_back(SpecObject(30, "spec-c1", std::nullopt, "C1"));
  std::vector<std::string> rows;
  for (const char* name : {"c2-c3", "c9", "c10", "d5", "da2", "c1", "r1-r3", "r2", "r2-again",
                           "no-designator", "spec-r2", "spec-c1"})
    rows.push_back(">" + std::string(name) + "</td>");
  const std::string html = DocumentToHtml(document, "");
  ExpectInOrder(html, rows);
  EXPECT_EQ(html.find(Utf8(u8"Раздел 65")), std::string::npos);  // the list has no headings
}

// However many lines precede it, an object and its link never stand on two sheets, nor a
// section's heading apart from its first object.
TEST(SimDocumentHtmlTest, ObjectAndItsLinkStayOnOneSheet) {
  const std::string sheet = "<section class=\"sheet\"";
  for (int before = 10; before <= 30; ++before) {
    SimDocument document;
    for (int n = 1; n <= before; ++n)
      document.objects.push_back(SpecObject(30, "Резистор " + std::to_string(n), std::nullopt));
    document.objects.push_back(SpecObject(40, "Конденсатор", "C1"));
    const std::string html = DocumentToHtml(document, "");
    const size_t heading = html.find(Utf8(u8"Раздел 40"));
    const size_t link = html.find(Utf8(u8"Связь с моделью: C1<"));
    ASSERT_NE(heading, std::string::npos);
    ASSERT_NE(link, std::string::npos);
    EXPECT_EQ(html.find(sheet, heading), std::string::npos) << before;
    EXPECT_LT(heading, link);
    if (before == 30) {
      EXPECT_EQ(Count(html, sheet), 2u);
    }
  }
}

TEST(SimDocumentHtmlTest, ObjectsOfOtherStylesInAPlainTable) {
  SimDocument document;
  document.objects.push_back({"other.lyt", 3, 5, {Text(4, "x"), Real(2, 1.5)}, std::nullopt});
  const std::string html = DocumentToHtml(document, "");
  EXPECT_EQ(html.find("<section class=\"sheet\""), std::string::npos);
  EXPECT_NE(html.find(Utf8(u8"Колонка 2</th><th>Колонка 4")), std::string::npos);
  EXPECT_NE(html.find("<td>1,5</td><td>x</td>"), std::string::npos);
}

TEST(SimDocumentHtmlTest, EmptyDocumentSaysSo) {
  const std::string html = DocumentToHtml(SimDocument{}, "");
  EXPECT_NE(html.find(Utf8(u8"Документ пуст")), std::string::npos);
  EXPECT_EQ(html.find("<section"), std::string::npos);
}

TEST(SimDocumentHtmlTest, SavesThePage) {
  testing_support::TestFolder folder("html");
  SimDocument document;
  document.objects.push_back(ListObject("R1", "Резистор", 1));
  ASSERT_TRUE(SaveDocumentHtml(document, "Плата", folder + "page.html"));
  EXPECT_EQ(testing_support::ReadBytes(folder + "page.html"), DocumentToHtml(document, "Плата"));
  EXPECT_FALSE(SaveDocumentHtml(document, "", folder + "missing/page.html"));
}

}  // namespace
}  // namespace zuro::standin
