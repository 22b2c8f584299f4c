// Both programs' manifests as Windows reads them from the built executables.
#include <windows.h>

#include <uxtheme.h>

#include <gtest/gtest.h>

#include <string>

#include "tests/support/test_paths.h"

namespace vk::app {
namespace {

std::string ManifestOf(const wchar_t* program) {
  HMODULE module = LoadLibraryExW(program, nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (module == nullptr) return {};
  std::string text;
  if (HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24))) {
    text.assign(static_cast<const char*>(LockResource(LoadResource(module, found))),
                SizeofResource(module, found));
  }
  FreeLibrary(module);
  return text;
}

// Whether a button made under the program's manifest has the system's
// visual style: only the common controls of version 6 give it one (every
// program counts as themed, so IsAppThemed cannot tell).
// `manifest`: a program whose resource 1 is read, or a manifest file.
bool ButtonsAreThemed(const std::wstring& manifest, bool fromProgram) {
  ACTCTXW context = {};
  context.cbSize = sizeof context;
  context.lpSource = manifest.c_str();
  if (fromProgram) {
    context.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
    context.lpResourceName = MAKEINTRESOURCEW(1);
  }
  HANDLE made = CreateActCtxW(&context);
  if (made == INVALID_HANDLE_VALUE) return false;
  ULONG_PTR cookie = 0;
  bool themed = false;
  if (ActivateActCtx(made, &cookie)) {
    HWND button = CreateWindowExW(0, L"Button", L"OK", WS_POPUP | BS_PUSHBUTTON, 0, 0, 80, 24,
                                  nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    themed = button != nullptr && GetWindowTheme(button) != nullptr;
    if (button != nullptr) DestroyWindow(button);
    DeactivateActCtx(0, cookie);
  }
  ReleaseActCtx(made);
  return themed;
}

TEST(ManifestTest, BothProgramsRunAsInvokerThemedOnEveryWindowsSince7AndLongPathAware) {
  for (const char16_t* program : {VK_LAUNCHER_EXE, VK_UNINSTALLER_EXE}) {
    const auto* path = reinterpret_cast<const wchar_t*>(program);
    SCOPED_TRACE(std::wstring(path).size());
    const std::string manifest = ManifestOf(path);
    ASSERT_FALSE(manifest.empty());
    for (const char* part : {
             "level=\"asInvoker\"",
             "name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"",
             "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",  // 7
             "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",  // 8
             "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",  // 8.1
             "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",  // 10 and 11
             "<longPathAware xmlns=\"http://schemas.microsoft.com/SMI/2016/WindowsSettings\">"
             "true</longPathAware>",
         }) {
      EXPECT_NE(manifest.find(part), std::string::npos) << part;
    }
    EXPECT_TRUE(ButtonsAreThemed(path, true));
  }
  // A manifest without the common controls gives a plain button.
  test::TempFolder folder;
  const std::u16string plain = folder.Join(u"plain.manifest");
  ASSERT_TRUE(test::WriteWholeFile(
      plain,
      "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
      "<assembly xmlns=\"urn:schemas-microsoft-com:asm.v1\" manifestVersion=\"1.0\">\n"
      "  <assemblyIdentity type=\"win32\" name=\"Kavrin.Test.Plain\" version=\"1.0.0.0\"/>\n"
      "</assembly>\n"));
  EXPECT_FALSE(ButtonsAreThemed(reinterpret_cast<const wchar_t*>(plain.c_str()), false));
}

}  // namespace
}  // namespace vk::app
