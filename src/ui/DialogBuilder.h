#pragma once
// Builds an element tree from a layout file of the skin. The XML is read
// with XmlLite (part of every Windows since Vista, and of Wine).
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "ui/Control.h"

namespace DuiLib {

class CPaintManagerUI;

class CDialogBuilder {
 public:
  // Asked for each element name the toolkit does not know; null skips the
  // element and what it holds (logged).
  using CreateCallback = std::function<CControlUI*(const std::wstring& name)>;

  // Builds the tree of a layout file in the skin archive. The window tag's
  // fonts and size go to `manager`. Null (logged at error level) when the
  // file is missing or not well-formed; a partial tree is never returned.
  CControlUI* Create(const std::wstring& skinFile, CPaintManagerUI* manager, const CreateCallback& callback);

  // The same from layout text (UTF-8).
  CControlUI* CreateFromText(const std::vector<uint8_t>& xml, CPaintManagerUI* manager,
                             const CreateCallback& callback, const std::wstring& nameForLog);
};

}  // namespace DuiLib
