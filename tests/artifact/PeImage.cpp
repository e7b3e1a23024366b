#include "PeImage.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace artifact {

namespace {

struct Section {
  uint32_t virtualAddress, virtualSize, rawOffset, rawSize;
};

class Reader {
 public:
  explicit Reader(const std::string& bytes) : m_bytes(bytes) {}
  bool Has(uint64_t offset, uint64_t size) const { return offset <= m_bytes.size() && size <= m_bytes.size() - offset; }
  uint16_t U16(uint64_t offset) const { return static_cast<uint16_t>(Byte(offset) | Byte(offset + 1) << 8); }
  uint32_t U32(uint64_t offset) const { return U16(offset) | static_cast<uint32_t>(U16(offset + 2)) << 16; }
  std::string Bytes(uint64_t offset, uint64_t size) const {
    return Has(offset, size) ? m_bytes.substr(offset, size) : std::string();
  }
  // A zero-terminated string at `offset`, at most 256 bytes.
  std::string CString(uint64_t offset) const {
    std::string out;
    while (Has(offset, 1) && m_bytes[offset] != 0 && out.size() < 256) out += m_bytes[offset++];
    return out;
  }

 private:
  uint8_t Byte(uint64_t offset) const { return Has(offset, 1) ? static_cast<uint8_t>(m_bytes[offset]) : 0; }
  const std::string& m_bytes;
};

class Parser {
 public:
  Parser(const std::string& bytes, PeImage& image) : m_in(bytes), m_image(image) {}

  bool Run(std::string& error) {
    if (!m_in.Has(0, 0x40) || m_in.U16(0) != 0x5A4D) return Fail(error, "no MZ header");
    const uint32_t pe = m_in.U32(0x3C);
    if (!m_in.Has(pe, 24) || m_in.U32(pe) != 0x00004550) return Fail(error, "no PE signature");
    m_image.machine = m_in.U16(pe + 4);
    const uint16_t sections = m_in.U16(pe + 6);
    const uint16_t optionalSize = m_in.U16(pe + 20);
    m_image.characteristics = m_in.U16(pe + 22);
    const uint64_t opt = pe + 24;
    if (!m_in.Has(opt, optionalSize) || optionalSize < 2) return Fail(error, "optional header cut off");
    m_image.magic = m_in.U16(opt);
    const bool plus = m_image.magic == 0x20b;
    if (!plus && m_image.magic != 0x10b) return Fail(error, "unknown optional header magic");
    const uint64_t directories = opt + (plus ? 112 : 96);
    if (optionalSize < (plus ? 112 : 96) + 3 * 8) return Fail(error, "too few data directories");
    m_image.subsystem = m_in.U16(opt + 68);
    const uint64_t table = opt + optionalSize;
    if (!m_in.Has(table, static_cast<uint64_t>(sections) * 40)) return Fail(error, "section table cut off");
    for (uint16_t i = 0; i < sections; ++i) {
      const uint64_t s = table + i * 40ull;
      m_sections.push_back({m_in.U32(s + 12), m_in.U32(s + 8), m_in.U32(s + 20), m_in.U32(s + 16)});
    }
    if (!Imports(m_in.U32(directories + 8), error)) return false;
    const uint32_t resources = m_in.U32(directories + 16);
    if (resources && !Resources(resources, error)) return false;
    return true;
  }

 private:
  static bool Fail(std::string& error, const char* what) {
    error = what;
    return false;
  }

  // The file offset of an address in the image; 0 when no section holds it.
  uint64_t Offset(uint32_t rva) const {
    for (const Section& s : m_sections) {
      const uint32_t size = std::max(s.virtualSize, s.rawSize);
      if (rva >= s.virtualAddress && rva - s.virtualAddress < size) return uint64_t{s.rawOffset} + (rva - s.virtualAddress);
    }
    return 0;
  }

  bool Imports(uint32_t rva, std::string& error) {
    if (!rva) return true;
    uint64_t at = Offset(rva);
    if (!at) return Fail(error, "import directory outside the sections");
    for (int n = 0; n < 512; ++n, at += 20) {
      if (!m_in.Has(at, 20)) return Fail(error, "import directory cut off");
      const uint32_t nameRva = m_in.U32(at + 12);
      if (nameRva == 0) return true;
      std::string name = m_in.CString(Offset(nameRva));
      std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::tolower(c); });
      m_image.imports.push_back(name);
    }
    return Fail(error, "import directory without an end");
  }

  ResourceId EntryId(uint64_t base, uint32_t value) const {
    ResourceId id;
    if (value & 0x80000000u) {
      const uint64_t at = base + (value & 0x7FFFFFFFu);
      const uint16_t length = m_in.U16(at);
      for (uint16_t i = 0; i < length && i < 256; ++i) id.name += static_cast<char>(m_in.U16(at + 2 + i * 2u) & 0x7F);
    } else {
      id.id = value;
    }
    return id;
  }

  // Entries of one directory: (id, offset of the child relative to the base, is a directory).
  struct Entry {
    ResourceId id;
    uint32_t child;
    bool directory;
  };
  std::vector<Entry> Directory(uint64_t base, uint32_t offset) const {
    std::vector<Entry> out;
    const uint64_t at = base + offset;
    if (!m_in.Has(at, 16)) return out;
    const uint32_t count = uint32_t{m_in.U16(at + 12)} + m_in.U16(at + 14);
    for (uint32_t i = 0; i < count && i < 4096 && m_in.Has(at + 16 + i * 8ull, 8); ++i) {
      const uint64_t e = at + 16 + i * 8ull;
      const uint32_t child = m_in.U32(e + 4);
      out.push_back({EntryId(base, m_in.U32(e)), child & 0x7FFFFFFFu, (child & 0x80000000u) != 0});
    }
    return out;
  }

  bool Resources(uint32_t rva, std::string& error) {
    const uint64_t base = Offset(rva);
    if (!base) return Fail(error, "resource directory outside the sections");
    for (const Entry& type : Directory(base, 0)) {
      if (!type.directory) continue;
      for (const Entry& name : Directory(base, type.child)) {
        if (!name.directory) continue;
        const std::vector<Entry> languages = Directory(base, name.child);
        if (languages.empty() || languages[0].directory) continue;
        const uint64_t data = base + languages[0].child;
        if (!m_in.Has(data, 16)) return Fail(error, "resource data entry cut off");
        const uint64_t at = Offset(m_in.U32(data));
        const uint32_t size = m_in.U32(data + 4);
        if (!at || !m_in.Has(at, size)) return Fail(error, "resource data outside the file");
        m_image.resources[{type.id, name.id}] = m_in.Bytes(at, size);
      }
    }
    return true;
  }

  Reader m_in;
  PeImage& m_image;
  std::vector<Section> m_sections;
};

}  // namespace

bool ParsePe(const std::string& bytes, PeImage& image, std::string& error) {
  image = PeImage();
  return Parser(bytes, image).Run(error);
}

}  // namespace artifact
