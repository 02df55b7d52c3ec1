#include "readers/html_table.h"

#include <cstddef>
#include <cstdint>
#include <string>

#include "base/text_encoding.h"

namespace zuro::readers {

namespace {

constexpr char kBlank = ' ';
constexpr std::string_view kCommentOpen = "<!--";
constexpr std::string_view kCommentClose = "-->";
// The longest character reference that is decoded ("&#x10FFFF;"); a longer "&..." is text.
constexpr size_t kLongestReference = 10;

bool IsHtmlSpace(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f';
}

bool IsAsciiLetter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// The character of a numeric reference, in code page 1251 ("?" when the code page lacks it).
std::string CharacterOf(uint32_t code_point) {
  std::string utf8;
  if (code_point == 0 || code_point > 0x10FFFF)
    return "?";
  if (code_point < 0x80) {
    utf8 += static_cast<char>(code_point);
  } else if (code_point < 0x800) {
    utf8 += static_cast<char>(0xC0 | (code_point >> 6));
    utf8 += static_cast<char>(0x80 | (code_point & 0x3F));
  } else if (code_point < 0x10000) {
    utf8 += static_cast<char>(0xE0 | (code_point >> 12));
    utf8 += static_cast<char>(0x80 | ((code_point >> 6) & 0x3F));
    utf8 += static_cast<char>(0x80 | (code_point & 0x3F));
  } else {
    utf8 += static_cast<char>(0xF0 | (code_point >> 18));
    utf8 += static_cast<char>(0x80 | ((code_point >> 12) & 0x3F));
    utf8 += static_cast<char>(0x80 | ((code_point >> 6) & 0x3F));
    utf8 += static_cast<char>(0x80 | (code_point & 0x3F));
  }
  return Utf8ToCp1251(utf8);
}

// The text of a reference between "&" and ";" ("amp", "#160", "#xA0"); false for a name this
// reader does not know, which then stays as written.
bool DecodeReference(std::string_view name, std::string& text) {
  if (name == "nbsp") {
    text = " ";  // a blank like any other: a cell of "&nbsp;" alone is empty
  } else if (name == "amp") {
    text = "&";
  } else if (name == "lt") {
    text = "<";
  } else if (name == "gt") {
    text = ">";
  } else if (name == "quot") {
    text = "\"";
  } else if (name == "apos") {
    text = "'";
  } else if (name.size() >= 2 && name[0] == '#') {
    const bool hex = name[1] == 'x' || name[1] == 'X';
    const std::string_view digits = name.substr(hex ? 2 : 1);
    if (digits.empty())
      return false;
    uint32_t code_point = 0;
    for (const char c : digits) {
      int digit;
      if (c >= '0' && c <= '9')
        digit = c - '0';
      else if (hex && AsciiLower(c) >= 'a' && AsciiLower(c) <= 'f')
        digit = AsciiLower(c) - 'a' + 10;
      else
        return false;
      code_point = code_point * (hex ? 16 : 10) + static_cast<uint32_t>(digit);
      if (code_point > 0x10FFFF)
        return false;
    }
    text = code_point == 0xA0 ? " " : CharacterOf(code_point);
  } else {
    return false;
  }
  return true;
}

// The text of a cell as a browser shows it, built a piece at a time: character references
// decoded, white space runs one blank, none at either end.
class HtmlText {
 public:
  void TakeText(std::string_view text);
  // White space runs count as one blank, and none stands at the start.
  void TakeSpace() {
    if (!text_.empty() && text_.back() != kBlank)
      text_ += kBlank;
  }
  bool IsEmpty() const { return text_.empty(); }
  // The text without a blank at its end; the builder starts empty again.
  std::string Finish();

 private:
  std::string text_;
};

void HtmlText::TakeText(std::string_view text) {
  for (size_t at = 0; at < text.size(); ++at) {
    const char c = text[at];
    if (IsHtmlSpace(c)) {
      TakeSpace();
      continue;
    }
    if (c == '&') {
      // Looked for only as far as the longest reference reaches, so that a text of many "&" is
      // still read in one pass.
      const size_t semicolon = text.substr(at, kLongestReference + 1).find(';');
      std::string decoded;
      if (semicolon != std::string_view::npos &&
          DecodeReference(text.substr(at + 1, semicolon - 1), decoded)) {
        if (decoded == " ")
          TakeSpace();
        else
          text_ += decoded;
        at += semicolon;
        continue;
      }
    }
    text_ += c;
  }
}

std::string HtmlText::Finish() {
  if (!text_.empty() && text_.back() == kBlank)
    text_.pop_back();
  std::string text = std::move(text_);
  text_.clear();
  return text;
}

// Calls `text(piece)` for every piece of text of the page and `tag(open, close)` for every tag,
// "<" at `open` and ">" at `close`; comments are left out, and a "<" that no ">" closes is text.
template <typename Text, typename Tag>
void ForEachHtmlPiece(std::string_view page, Text text, Tag tag) {
  size_t at = 0;
  while (at < page.size()) {
    const size_t open = page.find('<', at);
    text(page.substr(at, (open == std::string_view::npos ? page.size() : open) - at));
    if (open == std::string_view::npos)
      break;
    if (page.substr(open).starts_with(kCommentOpen)) {
      const size_t end = page.find(kCommentClose, open + kCommentOpen.size());
      at = end == std::string_view::npos ? page.size() : end + kCommentClose.size();
      continue;
    }
    const size_t close = page.find('>', open);
    if (close == std::string_view::npos) {
      text(page.substr(open));
      break;
    }
    tag(open, close);
    at = close + 1;
  }
}

// The lower-case name of the tag between "<" at `open` and ">" at `close`, and whether it is an
// end tag; its attributes do not count.
struct TagName {
  std::string name;
  bool end = false;
};

TagName ReadTagName(std::string_view page, size_t open, size_t close) {
  TagName tag;
  size_t at = open + 1;
  tag.end = at < close && page[at] == '/';
  if (tag.end)
    ++at;
  while (at < close && IsAsciiLetter(page[at]))
    tag.name += AsciiLower(page[at++]);
  return tag;
}

// Tags that break the text of a cell as white space does.
bool BreaksText(const std::string& name) {
  return name == "br" || name == "p" || name == "div" || name == "li";
}

// One pass over the page. Tags are recognised by their names without regard to letter case; a
// cell or row left open is closed by the next one, as browsers do; text outside cells is not
// kept.
class HtmlTableScanner {
 public:
  explicit HtmlTableScanner(std::string_view page) : page_(page) {}

  std::vector<HtmlTableRow> Run();

 private:
  void TakeTag(size_t open, size_t close);
  void OpenCell();
  void CloseCell();
  void CloseRow();

  std::string_view page_;
  int tables_ = 0;  // the page's tables so far
  int table_ = 0;   // the one open now, 0 outside any
  bool in_row_ = false;
  bool in_cell_ = false;
  HtmlText cell_;
  HtmlTableRow row_;
  std::vector<HtmlTableRow> rows_;
};

std::vector<HtmlTableRow> HtmlTableScanner::Run() {
  ForEachHtmlPiece(
      page_,
      [this](std::string_view text) {
        if (in_cell_)
          cell_.TakeText(text);
      },
      [this](size_t open, size_t close) { TakeTag(open, close); });
  CloseRow();
  return std::move(rows_);
}

void HtmlTableScanner::TakeTag(size_t open, size_t close) {
  const TagName tag = ReadTagName(page_, open, close);
  if (tag.name == "table") {
    CloseRow();
    table_ = tag.end ? 0 : ++tables_;
  } else if (tag.name == "tr") {
    CloseRow();
    in_row_ = !tag.end;
  } else if (tag.name == "td" || tag.name == "th") {
    if (tag.end)
      CloseCell();
    else
      OpenCell();
  } else if (in_cell_ && BreaksText(tag.name)) {
    cell_.TakeSpace();
  }
}

void HtmlTableScanner::OpenCell() {
  CloseCell();
  if (!in_row_) {
    in_row_ = true;
    row_ = HtmlTableRow();
  }
  in_cell_ = true;
}

void HtmlTableScanner::CloseCell() {
  if (!in_cell_)
    return;
  row_.cells.push_back(cell_.Finish());
  in_cell_ = false;
}

void HtmlTableScanner::CloseRow() {
  CloseCell();
  if (in_row_ && !row_.cells.empty()) {
    row_.table = table_;
    rows_.push_back(std::move(row_));
  }
  row_ = HtmlTableRow();
  in_row_ = false;
}

}  // namespace

std::vector<HtmlTableRow> ReadHtmlTableRows(std::string_view page) {
  return HtmlTableScanner(page).Run();
}

std::string HtmlCellText(std::string_view content) {
  HtmlText text;
  ForEachHtmlPiece(
      content, [&](std::string_view piece) { text.TakeText(piece); },
      [&](size_t open, size_t close) {
        if (BreaksText(ReadTagName(content, open, close).name))
          text.TakeSpace();
      });
  return text.Finish();
}

}  // namespace zuro::readers
