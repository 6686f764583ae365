#include "testing/test_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace quellon {
namespace {

namespace fs = std::filesystem;
using testing::TestFolder;

TEST(TestFolder, EachIsFreshEmptyAndNamedAfterTheTest) {
  const TestFolder a;
  const TestFolder b;
  EXPECT_NE(a.Path(), b.Path());
  for (const auto* f : {&a, &b}) {
    EXPECT_TRUE(fs::is_directory(f->Path()));
    EXPECT_TRUE(fs::is_empty(f->Path()));
    // Windows gives the temporary folder with a trailing separator: compare the folders.
    EXPECT_EQ(f->Path().parent_path(), (fs::temp_directory_path() / "x").parent_path());
    EXPECT_EQ(f->Path().filename().string().rfind("quellon-TestFolder-EachIsFresh", 0), 0u)
        << f->Path();
  }
}

TEST(TestFolder, WritesAndReadsRawBytes) {
  const TestFolder folder;
  const std::string bytes("a\r\nb\0\xff\n", 7);
  const auto p = folder.Write("one.bin", bytes);
  EXPECT_EQ(p, folder.Path() / "one.bin");
  EXPECT_EQ(fs::file_size(p), 7u);
  EXPECT_EQ(TestFolder::Read(p), bytes);
  // Folders on the way are made; the name is UTF-8.
  const auto deep = folder.Write("sub/k\xc5\xaf\xc5\x88.txt", "x");
  EXPECT_EQ(deep, folder.File("sub/k\xc5\xaf\xc5\x88.txt"));
  EXPECT_EQ(deep.parent_path(), folder.Path() / "sub");
  EXPECT_EQ(deep.filename().u8string(), u8"kůň.txt");
  EXPECT_EQ(TestFolder::Read(deep), "x");
  // Writing again replaces the whole file.
  folder.Write("one.bin", "z");
  EXPECT_EQ(TestFolder::Read(p), "z");
  EXPECT_EQ(TestFolder::Read(folder.File("missing")), "");
}

TEST(TestFolder, IsRemovedAtTheEndEvenWhenReadOnly) {
  fs::path path;
  {
    const TestFolder folder;
    path = folder.Path();
    const auto file = folder.Write("sub/locked.txt", "x");
    folder.Write("top.txt", "y");
    fs::permissions(file, fs::perms::owner_read);
    fs::permissions(folder.File("top.txt"), fs::perms::owner_read);
    fs::permissions(folder.File("sub"), fs::perms::owner_read | fs::perms::owner_exec);
    ASSERT_TRUE(fs::exists(file));
  }
  EXPECT_FALSE(fs::exists(path));
}

}  // namespace
}  // namespace quellon
