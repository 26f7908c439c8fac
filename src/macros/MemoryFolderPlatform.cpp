#include "macros/MemoryFolderPlatform.h"

#include "util/FileIo.h"
#include "util/Text.h"

namespace loom {

struct MemoryFolderPlatform::Entry {
  std::u16string longName, shortName;  // shortName empty when it is the long name
  std::vector<std::unique_ptr<Entry>> children;
};

namespace {

std::vector<std::u16string_view> SplitPath(std::u16string_view path) {
  std::vector<std::u16string_view> parts;
  size_t start = 0;
  for (size_t i = 0; i <= path.size(); ++i) {
    if (i == path.size() || IsSeparator(path[i])) {
      parts.push_back(path.substr(start, i - start));
      start = i + 1;
    }
  }
  return parts;
}

}  // namespace

MemoryFolderPlatform::MemoryFolderPlatform() : root_(std::make_unique<Entry>()) {}
MemoryFolderPlatform::~MemoryFolderPlatform() = default;

char16_t MemoryFolderPlatform::Upcase(char16_t c) const { return UpcaseUnit(c); }

std::u16string MemoryFolderPlatform::Upper(std::u16string_view s) const {
  std::u16string u(s);
  for (char16_t& c : u) c = UpcaseUnit(c);
  return u;
}

bool MemoryFolderPlatform::Give(const std::u16string& value, std::u16string& out) {
  if (value.empty()) return false;
  out = value;
  return true;
}

void MemoryFolderPlatform::SetRegistry(RegistryRoot root, std::u16string_view subkey, std::u16string_view name,
                                       uint32_t type, std::u16string_view data, bool view64) {
  std::u16string key = Upper(subkey) + u'\\' + Upper(name);
  registry_[RegistryKey(root, view64, key)] = {type, std::u16string(data)};
}

uint32_t MemoryFolderPlatform::ReadRegistryValue(RegistryRoot root, std::u16string_view subkey,
                                                 std::u16string_view valueName, uint32_t extraAccess, uint32_t& type,
                                                 std::u16string& data) const {
  const bool view64 = is64Bit && (extraAccess & kKeyWow64_64Key) != 0;
  auto it = registry_.find(RegistryKey(root, view64, Upper(subkey) + u'\\' + Upper(valueName)));
  if (it == registry_.end()) return kErrorFileNotFound;
  type = it->second.first;
  data = it->second.second;
  return 0;
}

void MemoryFolderPlatform::SetEnv(std::u16string_view name, std::u16string_view value) {
  env_[Upper(name)] = std::u16string(value);
}

void MemoryFolderPlatform::RemoveEnv(std::u16string_view name) { env_.erase(Upper(name)); }

bool MemoryFolderPlatform::GetEnvironment(std::u16string_view name, std::u16string& value) const {
  auto it = env_.find(Upper(name));
  if (it == env_.end()) return false;
  value = it->second;
  return true;
}

bool MemoryFolderPlatform::SetEnvironment(std::u16string_view name, const std::u16string* value) {
  if (value)
    SetEnv(name, *value);
  else
    RemoveEnv(name);
  return true;
}

bool MemoryFolderPlatform::ExpandEnvironment(std::u16string_view text, std::u16string& expanded) const {
  // As the system does it: %NAME% of a set variable is replaced; otherwise
  // the "%" and the name are copied and the closing "%" may open the next.
  std::u16string out;
  size_t pos = 0;
  while (pos < text.size()) {
    const size_t open = text.find(u'%', pos);
    if (open == std::u16string_view::npos) break;
    out += text.substr(pos, open - pos);
    const size_t close = text.find(u'%', open + 1);
    if (close == std::u16string_view::npos) {
      pos = open;
      break;
    }
    auto it = env_.find(Upper(text.substr(open + 1, close - open - 1)));
    if (close > open + 1 && it != env_.end()) {
      out += it->second;
      pos = close + 1;
    } else {
      out += text.substr(open, close - open);
      pos = close;
    }
  }
  out += text.substr(pos);
  expanded = std::move(out);
  return true;
}

void MemoryFolderPlatform::AddPath(std::u16string_view longPath, std::u16string_view shortPath) {
  const auto longParts = SplitPath(longPath);
  const auto shortParts = SplitPath(shortPath);
  const bool withShort = !shortPath.empty() && shortParts.size() == longParts.size();
  Entry* dir = root_.get();
  for (size_t i = 0; i < longParts.size(); ++i) {
    if (longParts[i].empty()) continue;
    Entry* child = nullptr;
    for (auto& c : dir->children)
      if (EqualsNoCaseUnicode(c->longName, longParts[i])) child = c.get();
    if (!child) {
      dir->children.push_back(std::make_unique<Entry>());
      child = dir->children.back().get();
      child->longName.assign(longParts[i]);
    }
    if (withShort && !EqualsNoCaseUnicode(shortParts[i], longParts[i])) child->shortName.assign(shortParts[i]);
    dir = child;
  }
}

bool MemoryFolderPlatform::MapPath(std::u16string_view path, bool toShort, std::u16string& out) const {
  const auto parts = SplitPath(path);
  std::u16string result;
  const Entry* dir = root_.get();
  for (size_t i = 0; i < parts.size(); ++i) {
    if (parts[i].empty()) {
      if (i + 1 == parts.size() && i > 0) break;  // a trailing separator
      return false;
    }
    const Entry* found = nullptr;
    for (const auto& c : dir->children)
      if (EqualsNoCaseUnicode(c->longName, parts[i]) ||
          (!c->shortName.empty() && EqualsNoCaseUnicode(c->shortName, parts[i])))
        found = c.get();
    if (!found) return false;
    if (i > 0) result += u'\\';
    result += toShort && !found->shortName.empty() ? found->shortName : found->longName;
    dir = found;
  }
  if (!parts.empty() && parts.back().empty() && parts.size() > 1) result += u'\\';
  out = std::move(result);
  return true;
}

bool MemoryFolderPlatform::ShortPath(std::u16string_view path, std::u16string& shortPath) const {
  return MapPath(path, true, shortPath);
}

bool MemoryFolderPlatform::LongPath(std::u16string_view path, std::u16string& longPath) const {
  return MapPath(path, false, longPath);
}

bool MemoryFolderPlatform::NtPath(std::u16string_view dosPath, std::u16string& ntPath) const {
  if (dosPath.size() >= 2 && dosPath[1] == u':' &&
      ((dosPath[0] >= u'A' && dosPath[0] <= u'Z') || (dosPath[0] >= u'a' && dosPath[0] <= u'z'))) {
    ntPath = u"\\??\\" + std::u16string(dosPath);
    return true;
  }
  if (dosPath.size() > 2 && dosPath.substr(0, 2) == u"\\\\") {
    ntPath = u"\\??\\UNC\\" + std::u16string(dosPath.substr(2));
    return true;
  }
  return false;
}

}  // namespace loom
