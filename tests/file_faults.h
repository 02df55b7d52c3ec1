// Checks that a writer loses no file whatever step of its writing fails: it is run once for each
// step it takes (each opening, write, flush, close and move of its files), the Nth run failing at
// its Nth step. After every run each of its files holds its old bytes or the whole of its new
// ones, and no temporary file is left beside it.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "base/file_system.h"
#include "tests/test_folder.h"

namespace zuro::testing_support {

inline std::optional<std::string> FileBytes(const std::string& path) {
  if (!std::filesystem::exists(path))
    return std::nullopt;
  return ReadBytes(path);
}

// `restore` puts the old files in place (it is called before every run); `write` writes them anew;
// `check`, when given, looks at what the run that failed at that step left. Returns the number of
// steps the writer takes.
inline int ExpectNoFileLost(const std::vector<std::string>& paths,
                            const std::function<void()>& restore,
                            const std::function<void()>& write,
                            const std::function<void(int failing)>& check = {}) {
  std::map<std::string, std::optional<std::string>> old_bytes;
  std::map<std::string, std::optional<std::string>> new_bytes;
  restore();
  for (const std::string& path : paths)
    old_bytes[path] = FileBytes(path);
  int steps = 0;
  SetFileFaultHook([&](const char*) {
    ++steps;
    return false;
  });
  write();
  SetFileFaultHook(nullptr);
  for (const std::string& path : paths) {
    new_bytes[path] = FileBytes(path);
    EXPECT_NE(new_bytes[path], old_bytes[path]) << path << " is not rewritten by the writer";
  }

  std::map<std::string, int> kept_old;
  for (int failing = 1; failing <= steps; ++failing) {
    restore();
    int step = 0;
    SetFileFaultHook([&](const char*) { return ++step == failing; });
    write();
    SetFileFaultHook(nullptr);
    for (const std::string& path : paths) {
      const std::optional<std::string> bytes = FileBytes(path);
      EXPECT_TRUE(bytes == old_bytes[path] || bytes == new_bytes[path])
          << path << " is neither old nor new after a fault at step " << failing << " of " << steps;
      EXPECT_FALSE(std::filesystem::exists(path + ".new"))
          << path << ".new is left after a fault at step " << failing;
      if (bytes == old_bytes[path])
        ++kept_old[path];
    }
    if (check)
      check(failing);
  }
  // Every file met a fault of its own at least once.
  for (const std::string& path : paths)
    EXPECT_GT(kept_old[path], 0) << path;
  return steps;
}

}  // namespace zuro::testing_support
