#include "capture/ToolLineDecoder.h"

#include <utility>

namespace loom {
namespace {

bool IsLineEnd(char16_t c) { return c == u'\r' || c == u'\n'; }

}  // namespace

ToolLineDecoder::ToolLineDecoder(ToolLineSink sink) : sink_(std::move(sink)) {}

void ToolLineDecoder::Feed(const void* bytes, size_t count) {
  if (count == 0) return;
  // The chunk as code units, completing a unit whose first byte ended the
  // previous chunk.
  std::u16string& units = units_.Convert(bytes, count);
  const size_t out = units.size();

  // Lines that lie wholly inside the chunk go to the sink straight from the
  // chunk's buffer: the line end is overwritten with the terminating NUL.
  char16_t* u = units.data();
  size_t start = 0;
  for (size_t i = 0; i < out; ++i) {
    if (!IsLineEnd(u[i])) continue;
    u[i] = u'\0';
    if (line_.empty()) {
      Deliver(u + start, i - start);
    } else {
      line_.append(u + start, i - start);
      Deliver(line_.c_str(), line_.size());
      line_.clear();
    }
    start = i + 1;
  }
  line_.append(u + start, out - start);
}

void ToolLineDecoder::Finish() {
  Deliver(line_.c_str(), line_.size());
  line_.clear();
  units_.Reset();
  kind_ = ToolLineKind::Info;
}

void ToolLineDecoder::Deliver(const char16_t* text, size_t length) {
  if (length == 0 || !sink_) return;
  if (length >= 2 && text[1] == u' ') {
    switch (text[0]) {
      case u'I': kind_ = ToolLineKind::Info; break;
      case u'W': kind_ = ToolLineKind::Warning; break;
      case u'E': kind_ = ToolLineKind::Error; break;
      default: sink_(kind_, text, length); return;
    }
    sink_(kind_, text + 2, length - 2);
    return;
  }
  sink_(kind_, text, length);
}

}  // namespace loom
