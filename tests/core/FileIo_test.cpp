// The shared save: what it refuses, what it keeps, where it writes.
#include <gtest/gtest.h>

#include <filesystem>

#include "util/FileIo.h"

using namespace loom;
namespace fs = std::filesystem;

namespace {

class ReplaceFileContentsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::path(::testing::TempDir()) / "loom_fileio_test";
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override {
    std::error_code ec;
    for (auto& e : fs::recursive_directory_iterator(dir_, ec))
      fs::permissions(e.path(), fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(dir_, ec);
  }
  std::u16string P(const char* name) const { return (dir_ / name).u16string(); }
  std::string Read(const char* name) const {
    std::string bytes;
    EXPECT_TRUE(ReadWholeFile(P(name), bytes)) << name;
    return bytes;
  }
  fs::path dir_;
};

}  // namespace

TEST_F(ReplaceFileContentsTest, ReadOnlyFileIsRefusedAndLeftAlone) {
  ASSERT_TRUE(ReplaceFileContents(P("f.ini"), "old"));
  fs::permissions(dir_ / "f.ini", fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);
  uint32_t error = 0;
  EXPECT_FALSE(ReplaceFileContents(P("f.ini"), "new", &error));
  EXPECT_EQ(error, kErrorFileReadOnly);
  EXPECT_EQ(Read("f.ini"), "old");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);  // no temp left
  fs::permissions(dir_ / "f.ini", fs::perms::owner_write, fs::perm_options::add);
  EXPECT_TRUE(ReplaceFileContents(P("f.ini"), "new", &error));
  EXPECT_EQ(Read("f.ini"), "new");
}

#ifndef _WIN32
TEST_F(ReplaceFileContentsTest, PermissionsKeptAndLinksFollowed) {
  fs::create_directories(dir_ / "real");
  ASSERT_TRUE(ReplaceFileContents(P("real/target.ini"), "old"));
  fs::permissions(dir_ / "real/target.ini", fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  fs::create_symlink("real/target.ini", dir_ / "link.ini");
  fs::create_symlink("link.ini", dir_ / "chain.ini");
  fs::create_hard_link(dir_ / "real/target.ini", dir_ / "hard.ini");

  for (const char* via : {"link.ini", "chain.ini"}) {
    SCOPED_TRACE(via);
    const std::string content = std::string("through ") + via;
    ASSERT_TRUE(ReplaceFileContents(P(via), content));
    EXPECT_TRUE(fs::is_symlink(dir_ / via));      // the link stays a link...
    EXPECT_EQ(Read("real/target.ini"), content);  // ...and the file it names changed
    EXPECT_EQ(fs::status(dir_ / "real/target.ini").permissions() & fs::perms::mask,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  }
  // The new content is a new file: a hard link keeps the old one.
  EXPECT_EQ(Read("hard.ini"), "old");
  // Nothing was written beside the link, everything beside the target.
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_ / "real"), fs::directory_iterator()), 1);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 4);

  // A read-only target is refused through its link too.
  fs::permissions(dir_ / "real/target.ini", fs::perms::owner_write, fs::perm_options::remove);
  uint32_t error = 0;
  EXPECT_FALSE(ReplaceFileContents(P("link.ini"), "new", &error));
  EXPECT_EQ(error, kErrorFileReadOnly);
}
#endif
