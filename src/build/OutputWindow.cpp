#include "build/OutputWindow.h"

#include <algorithm>

namespace loom {
namespace {

// The start of the line that holds `pos`, or of the next one when that
// starts before `limit`; `pos` itself when neither is.
size_t NearLineStart(std::u16string_view text, size_t pos, size_t limit) {
  if (pos == 0 || text[pos - 1] == u'\n') return pos;
  size_t next = text.find(u'\n', pos);
  return next != std::u16string_view::npos && next + 1 < limit ? next + 1 : pos;
}

}  // namespace

void OutputChange::ApplyTo(std::u16string& shown) const {
  switch (kind) {
    case Kind::None: break;
    case Kind::SetText: shown = piece; break;
    case Kind::Splice:
      shown.erase(0, dropHead);
      shown.replace(replaceFrom, replaceTo - replaceFrom, piece);
      break;
    case Kind::Prepend: shown.insert(0, piece); break;
  }
}

OutputChange OutputWindow::Next(std::u16string_view text, size_t changedFrom, size_t slice) {
  OutputChange change;
  slice = std::max<size_t>(slice, 1);
  const size_t size = text.size();
  size_t from = std::min({changedFrom, length_, size});
  bool reset = false;
  if (from < from_) {
    // A rewrite reaches above what the control holds: show from there and
    // put the lines above back later.
    reset = true;
    from_ = length_ = from;
    backfill_ = from > 0;
  }
  if (size - from > keep_) {
    // More is new than the control keeps: shown a slice at a time, most of
    // it would be dropped again before the end.
    change.kind = OutputChange::Kind::SetText;
    from_ = NearLineStart(text, size - std::min(jump_, size), size);
    length_ = size;
    backfill_ = from_ > 0;
    change.piece = text.substr(from_);
  } else if (from < size || from < length_ || reset) {
    size_t dropTo = from_;
    if (length_ - from_ > keep_ + keep_ / 4) {
      // Keep the last `keep`, from the start of a line. Dropping the head
      // costs as much as the control holds: it is this change's work.
      size_t cut = text.find(u'\n', length_ - keep_);
      if (cut != std::u16string_view::npos && cut < from) dropTo = cut + 1;
    }
    // The part up to `from` is unchanged; a slice of what follows replaces
    // the stale tail.
    size_t to = dropTo > from_ ? from : from + std::min(size - from, slice);
    change.piece = text.substr(from, to - from);
    if (reset) {
      change.kind = OutputChange::Kind::SetText;
    } else {
      change.kind = OutputChange::Kind::Splice;
      change.dropHead = dropTo - from_;
      change.replaceFrom = from - dropTo;
      change.replaceTo = length_ - dropTo;
    }
    from_ = dropTo;
    length_ = to;
    if (length_ - from_ >= keep_) backfill_ = false;
  } else if (backfill_) {
    // Nothing new: a slice of the lines above what is shown goes back.
    const size_t to = from_;
    const size_t floor = length_ > keep_ ? length_ - keep_ : 0;
    const size_t want = to > slice ? to - slice : 0;
    from_ = NearLineStart(text, std::max(floor, want), to);
    backfill_ = from_ > 0 && want > floor;
    change.kind = OutputChange::Kind::Prepend;
    change.piece = text.substr(from_, to - from_);
  }
  return change;
}

}  // namespace loom
