// libFuzzer target for the log decoder: any bytes decode without reading past
// them, and the records it returns encode back to exactly the bytes it took.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/LogRecord.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace ScreenCapture;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const DecodedRecords decoded = DecodeRecords(bytes);
  if (decoded.consumed > size || decoded.complete != (decoded.consumed == size)) __builtin_trap();
  std::string again;
  for (const std::string& line : decoded.lines) AppendRecord(again, line);
  if (again != bytes.substr(0, decoded.consumed)) __builtin_trap();
  return 0;
}
