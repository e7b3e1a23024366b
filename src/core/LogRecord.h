#pragma once
// Scrambled log records. A record is the byte count of the line as a 32-bit
// little-endian unsigned integer, followed by the line's UTF-8 bytes, each one
// complemented (every bit inverted). The count itself is not scrambled.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ScreenCapture {

// Appends one record holding `line` to `out`.
void AppendRecord(std::string& out, std::string_view line);

inline std::string EncodeRecord(std::string_view line) {
  std::string out;
  AppendRecord(out, line);
  return out;
}

struct DecodedRecords {
  std::vector<std::string> lines;  // plain UTF-8 lines, in file order
  size_t consumed = 0;             // bytes taken by whole records
  bool complete = true;            // false when the data ends inside a record
};

// Decodes every whole record of `data`. A truncated last record (a short count
// field, or fewer bytes than its count) stops decoding and clears `complete`;
// what it held is not returned.
DecodedRecords DecodeRecords(std::string_view data);

// Complements every byte in place (the transform is its own inverse).
void ComplementBytes(char* bytes, size_t count);

}  // namespace ScreenCapture
