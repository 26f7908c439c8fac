// Input layout shared by the chunking fuzzers: the first byte says how many
// cut points follow (0-7), each next byte moves the cut forward, and the
// rest is the stream. Feeding the stream whole and cut must give the same.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct CutInput {
  const uint8_t* stream = nullptr;
  size_t length = 0;
  std::vector<size_t> cuts;  // ascending positions in the stream
};

// False when the input is too short to hold its own cut bytes.
inline bool ReadCutInput(const uint8_t* data, size_t size, CutInput& in) {
  if (size == 0) return false;
  size_t count = data[0] % 8;
  if (size < 1 + count) return false;
  in.stream = data + 1 + count;
  in.length = size - 1 - count;
  size_t at = 0;
  for (size_t i = 0; i < count; ++i) {
    at += in.length ? data[1 + i] % (in.length + 1) : 0;
    if (at > in.length) at = in.length;
    in.cuts.push_back(at);
  }
  return true;
}
