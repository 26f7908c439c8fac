// The registry in the standard .reg format, as the system's registry editor
// writes it and its "reg import" reads it: the header line, "[KEY]" blocks
// with "name"=data lines, "[-KEY]" and "name"=- for deletions, hex data in
// lines of at most 80 columns continued with "\". The captured registry is
// written this way (one file per hive, UTF-16LE with byte-order mark, CR LF),
// so that a user can open, diff and import it with the system's own tools.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace loom::snap {

inline constexpr char16_t kRegFileHeader[] = u"Windows Registry Editor Version 5.00";

struct RegRecord {
  enum Kind { kKey, kDeletedKey, kValue, kDeletedValue };
  Kind kind = kKey;
  std::u16string key;   // "HKEY_LOCAL_MACHINE\Software\App"
  std::u16string name;  // values: "" is the default value
  uint32_t type = 0;
  std::string data;
};

// One value's lines (CR LF between continuation lines, none at the end):
// "name"="text" for a REG_SZ that "..." holds exactly (one final NUL, no
// other NUL, no line break), dword:, hex(b): (QWORD), hex(2): (expandable
// string), hex(7): (multi-string), hex: (binary), hex(N): for any other type
// and for strings that "..." cannot hold (as hex(1):).
std::u16string RegValueLines(std::u16string_view name, uint32_t type, const std::string& data);

// The whole file's text (without byte-order mark): the header, then each
// record; values follow the "[KEY]" line of their key (written when the key
// changes); a blank line ends each key's block.
std::u16string RegFileText(const std::vector<RegRecord>& records);

// Reads a .reg text (a leading byte-order mark is skipped). False, with
// `badLine` set (1-based), at the first line that is not .reg syntax; the
// records before it are kept.
bool ParseRegFile(std::u16string_view text, std::vector<RegRecord>& records, size_t* badLine = nullptr);

// The data of a string value (REG_SZ, REG_EXPAND_SZ, REG_MULTI_SZ) with each
// run of text between NULs passed through `rewrite`; the NULs stay where they
// are. Data of other types, and string data of odd length, is returned as is.
std::string RewriteRegistryStrings(uint32_t type, const std::string& data,
                                   const std::function<std::u16string(std::u16string_view)>& rewrite);

}  // namespace loom::snap
