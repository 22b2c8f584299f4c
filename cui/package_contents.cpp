#include "cui/package_contents.h"

#include <utility>

#include "platform/text.h"

namespace vk::cui {
namespace {

bool NamesEqualNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    // Member names are UTF-8 bytes; only A-Z fold, as in the wide names.
    const auto folded = [](char c) {
      return platform::FoldAsciiCase(static_cast<char16_t>(static_cast<unsigned char>(c)));
    };
    if (folded(a[i]) != folded(b[i])) return false;
  }
  return true;
}

}  // namespace

const std::array<const char16_t*, 23> PackagePartNames = {
    u"Header.cui",
    u"WorkspaceRoot.cui",
    u"MenuGroup.cui",
    u"AcceleratorRoot.cui",
    u"OverrideRoot.cui",
    u"MouseButtonRoot.cui",
    u"PopMenuRoot.cui",
    u"ToolbarRoot.cui",
    u"DoubleClickRoot.cui",
    u"QuickPropertiesRoot.cui",
    u"RolloverTooltipRoot.cui",
    u"RibbonRoot.cui",
    u"QuickAccessToolbarRoot.cui",
    u"ToolPanelRoot.cui",
    u"PanelSetRoot.cui",
    u"ScreenMenuRoot.cui",
    u"ImageMenuRoot.cui",
    u"TabletMenuRoot.cui",
    u"DigitizerButtonRoot.cui",
    u"LSPFiles.cui",
    u"Menu_Package_Info.xml",
    u"[Content_Types].xml",
    u"_rels\\.rels",
};

PackageContents* ContainerContents(xml::XmlNode* node) {
  xml::extraData* extra = node != nullptr ? xml::NodeExtra(node) : nullptr;
  if (extra == nullptr || extra->kind != kPackageDataKind) return nullptr;
  return &static_cast<extraDataZlib*>(extra)->contents;
}

bool IsPackageDocument(const xml::XmlNode* node) {
  if (node == nullptr) return false;
  while (node->parent != nullptr) node = node->parent;
  const xml::extraData* extra = xml::NodeExtra(node);
  return extra != nullptr && extra->kind == kPackageDataKind;
}

PackageEntry* FindPackageEntry(PackageContents* contents, std::string_view name) {
  for (PackageEntry& entry : contents->entries) {
    if (NamesEqualNoCase(entry.name, name)) return &entry;
  }
  return nullptr;
}

bool ReplacePackageEntry(PackageContents* contents, std::u16string_view entryName,
                         std::string bytes, std::optional<std::u16string_view> templateName) {
  const std::string name = platform::Utf16ToUtf8(entryName);
  PackageEntry* target = FindPackageEntry(contents, name);
  if (target == nullptr) {
    const PackageEntry* source =
        templateName ? FindPackageEntry(contents, platform::Utf16ToUtf8(*templateName)) : nullptr;
    if (source == nullptr && !contents->entries.empty()) source = &contents->entries.front();
    PackageEntry added;
    if (source != nullptr) {
      added.header = source->header;
      added.comment = source->comment;
      added.localExtra = source->localExtra;
      added.centralExtra = source->centralExtra;
    }
    added.name = name;
    target = &contents->entries.emplace_back(std::move(added));
  }
  target->header.uncompressedSize = static_cast<uint32_t>(bytes.size());
  target->content = std::move(bytes);
  return true;
}

}  // namespace vk::cui
