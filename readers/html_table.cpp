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

// One pass over the page. Tags are recognised by their names without regard to letter case; a
// cell or row left open is closed by the next one, as browsers do; text outside cells is not
// kept.
class HtmlTableScanner {
 public:
  explicit HtmlTableScanner(std::string_view page) : page_(page) {}

  std::vector<HtmlTableRow> Run();

 private:
  void TakeTag(size_t open, size_t close);
  void TakeText(size_t begin, size_t end);
  void TakeSpace();
  void OpenCell();
  void CloseCell();
  void CloseRow();

  std::string_view page_;
  int tables_ = 0;  // the page's tables so far
  int table_ = 0;   // the one open now, 0 outside any
  bool in_row_ = false;
  bool in_cell_ = false;
  std::string cell_;
  HtmlTableRow row_;
  std::vector<HtmlTableRow> rows_;
};

std::vector<HtmlTableRow> HtmlTableScanner::Run() {
  size_t at = 0;
  while (at < page_.size()) {
    const size_t open = page_.find('<', at);
    TakeText(at, open == std::string_view::npos ? page_.size() : open);
    if (open == std::string_view::npos)
      break;
    if (page_.substr(open).starts_with(kCommentOpen)) {
      const size_t end = page_.find(kCommentClose, open + kCommentOpen.size());
      at = end == std::string_view::npos ? page_.size() : end + kCommentClose.size();
      continue;
    }
    const size_t close = page_.find('>', open);
    if (close == std::string_view::npos) {
      TakeText(open, page_.size());
      break;
    }
    TakeTag(open, close);
    at = close + 1;
  }
  CloseRow();
  return std::move(rows_);
}

// The tag between "<" at `open` and ">" at `close`: its name decides, its attributes do not.
void HtmlTableScanner::TakeTag(size_t open, size_t close) {
  size_t at = open + 1;
  const bool end_tag = at < close && page_[at] == '/';
  if (end_tag)
    ++at;
  std::string name;
  while (at < close && IsAsciiLetter(page_[at]))
    name += AsciiLower(page_[at++]);
  if (name == "table") {
    CloseRow();
    table_ = end_tag ? 0 : ++tables_;
  } else if (name == "tr") {
    CloseRow();
    in_row_ = !end_tag;
  } else if (name == "td" || name == "th") {
    if (end_tag)
      CloseCell();
    else
      OpenCell();
  } else if (in_cell_ && (name == "br" || name == "p" || name == "div" || name == "li")) {
    TakeSpace();
  }
}

void HtmlTableScanner::TakeText(size_t begin, size_t end) {
  if (!in_cell_)
    return;
  for (size_t at = begin; at < end; ++at) {
    const char c = page_[at];
    if (IsHtmlSpace(c)) {
      TakeSpace();
      continue;
    }
    if (c == '&') {
      // Looked for only as far as the longest reference reaches, so that a text of many "&" is
      // still read in one pass.
      const size_t semicolon = page_.substr(0, end).substr(at, kLongestReference + 1).find(';');
      std::string text;
      if (semicolon != std::string_view::npos &&
          DecodeReference(page_.substr(at + 1, semicolon - 1), text)) {
        if (text == " ")
          TakeSpace();
        else
          cell_ += text;
        at += semicolon;
        continue;
      }
    }
    cell_ += c;
  }
}

// White space runs count as one blank, and none stands at the start of a cell.
void HtmlTableScanner::TakeSpace() {
  if (!cell_.empty() && cell_.back() != kBlank)
    cell_ += kBlank;
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
  if (!cell_.empty() && cell_.back() == kBlank)
    cell_.pop_back();
  row_.cells.push_back(std::move(cell_));
  cell_.clear();
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

}  // namespace zuro::readers
