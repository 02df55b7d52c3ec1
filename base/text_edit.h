// Small edits of texts that several subsystems make.
#pragma once

#include <string>
#include <string_view>

namespace zuro {

// Replaces every occurrence of `from` (not empty), left to right, never within a replacement.
inline void ReplaceAll(std::string& text, std::string_view from, std::string_view to) {
  if (from.empty())
    return;
  for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
    text.replace(at, from.size(), to);
}

}  // namespace zuro
