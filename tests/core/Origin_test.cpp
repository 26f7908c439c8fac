#include <gtest/gtest.h>

#include <optional>

#include "app/Origin.h"
#include "build/BuildPlan.h"
#include "macros/MemoryFolderPlatform.h"
#include "wizard/Resume.h"

using namespace loom;

namespace {

const std::u16string kProgram = u"C:\\Prog\\L.exe";

Origin Read(const std::optional<std::u16string>& origin, const std::optional<std::u16string>& bin) {
  MemoryFolderPlatform env;
  if (origin) env.SetEnv(u"QM_ORIGIN", *origin);
  if (bin) env.SetEnv(u"QUILLMARK_BIN", *bin);
  return ReadOrigin(env, kProgram);
}

}  // namespace

// QM_ORIGIN counts as set by its presence alone (the tools then start from
// the program's folder, QUILLMARK_BIN unused); as a path it is used whole up
// to 260 characters and never cut. Every use takes the origin read once.
TEST(Origin, QmOriginPresenceLengthAndEveryUse) {
  const std::u16string at260 = u"D:\\" + std::u16string(249, u'o') + u"\\app.exe";
  const std::u16string dir260 = at260.substr(0, 253);
  struct Case {
    std::optional<std::u16string> origin;
    bool set;
    std::u16string path, folder, settings, resume;
  } cases[] = {
      {{}, false, kProgram, u"C:\\Prog", u"C:\\Prog\\Wrenlow.ini", kProgram},
      {u"", false, kProgram, u"C:\\Prog", u"C:\\Prog\\Wrenlow.ini", kProgram},
      {u"D:\\pkg\\app.exe", true, u"D:\\pkg\\app.exe", u"D:\\pkg", u"D:\\pkg\\Wrenlow.ini", u"D:\\pkg\\Loomwise.exe"},
      {u"D:app.exe", true, u"D:app.exe", u"D:app.exe", u"D:Wrenlow.ini", u"D:Loomwise.exe"},
      {u"D:\\p/a.exe", true, u"D:\\p/a.exe", u"D:", u"D:\\p/Wrenlow.ini", u"D:\\p/Loomwise.exe"},
      {at260, true, at260, dir260.substr(0, 252), dir260 + u"Wrenlow.ini", dir260 + u"Loomwise.exe"},
      // Too long for a path: the program's own path stands in, yet it is set.
      {u"D:\\" + std::u16string(1100, u'o'), true, kProgram, u"C:\\Prog", u"C:\\Prog\\Wrenlow.ini", kProgram},
  };
  int row = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(row++);
    const Origin o = Read(c.origin, u"C:\\bin");
    EXPECT_EQ(o.set, c.set);
    EXPECT_EQ(o.OriginOrProgramPath(), c.path);
    EXPECT_EQ(o.OriginOrProgramFolder(), c.folder);
    EXPECT_EQ(BuildToolFolder(o), c.set ? u"C:\\Prog" : u"C:\\bin");
    EXPECT_EQ(SettingsFilePathFor(o), c.settings);
    EXPECT_EQ(ResumeProgramPath(o), c.resume);
  }
}

// QUILLMARK_BIN names the tools' folder (one trailing separator dropped); a
// value longer than 260 characters is absent, never cut.
TEST(Origin, QuillmarkBinNamesTheToolFolder) {
  const std::u16string at260 = u"E:\\" + std::u16string(257, u'b');
  const std::pair<std::optional<std::u16string>, std::u16string> cases[] = {
      {{}, u"C:\\Prog"},
      {u"", u"C:\\Prog"},
      {u"C:\\bin\\", u"C:\\bin"},
      {u"C:\\bin/", u"C:\\bin"},
      {u"C:\\bin\\\\", u"C:\\bin\\"},
      {at260, at260},
      {at260 + u"b", u"C:\\Prog"},
  };
  for (const auto& [bin, tools] : cases) EXPECT_EQ(BuildToolFolder(Read({}, bin)), tools) << bin.value_or(u"").size();
}
