#include <windows.h>

#include <shellapi.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/item_location.h"
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

// SHFileOperationW's recycling delete of one path: 0, or why it failed.
long ShellRecycle(const std::wstring& path) {
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

// Whether SHFileOperationW puts what it deletes from `folder` into the bin.
// It has no way to refuse a permanent delete: unasked, it deletes outright
// what the bin cannot take (under Wine, a trash on another file system), and
// follows links inside the folders it so deletes. A probe file of our own,
// with a second name, tells: after its recycling the second name still
// shares the file with the bin's copy, unless the file was deleted.
bool BinTakesFrom(const std::wstring& folder) {
  const std::wstring probe = folder + L"\\kvuninstall-probe-" +
                             std::to_wstring(GetCurrentProcessId()) + L"-" +
                             std::to_wstring(GetTickCount64()) + L".tmp";
  const std::wstring witness = probe + L".2";
  const HANDLE made = CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  if (made == INVALID_HANDLE_VALUE) return false;
  CloseHandle(made);
  if (!CreateHardLinkW(witness.c_str(), probe.c_str(), nullptr)) {
    DeleteFileW(probe.c_str());
    return false;
  }
  const bool done = ShellRecycle(probe) == 0;
  BY_HANDLE_FILE_INFORMATION info{};
  const HANDLE kept = CreateFileW(witness.c_str(), FILE_READ_ATTRIBUTES,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
  const bool shared = kept != INVALID_HANDLE_VALUE && GetFileInformationByHandle(kept, &info) &&
                      info.nNumberOfLinks == 2;
  if (kept != INVALID_HANDLE_VALUE) CloseHandle(kept);
  DeleteFileW(witness.c_str());
  DeleteFileW(probe.c_str());  // still there when the shell failed
  return done && shared && GetFileAttributesW(probe.c_str()) == INVALID_FILE_ATTRIBUTES;
}

// Whether the folder `path` holds a link or junction anywhere in its tree,
// which a permanent delete would follow; true when it cannot be told.
bool HoldsReparsePoints(const std::wstring& path) {
  std::vector<std::wstring> folders{path};
  while (!folders.empty()) {
    const std::wstring folder = std::move(folders.back());
    folders.pop_back();
    WIN32_FIND_DATAW entry;
    const HANDLE found = FindFirstFileW((folder + L"\\*").c_str(), &entry);
    if (found == INVALID_HANDLE_VALUE) return GetLastError() != ERROR_FILE_NOT_FOUND;
    do {
      const std::wstring name = entry.cFileName;
      if (name == L"." || name == L"..") continue;
      if ((entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        FindClose(found);
        return true;
      }
      if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        folders.push_back(folder + L"\\" + name);
      }
    } while (FindNextFileW(found, &entry));
    FindClose(found);
  }
  return false;
}

// Where the shell has no working file operation object (Wine):
// SHFileOperationW, only once a probe showed that the bin takes what it
// deletes from the item's folder, and never on a link or a folder holding one.
long RecycleByShFileOperation(const std::wstring& path) {
  // Wine's shell moves a link's target instead of the link, and a permanent
  // delete would follow the links inside a folder.
  ItemLocation item;
  if (const long located = LocateItem(
          std::u16string(reinterpret_cast<const char16_t*>(path.data()), path.size()), &item);
      located != kErrorSuccess) {
    return located;
  }
  if (item.isLink || (item.isFolder && HoldsReparsePoints(path))) return kErrorNotSupported;
  if (!BinTakesFrom(path.substr(0, path.find_last_of(L'\\')))) return kErrorNotSupported;
  return ShellRecycle(path);
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
