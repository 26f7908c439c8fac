// Helpers of the tests that edit project files: a document from its text, and
// a text with some of its lines changed.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>

#include "project/IniDocument.h"
#include "util/Text.h"

namespace loom::test {

inline IniDocument Doc(std::u16string_view text) {
  IniDocument d;
  EXPECT_TRUE(d.LoadFromBytes(ToUtf16LeBytes(text)));
  return d;
}

// `text` with the first `from` of each edit replaced by its `to`; a `from`
// that is absent fails the test.
inline std::u16string Edited(std::u16string text,
                             std::initializer_list<std::pair<std::u16string, std::u16string>> edits) {
  for (auto& [from, to] : edits) {
    size_t at = text.find(from);
    EXPECT_NE(at, std::u16string::npos) << Utf16ToUtf8(from);
    if (at != std::u16string::npos) text.replace(at, from.size(), to);
  }
  return text;
}

}  // namespace loom::test
