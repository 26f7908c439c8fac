#include "macros/TernaryMap.h"

namespace loom {

bool TernaryMap::Insert(std::u16string_view key, std::u16string_view value, std::u16string_view companion,
                        const KeyUpcaser& upcaser) {
  if (key.empty()) return false;

  // Walk the part of the key that is already in the tree. `link` names the
  // field that will receive the first new node: (node index, which field).
  enum Field { kLower, kHigher, kEqual };
  uint16_t linkNode = 0;
  Field linkField = kEqual;
  uint16_t index = nodes_.size() > 1 ? 1 : 0;
  size_t pos = 0;
  char16_t c = upcaser.Upcase(key[0]);
  while (index != 0) {
    const Node& n = nodes_[index];
    linkNode = index;
    if (c < n.ch) {
      linkField = kLower;
      index = n.lower;
    } else if (c > n.ch) {
      linkField = kHigher;
      index = n.higher;
    } else if (pos + 1 == key.size()) {
      break;  // the whole key is present as a path of nodes
    } else {
      linkField = kEqual;
      index = n.equal;
      c = upcaser.Upcase(key[++pos]);
    }
  }

  const size_t newNodes = index != 0 ? 0 : key.size() - pos;
  const bool newValue = index == 0 || nodes_[index].value == 0;
  if (NodeCount() + newNodes > kMaxNodes) return false;
  if (newValue && values_.size() + 1 > kMaxValues) return false;

  for (size_t k = 0; k < newNodes; ++k) {
    const uint16_t created = static_cast<uint16_t>(nodes_.size());
    nodes_.push_back(Node{upcaser.Upcase(key[pos + k]), 0, 0, 0, 0});
    if (linkNode != 0) {
      Node& parent = nodes_[linkNode];
      (linkField == kLower ? parent.lower : linkField == kHigher ? parent.higher : parent.equal) = created;
    }
    linkNode = created;
    linkField = kEqual;
    index = created;
  }

  Node& last = nodes_[index];
  if (last.value == 0) {
    values_.push_back(Record{});
    last.value = static_cast<uint16_t>(values_.size());
  }
  Record& r = values_[last.value - 1];
  r.value.assign(value);
  r.companion.assign(companion);
  return true;
}

TernaryMap::Match TernaryMap::FindLongest(std::u16string_view text, const KeyUpcaser& upcaser) const {
  Match best;
  uint16_t index = nodes_.size() > 1 ? 1 : 0;
  size_t pos = 0;
  while (index != 0 && pos < text.size()) {
    const char16_t c = upcaser.Upcase(text[pos]);
    const Node& n = nodes_[index];
    if (c < n.ch) {
      index = n.lower;
    } else if (c > n.ch) {
      index = n.higher;
    } else {
      ++pos;
      if (n.value != 0) {
        const Record& r = values_[n.value - 1];
        best.length = pos;
        best.value = &r.value;
        best.companion = &r.companion;
      }
      index = n.equal;
    }
  }
  return best;
}

}  // namespace loom
