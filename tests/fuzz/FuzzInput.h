#pragma once
// Reading numbers off a fuzzer's input: each takes up to four bytes (fewer at
// the end, the rest zero) and moves the input on.
#include <cstddef>
#include <cstdint>
#include <cstring>

inline int32_t Take(const uint8_t*& data, size_t& size) {
  int32_t v = 0;
  const size_t n = size < 4 ? size : 4;
  std::memcpy(&v, data, n);
  data += n;
  size -= n;
  return v;
}
