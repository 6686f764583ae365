// A fresh empty folder for one test, removed again at the end, also when the test made files or
// folders in it read-only.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <string_view>
#include <system_error>

namespace quellon::testing {

class TestFolder {
 public:
  // The folder is made below the system's temporary folder, named after the running test.
  TestFolder() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    const std::string name =
        info ? Tidy(info->test_suite_name()) + "-" + Tidy(info->name()) : std::string("x");
    std::random_device rd;
    const auto base = std::filesystem::temp_directory_path();
    for (;;) {
      path_ = base / ("quellon-" + name + "-" + std::to_string(rd()));
      // create_directory is false for a folder that was already there: take another name.
      if (std::filesystem::create_directory(path_)) break;
    }
  }
  ~TestFolder() {
    std::error_code ec;
    const auto all = std::filesystem::perms::owner_all;
    const auto add = std::filesystem::perm_options::add;
    std::filesystem::permissions(path_, all, add, ec);
    for (auto it = std::filesystem::recursive_directory_iterator(path_, ec);
         it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
      // Writable again, and a folder readable again, before the iterator descends into it.
      std::filesystem::permissions(it->path(), all, add, ec);
    }
    std::filesystem::remove_all(path_, ec);
  }
  TestFolder(const TestFolder&) = delete;
  TestFolder& operator=(const TestFolder&) = delete;

  const std::filesystem::path& Path() const { return path_; }
  // A path inside the folder; `name` is UTF-8 on every system and may hold "/".
  std::filesystem::path File(std::string_view name) const {
    return path_ / std::filesystem::path(std::u8string(name.begin(), name.end()));
  }

  // Writes raw bytes (the file's own encoding and line ends), making the folders on the way.
  std::filesystem::path Write(std::string_view name, std::string_view bytes) const {
    const auto p = File(name);
    std::filesystem::create_directories(p.parent_path());
    std::ofstream out(p, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return p;
  }
  // The raw bytes of a file; empty when it cannot be read.
  static std::string Read(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

 private:
  // Test names of parameterised tests hold "/": keep letters, digits and '_' only.
  static std::string Tidy(std::string_view s) {
    std::string out;
    for (const char c : s) {
      const bool plain =
          (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
      out.push_back(plain ? c : '_');
    }
    return out;
  }

  std::filesystem::path path_;
};

}  // namespace quellon::testing
