#include "common/HandOver.h"

#include <windows.h>
#include <aclapi.h>

#include <cstdint>
#include <cstring>

#include "common/Handles.h"
#include "common/Security.h"
#include "common/StringUtils.h"

namespace ScreenCapture {

bool WriteHandOverRecord(const std::wstring& name, const Rect& region) {
  if (name.empty()) return false;
  // A name of plain ASCII characters is the same in every code page.
  const std::string narrow = Utf16ToUtf8(name);
  NullDaclSecurity security(true);
  UniqueHandle mapping(::CreateFileMappingA(INVALID_HANDLE_VALUE, security.Attributes(), PAGE_READWRITE, 0, 16,
                                            narrow.c_str()));
  if (!mapping) return false;
  ::SetSecurityInfo(mapping.Get(), SE_KERNEL_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, nullptr, nullptr);
  UniqueView view(::MapViewOfFile(mapping.Get(), FILE_MAP_ALL_ACCESS, 0, 0, 0));
  if (!view.Get()) return false;
  // Right and bottom, not width and height: the record is left, top, right,
  // bottom, exclusive.
  const int32_t record[4] = {region.x, region.y, region.x + region.width, region.y + region.height};
  std::memcpy(view.Get(), record, sizeof(record));
  return true;
}

}  // namespace ScreenCapture
