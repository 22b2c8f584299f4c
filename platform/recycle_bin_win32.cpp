#include <windows.h>

#include <shellapi.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <string>

#include "platform/files.h"
#include "platform/recycle_bin.h"
#include "platform/registry.h"
#include "platform/wide_win32.h"

namespace vk::platform {
namespace {

// Asked by the shell before and after each item. With FOF_NOCONFIRMATION the
// shell deletes for good, unasked, whatever its bin cannot take (no bin on the
// volume, a policy, an item larger than the bin); it tells beforehand by
// leaving TSF_DELETE_RECYCLE_IF_POSSIBLE out of the item's flags, and an
// error from PreDeleteItem cancels that item's deletion.
class RecycleOnlySink final : public IFileOperationProgressSink {
 public:
  bool recycled = false;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (iid == IID_IUnknown || iid == IID_IFileOperationProgressSink) {
      *object = static_cast<IFileOperationProgressSink*>(this);
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  // Lives on the caller's stack for the one operation.
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }

  HRESULT STDMETHODCALLTYPE PreDeleteItem(DWORD flags, IShellItem*) override {
    return (flags & TSF_DELETE_RECYCLE_IF_POSSIBLE) != 0 ? S_OK
                                                         : HRESULT_FROM_WIN32(ERROR_NOT_SUPPORTED);
  }
  HRESULT STDMETHODCALLTYPE PostDeleteItem(DWORD, IShellItem*, HRESULT result,
                                           IShellItem* inBin) override {
    recycled = SUCCEEDED(result) && inBin != nullptr;
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE StartOperations() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE FinishOperations(HRESULT) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE PreRenameItem(DWORD, IShellItem*, LPCWSTR) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE PostRenameItem(DWORD, IShellItem*, LPCWSTR, HRESULT,
                                           IShellItem*) override {
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE PreMoveItem(DWORD, IShellItem*, IShellItem*, LPCWSTR) override {
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE PostMoveItem(DWORD, IShellItem*, IShellItem*, LPCWSTR, HRESULT,
                                         IShellItem*) override {
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE PreCopyItem(DWORD, IShellItem*, IShellItem*, LPCWSTR) override {
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE PostCopyItem(DWORD, IShellItem*, IShellItem*, LPCWSTR, HRESULT,
                                         IShellItem*) override {
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE PreNewItem(DWORD, IShellItem*, LPCWSTR) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE PostNewItem(DWORD, IShellItem*, LPCWSTR, LPCWSTR, DWORD, HRESULT,
                                        IShellItem*) override {
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE UpdateProgress(UINT, UINT) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE ResetTimer() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE PauseTimer() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE ResumeTimer() override { return S_OK; }
};

constexpr DWORD kSilentRecycle = FOF_ALLOWUNDO | FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT;

long CodeOf(HRESULT result) {
  return HRESULT_FACILITY(result) == FACILITY_WIN32 ? HRESULT_CODE(result) : kErrorNotSupported;
}

// The shell's file operation with the sink above; E_NOTIMPL where the system
// has none.
HRESULT RecycleByFileOperation(const std::wstring& path, bool* recycled) {
  IFileOperation* operation = nullptr;
  HRESULT result = CoCreateInstance(CLSID_FileOperation, nullptr, CLSCTX_ALL, IID_IFileOperation,
                                    reinterpret_cast<void**>(&operation));
  if (FAILED(result)) return result;
  IShellItem* item = nullptr;
  RecycleOnlySink sink;
  result = operation->SetOperationFlags(kSilentRecycle | FOFX_RECYCLEONDELETE);
  if (SUCCEEDED(result)) {
    result = SHCreateItemFromParsingName(path.c_str(), nullptr, IID_IShellItem,
                                         reinterpret_cast<void**>(&item));
  }
  if (SUCCEEDED(result)) result = operation->DeleteItem(item, &sink);
  if (SUCCEEDED(result)) result = operation->PerformOperations();
  if (item != nullptr) item->Release();
  operation->Release();
  *recycled = sink.recycled;
  return result;
}

// Where the shell has no file operation object (Wine): SHFileOperationW,
// which has no way to refuse a permanent delete, only once the item's volume
// is known to have a bin, which is what it lacks in the cases that matter
// here (a network or redirected folder; under Wine, an unusable trash).
long RecycleByShFileOperation(const std::wstring& path) {
  SHQUERYRBINFO bin{};
  bin.cbSize = sizeof bin;
  if (FAILED(SHQueryRecycleBinW(path.c_str(), &bin))) return kErrorNotSupported;
  std::wstring from = path;
  from.push_back(L'\0');  // a list of paths, ended by an empty one
  SHFILEOPSTRUCTW operation{};
  operation.wFunc = FO_DELETE;
  operation.pFrom = from.c_str();
  operation.fFlags = static_cast<FILEOP_FLAGS>(kSilentRecycle);
  const int result = SHFileOperationW(&operation);
  if (result != 0) return result;
  return operation.fAnyOperationsAborted ? kErrorNotSupported : 0;
}

}  // namespace

long RecycleItem(std::u16string_view path) {
  std::wstring item = Wide(path);
  for (wchar_t& c : item) {
    if (c == L'/') c = L'\\';
  }
  while (item.size() > 3 && item.back() == L'\\') item.pop_back();
  if (!PathExists(path)) return kErrorFileNotFound;

  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  bool recycled = false;
  const HRESULT result = RecycleByFileOperation(item, &recycled);
  if (SUCCEEDED(com)) CoUninitialize();
  long error = 0;
  if (result == E_NOTIMPL || result == REGDB_E_CLASSNOTREG) {
    error = RecycleByShFileOperation(item);
  } else if (FAILED(result)) {
    error = CodeOf(result);
  } else if (!recycled) {
    error = kErrorNotSupported;
  }
  // Whatever the shell said, an item still in place was not recycled.
  if (error == 0 && PathExists(path)) error = kErrorNotSupported;
  return error;
}

}  // namespace vk::platform
