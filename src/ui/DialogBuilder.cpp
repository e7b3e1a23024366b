#include "ui/DialogBuilder.h"

#include <objbase.h>
#include <shlwapi.h>
#include <initguid.h>  // defines the reader interface id here: mingw has no xmllite import library
#include <xmllite.h>

#include <memory>

#include "common/Logger.h"
#include "common/SystemFunctions.h"
#include "common/StringUtils.h"
#include "ui/Controls.h"
#include "ui/PaintManager.h"
#include "ui/SkinArchive.h"

namespace DuiLib {

namespace {

using CreateXmlReaderFn = HRESULT(WINAPI*)(REFIID, void**, IMalloc*);

// xmllite.dll ships with the system; mingw has no import library for it.
CreateXmlReaderFn XmlReaderFactory() {
  static const CreateXmlReaderFn factory =
      ScreenCapture::LoadSystemFunction<CreateXmlReaderFn>(L"xmllite.dll", "CreateXmlReader");
  return factory;
}

template <class T>
struct ComRelease {
  void operator()(T* p) const {
    if (p) p->Release();
  }
};
template <class T>
using ComPtr = std::unique_ptr<T, ComRelease<T>>;

CControlUI* CreateBuiltIn(const std::wstring& name) {
  if (name == L"Control") return new CControlUI();
  if (name == L"Container") return new CContainerUI();
  if (name == L"VerticalLayout") return new CVerticalLayoutUI();
  if (name == L"HorizontalLayout") return new CHorizontalLayoutUI();
  if (name == L"Label") return new CLabelUI();
  if (name == L"Button") return new CButtonUI();
  if (name == L"Option") return new COptionUI();
  if (name == L"Combo") return new CComboUI();
  if (name == L"ListLabelElement") return new CListLabelElementUI();
  return nullptr;
}

struct Attribute {
  std::wstring name;
  std::wstring value;
};

bool ReadAttributes(IXmlReader* reader, std::vector<Attribute>& out) {
  out.clear();
  HRESULT hr = reader->MoveToFirstAttribute();
  while (hr == S_OK) {
    const wchar_t* name = nullptr;
    const wchar_t* value = nullptr;
    if (FAILED(reader->GetLocalName(&name, nullptr)) || FAILED(reader->GetValue(&value, nullptr))) return false;
    out.push_back(Attribute{name ? name : L"", value ? value : L""});
    hr = reader->MoveToNextAttribute();
  }
  reader->MoveToElement();
  return SUCCEEDED(hr);
}

void ApplyWindowTag(CPaintManagerUI* manager, const std::vector<Attribute>& attributes) {
  for (const Attribute& a : attributes) {
    if (a.name == L"bktrans") manager->SetTransparentBackground(ScreenCapture::ParseBool(ScreenCapture::Utf16ToUtf8(a.value)));
    if (a.name == L"size") {
      int v[2];
      ScreenCapture::ParseIntList(ScreenCapture::Utf16ToUtf8(a.value), v, 2);
      manager->SetInitSize(v[0], v[1]);
    }
  }
}

void ApplyFontTag(CPaintManagerUI* manager, const std::vector<Attribute>& attributes) {
  int id = -1;
  int size = 12;
  std::wstring face;
  bool bold = false, underline = false, italic = false, isDefault = false;
  for (const Attribute& a : attributes) {
    const std::string v = ScreenCapture::Utf16ToUtf8(a.value);
    if (a.name == L"id") id = _wtoi(a.value.c_str());
    else if (a.name == L"name") face = a.value;
    else if (a.name == L"size") size = _wtoi(a.value.c_str());
    else if (a.name == L"bold") bold = ScreenCapture::ParseBool(v);
    else if (a.name == L"underline") underline = ScreenCapture::ParseBool(v);
    else if (a.name == L"italic") italic = ScreenCapture::ParseBool(v);
    else if (a.name == L"default") isDefault = ScreenCapture::ParseBool(v);
  }
  if (id >= 0 && size > 0) manager->AddFont(id, face, size, bold, underline, italic, isDefault);
}

}  // namespace

CControlUI* CDialogBuilder::Create(const std::wstring& skinFile, CPaintManagerUI* manager,
                                   const CreateCallback& callback) {
  std::vector<uint8_t> xml;
  if (!CSkinArchive::Instance()->ReadFile(skinFile, xml)) return nullptr;
  return CreateFromText(xml, manager, callback, skinFile);
}

CControlUI* CDialogBuilder::CreateFromText(const std::vector<uint8_t>& xml, CPaintManagerUI* manager,
                                           const CreateCallback& callback, const std::wstring& nameForLog) {
  const CreateXmlReaderFn factory = XmlReaderFactory();
  if (!factory) {
    LOG_ERR(L"layout %s: xmllite.dll is not available", nameForLog.c_str());
    return nullptr;
  }
  IXmlReader* rawReader = nullptr;
  if (FAILED(factory(IID_IXmlReader, reinterpret_cast<void**>(&rawReader), nullptr)) || !rawReader) {
    LOG_ERR(L"layout %s: no XML reader", nameForLog.c_str());
    return nullptr;
  }
  ComPtr<IXmlReader> reader(rawReader);
  ComPtr<IStream> stream(::SHCreateMemStream(xml.data(), static_cast<UINT>(xml.size())));
  if (!stream || FAILED(reader->SetProperty(XmlReaderProperty_DtdProcessing, DtdProcessing_Prohibit)) ||
      FAILED(reader->SetInput(stream.get()))) {
    LOG_ERR(L"layout %s: cannot read", nameForLog.c_str());
    return nullptr;
  }

  // Elements under construction; null entries stand for skipped subtrees.
  std::unique_ptr<CControlUI> root;
  std::vector<CControlUI*> open;
  std::vector<Attribute> attributes;
  int depth = 0;
  int skipDepth = -1;  // depth of a skipped element, -1 when none
  XmlNodeType type;
  HRESULT hr;
  while ((hr = reader->Read(&type)) == S_OK) {
    if (type == XmlNodeType_EndElement) {
      --depth;
      if (skipDepth >= 0 && depth == skipDepth) skipDepth = -1;
      if (depth >= 1 && !open.empty()) open.pop_back();
      continue;
    }
    if (type != XmlNodeType_Element) continue;
    const bool empty = reader->IsEmptyElement() != FALSE;
    const wchar_t* rawName = nullptr;
    reader->GetLocalName(&rawName, nullptr);
    const std::wstring name = rawName ? rawName : L"";
    if (!ReadAttributes(reader.get(), attributes)) break;
    const int myDepth = depth;
    if (!empty) ++depth;

    if (myDepth == 0) {
      if (name != L"Window") {
        LOG_ERR(L"layout %s: root element is %s, not Window", nameForLog.c_str(), name.c_str());
        return nullptr;
      }
      ApplyWindowTag(manager, attributes);
      continue;
    }
    if (skipDepth >= 0) {
      if (!empty) open.push_back(nullptr);
      continue;
    }
    if (myDepth == 1 && name == L"Font") {
      ApplyFontTag(manager, attributes);
      if (!empty) open.push_back(nullptr);
      continue;
    }
    if (myDepth == 1 && (name == L"Default" || name == L"Image")) {
      if (!empty) open.push_back(nullptr);
      continue;
    }

    CControlUI* control = CreateBuiltIn(name);
    if (!control && callback) control = callback(name);
    CControlUI* parent = open.empty() ? nullptr : open.back();
    CContainerUI* container = parent ? dynamic_cast<CContainerUI*>(parent) : nullptr;
    if (!control || (myDepth > 1 && !container) || (myDepth == 1 && root)) {
      if (!control) {
        LOG_ERR(L"layout %s: unknown element %s skipped", nameForLog.c_str(), name.c_str());
      } else {
        LOG_ERR(L"layout %s: element %s has no place here, skipped", nameForLog.c_str(), name.c_str());
        delete control;
      }
      if (!empty) {
        skipDepth = myDepth;
        open.push_back(nullptr);
      }
      continue;
    }
    control->SetManager(manager, parent);
    for (const Attribute& a : attributes) control->SetAttribute(a.name, a.value);
    if (myDepth == 1) {
      root.reset(control);
    } else {
      container->Add(control);
    }
    if (!empty) open.push_back(control);
  }
  if (FAILED(hr)) {
    LOG_ERR(L"layout %s: malformed XML (0x%08X, line %d)", nameForLog.c_str(), static_cast<unsigned>(hr),
            [&] {
              UINT line = 0;
              reader->GetLineNumber(&line);
              return static_cast<int>(line);
            }());
    return nullptr;
  }
  if (!root) LOG_ERR(L"layout %s: no elements", nameForLog.c_str());
  return root.release();
}

}  // namespace DuiLib
