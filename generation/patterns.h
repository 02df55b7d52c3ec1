// New documents made from the pattern files in the library folder, when a create command finds no
// document open in the host.
#pragma once

#include <string>

#include "generation/document_kinds.h"
#include "automation/host_objects.h"

namespace zuro::generation {

// The pattern of a document kind and the working copy it is opened from, in the library folder:
// UTF-8 file names, as every path.
struct PatternFiles {
  std::string pattern;
  std::string working_copy;
};
PatternFiles PatternOf(DocumentKind kind);

enum class NewDocument {
  kMade,            // a new specification document holds a fresh copy of the pattern
  kPatternMissing,  // no pattern file to copy: nothing was made
  kCopyNotWritten,  // the working copy could not be written: nothing was made
};

// Copies the kind's pattern over its working copy, makes a new specification document, makes it
// the current one and opens the working copy in it.
NewDocument NewFromPattern(DocumentKind kind,
                           const std::string& library_folder,
                           automation::ZentarObject& application,
                           automation::SpecDocument& spec_document);

}  // namespace zuro::generation
