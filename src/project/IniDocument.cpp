#include "project/IniDocument.h"

#include <utility>

#include "util/FileIo.h"
#include "util/Text.h"

namespace loom {
namespace {

constexpr size_t kNone = std::u16string::npos;

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t'; }
bool IsLineEnd(char16_t c) { return c == u'\r' || c == u'\n'; }

}  // namespace

// A section header: "[" position, name range, and the end of its line.
struct IniDocument::Header {
  size_t bracket = 0, nameBegin = 0, nameEnd = 0, lineEnd = 0;
};

// A key line. lineStart is its first non-blank character (the ";" of a
// commented line); the value runs from valueStart to valueEnd (the line end).
struct IniDocument::Entry {
  size_t lineStart = 0, keyBegin = 0, keyEnd = 0, valueStart = 0, valueEnd = 0;
  bool commented = false;
};

// --- scanning ---------------------------------------------------------------

// Moves over blanks and line ends; with skipComments also over every line
// whose first non-blank character is ";" or "#".
size_t IniDocument::SkipBlanks(size_t pos, bool skipComments) const {
  const size_t n = text_.size();
  for (;;) {
    while (pos < n && (IsBlank(text_[pos]) || IsLineEnd(text_[pos]))) ++pos;
    if (skipComments && pos < n && (text_[pos] == u';' || text_[pos] == u'#')) {
      pos = EndOfLine(pos);
      continue;
    }
    return pos;
  }
}

// Position of the CR or LF that ends the line holding pos, or the text's end.
size_t IniDocument::EndOfLine(size_t pos) const {
  const size_t n = text_.size();
  while (pos < n && !IsLineEnd(text_[pos])) ++pos;
  return pos < n ? pos : n;
}

// From a line's end (as EndOfLine gives it), the position after CR LF, CR or LF.
size_t IniDocument::PastLineEnd(size_t pos) const {
  const size_t n = text_.size();
  if (pos < n && text_[pos] == u'\r') {
    ++pos;
    if (pos < n && text_[pos] == u'\n') ++pos;
  } else if (pos < n && text_[pos] == u'\n') {
    ++pos;
  }
  return pos;
}

// The next section header at or after pos. Comment lines never hold one.
bool IniDocument::NextSection(size_t pos, Header& header) const {
  const size_t n = text_.size();
  for (;;) {
    pos = SkipBlanks(pos, true);
    if (pos >= n) return false;
    if (text_[pos] == u'[') break;
    pos = EndOfLine(pos);
  }
  header.bracket = pos;
  header.nameBegin = pos + 1;
  size_t end = header.nameBegin;
  while (end < n && text_[end] != u']' && !IsLineEnd(text_[end])) ++end;
  header.nameEnd = end;
  header.lineEnd = EndOfLine(end);
  return true;
}

// The first section of that name, searched from index 1 (index 0 holds the
// byte-order mark). Returns the "[" position when wantHeader is set, else the
// section's first content (skipping comment lines when skipComments is set);
// kNone when there is no such section.
size_t IniDocument::FindSection(std::u16string_view name, bool skipComments, bool wantHeader) const {
  const std::u16string_view text(text_);
  Header header;
  size_t pos = 1;
  while (NextSection(pos, header)) {
    if (EqualsNoCaseUnicode(text.substr(header.nameBegin, header.nameEnd - header.nameBegin), name))
      return wantHeader ? header.bracket : SkipBlanks(header.lineEnd, skipComments);
    pos = header.lineEnd;
  }
  return kNone;
}

// The "[" of the next header at or after pos, or the end of the text.
size_t IniDocument::NextHeaderOrEnd(size_t pos) const {
  Header header;
  return NextSection(pos, header) ? header.bracket : text_.size();
}

// The start of the line after the one holding pos; kNone at the end of the
// section (a header or the end of the text).
size_t IniDocument::NextEntry(size_t pos, bool skipComments) const {
  pos = SkipBlanks(EndOfLine(pos), skipComments);
  if (pos >= text_.size() || text_[pos] == u'[') return kNone;
  return pos;
}

// Parses the key line at pos. A ";" line without "=" is passed over to the
// next line; any other line without "=" is a non-key line and fails, as does
// a header line (which is never taken for a key, even when it holds "=").
bool IniDocument::ParseEntry(size_t pos, Entry& entry) const {
  const size_t n = text_.size();
  for (;;) {
    if (pos >= n || text_[pos] == u'[') return false;
    entry.lineStart = pos;
    entry.commented = text_[pos] == u';';
    if (entry.commented) {
      ++pos;
      while (pos < n && IsBlank(text_[pos])) ++pos;
    }
    entry.keyBegin = pos;
    while (pos < n && text_[pos] != u'=' && !IsLineEnd(text_[pos])) ++pos;
    if (pos < n && text_[pos] == u'=') {
      entry.keyEnd = pos;
      entry.valueStart = pos + 1;
      entry.valueEnd = EndOfLine(entry.valueStart);
      return true;
    }
    if (!entry.commented) return false;
    pos = SkipBlanks(pos, false);
  }
}

// Walks the key lines of a section in order, handing each to visit; a true
// result from visit stops the walk.
template <class Visit>
IniDocument::WalkEnd IniDocument::Walk(std::u16string_view section, bool skipComments, Visit visit) const {
  const size_t first = FindSection(section, skipComments, false);
  if (first == kNone) return WalkEnd::kNoSection;
  Entry entry;
  if (!ParseEntry(first, entry)) return WalkEnd::kNonKeyLine;
  for (;;) {
    if (visit(entry)) return WalkEnd::kStopped;
    const size_t next = NextEntry(entry.valueStart, skipComments);
    if (next == kNone) return WalkEnd::kEndOfSection;
    if (!ParseEntry(next, entry)) return WalkEnd::kNonKeyLine;
  }
}

// Inserts a whole line at pos. When pos is not at the start of a line (the
// text ends in the middle of a line), a line end is put first so that the new
// line never merges with the one before it.
void IniDocument::InsertLine(size_t pos, std::u16string line) {
  size_t k = pos;
  while (k > 0 && IsBlank(text_[k - 1])) --k;
  if (k > 0 && !IsLineEnd(text_[k - 1])) line.insert(0, NewLine());
  text_.insert(pos, line);
}

// The line end that inserted lines get.
std::u16string_view IniDocument::NewLine() const {
  if (lineEnd_ == LineEnd::kAsFile) {
    const size_t end = text_.find_first_of(u"\r\n");
    if (end != kNone && text_[end] == u'\n') return u"\n";
    if (end != kNone && (end + 1 == text_.size() || text_[end + 1] != u'\n')) return u"\r";
  }
  return u"\r\n";
}

// --- operands ---------------------------------------------------------------

bool IniDocument::IsAcceptable(Operand kind, std::u16string_view text) {
  for (char16_t c : text) {
    if (c == u'\r' || c == u'\n' || c == u'\0') return false;
    if (kind == Operand::kSection && (c == u'[' || c == u']')) return false;
    if (kind == Operand::kKey && c == u'=') return false;
  }
  size_t first = 0;
  while (first < text.size() && IsBlank(text[first])) ++first;
  // A key line that begins with "[" would be read back as a header; a block
  // marker that is not a comment would be a header, a key or a line that ends
  // the section's keys.
  if (kind == Operand::kKey) return first == text.size() || text[first] != u'[';
  if (kind == Operand::kMarker) return first < text.size() && text[first] == u';';
  return true;
}

namespace {
bool AcceptableSectionAndKey(std::u16string_view section, std::u16string_view key) {
  return IniDocument::IsAcceptable(IniDocument::Operand::kSection, section) &&
         IniDocument::IsAcceptable(IniDocument::Operand::kKey, key);
}
}  // namespace

// --- loading and saving -----------------------------------------------------

bool IniDocument::Load(std::u16string_view path) {
  std::string bytes;
  if (!ReadWholeFile(path, bytes)) return false;
  return LoadFromBytes(bytes);
}

bool IniDocument::LoadFromBytes(std::string_view bytes) {
  if (bytes.empty() || bytes.size() % 2 != 0) return false;
  text_ = FromUtf16LeBytes(bytes.data(), bytes.size());
  return true;
}

std::string IniDocument::Bytes() const { return ToUtf16LeBytes(text_); }

bool IniDocument::Save(std::u16string_view path, uint32_t* error) const {
  return ReplaceFileContents(path, Bytes(), error);
}

// --- key operations ---------------------------------------------------------

namespace {
bool KeyIs(std::u16string_view text, size_t begin, size_t end, std::u16string_view key) {
  return EqualsNoCaseAscii(text.substr(begin, end - begin), key);
}
}  // namespace

std::u16string IniDocument::GetValue(std::u16string_view section, std::u16string_view key) const {
  std::u16string value;
  FindValue(section, key, value);
  return value;
}

bool IniDocument::FindValue(std::u16string_view section, std::u16string_view key, std::u16string& value) const {
  value.clear();
  if (!AcceptableSectionAndKey(section, key)) return false;
  return Walk(section, false, [&](const Entry& e) {
           if (e.commented || !KeyIs(text_, e.keyBegin, e.keyEnd, key)) return false;
           value.assign(text_, e.valueStart, e.valueEnd - e.valueStart);
           return true;
         }) == WalkEnd::kStopped;
}

bool IniDocument::SetValue(std::u16string_view section, std::u16string_view key, std::u16string_view value,
                           const char16_t* blockMarker) {
  if (!AcceptableSectionAndKey(section, key) || !IsAcceptable(Operand::kText, value) ||
      (blockMarker && !IsAcceptable(Operand::kMarker, blockMarker)))
    return false;
  Entry match;
  const WalkEnd end = Walk(section, false, [&](const Entry& e) {
    if (!KeyIs(text_, e.keyBegin, e.keyEnd, key)) return false;
    match = e;
    return true;
  });
  if (end == WalkEnd::kEndOfSection) return InsertKey(section, key, value, blockMarker);
  if (end != WalkEnd::kStopped) return false;
  if (!match.commented) {
    // The key keeps its letter case; only the value changes.
    text_.replace(match.valueStart, match.valueEnd - match.valueStart, value);
  } else {
    std::u16string line(key);
    line += u'=';
    line += value;
    text_.replace(match.lineStart, match.valueEnd - match.lineStart, line);
  }
  return true;
}

bool IniDocument::InsertKey(std::u16string_view section, std::u16string_view key, std::u16string_view value,
                            const char16_t* blockMarker) {
  const size_t body = FindSection(section, true, false);
  if (body == kNone) return false;
  const std::u16string_view eol = NewLine();
  std::u16string line(key);
  line += u'=';
  line += value;
  line += eol;
  if (!blockMarker) {
    // First active line of the section, after its leading comments.
    InsertLine(body, std::move(line));
    return true;
  }
  const std::u16string_view marker(blockMarker);
  const size_t bodyEnd = NextHeaderOrEnd(body);
  const size_t at = std::u16string_view(text_).substr(body, bodyEnd - body).find(marker);
  if (at == kNone) {
    // New block at the end of the section: marker, key line, empty line.
    std::u16string block(marker);
    block += eol;
    block += line;
    block += eol;
    InsertLine(bodyEnd, std::move(block));
    return true;
  }
  // Last line of the marker's block: the empty line that ends it (with any
  // line end: CR LF, CR or LF). The search stays inside the section; without
  // an empty line the block runs to the section's end, and the new line goes
  // after its last line.
  size_t pos = PastLineEnd(EndOfLine(body + at));
  while (pos < bodyEnd && !IsLineEnd(text_[pos])) {
    const size_t lineEnd = EndOfLine(pos);
    if (lineEnd >= bodyEnd) {
      // The last line: the next header's own line (indented) or the text's
      // end without a line end.
      if (bodyEnd == text_.size()) pos = bodyEnd;
      break;
    }
    pos = PastLineEnd(lineEnd);
  }
  InsertLine(pos, std::move(line));
  return true;
}

bool IniDocument::DeleteKey(std::u16string_view section, std::u16string_view key) {
  if (!AcceptableSectionAndKey(section, key)) return false;
  Entry match;
  const WalkEnd end = Walk(section, true, [&](const Entry& e) {
    if (e.commented || !KeyIs(text_, e.keyBegin, e.keyEnd, key)) return false;
    match = e;
    return true;
  });
  if (end != WalkEnd::kStopped) return false;
  text_.erase(match.lineStart, PastLineEnd(match.valueEnd) - match.lineStart);
  return true;
}

bool IniDocument::CommentOutKey(std::u16string_view section, std::u16string_view key) {
  if (!AcceptableSectionAndKey(section, key)) return false;
  std::vector<size_t> starts;
  bool seen = false;
  const WalkEnd end = Walk(section, false, [&](const Entry& e) {
    if (KeyIs(text_, e.keyBegin, e.keyEnd, key)) {
      seen = true;
      if (!e.commented) starts.push_back(e.lineStart);
    }
    return false;
  });
  if (!starts.empty()) {
    // One pass, however many duplicates there are.
    std::u16string out;
    out.reserve(text_.size() + starts.size());
    size_t from = 0;
    for (size_t s : starts) {
      out.append(text_, from, s - from);
      out += u';';
      from = s;
    }
    out.append(text_, from, kNone);
    text_.swap(out);
  }
  return end == WalkEnd::kEndOfSection && seen;
}

bool IniDocument::UncommentKey(std::u16string_view section, std::u16string_view key) {
  if (!AcceptableSectionAndKey(section, key)) return false;
  Entry match;
  const WalkEnd end = Walk(section, false, [&](const Entry& e) {
    if (!KeyIs(text_, e.keyBegin, e.keyEnd, key)) return false;
    match = e;
    return true;
  });
  if (end != WalkEnd::kStopped) return false;
  if (match.commented) {
    size_t stop = match.lineStart;
    while (stop < text_.size() && (text_[stop] == u';' || IsBlank(text_[stop]))) ++stop;
    text_.erase(match.lineStart, stop - match.lineStart);
  }
  return true;
}

// --- blocks and sections ----------------------------------------------------

bool IniDocument::DeleteBlock(std::u16string_view section, std::u16string_view text) {
  if (text.empty()) return false;  // an empty text would "match" whatever line comes next
  if (!IsAcceptable(Operand::kSection, section) || !IsAcceptable(Operand::kText, text)) return false;
  const size_t body = FindSection(section, true, false);
  if (body == kNone) return false;
  const size_t bodyEnd = NextHeaderOrEnd(body);
  const size_t at = std::u16string_view(text_).substr(body, bodyEnd - body).find(text);
  if (at == kNone) return false;
  const size_t n = text_.size();
  const size_t start = body + at;
  const size_t matchLineEnd = EndOfLine(start);
  size_t pos = PastLineEnd(matchLineEnd);
  while (pos < n) {
    size_t first = pos;
    while (first < n && IsBlank(text_[first])) ++first;
    if (first < n && text_[first] == u'[') break;  // the next section stays whole
    if (IsLineEnd(text_[pos])) {
      pos = PastLineEnd(pos);  // the empty line that ends the block goes with it
      break;
    }
    pos = PastLineEnd(EndOfLine(pos));
  }
  // When the match begins after other text on its line, that text keeps its
  // line end: it must not run on into the line that follows the block.
  size_t lineStart = start;
  while (lineStart > 0 && !IsLineEnd(text_[lineStart - 1])) --lineStart;
  bool keepLineEnd = false;
  for (size_t i = lineStart; i < start && !keepLineEnd; ++i) keepLineEnd = !IsBlank(text_[i]);
  if (keepLineEnd) {
    text_.erase(PastLineEnd(matchLineEnd), pos - PastLineEnd(matchLineEnd));
    text_.erase(start, matchLineEnd - start);
  } else {
    text_.erase(start, pos - start);
  }
  return true;
}

bool IniDocument::RenameSection(std::u16string_view oldName, std::u16string_view newName) {
  if (!IsAcceptable(Operand::kSection, oldName) || !IsAcceptable(Operand::kSection, newName)) return false;
  const size_t bracket = FindSection(oldName, false, true);
  if (bracket == kNone) return false;
  size_t end = bracket + 1;
  while (end < text_.size() && text_[end] != u']' && !IsLineEnd(text_[end])) ++end;
  text_.replace(bracket + 1, end - bracket - 1, newName);
  return true;
}

bool IniDocument::DeleteSection(std::u16string_view name) {
  if (!IsAcceptable(Operand::kSection, name)) return false;
  const size_t bracket = FindSection(name, false, true);
  if (bracket == kNone) return false;
  text_.erase(bracket, NextHeaderOrEnd(EndOfLine(bracket)) - bracket);
  return true;
}

std::vector<std::u16string> IniDocument::ListSections() const {
  std::vector<std::u16string> names;
  Header header;
  size_t pos = 1;
  while (NextSection(pos, header)) {
    names.emplace_back(text_, header.nameBegin, header.nameEnd - header.nameBegin);
    pos = header.lineEnd;
  }
  return names;
}

// --- profile-style access -----------------------------------------------------

// Where a profile key lives: its section was found (sectionEnd: after the
// section's last non-empty line), and the key's line (keyLine: its first
// non-blank character, kNone when absent).
struct IniDocument::ProfileHit {
  bool section = false;
  size_t sectionEnd = 0;
  size_t keyLine = kNone, keyEnd = 0, valueStart = 0, lineEnd = 0;
};

IniDocument::ProfileHit IniDocument::FindProfileKey(std::u16string_view section, std::u16string_view key) const {
  ProfileHit hit;
  const std::u16string_view text(text_);
  const size_t n = text.size();
  section = TrimView(section);
  key = TrimView(key);
  size_t pos = (n > 0 && text[0] == u'\uFEFF') ? 1 : 0;
  bool inSection = false;
  while (pos < n) {
    const size_t eol = EndOfLine(pos);
    size_t first = pos;
    while (first < eol && IsBlank(text[first])) ++first;
    if (first < eol && text[first] == u'[') {
      if (inSection) break;  // only the first section of the name counts
      size_t close = text.find(u']', first);
      if (close == kNone || close > eol) close = eol;
      if (EqualsNoCaseUnicode(TrimView(text.substr(first + 1, close - first - 1)), section)) {
        inSection = hit.section = true;
        hit.sectionEnd = PastLineEnd(eol);
      }
    } else if (inSection && first < eol) {
      hit.sectionEnd = PastLineEnd(eol);
      const size_t eq = text.find(u'=', first);
      if (text[first] != u';' && eq != kNone && eq < eol &&
          EqualsNoCaseUnicode(TrimView(text.substr(first, eq - first)), key)) {
        hit.keyLine = first;
        hit.keyEnd = eq;
        hit.valueStart = eq + 1;
        hit.lineEnd = eol;
        return hit;
      }
    }
    pos = PastLineEnd(eol);
  }
  return hit;
}

std::u16string IniDocument::ProfileValue(std::u16string_view section, std::u16string_view key) const {
  const ProfileHit hit = FindProfileKey(section, key);
  if (hit.keyLine == kNone) return {};
  std::u16string_view v = TrimView(std::u16string_view(text_).substr(hit.valueStart, hit.lineEnd - hit.valueStart));
  if (v.size() >= 2 && v.front() == u'"' && v.back() == u'"') v = v.substr(1, v.size() - 2);
  return std::u16string(v);
}

bool IniDocument::SetProfileValue(std::u16string_view section, std::u16string_view key, std::u16string_view value) {
  if (!AcceptableSectionAndKey(section, key) || !IsAcceptable(Operand::kText, value)) return false;
  const ProfileHit hit = FindProfileKey(section, key);
  std::u16string line(TrimView(key));
  line += u'=';
  line += value;
  if (hit.keyLine != kNone) {
    text_.replace(hit.keyLine, hit.lineEnd - hit.keyLine, line);
    return true;
  }
  line += NewLine();
  if (hit.section) {
    InsertLine(hit.sectionEnd, std::move(line));
    return true;
  }
  std::u16string block = u"[";
  block += TrimView(section);
  block += u"]";
  block += NewLine();
  block += line;
  if (text_.empty()) {
    text_ = u"\uFEFF" + block;
    return true;
  }
  InsertLine(text_.size(), std::move(block));
  return true;
}

}  // namespace loom
