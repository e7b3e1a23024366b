#include "core/SkinLayout.h"

#include <cctype>
#include <climits>

namespace ScreenCapture {

int ParseIntList(const std::string& text, int* values, int count) {
  for (int i = 0; i < count; ++i) values[i] = 0;
  int read = 0;
  size_t at = 0;
  while (read < count && at < text.size()) {
    while (at < text.size() && std::isspace(static_cast<unsigned char>(text[at]))) ++at;
    bool negative = false;
    if (at < text.size() && (text[at] == '-' || text[at] == '+')) negative = text[at++] == '-';
    long long value = 0;
    bool digits = false;
    while (at < text.size() && std::isdigit(static_cast<unsigned char>(text[at]))) {
      if (value < INT_MAX) value = value * 10 + (text[at] - '0');
      digits = true;
      ++at;
    }
    if (value > INT_MAX) value = INT_MAX;
    if (digits) values[read] = static_cast<int>(negative ? -value : value);
    ++read;
    const size_t comma = text.find(',', at);
    if (comma == std::string::npos) break;
    at = comma + 1;
  }
  return read;
}

Margins ParseMargins(const std::string& text) {
  int v[4];
  ParseIntList(text, v, 4);
  return Margins{v[0], v[1], v[2], v[3]};
}

bool ParseColor(const std::string& text, uint32_t& argb) {
  std::string hex = text;
  while (!hex.empty() && std::isspace(static_cast<unsigned char>(hex.front()))) hex.erase(hex.begin());
  if (!hex.empty() && hex[0] == '#') hex.erase(0, 1);
  else if (hex.size() > 2 && hex[0] == '0' && (hex[1] == 'x' || hex[1] == 'X')) hex.erase(0, 2);
  if (hex.size() != 6 && hex.size() != 8) return false;
  uint32_t value = 0;
  for (char c : hex) {
    if (!std::isxdigit(static_cast<unsigned char>(c))) return false;
    value = value * 16 + static_cast<uint32_t>(std::isdigit(static_cast<unsigned char>(c)) ? c - '0'
                                                                                          : (std::tolower(c) - 'a' + 10));
  }
  argb = hex.size() == 6 ? (0xFF000000u | value) : value;
  return true;
}

bool ParseBool(const std::string& text) { return text == "true" || text == "TRUE" || text == "True" || text == "1"; }

ImageAttribute ParseImageAttribute(const std::string& text) {
  ImageAttribute image;
  if (text.find('=') == std::string::npos) {
    image.file = text;
    return image;
  }
  // key='value' pairs, values quoted with ' or ".
  size_t at = 0;
  while (at < text.size()) {
    const size_t eq = text.find('=', at);
    if (eq == std::string::npos) break;
    size_t keyStart = at;
    while (keyStart < eq && std::isspace(static_cast<unsigned char>(text[keyStart]))) ++keyStart;
    const std::string key = text.substr(keyStart, eq - keyStart);
    size_t valueStart = eq + 1;
    std::string value;
    if (valueStart < text.size() && (text[valueStart] == '\'' || text[valueStart] == '"')) {
      const char quote = text[valueStart];
      const size_t close = text.find(quote, valueStart + 1);
      value = text.substr(valueStart + 1, close == std::string::npos ? std::string::npos : close - valueStart - 1);
      at = close == std::string::npos ? text.size() : close + 1;
    } else {
      const size_t space = text.find(' ', valueStart);
      value = text.substr(valueStart, space == std::string::npos ? std::string::npos : space - valueStart);
      at = space == std::string::npos ? text.size() : space + 1;
    }
    if (key == "file") {
      image.file = value;
    } else if (key == "dest") {
      int v[4];
      ParseIntList(value, v, 4);
      image.dest = Rect::FromEdges(v[0], v[1], v[2], v[3]);
      image.hasDest = true;
    }
  }
  return image;
}

std::vector<Rect> ArrangeChildren(LayoutKind kind, const Rect& box, const Margins& inset,
                                  const std::vector<LayoutChild>& children) {
  std::vector<Rect> rects(children.size(), Rect{box.x, box.y, 0, 0});
  const Rect inner = box.Deflate(inset);
  const bool vertical = kind == LayoutKind::kVertical;

  // Space taken by fixed sizes and paddings along the flow, and the number of
  // children that stretch to share the rest.
  long long fixedTotal = 0;
  int stretching = 0;
  for (const LayoutChild& c : children) {
    if (!c.visible || c.floating || kind == LayoutKind::kStack) continue;
    const int fixed = vertical ? c.fixedHeight : c.fixedWidth;
    fixedTotal += vertical ? c.padding.top + c.padding.bottom : c.padding.left + c.padding.right;
    if (fixed > 0) fixedTotal += fixed;
    else ++stretching;
  }
  const long long flowLength = vertical ? inner.height : inner.width;
  const long long free = flowLength > fixedTotal ? flowLength - fixedTotal : 0;
  const int share = stretching > 0 ? static_cast<int>(free / stretching) : 0;
  const int remainder = stretching > 0 ? static_cast<int>(free - static_cast<long long>(share) * stretching) : 0;

  int cursor = vertical ? inner.y : inner.x;
  int stretchedSoFar = 0;
  for (size_t i = 0; i < children.size(); ++i) {
    const LayoutChild& c = children[i];
    if (!c.visible) continue;
    if (c.floating) {
      const int width = c.fixedWidth > 0 ? c.fixedWidth : c.floatEdges.width;
      const int height = c.fixedHeight > 0 ? c.fixedHeight : c.floatEdges.height;
      rects[i] = Rect{box.x + c.floatEdges.x, box.y + c.floatEdges.y, width < 0 ? 0 : width, height < 0 ? 0 : height};
      continue;
    }
    if (kind == LayoutKind::kStack) {
      const Rect area = inner.Deflate(c.padding);
      rects[i] = Rect{area.x, area.y, c.fixedWidth > 0 ? c.fixedWidth : area.width,
                      c.fixedHeight > 0 ? c.fixedHeight : area.height};
      continue;
    }
    if (vertical) {
      cursor += c.padding.top;
      int height = c.fixedHeight;
      if (height <= 0) {
        height = share + (++stretchedSoFar == stretching ? remainder : 0);
      }
      const int width = c.fixedWidth > 0 ? c.fixedWidth : std::max(0, inner.width - c.padding.left - c.padding.right);
      rects[i] = Rect{inner.x + c.padding.left, cursor, width, height};
      cursor += height + c.padding.bottom;
    } else {
      cursor += c.padding.left;
      int width = c.fixedWidth;
      if (width <= 0) {
        width = share + (++stretchedSoFar == stretching ? remainder : 0);
      }
      const int height = c.fixedHeight > 0 ? c.fixedHeight : std::max(0, inner.height - c.padding.top - c.padding.bottom);
      rects[i] = Rect{cursor, inner.y + c.padding.top, width, height};
      cursor += width + c.padding.right;
    }
  }
  return rects;
}

}  // namespace ScreenCapture
