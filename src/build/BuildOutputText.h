// The build page's output text: the build tools' UTF-16LE output, normalised
// for a multi-line edit control as it arrives.
//
// Each line feed becomes CR LF. A carriage return directly followed by a line
// feed is a plain line end (CR LF is kept). A bare carriage return returns to
// the start of the current line: the text that follows replaces that line (in
// the first line, everything before the carriage return goes).
//
// Output may arrive in chunks of any size; the text is the same however the
// stream is cut, and appending costs time linear in the chunk. The object is
// not thread-safe: the build page guards it with its output lock.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "util/Text.h"
#include <string_view>

namespace loom {

class BuildOutputText {
 public:
  // The next bytes of a tool's output. An odd last byte waits for its
  // partner in the next chunk.
  void Append(const void* bytes, size_t count);
  // The next code units of the output (a byte still waiting is dropped).
  void Append(std::u16string_view text);
  // One tool's output has ended: a byte still waiting for its partner is
  // dropped, so it cannot pair with the next tool's first byte.
  void EndStream();

  // Ends the output with the closing message of the build: when the text is
  // not empty, a trailing carriage return gets its line feed and any other
  // unfinished last line gets CR LF; then the message is appended as it is.
  // A carriage return held back at the end of the output leaves its line as
  // it stands.
  void AppendClosingMessage(std::u16string_view message);

  // The normalised text so far. A carriage return at the very end of the
  // output so far is held back until the next character shows what it means.
  const std::u16string& Text() const { return text_; }

  // Where the text begins to differ from the text at the previous call: that
  // text's length, or less where a bare carriage return has since rewritten
  // its last line. A view that showed the old text replaces everything from
  // there with Text().substr(result) to show the new one.
  size_t TakeChangedFrom();

  void Clear();

 private:
  void AppendUnits(const char16_t* units, size_t count);
  void EndLine();
  void CutToLineStart();

  std::u16string text_;
  size_t lineStart_ = 0;    // just behind the last line feed of text_
  size_t changedFrom_ = 0;  // see TakeChangedFrom
  bool pendingCr_ = false;  // a carriage return held back at the end
  Utf16LeUnits units_;      // bytes to code units, an odd byte carried over
};

}  // namespace loom
