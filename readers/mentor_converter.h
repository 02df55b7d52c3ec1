// The Mentor parts list (".lst": ";"-separated fields without quotes, a header line naming them)
// rewritten as a P-CAD report, which the P-CAD reader then reads.
#pragma once

#include <string>

namespace zuro::readers {

// The converted report's path: the list's path with a blank before the file name.
std::string ConvertedReportPath(const std::string& list_path);

// Writes the converted report beside the list; returns its path, or "" when the list cannot be
// read or the report cannot be written.
std::string ConvertMentor(const std::string& list_path);

}  // namespace zuro::readers
