#include "base/text_encoding.h"

#include <array>
#include <cstring>

namespace zuro {

namespace {

// Unicode code points of the bytes 0x80..0xFF of code page 1251 (0x98 is unassigned there and is
// carried as U+0098, as Windows does).
constexpr std::array<char16_t, 128> kCp1251High = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, 0x20AC, 0x2030, 0x0409, 0x2039,
    0x040A, 0x040C, 0x040B, 0x040F, 0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, 0x00A0, 0x040E, 0x045E, 0x0408,
    0x00A4, 0x0490, 0x00A6, 0x00A7, 0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7, 0x0451, 0x2116, 0x0454, 0x00BB,
    0x0458, 0x0405, 0x0455, 0x0457, 0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417,
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F, 0x0420, 0x0421, 0x0422, 0x0423,
    0x0424, 0x0425, 0x0426, 0x0427, 0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F,
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437, 0x0438, 0x0439, 0x043A, 0x043B,
    0x043C, 0x043D, 0x043E, 0x043F, 0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447,
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F,
};

// Decodes one UTF-8 sequence at text[i], advancing i; a malformed byte decodes as U+FFFD.
char32_t NextCodePoint(std::string_view text, size_t& i) {
  const auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
  const unsigned char lead = byte(i++);
  if (lead < 0x80)
    return lead;
  int extra = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : -1;
  if (extra < 0)
    return 0xFFFD;
  char32_t c = lead & (0x3F >> extra);
  for (; extra > 0; --extra) {
    if (i >= text.size() || (byte(i) & 0xC0) != 0x80)
      return 0xFFFD;
    c = (c << 6) | (byte(i++) & 0x3F);
  }
  return c;
}

}  // namespace

std::string Cp1251ToUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size() * 2);
  AppendCp1251AsUtf8(out, text);
  return out;
}

// The UTF-8 bytes of every byte: one for 0x00..0x7F, two or three for the others.
struct Utf8OfByte {
  char bytes[3];
  unsigned char size;
};
constexpr std::array<Utf8OfByte, 256> kUtf8OfByte = [] {
  std::array<Utf8OfByte, 256> table{};
  for (size_t b = 0; b < 0x80; ++b)
    table[b] = {{static_cast<char>(b), 0, 0}, 1};
  for (size_t k = 0; k < kCp1251High.size(); ++k) {
    const char16_t c = kCp1251High[k];
    if (c < 0x800)
      table[0x80 + k] = {
          {static_cast<char>(0xC0 | (c >> 6)), static_cast<char>(0x80 | (c & 0x3F)), 0}, 2};
    else
      table[0x80 + k] = {
          {static_cast<char>(0xE0 | (c >> 12)), static_cast<char>(0x80 | ((c >> 6) & 0x3F)),
           static_cast<char>(0x80 | (c & 0x3F))},
          3};
  }
  return table;
}();

// Long texts (reports, object lists) go through here. Every byte stores its code's four bytes at
// once (the last one the size, overwritten by the next code) and moves on by its size; the codes
// of a piece of the text are gathered on the stack and appended together.
void AppendCp1251AsUtf8(std::string& out, std::string_view text) {
  constexpr size_t kPiece = 1024;
  static_assert(sizeof(Utf8OfByte) == 4);
  char codes[3 * kPiece + 1];
  for (size_t at = 0; at < text.size(); at += kPiece) {
    const std::string_view piece = text.substr(at, kPiece);
    char* to = codes;
    for (const char c : piece) {
      const Utf8OfByte& utf8 = kUtf8OfByte[static_cast<unsigned char>(c)];
      std::memcpy(to, &utf8, 4);
      to += utf8.size;
    }
    out.append(codes, to);
  }
}

namespace {

// The byte of a code point above 0x7F, '?' when code page 1251 has none. Cyrillic letters, most
// of any text, are found through their block; the rest by a search of the 128 bytes.
char Cp1251ByteOf(char32_t c) {
  static const std::array<unsigned char, 0x60> kCyrillic = [] {
    std::array<unsigned char, 0x60> bytes{};
    for (size_t k = 0; k < kCp1251High.size(); ++k) {
      if (kCp1251High[k] >= 0x0400 && kCp1251High[k] < 0x0460)
        bytes[kCp1251High[k] - 0x0400] = static_cast<unsigned char>(0x80 + k);
    }
    return bytes;
  }();
  if (c >= 0x0400 && c < 0x0460)
    return kCyrillic[c - 0x0400] ? static_cast<char>(kCyrillic[c - 0x0400]) : '?';
  for (size_t k = 0; k < kCp1251High.size(); ++k) {
    if (kCp1251High[k] == c)
      return static_cast<char>(0x80 + k);
  }
  return '?';
}

}  // namespace

std::string Utf8ToCp1251(std::string_view text, bool* lost) {
  std::string out;
  out.reserve(text.size());
  bool any_lost = false;
  for (size_t i = 0; i < text.size();) {
    const char32_t c = NextCodePoint(text, i);
    if (c < 0x80) {
      out += static_cast<char>(c);
      continue;
    }
    const char mapped = Cp1251ByteOf(c);
    any_lost = any_lost || mapped == '?';
    out += mapped;
  }
  if (lost)
    *lost = any_lost;
  return out;
}

std::string Utf8PathFromCp1251(std::string_view cp1251_path) {
  return Cp1251ToUtf8(cp1251_path);
}

std::string Cp1251FromUtf8Path(std::string_view utf8_path) {
  return Utf8ToCp1251(utf8_path);
}

std::string LowerCp1251(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) {
    const auto b = static_cast<unsigned char>(c);
    if ((b >= 'A' && b <= 'Z') || (b >= 0xC0 && b <= 0xDF))
      c = static_cast<char>(b + 0x20);
    else if (b == 0xA8)  // Ё
      c = static_cast<char>(0xB8);
  }
  return lower;
}

}  // namespace zuro
