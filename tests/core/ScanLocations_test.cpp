#include <gtest/gtest.h>

#include "capture/ScanLocations.h"

using namespace loom;

TEST(ScanLocations, OfferedDrivesAndNetworkNames) {
  EXPECT_EQ(DriveRoot(u'C'), u"c:\\");
  // A and B are never offered; Z is.
  EXPECT_EQ(OfferedDriveLetters(0x3u | (1u << 2) | (1u << 25)), (std::vector<char16_t>{u'c', u'z'}));
  EXPECT_TRUE(OfferedDriveLetters(0x3u).empty());
  EXPECT_EQ(DriveIndexOfLocalName(u"X:"), 23);
  EXPECT_EQ(DriveIndexOfLocalName(u"a:"), 0);
  EXPECT_EQ(DriveIndexOfLocalName(u"1:"), -1);
  EXPECT_EQ(DriveIndexOfLocalName(u"x"), -1);
  EXPECT_EQ(DriveIndexOfLocalName(u""), -1);
}

TEST(ScanLocations, ReadsAnIncomingSelection) {
  const std::u16string sel = u"c:\\ D:\\ HKEY_USERS";
  EXPECT_TRUE(SelectionHasRoot(sel, u"c:\\"));
  EXPECT_TRUE(SelectionHasRoot(sel, u"d:\\")) << "upper case is recognised too";
  EXPECT_FALSE(SelectionHasRoot(sel, u"e:\\"));
  EXPECT_FALSE(SelectionHasRoot(sel, u""));
  HiveChoice h = SelectionHives(sel);
  EXPECT_FALSE(h.localMachine);
  EXPECT_TRUE(h.users);
  EXPECT_FALSE(h.currentUser);
  h = SelectionHives(u"HKEY_LOCAL_MACHINE HKEY_CURRENT_USER");
  EXPECT_TRUE(h.localMachine && h.currentUser && !h.users);
}

TEST(ScanLocations, BuildsTheSelection) {
  std::u16string out = u"stale";
  HiveChoice all{true, true, true};
  ASSERT_TRUE(BuildScanLocations({u"c:\\", u"z:\\"}, all, out));
  EXPECT_EQ(out, u"C:\\ Z:\\ HKEY_LOCAL_MACHINE HKEY_USERS") << "HKEY_USERS covers the current user";

  ASSERT_TRUE(BuildScanLocations({}, HiveChoice{false, false, true}, out));
  EXPECT_EQ(out, u"HKEY_CURRENT_USER");
  ASSERT_TRUE(BuildScanLocations({u"d:\\"}, HiveChoice{}, out));
  EXPECT_EQ(out, u"D:\\");
  ASSERT_TRUE(BuildScanLocations({}, HiveChoice{true, false, false}, out));
  EXPECT_EQ(out, u"HKEY_LOCAL_MACHINE");

  EXPECT_FALSE(BuildScanLocations({}, HiveChoice{}, out)) << "nothing chosen";
  EXPECT_TRUE(out.empty());
}
