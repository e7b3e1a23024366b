#include "common/Security.h"

#include <aclapi.h>

namespace ScreenCapture {

NullDaclSecurity::NullDaclSecurity(bool inheritHandle) {
  if (::InitializeSecurityDescriptor(&m_descriptor, SECURITY_DESCRIPTOR_REVISION) &&
      ::SetSecurityDescriptorDacl(&m_descriptor, TRUE, nullptr, FALSE)) {
    m_attributes.nLength = sizeof(m_attributes);
    m_attributes.lpSecurityDescriptor = &m_descriptor;
    m_attributes.bInheritHandle = inheritHandle ? TRUE : FALSE;
    m_ok = true;
  }
}

bool SetNullDaclByName(const wchar_t* name, int objectType) {
  return ::SetNamedSecurityInfoW(const_cast<wchar_t*>(name), static_cast<SE_OBJECT_TYPE>(objectType),
                                 DACL_SECURITY_INFORMATION, nullptr, nullptr, nullptr,
                                 nullptr) == ERROR_SUCCESS;
}

}  // namespace ScreenCapture
