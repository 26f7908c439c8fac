// A ternary search tree from case-insensitive keys to value records, with
// longest-prefix lookup. Compact by design: every node is five 16-bit fields,
// and the value records live in a separate array, so one map holds at most
// 65535 nodes and 65535 values. A registration that would go past either
// limit is refused and leaves the map as it was.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace loom {

// Upper-cases one UTF-16 unit; keys are folded through it before they are
// stored or compared.
class KeyUpcaser {
 public:
  virtual char16_t Upcase(char16_t c) const = 0;

 protected:
  ~KeyUpcaser() = default;
};

class TernaryMap {
 public:
  static constexpr size_t kMaxNodes = 65535;
  static constexpr size_t kMaxValues = 65535;

  struct Match {
    size_t length = 0;  // units of the text covered by the key; 0 = no match
    const std::u16string* value = nullptr;
    const std::u16string* companion = nullptr;  // empty when the key has none
  };

  // Stores key -> (value, companion). A key already present gets the new
  // record (the last registration wins). False, with the map unchanged, when
  // the key is empty or the node or value limit would be exceeded.
  bool Insert(std::u16string_view key, std::u16string_view value, std::u16string_view companion,
              const KeyUpcaser& upcaser);

  // The longest key that is a prefix of `text` (the whole of text is the
  // length limit). Returns a match with length 0 when no key fits.
  Match FindLongest(std::u16string_view text, const KeyUpcaser& upcaser) const;

  size_t NodeCount() const { return nodes_.size() - 1; }
  size_t ValueCount() const { return values_.size(); }

 private:
  struct Node {
    char16_t ch;
    uint16_t lower, higher, equal;  // node indices, 0 = none
    uint16_t value;                 // value index counting from 1, 0 = none
  };
  struct Record {
    std::u16string value, companion;
  };

  // Index 0 is a placeholder so that 0 can mean "no node"; the root is node 1.
  std::vector<Node> nodes_{Node{0, 0, 0, 0, 0}};
  std::vector<Record> values_;
};

}  // namespace loom
