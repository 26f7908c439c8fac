// Converting between paths and their macro form: paths to macros, macros
// to paths, the short-name form that keeps 8.3 paths meaningful on another
// machine, and the escaping of Package.ini values.
#include "macros/FolderMacros.h"

#include <algorithm>

#include "util/Text.h"

namespace loom {
namespace {

bool IsAsciiDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

int HexValue(char16_t c) {
  if (IsAsciiDigit(c)) return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}

// `digits` hexadecimal digits at text[pos...]; -1 when they are not there.
long ParseHex(std::u16string_view text, size_t pos, size_t digits) {
  if (pos > text.size() || text.size() - pos < digits) return -1;
  long v = 0;
  for (size_t i = 0; i < digits; ++i) {
    const int d = HexValue(text[pos + i]);
    if (d < 0) return -1;
    v = v * 16 + d;
  }
  return v;
}

void AppendHex(std::u16string& out, unsigned value, int digits, bool upper) {
  const char* set = upper ? "0123456789ABCDEF" : "0123456789abcdef";
  for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4) out += char16_t(set[(value >> shift) & 0xF]);
}

bool EndsWithShortMarker(const std::u16string& s) { return !s.empty() && (s.back() == u'~' || s.back() == u'*'); }

bool StartsWithNoCase(const KeyUpcaser& up, std::u16string_view s, std::u16string_view prefix) {
  if (s.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i)
    if (up.Upcase(s[i]) != up.Upcase(prefix[i])) return false;
  return true;
}

// Characters taken into the short-name form after the matched folder.
bool IsShortFormChar(char16_t c) {
  if (IsAsciiLetter(c) || IsAsciiDigit(c)) return true;
  return std::u16string_view(u"@/\\~!#$%^&()_-{}`.").find(c) != std::u16string_view::npos;
}

// A component that could be an 8.3 short name: up to eight of the allowed
// characters, optionally a dot and up to three more; "." and ".." count.
bool IsShortNameComponent(std::u16string_view c) {
  if (c == u"." || c == u"..") return true;
  auto allowed = [](char16_t ch) {
    return IsAsciiLetter(ch) || IsAsciiDigit(ch) ||
           std::u16string_view(u"@!#$%&()_~").find(ch) != std::u16string_view::npos;
  };
  const size_t dot = c.find(u'.');
  const std::u16string_view base = c.substr(0, dot);
  const std::u16string_view ext = dot == std::u16string_view::npos ? std::u16string_view() : c.substr(dot + 1);
  if (base.empty() || base.size() > 8 || ext.size() > 3) return false;
  for (char16_t ch : base)
    if (!allowed(ch)) return false;
  for (char16_t ch : ext)
    if (!allowed(ch)) return false;
  return true;
}

// The length of `remainder` (the long form of `consumed`) up to the end of the
// component that corresponds to the last 8.3 component of `consumed`; 0 when
// `consumed` has none. Components are counted from the start of both texts.
size_t LengthThroughLastShortComponent(std::u16string_view consumed, std::u16string_view remainder) {
  size_t index = 0, lastShort = 0, start = 0;
  bool any = false;
  for (size_t i = 0; i <= consumed.size(); ++i) {
    if (i == consumed.size() || IsSeparator(consumed[i])) {
      if (IsShortNameComponent(consumed.substr(start, i - start))) {
        lastShort = index;
        any = true;
      }
      ++index;
      start = i + 1;
    }
  }
  if (!any) return 0;
  size_t seen = 0;
  for (size_t i = 0; i < remainder.size(); ++i)
    if (IsSeparator(remainder[i]) && seen++ == lastShort) return i;
  return remainder.size();
}

}  // namespace

void FolderMacroTable::WriteShortForm(std::u16string_view path, size_t& pos, size_t matched,
                                      const TernaryMap::Match& match, std::u16string& out) const {
  const std::u16string& macro = *match.value;
  const std::u16string& longFolder = *match.companion;
  const bool pattern = macro.back() == u'*';

  const size_t start = pos + matched;
  size_t end = start;
  std::u16string consumed;
  while (end < path.size() && IsShortFormChar(path[end])) {
    const char16_t c = path[end++];
    consumed += (pattern && c == u'/') ? u'\\' : c;
  }

  // The long form of the folder followed by the consumed text; its part after
  // the folder is written in long form, with the count of characters that
  // are to be shortened again when the macro is read.
  std::u16string longForm;
  if (!longFolder.empty() && platform_.LongPath(longFolder + consumed, longForm) &&
      StartsWithNoCase(platform_, longForm, longFolder)) {
    const std::u16string_view remainder = std::u16string_view(longForm).substr(longFolder.size());
    const size_t n = LengthThroughLastShortComponent(consumed, remainder);
    if (n <= 0xFFFF) {
      out += macro;
      AppendHex(out, static_cast<unsigned>(n), 4, false);
      out += remainder;
      pos = end;
      return;
    }
  }
  // No long form: only the folder is replaced; the characters after it stay
  // in the path as they are, so nothing of it is lost.
  out += macro;
  out += u"0000";
  pos = start;
}

void FolderMacroTable::ReadShortForm(std::u16string_view text, size_t& pos, size_t matched,
                                     const TernaryMap::Match& match, std::u16string& out) const {
  const bool pattern = text[pos + matched - 1] == u'*';
  size_t next = pos + matched;
  // Four hex digits count the characters to shorten; without them, none.
  size_t n = 0;
  const long count = ParseHex(text, next, 4);
  if (count >= 0) {
    next += 4;
    n = std::min(static_cast<size_t>(count), text.size() - next);
  }
  std::u16string joined = *match.companion;
  joined += text.substr(next, n);
  pos = next + n;

  std::u16string shortForm, shortPattern;
  if (!platform_.ShortPath(joined, shortForm))
    out += joined;
  else if (pattern && platform_.ShortNamePattern(shortForm, shortPattern))
    out += shortPattern;
  else
    out += shortForm;
}

bool FolderMacroTable::PathToMacros(std::u16string_view path, std::u16string& result,
                                    const MacroEscapeSet* escapes) const {
  const int view = CurrentView();
  std::u16string out;
  out.reserve(path.size() + 16);
  bool changed = false;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    const TernaryMap& map = maps().pathToMacro[view];
    size_t pos = 0;
    while (pos < path.size()) {
      const TernaryMap::Match m = map.FindLongest(path.substr(pos), platform_);
      if (m.length != 0) {
        changed = true;
        if (EndsWithShortMarker(*m.value)) {
          WriteShortForm(path, pos, m.length, m, out);
          continue;
        }
        // A folder key ending in "\" leaves that "\" in the path, unless the
        // path ends there (or the key is nothing but the "\").
        size_t consumed = m.length;
        if (m.length > 1 && pos + m.length < path.size() && path[pos + m.length - 1] == u'\\') --consumed;
        out += *m.value;
        pos += consumed;
        continue;
      }
      const char16_t c = path[pos++];
      const bool escape =
          escapes != nullptr && ((c > 127 && escapes->escapeAbove127) || (c < 256 && escapes->marks[c]));
      if (!escape) {
        out += c;
      } else if (c < 256) {
        out += u'#';
        AppendHex(out, c, 2, false);
        changed = true;
      } else {
        out += u"##";
        AppendHex(out, c, 4, false);
        changed = true;
      }
    }
  }

  // A path that no folder covers keeps its drive in macro form.
  if (!changed) {
    size_t letter = std::u16string_view::npos;
    if (path.size() >= 2 && IsAsciiLetter(path[0]) && path[1] == u':')
      letter = 0;
    else if (path.size() >= 6 && path.substr(0, 4) == u"\\??\\" && IsAsciiLetter(path[4]) && path[5] == u':')
      letter = 4;
    if (letter != std::u16string_view::npos) {
      out = u"%drive_";
      out += path[letter];
      out += u'%';
      out += path.substr(letter + 2);
      changed = true;
    }
  }
  result = std::move(out);
  return changed;
}

namespace {

// Where a path inside free text may begin: after one of these, or at the start.
bool EndsName(char16_t c) { return std::u16string_view(u" \t\"';,=(<>|@").find(c) != std::u16string_view::npos; }
// What may follow a whole folder name inside free text.
bool FollowsName(char16_t c) { return std::u16string_view(u"\\/\"';,|<>)").find(c) != std::u16string_view::npos; }

}  // namespace

bool FolderMacroTable::TextToMacros(std::u16string_view text, std::u16string& result) const {
  const int view = CurrentView();
  std::u16string out;
  out.reserve(text.size() + 16);
  bool changed = false;
  std::lock_guard<std::mutex> lock(mutex_);
  const TernaryMap& map = maps().pathToMacro[view];
  size_t pos = 0;
  while (pos < text.size()) {
    if (pos == 0 || EndsName(text[pos - 1])) {
      const TernaryMap::Match m = map.FindLongest(text.substr(pos), platform_);
      const size_t end = pos + m.length;
      if (m.length != 0 && (text[end - 1] == u'\\' || end == text.size() || FollowsName(text[end]))) {
        if (EndsWithShortMarker(*m.value)) {
          // The long remainder is copied as it is: take it only when it
          // holds nothing that reads as a macro or an escape.
          std::u16string shortForm;
          size_t next = pos;
          WriteShortForm(text, next, m.length, m, shortForm);
          if (shortForm.find_first_of(u"%#", m.value->size() + 4) == std::u16string::npos) {
            out += shortForm;
            pos = next;
            changed = true;
            continue;
          }
        } else {
          size_t consumed = m.length;
          if (m.length > 1 && end < text.size() && text[end - 1] == u'\\') --consumed;
          out += *m.value;
          pos += consumed;
          changed = true;
          continue;
        }
      }
    }
    const char16_t c = text[pos++];
    if (c == u'%' || c == u'#') {
      out += u'#';
      AppendHex(out, c, 2, false);
      changed = true;
    } else {
      out += c;
    }
  }
  result = std::move(out);
  return changed;
}

std::u16string FolderMacroTable::Expand(std::u16string_view text, bool leadingOnly) const {
  const int view = CurrentView();
  std::u16string out;
  out.reserve(text.size() + 64);
  std::lock_guard<std::mutex> lock(mutex_);
  const TernaryMap& map = maps().macroToPath[view];
  size_t pos = 0;
  while (pos < text.size()) {
    const char16_t c = text[pos];
    if (c == u'%' && (!leadingOnly || pos == 0)) {
      // "%drive_X%" -> "X:" (the closing character is not checked).
      if (text.size() - pos >= 9 && EqualsNoCaseAscii(text.substr(pos + 1, 6), u"drive_")) {
        out += text[pos + 7];
        out += u':';
        pos += 9;
        continue;
      }
      const TernaryMap::Match m = map.FindLongest(text.substr(pos), platform_);
      if (m.length != 0) {
        const char16_t last = text[pos + m.length - 1];
        if (last == u'~' || last == u'*') {
          ReadShortForm(text, pos, m.length, m, out);
          continue;
        }
        out += *m.value;
        pos += m.length;
        if (pos < text.size() && text[pos] == u'\\' && !m.value->empty() && m.value->back() == u'\\') ++pos;
        continue;
      }
    } else if (c == u'#' && !leadingOnly) {
      // "##xxxx" is one UTF-16 unit, "#xx" one character below 256.
      const bool wide = pos + 1 < text.size() && text[pos + 1] == u'#';
      const long unit = wide ? ParseHex(text, pos + 2, 4) : -1;
      if (unit >= 0) {
        out += static_cast<char16_t>(unit);
        pos += 6;
        continue;
      }
      const long ch = ParseHex(text, pos + 1, 2);
      if (ch >= 0) {
        out += static_cast<char16_t>(ch);
        pos += 3;
        continue;
      }
    }
    out += c;
    ++pos;
  }
  return out;
}

std::u16string FolderMacroTable::EscapeIniValue(std::u16string_view text) const {
  const int view = CurrentView();
  std::u16string out;
  out.reserve(text.size() + 16);
  std::lock_guard<std::mutex> lock(mutex_);
  const TernaryMap& map = maps().macroToPath[view];
  size_t pos = 0;
  while (pos < text.size()) {
    const char16_t c = text[pos];
    if (c == u'%') {
      // A whole registered macro up to the next "\" (or the end) stays.
      size_t end = text.find(u'\\', pos);
      if (end == std::u16string_view::npos) end = text.size();
      const std::u16string_view run = text.substr(pos, end - pos);
      if (run.size() > 1 && run.back() == u'%' && map.FindLongest(run, platform_).length == run.size()) {
        out += run;
        pos = end;
        continue;
      }
    }
    if (c == u'%' || c == u'#') {
      out += u'#';
      AppendHex(out, c, 2, true);
    } else {
      out += c;
    }
    ++pos;
  }
  return out;
}

}  // namespace loom
