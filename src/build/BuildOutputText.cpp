#include "build/BuildOutputText.h"

namespace loom {

void BuildOutputText::Append(const void* bytes, size_t count) {
  if (count == 0) return;
  const std::u16string& units = units_.Convert(bytes, count);
  AppendUnits(units.data(), units.size());
}

void BuildOutputText::Append(std::u16string_view text) {
  units_.Reset();
  AppendUnits(text.data(), text.size());
}

void BuildOutputText::EndStream() { units_.Reset(); }

void BuildOutputText::EndLine() {
  text_ += u"\r\n";
  lineStart_ = text_.size();
}

void BuildOutputText::CutToLineStart() {
  text_.resize(lineStart_);
  if (changedFrom_ > lineStart_) changedFrom_ = lineStart_;
}

size_t BuildOutputText::TakeChangedFrom() {
  size_t from = changedFrom_;
  changedFrom_ = text_.size();
  return from;
}

void BuildOutputText::AppendUnits(const char16_t* u, size_t n) {
  size_t i = 0;
  if (pendingCr_ && n > 0) {
    pendingCr_ = false;
    if (u[0] == u'\n') {
      EndLine();
      i = 1;
    } else {
      CutToLineStart();
    }
  }
  while (i < n) {
    size_t j = i;
    while (j < n && u[j] != u'\r' && u[j] != u'\n') ++j;
    text_.append(u + i, j - i);
    if (j == n) break;
    if (u[j] == u'\n') {
      EndLine();
      i = j + 1;
    } else if (j + 1 == n) {
      pendingCr_ = true;  // decided by the first unit of the next chunk
      break;
    } else if (u[j + 1] == u'\n') {
      EndLine();
      i = j + 2;
    } else {
      CutToLineStart();
      i = j + 1;
    }
  }
}

void BuildOutputText::AppendClosingMessage(std::u16string_view message) {
  // A carriage return that ended the output leaves its line as it stands,
  // like a progress line that was not rewritten again.
  units_.Reset();
  pendingCr_ = false;
  if (!text_.empty()) {
    if (text_.back() == u'\r') text_ += u'\n';
    if (text_.back() != u'\n') text_ += u"\r\n";
    lineStart_ = text_.size();
  }
  size_t lastLf = message.rfind(u'\n');
  if (lastLf != std::u16string_view::npos) lineStart_ = text_.size() + lastLf + 1;
  text_.append(message);
}

void BuildOutputText::Clear() {
  text_.clear();
  lineStart_ = 0;
  changedFrom_ = 0;
  pendingCr_ = false;
  units_.Reset();
}

}  // namespace loom
