// Cuts a tool's UTF-16LE output into classified lines.
//
// The tool writes lines ended by CR, LF or CR LF. A line that begins with
// "I ", "W " or "E " is an info, warning or error line and loses the prefix;
// any other line keeps the kind of the line before it (info at the start of
// a stream). Empty lines are never delivered; a line that is only a prefix is
// delivered with an empty text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "util/Text.h"

namespace loom {

// The window message of a line is WM_APP + kind.
enum class ToolLineKind { Info = 0, Warning = 1, Error = 2 };

// Receives one line: `text` points at `length` UTF-16 units followed by a NUL
// (text[length] == 0), valid only during the call.
using ToolLineSink = std::function<void(ToolLineKind kind, const char16_t* text, size_t length)>;

class ToolLineDecoder {
 public:
  explicit ToolLineDecoder(ToolLineSink sink);

  // Takes the next bytes of the stream, in chunks of any size: a code unit or
  // a line may be split across chunks (an odd last byte waits for the next
  // chunk). Every line completed by these bytes goes to the sink, in order.
  // The sink must not call back into the decoder.
  void Feed(const void* bytes, size_t count);

  // The stream has ended: a last line without a line end is delivered (an
  // error line written last must not be lost), a lone odd byte is dropped,
  // and the decoder starts afresh for a new stream.
  void Finish();

 private:
  void Deliver(const char16_t* text, size_t length);

  ToolLineSink sink_;
  ToolLineKind kind_ = ToolLineKind::Info;
  std::u16string line_;  // the unfinished line carried between chunks
  Utf16LeUnits units_;   // bytes to code units, an odd byte carried over
};

}  // namespace loom
