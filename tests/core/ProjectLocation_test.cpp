#include <gtest/gtest.h>

#include <map>

#include "project/IniDocument.h"
#include "project/ProjectLocation.h"
#include "util/Text.h"

using namespace loom;

namespace {

// The platform's answers: kinds of paths, free bytes by folder, folders with entries.
struct FakePlatform : LocationPlatform {
  std::map<std::u16string, Kind> kinds;
  std::map<std::u16string, uint64_t> free;
  std::vector<std::u16string> nonEmpty;
  std::vector<std::u16string> asked;  // folders whose free space was asked

  Kind Lookup(const std::u16string& path) override {
    auto k = kinds.find(path);
    return k == kinds.end() ? Kind::Missing : k->second;
  }
  std::u16string FullPath(const std::u16string& path) override { return path; }
  std::optional<uint64_t> FreeBytes(const std::u16string& folder) override {
    asked.push_back(folder);
    auto f = free.find(folder);
    return f == free.end() ? std::nullopt : std::optional<uint64_t>(f->second);
  }
  bool HasEntries(const std::u16string& folder) override {
    return std::find(nonEmpty.begin(), nonEmpty.end(), folder) != nonEmpty.end();
  }
};

constexpr uint64_t kMB = 1ull << 20;

}  // namespace

TEST(ProjectLocationProposal, BaseFolderAndNameFollowing) {
  EXPECT_EQ(ProposedLocation(u"C:\\Tools\\Loomwise.exe", u"App"), u"C:\\Tools\\Captures\\App");
  EXPECT_EQ(ProposedLocation(u"\\\\srv\\pkg\\Run.exe", u""), u"\\\\srv\\pkg\\Captures\\");
  EXPECT_EQ(ProposedLocation(u"noslash", u"App"), u"Captures\\App");

  struct {
    const char16_t *location, *last, *name, *result;
  } cases[] = {
      {u"C:\\Captures\\App", u"App", u"AppX", u"C:\\Captures\\AppX"},   // follows at every keystroke
      {u"C:\\Captures\\APP", u"app", u"", u"C:\\Captures\\"},           // ASCII case folded; emptied
      {u"C:\\Captures\\", u"", u"N", u"C:\\Captures\\N"},               // a trailing "\" gets the name
      {u"C:\\Captures\\Mine", u"App", u"AppX", u"C:\\Captures\\Mine"},  // the user's own name stays
      {u"Solo", u"Solo", u"Duo", u"Duo"},                               // no backslash: the whole text
      {u"", u"", u"N", u"N"},                                           // an empty last part equals an empty name
  };
  for (const auto& c : cases) EXPECT_EQ(FollowName(c.location, c.last, c.name), c.result) << Utf16ToUtf8(c.location);
}

TEST(ProjectLocationChecks, EachRefusalInOrder) {
  FakePlatform p;
  p.kinds[u"C:\\file.txt"] = LocationPlatform::Kind::File;
  p.kinds[u"C:\\Full"] = LocationPlatform::Kind::Folder;
  p.kinds[u"C:\\Empty"] = LocationPlatform::Kind::Folder;
  p.nonEmpty.push_back(u"C:\\Full");
  struct {
    const char16_t *name, *location;
    Refusal refusal;
    LocationField field;
    bool ask;
  } cases[] = {
      {u"  ", u"C:\\p", Refusal::NameInvalid, LocationField::Name, false},  // blank after trimming
      {u"A[1]", u"C:\\p", Refusal::NameBrackets, LocationField::Name, false},
      {u"A", u"", Refusal::LocationMissing, LocationField::Location, false},
      {u"A", u"proj", Refusal::LocationInvalid, LocationField::Location, false},  // relative forms
      {u"A", u"C:proj", Refusal::LocationInvalid, LocationField::Location, false},
      {u"A", u"\\proj", Refusal::LocationInvalid, LocationField::Location, false},
      {u"A", u"C:\\a|b", Refusal::LocationInvalid, LocationField::Location, false},  // characters no path may hold
      {u"A", u"C:\\a:b", Refusal::LocationInvalid, LocationField::Location, false},
      {u"A", u"C:\\a\tb", Refusal::LocationInvalid, LocationField::Location, false},
      {u"A", u"C:\\file.txt", Refusal::LocationInvalid, LocationField::Location, false},
      {u"A", u"C:\\file.txt\\", Refusal::LocationInvalid, LocationField::Location,
       false},  // looked up in its normal form
      {u"A", u"C:\\Full", Refusal::None, LocationField::None, true},
      {u"A", u"C:\\Empty\\", Refusal::None, LocationField::None, false},
      {u"A", u"\\\\srv\\share\\new", Refusal::None, LocationField::None, false},
      {u"A", u"C:\\", Refusal::LocationInvalid, LocationField::Location,
       false},  // a drive's root, before the overwrite question
      {u"A", u"C:\\Full\\App\\sub", Refusal::LocationInvalid, LocationField::Location,
       false},  // inside the captured application
      {u"A", u"C:\\Full\\Apps", Refusal::None, LocationField::None, false},
  };
  p.nonEmpty.push_back(u"C:\\");
  p.kinds[u"C:\\"] = LocationPlatform::Kind::Folder;
  const std::vector<std::u16string> captured = {u"C:\\Full\\App"};
  for (const auto& c : cases) {
    LocationVerdict v = CheckLocation(c.name, c.location, 0, p, captured);
    EXPECT_EQ(v.refusal, c.refusal) << Utf16ToUtf8(c.location);
    EXPECT_EQ(v.field, c.field) << Utf16ToUtf8(c.location);
    EXPECT_EQ(v.askOverwrite, c.ask) << Utf16ToUtf8(c.location);
  }
  EXPECT_EQ(CheckLocation(u" \tMy App ", u"C:\\x", 0, p).name, u"My App");
}

TEST(ProjectLocationChecks, CapturedFoldersOfTheWorkingProject) {
  IniDocument doc;
  ASSERT_TRUE(doc.LoadFromBytes(
      ToUtf16LeBytes(u"\uFEFF[BuildOptions]\r\nOutDir=bin\r\n[App.exe]\r\nSource=D:\\App\\App.exe\r\n"
                     u"[Web]\r\nSource=D:\\Web\\w.exe\r\nIsBrowser=1\r\n[Top.exe]\r\nSource=D:\\Top.exe\r\n"
                     u"[CaptureSnapshots]\r\nNewFolders=C:\\Data\\App|C:\\Other\r\n")));
  // No browser entry, no drive root; the folders the installation created follow.
  EXPECT_EQ(CapturedFolders(doc), (std::vector<std::u16string>{u"D:\\App", u"C:\\Data\\App", u"C:\\Other"}));
}

TEST(ProjectLocationChecks, FreeSpaceAgainstTheEstimate) {
  EXPECT_EQ(FreeSpaceRoot(u"C:\\a\\b"), u"C:\\");
  EXPECT_EQ(FreeSpaceRoot(u"\\\\srv\\share\\a\\b"), u"\\\\srv\\share\\");
  EXPECT_EQ(FreeSpaceRoot(u"\\\\srv\\share"), u"\\\\srv\\share\\");
  EXPECT_EQ(FreeSpaceRoot(u"relative\\x"), u"");

  EXPECT_TRUE(TooLittleSpace(100 * kMB - 1, 100));  // 99 whole megabytes
  EXPECT_FALSE(TooLittleSpace(100 * kMB, 100));
  EXPECT_FALSE(TooLittleSpace(0, 0));
  EXPECT_FALSE(TooLittleSpace(0, -5));

  FakePlatform p;
  p.kinds[u"D:\\Big"] = LocationPlatform::Kind::Folder;
  p.free[u"D:\\Big"] = 500 * kMB;
  p.free[u"C:\\"] = 50 * kMB;
  // A missing folder asks its drive root; an existing one asks itself.
  EXPECT_EQ(CheckLocation(u"A", u"C:\\New\\Deep", 60, p).refusal, Refusal::LowDiskSpace);
  EXPECT_EQ(CheckLocation(u"A", u"C:\\New\\Deep", 50, p).refusal, Refusal::None);
  EXPECT_EQ(CheckLocation(u"A", u"D:\\Big", 400, p).refusal, Refusal::None);
  EXPECT_EQ(CheckLocation(u"A", u"D:\\Big", 600, p).refusal, Refusal::LowDiskSpace);
  // When the platform cannot tell, nothing is checked.
  EXPECT_EQ(CheckLocation(u"A", u"E:\\Unknown", 1000000, p).refusal, Refusal::None);
  EXPECT_EQ(p.asked, (std::vector<std::u16string>{u"C:\\", u"C:\\", u"D:\\Big", u"D:\\Big", u"E:\\"}));
}

TEST(ProjectLocationSave, InventoryAndSandboxNamesOnly) {
  IniDocument doc;
  ASSERT_TRUE(doc.LoadFromBytes(
      ToUtf16LeBytes(u"\uFEFF[BuildOptions]\r\n; names\r\nInventoryName=Old\r\n;SandboxName=Old\r\nOutDir=bin\r\n")));
  ApplyInventoryName(doc, NameToWrite(u"New", false, u"Base"));
  EXPECT_EQ(doc.Text(), u"\uFEFF[BuildOptions]\r\n; names\r\nInventoryName=New\r\nSandboxName=New\r\nOutDir=bin\r\n");
  EXPECT_EQ(NameToWrite(u"New", true, u"Base"), u"Base");
  EXPECT_EQ(NameToWrite(u"New", true, u""), u"New");
}
