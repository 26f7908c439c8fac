#include "capture/ToolLineDecoder.h"

#include <utility>

namespace loom {
namespace {

bool IsLineEnd(char16_t c) { return c == u'\r' || c == u'\n'; }

}  // namespace

ToolLineDecoder::ToolLineDecoder(ToolLineSink sink) : sink_(std::move(sink)) {}

void ToolLineDecoder::Feed(const void* bytes, size_t count) {
  if (count == 0) return;
  const uint8_t* p = static_cast<const uint8_t*>(bytes);

  // The chunk as code units, completing a unit whose first byte ended the
  // previous chunk.
  size_t total = count + (hasOddByte_ ? 1 : 0);
  units_.resize(total / 2);
  size_t out = 0;
  if (hasOddByte_) {
    units_[out++] = char16_t(oddByte_ | (p[0] << 8));
    ++p;
    --count;
  }
  for (size_t i = 0; i + 1 < count; i += 2) units_[out++] = char16_t(p[i] | (p[i + 1] << 8));
  hasOddByte_ = (count % 2) != 0;
  if (hasOddByte_) oddByte_ = p[count - 1];

  // Lines that lie wholly inside the chunk go to the sink straight from the
  // chunk's buffer: the line end is overwritten with the terminating NUL.
  char16_t* u = units_.data();
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
  hasOddByte_ = false;
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
