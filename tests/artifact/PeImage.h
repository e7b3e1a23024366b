#pragma once
// A reader of Windows executables for the checks of the built program that
// need no Windows: headers, imported DLLs and resources. Reads a whole file
// into memory; every offset is checked against the file's size.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace artifact {

// A resource type or name: an id, or a string (upper case as stored).
struct ResourceId {
  uint32_t id = 0;
  std::string name;  // empty for an id
  bool operator<(const ResourceId& o) const { return name != o.name ? name < o.name : id < o.id; }
};

struct PeImage {
  uint16_t machine = 0;          // 0x14c i386, 0x8664 x86-64
  uint16_t characteristics = 0;  // COFF flags (0x20: large address aware)
  uint16_t magic = 0;            // 0x10b PE32, 0x20b PE32+
  uint16_t subsystem = 0;        // 2 GUI, 3 console
  std::vector<std::string> imports;  // DLL names, lower case
  // (type, name) -> the bytes of the first language of that resource.
  std::map<std::pair<ResourceId, ResourceId>, std::string> resources;
};

// Parses `bytes`; false with `error` set for anything that is not a sound PE image.
bool ParsePe(const std::string& bytes, PeImage& image, std::string& error);

}  // namespace artifact
