// Layout-preserving editor of a UTF-16 INI text (the working project file).
//
// The document is one block of UTF-16 code units, kept exactly as loaded
// (byte-order mark included as the first character). Every operation scans
// the text afresh and changes only the characters it concerns, so comments,
// commented-out defaults, blank lines, letter case and line endings survive.
//
// Scanning rules, briefly:
//  - Index 0 is never examined: section searches start at index 1, the place
//    after the byte-order mark.
//  - A line ends at CR LF, a lone CR or a lone LF; inserted lines end in CR LF
//    (or, with LineEnd::kAsFile, in the line end the text already uses).
//  - A header is a line whose first non-blank character is "["; its name runs
//    to the first "]" or the line end, unchanged. Section names compare with
//    EqualsNoCaseUnicode, keys with EqualsNoCaseAscii.
//  - A key runs from the first non-blank character to the first "=" (blanks
//    before "=" are part of it); the value is the rest of the line, unchanged.
//  - ";" starts a commented key line (its key begins after ";" and blanks);
//    a "#" line holding "=" is an active key line whose key begins with "#".
//  - The first section of a name is the one used; within a section the first
//    matching line is used (CommentOutKey handles every match).
//
// Every edit that does not find what it needs returns false and leaves the
// text exactly as it was, except CommentOutKey, which keeps the lines it
// commented out before its walk met a non-key line.
//
// Operands that would forge structure are refused the same way (false, text
// unchanged): CR, LF or NUL in any operand, "[" or "]" in a section name, "="
// in a key or a key that begins (after blanks) with "[", a block marker that
// is not a comment line (its first non-blank character ";"). A value holding a
// line end would otherwise start a line of its own, a new section included.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace loom {

class IniDocument {
 public:
  // What an operand names; decides which characters it may not hold.
  enum class Operand { kSection, kKey, kText, kMarker };
  // False when the text may not be used as that operand (see above).
  static bool IsAcceptable(Operand kind, std::u16string_view text);

  // The line end of inserted lines: always CR LF (the working project file's
  // own), or the one the text already uses at its first line end (CR LF
  // when it has none).
  enum class LineEnd { kCrLf, kAsFile };
  void SetLineEnd(LineEnd lineEnd) { lineEnd_ = lineEnd; }

  // Replaces the text with the file's bytes (UTF-16LE, no conversion). False,
  // with the text unchanged, when the file cannot be read or its size is 0 or
  // odd.
  bool Load(std::u16string_view path);
  // Writes the text unchanged. The old file is replaced only once the new
  // content is completely written, so a failed save leaves it whole; a
  // read-only file is refused, a link edits the file it points to (see
  // ReplaceFileContents). *error receives a Windows error code.
  bool Save(std::u16string_view path, uint32_t* error = nullptr) const;

  // Same rules as Load, from bytes in memory.
  bool LoadFromBytes(std::string_view bytes);
  // The text as UTF-16LE bytes, as Save writes them.
  std::string Bytes() const;
  const std::u16string& Text() const { return text_; }

  // Value of the first active line with the key; empty when there is none.
  std::u16string GetValue(std::u16string_view section, std::u16string_view key) const;
  // Same, telling an empty value from a missing key: false when there is none.
  bool FindValue(std::u16string_view section, std::u16string_view key, std::u16string& value) const;
  // Sets the first line with the key (a commented one becomes active), or
  // inserts a key line: first in the section, or, with blockMarker (a whole
  // comment line), at the end of that marker's block, creating the block at
  // the end of the section when it is absent.
  bool SetValue(std::u16string_view section, std::u16string_view key, std::u16string_view value,
                const char16_t* blockMarker = nullptr);
  // Removes the first active line with the key, with its line end.
  bool DeleteKey(std::u16string_view section, std::u16string_view key);
  // Puts ";" in front of every active line with the key.
  bool CommentOutKey(std::u16string_view section, std::u16string_view key);
  // Makes the first line with the key active (no change when it already is).
  bool UncommentKey(std::u16string_view section, std::u16string_view key);
  // Removes the paragraph that begins at the first occurrence of text in the
  // section's body, up to and including the next empty line.
  bool DeleteBlock(std::u16string_view section, std::u16string_view text);
  bool RenameSection(std::u16string_view oldName, std::u16string_view newName);
  // Removes the header, its lines and any blank and comment lines before the
  // next header.
  bool DeleteSection(std::u16string_view name);
  // Every section name as written, duplicates included, in document order.
  std::vector<std::u16string> ListSections() const;

  // The platform profile API's reading and writing, done on this text so
  // that the layout survives on every platform (one implementation of that
  // API rewrites the whole file, dropping blank lines). Section and key names
  // are trimmed and compare without regard to case; ";" lines are skipped.
  // The value read is trimmed, one pair of enclosing double quotes dropped.
  std::u16string ProfileValue(std::u16string_view section, std::u16string_view key) const;
  // The key's line gets the new value; else a new key line goes after the
  // section's last non-empty line; else the section is appended at the end.
  // False, with nothing changed, for operands that would forge structure.
  bool SetProfileValue(std::u16string_view section, std::u16string_view key, std::u16string_view value);

 private:
  struct Header;
  struct Entry;
  enum class WalkEnd { kNoSection, kNonKeyLine, kEndOfSection, kStopped };

  size_t SkipBlanks(size_t pos, bool skipComments) const;
  size_t EndOfLine(size_t pos) const;
  size_t PastLineEnd(size_t pos) const;
  bool NextSection(size_t pos, Header& header) const;
  size_t FindSection(std::u16string_view name, bool skipComments, bool wantHeader) const;
  size_t NextHeaderOrEnd(size_t pos) const;
  size_t NextEntry(size_t pos, bool skipComments) const;
  bool ParseEntry(size_t pos, Entry& entry) const;
  template <class Visit>
  WalkEnd Walk(std::u16string_view section, bool skipComments, Visit visit) const;
  bool InsertKey(std::u16string_view section, std::u16string_view key, std::u16string_view value,
                 const char16_t* blockMarker);
  void InsertLine(size_t pos, std::u16string line);
  std::u16string_view NewLine() const;
  struct ProfileHit;
  ProfileHit FindProfileKey(std::u16string_view section, std::u16string_view key) const;

  std::u16string text_;
  LineEnd lineEnd_ = LineEnd::kCrLf;
};

}  // namespace loom
