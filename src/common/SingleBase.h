#pragma once
// Process-wide single instances: created on first use under the runtime's
// thread-safe static initialisation and never destroyed.

namespace CommonDef {

template <class T>
class CSingleBase {
 public:
  static T* Instance() {
    static T* const instance = new T();
    return instance;
  }

 protected:
  CSingleBase() = default;
  virtual ~CSingleBase() = default;
  CSingleBase(const CSingleBase&) = delete;
  CSingleBase& operator=(const CSingleBase&) = delete;
};

}  // namespace CommonDef
