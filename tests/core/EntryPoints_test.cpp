#include <gtest/gtest.h>

#include <climits>
#include <map>

#include "project/EntryPoints.h"
#include "project/IniDocument.h"
#include "util/Text.h"

using namespace loom;

namespace {

// A project file as the profile API sees it: sections in order, keys by name.
class FakeProfile : public ProfileReader {
 public:
  FakeProfile& Section(std::u16string name, std::map<std::u16string, std::u16string> keys) {
    names_.push_back(name);
    keys_.emplace(name, std::move(keys));
    return *this;
  }
  std::vector<std::u16string> SectionNames() override { return names_; }
  std::u16string Value(const std::u16string& section, const std::u16string& key) override {
    auto s = keys_.find(section);
    if (s == keys_.end()) return {};
    auto k = s->second.find(key);
    return k == s->second.end() ? std::u16string() : k->second;
  }

 private:
  std::vector<std::u16string> names_;
  std::map<std::u16string, std::map<std::u16string, std::u16string>> keys_;
};

std::vector<std::u16string> Names(const std::vector<EntryPoint>& entries) {
  std::vector<std::u16string> names;
  for (const EntryPoint& e : entries) names.push_back(DisplayName(e));
  return names;
}

EntryPoint Entry(std::u16string source, std::u16string templ = u"", bool preSelected = false) {
  EntryPoint e;
  e.source = std::move(source);
  e.templateName = std::move(templ);
  e.preSelected = preSelected;
  return e;
}

}  // namespace

TEST(EntryPointText, IntegersAndHashDecoding) {
  struct {
    const char16_t* text;
    long value;
  } integers[] = {{u"1", 1},
                  {u"  -3x", -3},
                  {u"+7", 7},
                  {u"x1", 0},
                  {u"", 0},
                  {u"0", 0},
                  {u"99999999999999999999", LONG_MAX}};  // saturates instead of overflowing
  for (const auto& c : integers) EXPECT_EQ(ProfileInteger(c.text), c.value) << Utf16ToUtf8(c.text);

  struct {
    const char16_t* in;
    const char16_t* out;
  } decoded[] = {
      {u"C:\\A#20B\\x.exe", u"C:\\A B\\x.exe"},
      {u"#25ProgramFilesDir#25", u"%ProgramFilesDir%"},
      {u"#2a#2A", u"**"},                // either letter case
      {u"#00cut", u"#00cut"},            // U+0000 would cut the path
      {u"#G1 and #1G", u"#G1 and #1G"},  // not two hexadecimal digits: kept
      {u"end#4", u"end#4"},              // fewer than two characters follow
      {u"##23", u"##"},                  // "##2" is not hexadecimal; then "#23" is
  };
  for (const auto& c : decoded) EXPECT_EQ(DecodeEntryText(c.in), c.out) << Utf16ToUtf8(c.in);
}

TEST(EntryPointLoading, SectionsFlagsDisplayNameAndStableOrder) {
  FakeProfile p;
  p.Section(u"BuildOptions", {{u"Source", u"x.exe"}})
      .Section(u"Debug.exe", {{u"Source", u"C:\\d.exe"}, {u"Disabled", u"1"}, {u"ForDebugOnly", u"1"}})
      .Section(u"Off.exe", {{u"Source", u"C:\\o.exe"}, {u"Disabled", u" 2"}})
      .Section(u"NoSource", {{u"Icon", u"x.ico"}})
      .Section(u"buildoptions", {{u"Source", u"C:\\b.exe"}})  // only the exact name is skipped
      .Section(u"Data.dat", {{u"Source", u"C:\\x.dat"}, {u"MetaDataContainerOnly", u"1"}})
      .Section(u"App.exe", {{u"Source", u"C:\\Program#20Files\\a.exe"},
                            {u"CommandLine", u"#22a#22 -x"},
                            {u"Disabled", u"0"},
                            {u"ForDebugOnly", u"1"},
                            {u"PreSelected", u"1"},
                            {u"IsBrowser", u"yes"},
                            {u"Template", u"T1"},
                            {u"Icon", u"#20"}})
      .Section(u"", {{u"Source", u"C:\\dir\\Nameless.exe"}})
      .Section(u"Off2.exe", {{u"Source", u"C:\\o2.exe"}, {u"Disabled", u"x"}});
  std::vector<EntryPoint> e = LoadEntryPoints(p);
  EXPECT_EQ(Names(e), (std::vector<std::u16string>{u"buildoptions", u"App.exe", u"Nameless.exe", u"Off2.exe",
                                                   u"Off.exe", u"Debug.exe"}));
  const EntryPoint& app = e[1];
  EXPECT_EQ(app.source, u"C:\\Program Files\\a.exe");
  EXPECT_EQ(app.commandLine, u"\"a\" -x");
  EXPECT_EQ(app.icon, u"#20") << "the icon is taken as written";
  EXPECT_EQ(app.templateName, u"T1");
  EXPECT_TRUE(app.enabled);
  EXPECT_FALSE(app.forDebugOnly) << "an enabled entry is never for debugging only";
  EXPECT_TRUE(app.preSelected);
  EXPECT_FALSE(app.isBrowser) << "\"yes\" has no leading digits";
  EXPECT_TRUE(e[3].enabled) << "\"x\" reads as 0";
  EXPECT_FALSE(e[4].enabled);
  EXPECT_TRUE(e[5].forDebugOnly);

  FakeProfile empty;
  EXPECT_TRUE(LoadEntryPoints(empty).empty());
}

TEST(EntryPointChoice, UserChecksPreSelectionAndVariants) {
  std::vector<EntryPoint> e = {Entry(u"C:\\a.exe", u"Full", true), Entry(u"c:\\A.EXE", u"full"),
                               Entry(u"C:\\a.exe", u"Lite"), Entry(u"C:\\a.exe", u"Kiosk", true), Entry(u"C:\\b.exe")};
  struct {
    const char* what;
    RowChecks before;
    size_t row;
    bool nowChecked;
    RowChecks after;
    bool refused;
  } cases[] = {
      {"unchecking a pre-selected row is refused", {1, 0, 0, 1, 1}, 0, false, {1, 0, 0, 1, 1}, true},
      {"unchecking another row is kept", {1, 1, 0, 1, 1}, 4, false, {1, 1, 0, 1, 0}, false},
      {"checking a variant unchecks the other templates, not pre-selected rows, not equal templates",
       {1, 1, 0, 1, 1},
       2,
       true,
       {1, 0, 1, 1, 1},
       false},
      {"equal templates (letter case aside) may both stay", {1, 0, 0, 1, 0}, 1, true, {1, 1, 0, 1, 0}, false},
      {"two pre-selected variants: neither unchecks the other", {1, 0, 0, 0, 0}, 3, true, {1, 0, 0, 1, 0}, false},
      {"a row beyond the shown rows changes nothing", {1, 0}, 4, true, {1, 0}, false},
  };
  for (auto& c : cases) {
    RowChecks checks = c.before;
    if (c.row < checks.size()) checks[c.row] = c.nowChecked;
    EXPECT_EQ(ApplyUserCheck(e, checks, c.row), c.refused) << c.what;
    EXPECT_EQ(checks, c.after) << c.what;
  }
}

TEST(EntryPointChoice, NamesBrowserSuggestionAndInitialChecks) {
  std::vector<EntryPoint> e = {Entry(u"C:\\a.exe"), Entry(u"C:\\web.exe"), Entry(u"C:\\web2.exe")};
  e[0].sectionName = u"My.App.exe";
  e[1].isBrowser = e[2].isBrowser = true;
  e[2].enabled = false;
  EXPECT_EQ(InitialChecks(e, 3), (RowChecks{1, 1, 0}));
  EXPECT_EQ(InitialChecks(e, 2), (RowChecks{1, 1}));
  EXPECT_EQ(ChosenNames(e, {0, 1, 1}), (std::vector<std::u16string>{u"web.exe", u"web2.exe"}));
  EXPECT_EQ(FirstChosenBrowser(e, {1, 0, 1}), u"web2.exe");
  EXPECT_EQ(FirstChosenBrowser(e, {1, 0}), u"");
  EXPECT_EQ(SuggestInventoryName(u"Suggested", u"My.App.exe"), u"Suggested");
  EXPECT_EQ(SuggestInventoryName(u"", u"My.App.exe"), u"My.App");
  EXPECT_EQ(SuggestInventoryName(u"", u"Tool"), u"Tool");
  EXPECT_EQ(SuggestInventoryName(u"", u""), u"");
}

TEST(EntryPointChoice, SaveWritesDisabledOnlyWhereItChanges) {
  IniDocument doc;
  const std::u16string before =
      u"\uFEFF[BuildOptions]\r\nOutDir=bin\r\n\r\n[A.exe]\r\nSource=a\r\nDisabled=1\r\n; keep me\r\n\r\n"
      u"[B.exe]\r\nSource=b\r\n\r\n[Dbg.exe]\r\nSource=d\r\nDisabled=1\r\nForDebugOnly=1\r\n";
  ASSERT_TRUE(doc.LoadFromBytes(ToUtf16LeBytes(before)));
  std::vector<EntryPoint> e = {Entry(u"a"), Entry(u"b"), Entry(u"d")};
  e[0].sectionName = u"A.exe";
  e[1].sectionName = u"B.exe";
  e[2].sectionName = u"Dbg.exe";
  ApplyEntryChoices(doc, e, {true, false});  // the debug row is hidden
  EXPECT_EQ(doc.Text(),
            u"\uFEFF[BuildOptions]\r\nOutDir=bin\r\n\r\n[A.exe]\r\nSource=a\r\n; keep me\r\n\r\n"
            u"[B.exe]\r\nDisabled=1\r\nSource=b\r\n\r\n[Dbg.exe]\r\nSource=d\r\nDisabled=1\r\nForDebugOnly=1\r\n");
}

TEST(EntryPointIcons, LocationAndExecutableHeader) {
  struct {
    const char16_t* text;
    const char16_t* path;
    long index;
  } locations[] = {
      {u"C:\\App\\app.exe,2", u"C:\\App\\app.exe", 2},
      {u"C:\\App\\app.exe,-1", u"C:\\App\\app.exe", -1},  // refused later: no such icon
      {u"C:\\App.d\\app,3", u"C:\\App.d\\app,3", 0},      // no "." after the last backslash
      {u"app.exe,2", u"app.exe,2", 0},                    // no backslash: taken whole
      {u"C:\\a,b\\x.ico", u"C:\\a,b\\x.ico", 0},
  };
  for (const auto& c : locations) {
    IconLocation at = ParseIconLocation(c.text);
    EXPECT_EQ(at.path, c.path) << Utf16ToUtf8(c.text);
    EXPECT_EQ(at.index, c.index) << Utf16ToUtf8(c.text);
  }

  std::string head(64, '\0');
  head[0] = 'M', head[1] = 'Z', head[60] = char(0x80);
  EXPECT_EQ(PeSignatureOffset(head, 0x84), 0x80u);
  EXPECT_EQ(PeSignatureOffset(head, 0x83), 0u) << "the signature would end past the file";
  EXPECT_EQ(PeSignatureOffset(head.substr(0, 63), 1000), 0u) << "shorter than the header";
  head[63] = char(0xFF);  // an offset near 4 GB
  EXPECT_EQ(PeSignatureOffset(head, 1000), 0u);
  head[63] = 0, head[0] = 'Z';
  EXPECT_EQ(PeSignatureOffset(head, 1000), 0u);
  EXPECT_TRUE(IsPeSignature(std::string("PE\0\0", 4)));
  EXPECT_FALSE(IsPeSignature("PE"));
  EXPECT_FALSE(IsPeSignature(std::string("PE\0\1", 4)));
}
