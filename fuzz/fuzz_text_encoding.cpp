// Fuzzes the reading and writing of an INI file's encoding (what loomctl
// edits: UTF-16LE with its mark, UTF-8 with or without one, 8-bit text).
//
// Invariants: bytes that decode encode back to exactly the same bytes in the
// encoding found; a UTF-16LE or UTF-8 text takes any character back, an
// 8-bit text refuses a character that is neither ASCII nor one of its own
// bytes; refused bytes are refused for a reason that fits them.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "util/TextEncoding.h"
#include "FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  loom::FileEncoding encoding = loom::FileEncoding::kUtf16Le;
  std::u16string text;
  const loom::DecodeProblem problem = loom::DecodeFileText(bytes, encoding, text);
  if (problem != loom::DecodeProblem::kNone) {
    CHECK(problem != loom::DecodeProblem::kOddLength || (size % 2 == 1 && bytes.rfind("\xff\xfe", 0) == 0));
    CHECK(problem != loom::DecodeProblem::kNotText || bytes.find('\0') != std::string::npos);
    return 0;
  }
  std::string again;
  CHECK(loom::EncodeFileText(encoding, text, again));
  CHECK(again == bytes);
  // An added character: any one fits UTF-16LE and UTF-8; an 8-bit text takes ASCII only.
  std::string added;
  CHECK(loom::EncodeFileText(encoding, text + u"=\u4e2d", added) == (encoding != loom::FileEncoding::kEightBit));
  CHECK(loom::EncodeFileText(encoding, text + u"k=v", added));
  return 0;
}
