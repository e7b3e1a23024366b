#include "core/ZipArchive.h"

#include <zlib.h>

#include <cstring>

namespace ScreenCapture {

namespace {

constexpr uint32_t kEndOfDirectorySig = 0x06054b50;
constexpr uint32_t kDirectoryEntrySig = 0x02014b50;
constexpr uint32_t kLocalHeaderSig = 0x04034b50;
constexpr size_t kEndOfDirectorySize = 22;
constexpr size_t kDirectoryEntrySize = 46;
constexpr size_t kLocalHeaderSize = 30;

uint16_t U16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t U32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
         (static_cast<uint32_t>(p[3]) << 24);
}

std::string Normalise(const std::string& name) {
  std::string out = name;
  for (char& c : out) {
    if (c == '\\') c = '/';
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

bool Fail(std::string* error, const char* why) {
  if (error) *error = why;
  return false;
}

}  // namespace

const char* ZipStatusName(ZipArchive::Status status) {
  switch (status) {
    case ZipArchive::Status::kOk: return "ok";
    case ZipArchive::Status::kMissing: return "missing";
    case ZipArchive::Status::kCorrupt: return "corrupt";
    case ZipArchive::Status::kUnsupported: return "unsupported";
    case ZipArchive::Status::kTooLarge: return "too large";
  }
  return "?";
}

bool ZipArchive::Open(const uint8_t* data, size_t size, std::string* error) {
  m_data = nullptr;
  m_size = 0;
  m_entries.clear();
  if (!data || size < kEndOfDirectorySize) return Fail(error, "too short for an archive");

  // The end record sits at the end, behind a comment of at most 65535 bytes.
  size_t end = size - kEndOfDirectorySize;
  const size_t lowest = size - kEndOfDirectorySize > 65535 ? size - kEndOfDirectorySize - 65535 : 0;
  bool found = false;
  for (;;) {
    if (U32(data + end) == kEndOfDirectorySig && end + kEndOfDirectorySize + U16(data + end + 20) == size) {
      found = true;
      break;
    }
    if (end == lowest) break;
    --end;
  }
  if (!found) return Fail(error, "no end-of-directory record");

  const uint8_t* eocd = data + end;
  const uint16_t count = U16(eocd + 10);
  const uint32_t directorySize = U32(eocd + 12);
  const uint32_t directoryOffset = U32(eocd + 16);
  if (directoryOffset > end || directorySize > end - directoryOffset) return Fail(error, "directory out of range");

  std::vector<Entry> entries;
  entries.reserve(count);
  size_t at = directoryOffset;
  const size_t directoryEnd = static_cast<size_t>(directoryOffset) + directorySize;
  for (uint16_t i = 0; i < count; ++i) {
    if (directoryEnd - at < kDirectoryEntrySize) return Fail(error, "directory entry cut short");
    const uint8_t* p = data + at;
    if (U32(p) != kDirectoryEntrySig) return Fail(error, "bad directory entry signature");
    Entry entry;
    entry.method = U16(p + 10);
    entry.crc32 = U32(p + 16);
    entry.compressedSize = U32(p + 20);
    entry.uncompressedSize = U32(p + 24);
    const size_t nameLength = U16(p + 28);
    const size_t extraLength = U16(p + 30);
    const size_t commentLength = U16(p + 32);
    entry.localHeaderOffset = U32(p + 42);
    const size_t total = kDirectoryEntrySize + nameLength + extraLength + commentLength;
    if (directoryEnd - at < total) return Fail(error, "directory entry cut short");
    entry.name.assign(reinterpret_cast<const char*>(p + kDirectoryEntrySize), nameLength);
    at += total;
    if (entry.name.empty() || entry.name.back() == '/') continue;  // folders
    entries.push_back(std::move(entry));
  }
  m_data = data;
  m_size = size;
  m_entries = std::move(entries);
  return true;
}

const ZipArchive::Entry* ZipArchive::Find(const std::string& name) const {
  const std::string wanted = Normalise(name);
  for (const Entry& entry : m_entries) {
    if (Normalise(entry.name) == wanted) return &entry;
  }
  return nullptr;
}

ZipArchive::Status ZipArchive::Read(const std::string& name, std::vector<uint8_t>& out, std::string* error) const {
  const Entry* entry = Find(name);
  if (!entry) {
    if (error) *error = "no such entry";
    return Status::kMissing;
  }
  return Read(*entry, out, error);
}

ZipArchive::Status ZipArchive::Read(const Entry& entry, std::vector<uint8_t>& out, std::string* error) const {
  out.clear();
  const auto corrupt = [&](const char* why) {
    if (error) *error = why;
    out.clear();
    return Status::kCorrupt;
  };
  if (entry.uncompressedSize > kMaxEntrySize) {
    if (error) *error = "entry too large";
    return Status::kTooLarge;
  }
  if (entry.localHeaderOffset > m_size || m_size - entry.localHeaderOffset < kLocalHeaderSize) {
    return corrupt("local header out of range");
  }
  const uint8_t* local = m_data + entry.localHeaderOffset;
  if (U32(local) != kLocalHeaderSig) return corrupt("bad local header signature");
  const size_t dataOffset = static_cast<size_t>(entry.localHeaderOffset) + kLocalHeaderSize + U16(local + 26) +
                            U16(local + 28);
  if (dataOffset > m_size || m_size - dataOffset < entry.compressedSize) return corrupt("entry data cut short");
  const uint8_t* source = m_data + dataOffset;

  if (entry.method == 0) {
    if (entry.compressedSize != entry.uncompressedSize) return corrupt("stored sizes differ");
    out.assign(source, source + entry.compressedSize);
  } else if (entry.method == 8) {
    out.resize(entry.uncompressedSize);
    z_stream stream;
    std::memset(&stream, 0, sizeof(stream));
    if (inflateInit2(&stream, -MAX_WBITS) != Z_OK) return corrupt("inflate would not start");
    stream.next_in = const_cast<Bytef*>(source);
    stream.avail_in = entry.compressedSize;
    // One spare byte: inflating past the stated size means the size is wrong.
    uint8_t spare = 0;
    stream.next_out = out.empty() ? &spare : out.data();
    stream.avail_out = static_cast<uInt>(out.size());
    int result = inflate(&stream, Z_FINISH);
    if (result == Z_BUF_ERROR && stream.avail_out == 0 && !out.empty()) {
      stream.next_out = &spare;
      stream.avail_out = 1;
      result = inflate(&stream, Z_FINISH);
    }
    const uLong produced = stream.total_out;
    inflateEnd(&stream);
    if (result != Z_STREAM_END || produced != entry.uncompressedSize) return corrupt("inflated data damaged");
  } else {
    if (error) *error = "compression method not supported";
    return Status::kUnsupported;
  }
  const uLong crc = crc32(crc32(0L, Z_NULL, 0), out.empty() ? reinterpret_cast<const Bytef*>("") : out.data(),
                          static_cast<uInt>(out.size()));
  if (crc != entry.crc32) return corrupt("checksum mismatch");
  return Status::kOk;
}

}  // namespace ScreenCapture
