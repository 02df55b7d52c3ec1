// A fresh folder for each test, removed afterwards, with the few file operations tests need.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace zuro::testing_support {

class TestFolder {
 public:
  // <temporary directory>/zuro_<kind>_<test name>/
  explicit TestFolder(const std::string& kind) {
    const std::string test = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    path_ = ::testing::TempDir() + "zuro_" + kind + "_" + test + "/";
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  ~TestFolder() { std::filesystem::remove_all(path_); }
  TestFolder(const TestFolder&) = delete;
  TestFolder& operator=(const TestFolder&) = delete;

  const std::string& path() const { return path_; }
  std::string operator+(const std::string& name) const { return path_ + name; }

  // Writes the bytes as they are; returns the file's path.
  std::string Write(const std::string& name, const std::string& bytes) const {
    std::ofstream(path_ + name, std::ios::binary) << bytes;
    return path_ + name;
  }
  // Copies a file of samples/ here (readers write beside their input); returns the copy's path.
  std::string CopySample(const std::string& name) const {
    std::filesystem::copy_file(std::string(ZURO_SOURCE_DIR) + "/samples/" + name, path_ + name);
    return path_ + name;
  }

 private:
  std::string path_;
};

// A UTF-8 text written as a u8 literal: narrow literals of the tests come out in code page 1251.
// Paths are UTF-8, so a path with other than ASCII characters is written this way.
inline std::string Utf8(const char8_t* text) {
  return reinterpret_cast<const char*>(text);
}

inline std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// What zuro-bom writes on standard error for a refused report: the window's message, then one line
// saying why.
inline bool IsRefusalWithReason(const std::string& err) {
  const std::string message = Utf8(u8"Внимание: Недопустимая структура файла\n");
  return err.starts_with(message) && err.size() > message.size() + 1 && err.ends_with("\n") &&
         err.find('\n', message.size()) == err.size() - 1;
}

}  // namespace zuro::testing_support
