// What the fuzz targets share: an input read as the library reads a file, the input cut into the
// several files a target needs, and a library folder of the process's own for readers that open
// their files by name.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "table/grid_model.h"

namespace zuro::fuzz {

// Separates the files of an input that feeds several (ASCII record separator): a byte no report
// or settings file of the library gives a meaning to.
inline constexpr char kPartSeparator = '\x1E';

// The input's bytes as they lie in a file.
std::string_view InputBytes(const uint8_t* data, size_t size);
// The text a reader gets from a file of these bytes: a UTF-8 file comes as its code page 1251
// twin, as ReadTextFile gives it.
std::string FileText(const uint8_t* data, size_t size);
// The input cut at kPartSeparator into at most `most` parts; the last part keeps any further
// separators. An input without a separator is one part.
std::vector<std::string_view> InputParts(std::string_view input, size_t most);
// Part `index`, or nothing when the input has fewer parts.
std::optional<std::string_view> PartAt(const std::vector<std::string_view>& parts, size_t index);

// A library folder of this process ("$TMPDIR/zuro-fuzz-XXXXXX/", /tmp without TMPDIR), made at the
// first call and removed when the process exits.
const std::string& LibraryFolder();
// Writes `contents` as the file `name` of the library folder; nothing removes the file, so that
// a reader finds none.
void PutLibraryFile(std::string_view name, std::optional<std::string_view> contents);

// Stops the process, as a sanitizer does, when the table breaks its own invariants.
void RequireConsistent(const table::GridModel& table);

}  // namespace zuro::fuzz
