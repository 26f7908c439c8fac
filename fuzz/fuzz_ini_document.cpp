// Fuzzes IniDocument with a document and a sequence of edits.
//
// Input: byte 0 gives the number of operations (up to 15), then three bytes
// per operation (operation, argument selector, argument selector), then the
// document's UTF-16LE bytes. Arguments are drawn from small fixed sets and
// from names, keys and comment lines found in the document itself.
//
// Invariants: loading and reading back gives the input bytes; an edit that
// fails leaves the text unchanged (CommentOutKey may only have added ";");
// a successful SetValue of a plain key and value reads back with GetValue;
// a successful CommentOutKey leaves no active line of the key; no key edit
// and no rename adds or removes a section, whatever its operands hold; a
// profile-style write of a plain key and value reads back with ProfileValue.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "project/IniDocument.h"
#include "FuzzCheck.h"

using loom::IniDocument;

namespace {

bool Contains(const std::u16string& s, std::u16string_view chars) {
  return s.find_first_of(chars.data(), 0, chars.size()) != std::u16string::npos;
}

bool Trimmed(const std::u16string& s) {
  return s.empty() || (s.front() != u' ' && s.front() != u'\t' && s.back() != u' ' && s.back() != u'\t');
}

// A section, key and value that a profile-style write stores as they are.
bool PlainProfileLine(const std::u16string& section, const std::u16string& key, const std::u16string& value) {
  if (Contains(section, u"]\r\n") || Contains(key, u"=\r\n") || Contains(value, u"\r\n")) return false;
  if (!key.empty() && (key[0] == u';' || key[0] == u'[')) return false;
  if (value.size() >= 2 && value.front() == u'"' && value.back() == u'"') return false;
  return Trimmed(section) && Trimmed(key) && Trimmed(value);
}

// A key and value that read back exactly as written once set.
bool PlainKeyLine(const std::u16string& key, const std::u16string& value, const std::u16string* marker) {
  if (Contains(key, u"=\r\n") || Contains(value, u"\r\n")) return false;
  if (!key.empty() && (key[0] == u';' || key[0] == u' ' || key[0] == u'\t' || key[0] == u'[')) return false;
  return !marker || (!marker->empty() && (*marker)[0] == u';' && !Contains(*marker, u"=\r\n"));
}

// True when `after` is `before` with only ";" characters inserted.
bool OnlySemicolonsAdded(const std::u16string& before, const std::u16string& after) {
  size_t i = 0;
  for (char16_t c : after) {
    if (i < before.size() && before[i] == c)
      ++i;
    else if (c != u';')
      return false;
  }
  return i == before.size();
}

void AddPrefixes(const std::u16string& text, std::vector<std::u16string>& keys, std::vector<std::u16string>& lines) {
  size_t pos = 1;
  while (pos < text.size() && keys.size() < 16 && lines.size() < 24) {
    size_t end = text.find_first_of(u"\r\n", pos);
    if (end == std::u16string::npos) end = text.size();
    std::u16string line = text.substr(pos, std::min<size_t>(end - pos, 64));
    size_t k = line.find_first_not_of(u" \t");
    if (k != std::u16string::npos) {
      if (line[k] == u';' || line[k] == u'#') lines.push_back(line.substr(k));
      if (line[k] == u';') k = line.find_first_not_of(u" \t", k + 1);
      size_t eq = line.find(u'=');
      if (k != std::u16string::npos && eq != std::u16string::npos && eq >= k) keys.push_back(line.substr(k, eq - k));
    }
    pos = end + 1;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const size_t ops = std::min<size_t>(data[0] % 16, (size - 1) / 3);
  const uint8_t* op = data + 1;
  const std::string bytes(reinterpret_cast<const char*>(data + 1 + ops * 3), size - 1 - ops * 3);

  IniDocument doc;
  if (!doc.LoadFromBytes(bytes)) {
    CHECK(doc.Text().empty());
    return 0;
  }
  CHECK(doc.Bytes() == bytes);
  if (data[0] & 0x10) doc.SetLineEnd(IniDocument::LineEnd::kAsFile);

  std::vector<std::u16string> sections = {u"A", u"a", u" A", u"\u00c9t\u00e9", u"", u"B"};
  std::vector<std::u16string> keys = {u"k", u"K", u"k ", u"#k", u"", u"\u00e9"};
  std::vector<std::u16string> texts = {u";m", u";-- Portal --", u"", u"v", u"x y", u"a\r\nb", u"[S]", u"]"};
  for (auto& s : doc.ListSections())
    if (sections.size() < 14) sections.push_back(s.substr(0, 64));
  AddPrefixes(doc.Text(), keys, texts);

  for (size_t i = 0; i < ops; ++i, op += 3) {
    const std::u16string& section = sections[op[1] % sections.size()];
    const std::u16string& key = keys[op[2] % keys.size()];
    const std::u16string& text = texts[op[2] % texts.size()];
    const std::u16string& value = texts[(op[1] >> 4) % texts.size()];
    const std::u16string* marker = (op[0] & 0x80) ? &texts[(op[0] >> 4) % texts.size()] : nullptr;
    const std::u16string before = doc.Text();
    const std::vector<std::u16string> sectionsBefore = doc.ListSections();
    bool sameSections = true;  // what a successful edit must keep
    bool ok = false;
    switch (op[0] % 10) {
      case 0: {
        CHECK(doc.GetValue(section, key).size() <= before.size());
        CHECK(doc.Text() == before);
        continue;
      }
      case 1:
        ok = doc.SetValue(section, key, value, marker ? marker->c_str() : nullptr);
        if (ok && PlainKeyLine(key, value, marker)) CHECK(doc.GetValue(section, key) == value);
        break;
      case 2: ok = doc.DeleteKey(section, key); break;
      case 3:
        ok = doc.CommentOutKey(section, key);
        CHECK(OnlySemicolonsAdded(before, doc.Text()));
        if (ok) CHECK(doc.GetValue(section, key).empty());
        continue;
      case 4: ok = doc.UncommentKey(section, key); break;
      case 5: ok = doc.DeleteBlock(section, text); break;
      case 6:
        ok = doc.RenameSection(section, sections[(op[2]) % sections.size()]);
        if (ok) CHECK(doc.ListSections().size() == sectionsBefore.size());
        sameSections = false;
        break;
      case 7:
        ok = doc.DeleteSection(section);
        sameSections = false;
        break;
      case 8: ok = doc.SetValue(section, key, value); break;
      default:
        if (op[0] & 0x40) {
          // Refused operands leave the text alone (checked below).
          ok = doc.SetProfileValue(section, key, value);
          sameSections = false;  // a profile write adds a missing section
          if (ok && PlainProfileLine(section, key, value)) CHECK(doc.ProfileValue(section, key) == value);
        } else {
          (void)doc.ListSections();
          ok = true;
        }
        break;
    }
    if (!ok) CHECK(doc.Text() == before);
    if (ok && sameSections) CHECK(doc.ListSections() == sectionsBefore);
  }
  return 0;
}
