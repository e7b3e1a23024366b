#include "app/SingleInstance.h"

#include <sddl.h>

#include "common/Logger.h"

namespace ScreenCapture {

int CreateSingleInstanceEvent(UniqueHandle& event, const wchar_t* name, const wchar_t* sddl) {
  UniqueLocal descriptor;
  SECURITY_ATTRIBUTES attributes = {};
  SECURITY_ATTRIBUTES* security = nullptr;
  if (::ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, descriptor.Put(), nullptr)) {
    attributes.nLength = sizeof(attributes);
    attributes.lpSecurityDescriptor = descriptor.Get();
    attributes.bInheritHandle = FALSE;
    security = &attributes;
  } else {
    LOG_ERR(L"Create Security Descriptor Error: %d", static_cast<int>(::GetLastError()));
  }
  event.Reset(::CreateEventW(security, TRUE, FALSE, name));
  const DWORD error = ::GetLastError();
  if (error == ERROR_ALREADY_EXISTS || error == ERROR_ACCESS_DENIED) return static_cast<int>(error);
  return 0;
}

}  // namespace ScreenCapture
