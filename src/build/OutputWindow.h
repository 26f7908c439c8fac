// Which part of the build output the page's edit control holds, and the next
// change that brings the control up to date: the bookkeeping of the build
// page's refresh, without the control.
//
// The control holds one piece of the text, [From(), Length()). A change
// either appends the new text a slice at a time (replacing a stale tail that
// a bare carriage return rewrote), or drops the oldest lines once the control
// holds more than a quarter over `keep` characters, or, when more is new
// than the control keeps, sets the last `jump` characters at once; after
// such a jump, and whenever nothing new waits, the lines above are put back
// a slice at a time until the control holds `keep` characters again.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace loom {

struct OutputChange {
  enum class Kind {
    None,     // the control is up to date
    SetText,  // the control's whole text becomes `piece`
    Splice,   // drop `dropHead` characters at the start, then replace
              // [replaceFrom, replaceTo) of what is left with `piece`
    Prepend,  // insert `piece` at the start
  };
  Kind kind = Kind::None;
  size_t dropHead = 0;
  size_t replaceFrom = 0, replaceTo = 0;
  std::u16string piece;

  // The change made to a copy of the control's text.
  void ApplyTo(std::u16string& shown) const;
};

class OutputWindow {
 public:
  OutputWindow(size_t keep, size_t jump) : keep_(keep), jump_(jump) {}

  // The next change for `text`, which differs from the text of the previous
  // call from `changedFrom` on (BuildOutputText::TakeChangedFrom); `slice`
  // bounds what one append or put-back adds. The change is taken as made.
  OutputChange Next(std::u16string_view text, size_t changedFrom, size_t slice);
  // After a change: whether the text it was made for, of `size` characters,
  // needs more (text not shown yet, or lines above still to put back).
  // A later rewrite is known only to the next call of Next.
  bool Behind(size_t size) const { return length_ < size || backfill_; }
  void Clear() { *this = OutputWindow(keep_, jump_); }

  size_t From() const { return from_; }
  size_t Length() const { return length_; }

 private:
  size_t keep_, jump_;
  size_t from_ = 0, length_ = 0;
  bool backfill_ = false;  // lines above from_ are still to be put back
};

}  // namespace loom
