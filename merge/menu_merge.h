// The menu merge run at launch: brings the user's main customisation package
// "aca.cuix" into line with the add-on editions installed on the machine.
#pragma once

#include <cstdint>

#include "settings/settings.h"

namespace vk::cui {

// Acts on the editions that changed since the user's last launch
// (`editionFlags` against `userEditionFlags`): references the partial menus
// of new editions and adds their pop-up menus to the add-on's workspace,
// places the "H" tab and clears the add-on profile's ribbon state, and
// unreferences removed editions. Reads MenusPath, CdMenus, AcadOneUserPath,
// AcadLocation and AcadPathReg. Equal flags touch no file. False only when
// the main package cannot be opened (also when its folder setting is empty).
[[nodiscard]] bool MergeAddonMenus(const settings::Settings& settings, uint32_t editionFlags,
                                   uint32_t userEditionFlags);

}  // namespace vk::cui
