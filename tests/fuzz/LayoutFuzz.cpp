// libFuzzer target for the skin's attribute values and container layout:
// attribute text of any kind parses, and children of any sizes, paddings and
// positions are placed without overflow, one rectangle each.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "FuzzInput.h"
#include "core/SkinLayout.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace ScreenCapture;
  // The first part is attribute text, up to a zero byte.
  const uint8_t* end = static_cast<const uint8_t*>(std::memchr(data, 0, size));
  const size_t textSize = end ? static_cast<size_t>(end - data) : size;
  const std::string text(reinterpret_cast<const char*>(data), textSize);
  int values[4];
  if (ParseIntList(text, values, 4) > 4) __builtin_trap();
  ParseMargins(text);
  uint32_t argb = 0;
  ParseColor(text, argb);
  ParseBool(text);
  ParseImageAttribute(text);
  data += textSize;
  size -= textSize;

  // The rest: a container and its children.
  const LayoutKind kind = static_cast<LayoutKind>((Take(data, size) & 0x7FFFFFFF) % 3);
  const Rect box{Take(data, size) % 100000, Take(data, size) % 100000, Take(data, size) % 100000,
                 Take(data, size) % 100000};
  const Margins inset = ParseMargins(std::to_string(Take(data, size) % 10000) + "," +
                                     std::to_string(Take(data, size) % 10000));
  std::vector<LayoutChild> children;
  while (size >= 4 && children.size() < 64) {
    LayoutChild child;
    const int32_t flags = Take(data, size);
    child.visible = (flags & 1) != 0;
    child.floating = (flags & 2) != 0;
    child.fixedWidth = Take(data, size) % 100000;
    child.fixedHeight = Take(data, size) % 100000;
    child.floatEdges = Rect{Take(data, size) % 100000, Take(data, size) % 100000, Take(data, size) % 100000,
                            Take(data, size) % 100000};
    child.padding = ParseMargins(std::to_string(Take(data, size) % 10000));
    children.push_back(child);
  }
  if (ArrangeChildren(kind, box, inset, children).size() != children.size()) __builtin_trap();
  return 0;
}
