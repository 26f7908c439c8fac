#include <gtest/gtest.h>

#include <fstream>

#include "util/FileIo.h"
#include "util/PackageAttributes.h"
#include "util/PackageAttributesWriter.h"
#include "util/Text.h"

using namespace loom;

namespace {

std::string Le(uint64_t v, int bytes) { return bytes ? char(v & 0xFF) + Le(v >> 8, bytes - 1) : ""; }

// A header with one record and the attribute table at `table` (0 = none).
// The pool holds every name, then every value, each NUL-terminated.
std::string Header(const std::vector<std::pair<std::u16string, std::u16string>>& attrs, uint16_t table = 38) {
  std::string h = "wren" + std::string(6, '\0') + Le(1, 2) + std::string(20, 'r') + Le(0, 2) + Le(table, 2) + Le(0, 2);
  if (table == 0) return h;
  h.resize(table, 'p');
  std::u16string pool;
  std::string names, values;
  for (auto& a : attrs) {
    names += Le(pool.size(), 2);
    pool += a.first + u'\0';
  }
  for (auto& a : attrs) {
    values += Le(pool.size(), 2) + Le(0xBEEF, 2);
    pool += a.second + u'\0';
  }
  return h + Le(attrs.size(), 2) + names + values + ToUtf16LeBytes(pool);
}

// A package file: locator at 64 and the header at 96 (whatever the locator says).
std::string Package(const std::string& header, uint64_t offset = 96, int64_t size = -1) {
  return std::string(64, 'x') + Le(offset, 8) + Le(size < 0 ? header.size() : uint64_t(size), 4) + Le(0, 4) +
         std::string(16, 'y') + header + "trailing";
}

std::optional<PackageHeader> Read(const std::string& name, const std::string& bytes, uint32_t* error = nullptr) {
  std::string path = ::testing::TempDir() + "pkgattr_" + name;
  std::ofstream(path, std::ios::binary) << bytes;
  return ReadPackageAttributes(Utf8ToUtf16(path), error);
}

uint32_t ReadError(const std::string& name, const std::string& bytes) {
  uint32_t error = 0;
  EXPECT_FALSE(Read(name, bytes, &error).has_value()) << name;
  return error;
}

}  // namespace

TEST(PackageAttributes, ReadsListsAndLooksUpAttributesCaseSensitively) {
  // An odd table offset puts the pool at an odd byte offset of the header.
  for (uint16_t table : {38, 41}) {
    uint32_t error = 99;
    auto header =
        Read("good", Package(Header({{u"AppID", u"{12}"}, {u"Name", u"\u6d4b"}, {u"Empty", u""}}, table)), &error);
    ASSERT_TRUE(header.has_value());
    EXPECT_EQ(error, 0u);
    EXPECT_EQ(GetPackageAttribute(*header, u"AppID"), std::u16string_view(u"{12}"));
    EXPECT_EQ(GetPackageAttribute(*header, u"Name"), std::u16string_view(u"\u6d4b"));
    EXPECT_EQ(GetPackageAttribute(*header, u"Empty"), std::u16string_view());  // index of the last NUL
    EXPECT_FALSE(GetPackageAttribute(*header, u"appid").has_value());
    EXPECT_FALSE(GetPackageAttribute(*header, u"AppI").has_value());
    auto list = ListPackageAttributes(*header);
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[1], std::make_pair(std::u16string(u"Name"), std::u16string(u"\u6d4b")));
  }
  // No table, and K = 0 with the header ending behind the count (no pool).
  for (uint16_t table : {0, 38}) {
    auto header = Read("empty", Package(Header({}, table)));
    ASSERT_TRUE(header.has_value());
    EXPECT_FALSE(GetPackageAttribute(*header, u"AppID").has_value());
  }
}

TEST(PackageAttributes, MalformedFilesFailAsInvalidFormat) {
  const std::string good = Header({{u"AppID", u"x"}});  // pool at 46: "AppID\0x\0", last NUL at 7
  auto with = [&good](size_t at, char c) {
    std::string h = good;
    h[at] = c;
    return h;
  };
  EXPECT_EQ(ReadError("short", Package(good).substr(0, 79)), kErrorBadExeFormat);
  EXPECT_EQ(ReadError("outside", Package(good, 96, 4096)), kErrorBadExeFormat);
  EXPECT_EQ(ReadError("wraps", Package(good, ~uint64_t(0) - 15, 32)), kErrorBadExeFormat);
  EXPECT_EQ(ReadError("magic", Package(with(0, 'W'))), kErrorBadExeFormat);
  EXPECT_EQ(ReadError("fixed", Package(good.substr(0, 37))), kErrorBadExeFormat);
  EXPECT_EQ(ReadError("table", Package(with(35, char(0xFF)))), kErrorBadExeFormat);
  EXPECT_EQ(ReadError("nopool", Package(good.substr(0, 46))), kErrorBadExeFormat);
  // A pool without a NUL: the odd byte at its end is not a unit.
  EXPECT_EQ(ReadError("nonul", Package(good.substr(0, 56) + std::string(1, '\0'))), kErrorBadExeFormat);
  EXPECT_EQ(ReadError("pastnul", Package(with(42, 8))), kErrorBadExeFormat);
  EXPECT_EQ(ReadError("name", Package(with(40, 8))), kErrorBadExeFormat);
  auto atNul = Read("atnul", Package(with(42, 7)));
  ASSERT_TRUE(atNul.has_value());
  EXPECT_EQ(GetPackageAttribute(*atNul, u"AppID"), std::u16string_view());
  EXPECT_EQ(ReadError("external", Package(with(32, char(good.size() - 1)))), kErrorBadExeFormat);  // no whole NUL unit

  uint32_t error = 0;
  EXPECT_FALSE(ReadPackageAttributes(Utf8ToUtf16(::testing::TempDir() + "pkgattr_never_written"), &error).has_value());
  EXPECT_EQ(error, kErrorFileNotFound);
}

TEST(PackageAttributes, WrittenPackagesReadBack) {
  const PackageAttributeList lists[] = {
      {},
      {{u"AppID", u"{0A1B}"}, {u"VersionID", u"3"}, {u"InventoryName", u"Demo \u5e94\u7528"}, {u"ReadOnlyData", u""}},
  };
  for (const PackageAttributeList& attrs : lists) {
    std::optional<std::string> bytes = MakePackageFile(attrs, "body of the package");
    ASSERT_TRUE(bytes.has_value());
    uint32_t error = 99;
    auto header = Read("written", *bytes, &error);
    ASSERT_TRUE(header.has_value());
    EXPECT_EQ(error, 0u);
    EXPECT_EQ(ListPackageAttributes(*header), attrs);
    for (const auto& [name, value] : attrs) EXPECT_EQ(GetPackageAttribute(*header, name), std::u16string_view(value));
  }
  EXPECT_FALSE(MakePackageFile({{u"Big", std::u16string(70000, u'x')}}).has_value());
}
