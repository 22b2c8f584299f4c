// The posix stand-in of the launcher: the same start-up and launch against
// the sandbox that the environment names, with the windows as console output.
#include <cstdio>
#include <string>

#include "app/vk_start_app.h"
#include "platform/fail_on_exception.h"
#include "platform/text.h"

namespace {

void Print(const char* label, std::u16string_view text) {
  std::fprintf(stderr, "  %-20s %s\n", label, vk::platform::Utf16ToUtf8(text).c_str());
}

// What the splash window would show and hold, for a person watching the run.
void DescribeStartUp(const vk::app::VkStartApp& app) {
  using vk::settings::Setting;
  static constexpr struct {
    const char* name;
    Setting setting;
  } kShown[] = {
      {"CommonPath", Setting::CommonPath},     {"AllUserPath", Setting::AllUserPath},
      {"OneUserPath", Setting::OneUserPath},   {"StartLocation", Setting::StartLocation},
      {"Modules", Setting::Modules},           {"Version", Setting::Version},
      {"UserModules", Setting::UserModules},   {"MenusPath", Setting::MenusPath},
      {"AcadLocation", Setting::AcadLocation}, {"AcadPathReg", Setting::AcadPathReg},
      {"LangAbbrev", Setting::LangAbbrev},     {"AcadOneUserPath", Setting::AcadOneUserPath},
      {"CdMenus", Setting::CdMenus},           {"LanguageSwitch", Setting::LanguageSwitch},
  };
  std::fprintf(stderr, "VELKOR DT: installation settings\n");
  for (const auto& shown : kShown) Print(shown.name, app.settings()[shown.setting]);
  std::fprintf(stderr, "  %-20s 0x%x (this user: 0x%x)\n", "EditionFlags", app.EditionFlags,
               app.UserEditionFlags);
  Print("AutoCAD switches:", app.switches()->Compose());
}

}  // namespace

int main() {
  constexpr int kFailed = 1;
  return vk::platform::FailOnException(kFailed, [] {
    vk::app::VkStartApp app;
    if (app.InitInstance()) {
      DescribeStartUp(app);
      app.Run();
    }
    return app.ExitInstance();
  });
}
