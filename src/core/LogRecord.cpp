#include "core/LogRecord.h"

namespace ScreenCapture {

void ComplementBytes(char* bytes, size_t count) {
  for (size_t i = 0; i < count; ++i) bytes[i] = static_cast<char>(~static_cast<unsigned char>(bytes[i]));
}

void AppendRecord(std::string& out, std::string_view line) {
  const uint32_t count = static_cast<uint32_t>(line.size());
  const size_t start = out.size();
  out.resize(start + 4 + line.size());
  char* p = &out[start];
  p[0] = static_cast<char>(count & 0xFF);
  p[1] = static_cast<char>((count >> 8) & 0xFF);
  p[2] = static_cast<char>((count >> 16) & 0xFF);
  p[3] = static_cast<char>((count >> 24) & 0xFF);
  for (size_t i = 0; i < line.size(); ++i) {
    p[4 + i] = static_cast<char>(~static_cast<unsigned char>(line[i]));
  }
}

DecodedRecords DecodeRecords(std::string_view data) {
  DecodedRecords result;
  size_t at = 0;
  while (at < data.size()) {
    if (data.size() - at < 4) {
      result.complete = false;
      break;
    }
    const auto byte = [&](size_t i) { return static_cast<uint32_t>(static_cast<unsigned char>(data[at + i])); };
    const uint32_t count = byte(0) | (byte(1) << 8) | (byte(2) << 16) | (byte(3) << 24);
    if (data.size() - at - 4 < count) {
      result.complete = false;
      break;
    }
    std::string line(data.substr(at + 4, count));
    ComplementBytes(line.data(), line.size());
    result.lines.push_back(std::move(line));
    at += 4 + static_cast<size_t>(count);
  }
  result.consumed = at;
  return result;
}

}  // namespace ScreenCapture
