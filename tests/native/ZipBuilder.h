#pragma once
// Builds small zip archives in memory for the reader's tests and the fuzzer's
// seeds: stored or deflated entries, with a correct central directory.
#include <zlib.h>

#include <cstdint>
#include <string>
#include <vector>

namespace ziptest {

struct File {
  std::string name;
  std::string content;
  bool deflate = true;
};

inline void Put16(std::string& out, uint32_t v) {
  out.push_back(static_cast<char>(v & 0xFF));
  out.push_back(static_cast<char>((v >> 8) & 0xFF));
}
inline void Put32(std::string& out, uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

inline std::string RawDeflate(const std::string& in) {
  z_stream s = {};
  deflateInit2(&s, 9, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
  std::string out(deflateBound(&s, static_cast<uLong>(in.size())) + 16, '\0');
  s.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in.data()));
  s.avail_in = static_cast<uInt>(in.size());
  s.next_out = reinterpret_cast<Bytef*>(&out[0]);
  s.avail_out = static_cast<uInt>(out.size());
  deflate(&s, Z_FINISH);
  out.resize(s.total_out);
  deflateEnd(&s);
  return out;
}

inline std::string Build(const std::vector<File>& files) {
  std::string zip;
  std::string directory;
  for (const File& f : files) {
    const uint32_t crc = crc32(0, reinterpret_cast<const Bytef*>(f.content.data()), static_cast<uInt>(f.content.size()));
    const std::string data = f.deflate ? RawDeflate(f.content) : f.content;
    const uint32_t offset = static_cast<uint32_t>(zip.size());
    Put32(zip, 0x04034b50);
    Put16(zip, 20); Put16(zip, 0); Put16(zip, f.deflate ? 8 : 0); Put16(zip, 0); Put16(zip, 0);
    Put32(zip, crc); Put32(zip, static_cast<uint32_t>(data.size())); Put32(zip, static_cast<uint32_t>(f.content.size()));
    Put16(zip, static_cast<uint32_t>(f.name.size())); Put16(zip, 0);
    zip += f.name;
    zip += data;
    Put32(directory, 0x02014b50);
    Put16(directory, 20); Put16(directory, 20); Put16(directory, 0); Put16(directory, f.deflate ? 8 : 0);
    Put16(directory, 0); Put16(directory, 0);
    Put32(directory, crc); Put32(directory, static_cast<uint32_t>(data.size()));
    Put32(directory, static_cast<uint32_t>(f.content.size()));
    Put16(directory, static_cast<uint32_t>(f.name.size())); Put16(directory, 0); Put16(directory, 0);
    Put16(directory, 0); Put16(directory, 0); Put32(directory, 0); Put32(directory, offset);
    directory += f.name;
  }
  const uint32_t directoryOffset = static_cast<uint32_t>(zip.size());
  zip += directory;
  Put32(zip, 0x06054b50);
  Put16(zip, 0); Put16(zip, 0);
  Put16(zip, static_cast<uint32_t>(files.size())); Put16(zip, static_cast<uint32_t>(files.size()));
  Put32(zip, static_cast<uint32_t>(directory.size())); Put32(zip, directoryOffset);
  Put16(zip, 0);
  return zip;
}

}  // namespace ziptest
