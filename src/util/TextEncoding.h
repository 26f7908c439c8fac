// The encodings of the INI files a user edits with loomctl: UTF-16LE with its
// byte-order mark (the project files), UTF-8 with or without a mark, and
// 8-bit text in an unknown code page (what the system's profile functions
// write, e.g. the wizard's Wrenlow.ini). A file decoded and encoded again
// unchanged gives back the same bytes, mark and line ends included.
#pragma once

#include <string>
#include <string_view>

namespace loom {

enum class FileEncoding { kUtf16Le, kUtf8, kEightBit };

// Why bytes cannot be read as text of one of those encodings.
enum class DecodeProblem { kNone, kOddLength, kUtf16BigEndian, kUtf16WithoutMark, kNotText };

// The file's text (a byte-order mark kept as U+FEFF at its start) and its
// encoding: FF FE is UTF-16LE; FE FF is refused; valid UTF-8 (with or without
// EF BB BF; an empty file too) is UTF-8; NUL bytes are refused (as UTF-16
// without a mark when they look like it); anything else is 8-bit, each byte
// from 0x80 up standing for itself (U+F780 + byte - 0x80), since its code page
// is not known.
DecodeProblem DecodeFileText(std::string_view bytes, FileEncoding& encoding, std::u16string& text);

// The text in the encoding. False when a character cannot be written in it:
// an 8-bit file takes ASCII and its own bytes back, nothing else.
bool EncodeFileText(FileEncoding encoding, std::u16string_view text, std::string& bytes);

}  // namespace loom
