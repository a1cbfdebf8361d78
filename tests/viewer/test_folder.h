// A fresh folder for one test of the viewer's files, named after the test
// and removed with its contents at the end.
#pragma once
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "platform/text_lines.h"

class TestFolder {
 public:
  explicit TestFolder(const std::string& tag = "") {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    m_path = std::filesystem::temp_directory_path() /
             ("viewer_" + std::string(info->name()) + tag + "_" + std::to_string(::getpid()));
    std::filesystem::remove_all(m_path);
    std::filesystem::create_directories(m_path);
  }
  ~TestFolder() {
    std::error_code ec;
    std::filesystem::remove_all(m_path, ec);
  }
  TestFolder(const TestFolder&) = delete;
  TestFolder& operator=(const TestFolder&) = delete;
  std::string Dir() const { return m_path.string() + "/"; }
  // Writes the file and returns its path.
  std::string Write(const std::string& name, const std::string& text) const {
    const std::string p = Dir() + name;
    EXPECT_TRUE(plat::WriteWholeFile(p, text)) << p;
    return p;
  }

 private:
  std::filesystem::path m_path;
};
