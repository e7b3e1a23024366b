#pragma once
// Reader for the zip archive that holds the skin. It reads the central
// directory itself and inflates entries with zlib. The archive's bytes are
// not copied: they must outlive the reader (they live in the program's
// resources). Every offset and size is checked against the data before use,
// so a damaged archive gives an error, never a read out of bounds.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace ScreenCapture {

class ZipArchive {
 public:
  struct Entry {
    std::string name;  // as stored, with "/" separators
    uint16_t method = 0;
    uint32_t crc32 = 0;
    uint32_t compressedSize = 0;
    uint32_t uncompressedSize = 0;
    uint32_t localHeaderOffset = 0;
  };

  enum class Status { kOk, kMissing, kCorrupt, kUnsupported, kTooLarge };

  // An entry larger than this when inflated is refused (a damaged size field
  // or a zip bomb must not take the address space).
  static constexpr uint32_t kMaxEntrySize = 64u * 1024u * 1024u;

  // Parses the central directory. False (with a reason) when the data is not
  // a readable archive; the reader is then empty.
  bool Open(const uint8_t* data, size_t size, std::string* error = nullptr);

  const std::vector<Entry>& Entries() const { return m_entries; }
  // Names match without regard to ASCII case, "\" matching "/".
  const Entry* Find(const std::string& name) const;

  // Inflates one entry into `out` and checks its size and CRC.
  Status Read(const std::string& name, std::vector<uint8_t>& out, std::string* error = nullptr) const;
  Status Read(const Entry& entry, std::vector<uint8_t>& out, std::string* error = nullptr) const;

 private:
  const uint8_t* m_data = nullptr;
  size_t m_size = 0;
  std::vector<Entry> m_entries;
};

const char* ZipStatusName(ZipArchive::Status status);

}  // namespace ScreenCapture
