#pragma once
// Security attributes for objects that every process and user may open.
#include <windows.h>

namespace ScreenCapture {

// A descriptor whose access list is null: no restrictions at all. The
// attributes point into this object, so keep it alive while they are used.
class NullDaclSecurity {
 public:
  explicit NullDaclSecurity(bool inheritHandle);
  NullDaclSecurity(const NullDaclSecurity&) = delete;
  NullDaclSecurity& operator=(const NullDaclSecurity&) = delete;
  // Null when the descriptor could not be built (default security then).
  SECURITY_ATTRIBUTES* Attributes() { return m_ok ? &m_attributes : nullptr; }

 private:
  SECURITY_DESCRIPTOR m_descriptor{};
  SECURITY_ATTRIBUTES m_attributes{};
  bool m_ok = false;
};

// Gives an existing file or kernel object a null access list by name.
bool SetNullDaclByName(const wchar_t* name, int objectType);

}  // namespace ScreenCapture
