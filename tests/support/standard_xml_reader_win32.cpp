#include <windows.h>
#include <msxml2.h>
#include <oleauto.h>

#include <cstring>

#include "platform/text.h"
#include "tests/support/standard_xml_reader.h"

namespace vk::test {
namespace {

// COM for this thread while a check runs, given back after it so that the
// tests that start COM themselves find it as they left it.
class ComForThisThread {
 public:
  ComForThisThread() : started_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
  ~ComForThisThread() {
    if (started_) CoUninitialize();
  }
  ComForThisThread(const ComForThisThread&) = delete;
  ComForThisThread& operator=(const ComForThisThread&) = delete;

 private:
  bool started_;
};

// MSXML's reason for the last parse error of `document`.
std::string ParseErrorReason(IXMLDOMDocument* document) {
  IXMLDOMParseError* error = nullptr;
  if (FAILED(document->get_parseError(&error)) || error == nullptr) return "not well-formed";
  BSTR reason = nullptr;
  std::string text = "not well-formed";
  if (SUCCEEDED(error->get_reason(&reason)) && reason != nullptr) {
    text = platform::Utf16ToUtf8(reinterpret_cast<const char16_t*>(reason));
  }
  SysFreeString(reason);
  error->Release();
  return text;
}

}  // namespace

// MSXML 3, which every Windows and Wine holds, reading the bytes as a file
// would be read: the encoding from the document itself.
std::string StandardXmlReaderError(std::string_view bytes) {
  ComForThisThread com;
  CLSID reader{};
  IXMLDOMDocument* document = nullptr;
  if (FAILED(CLSIDFromProgID(L"Msxml2.DOMDocument.3.0", &reader)) ||
      FAILED(CoCreateInstance(reader, nullptr, CLSCTX_INPROC_SERVER, IID_IXMLDOMDocument,
                              reinterpret_cast<void**>(&document)))) {
    return "no MSXML";
  }
  document->put_async(VARIANT_FALSE);
  document->put_validateOnParse(VARIANT_FALSE);
  document->put_resolveExternals(VARIANT_FALSE);
  SAFEARRAY* array = SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(bytes.size()));
  std::string result = "no memory";
  if (array != nullptr) {
    std::memcpy(array->pvData, bytes.data(), bytes.size());
    VARIANT source;
    VariantInit(&source);
    source.vt = VT_ARRAY | VT_UI1;
    source.parray = array;
    VARIANT_BOOL loaded = VARIANT_FALSE;
    const HRESULT read = document->load(source, &loaded);
    result = SUCCEEDED(read) && loaded == VARIANT_TRUE ? "" : ParseErrorReason(document);
    VariantClear(&source);
  }
  document->Release();
  return result;
}

}  // namespace vk::test
