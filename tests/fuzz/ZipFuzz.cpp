// libFuzzer target for the skin archive reader: any bytes must give either a
// clean failure or entries that read within bounds.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/ZipArchive.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ScreenCapture::ZipArchive archive;
  if (!archive.Open(data, size)) return 0;
  std::vector<uint8_t> out;
  for (const auto& entry : archive.Entries()) {
    archive.Read(entry, out);
    archive.Find(entry.name);
  }
  return 0;
}
