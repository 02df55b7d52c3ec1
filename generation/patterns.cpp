#include "generation/patterns.h"

#include "base/file_system.h"

namespace zuro::generation {

namespace {

// A file name written as a UTF-8 literal: narrow literals come out in code page 1251.
std::string FileName(const char8_t* utf8) {
  return reinterpret_cast<const char*>(utf8);
}

}  // namespace

PatternFiles PatternOf(DocumentKind kind) {
  switch (kind) {
    case DocumentKind::kListOfElements:
      return {"patternPE.spw", FileName(u8"Перечень элементов.spw")};
    case DocumentKind::kPurchasedItems:
      return {"patternVP.spw", FileName(u8"Ведомость покупных.spw")};
    case DocumentKind::kSpecification:
      break;
  }
  return {"patternSP.spw", FileName(u8"Спецификация.spw")};
}

// The working copy is only ever opened right after a fresh copy of the pattern: a copy left by an
// earlier command would put this command's objects into that command's document. So a pattern
// that cannot be copied makes no document at all, and the command stops there.
NewDocument NewFromPattern(DocumentKind kind,
                           const std::string& library_folder,
                           automation::ZentarObject& application,
                           automation::SpecDocument& spec_document) {
  const PatternFiles files = PatternOf(kind);
  const std::string pattern = library_folder + files.pattern;
  const std::string working_copy = library_folder + files.working_copy;
  if (!FileExists(pattern))
    return NewDocument::kPatternMissing;
  if (!CopyFileOver(pattern, working_copy))
    return NewDocument::kCopyNotWritten;
  spec_document = application.NewSpecDocument();
  spec_document.Open(working_copy);
  return NewDocument::kMade;
}

}  // namespace zuro::generation
