// A generated menu package of about 20 MB of members: XML parts shaped like
// real ones and images that hardly compress. Shared by the package tests and
// the package benchmark, so that both work on the same bytes.
#pragma once

#include <zlib.h>

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <random>
#include <string>
#include <utility>

#include "cui/package_contents.h"
#include "cui/package_entries.h"
#include "platform/text.h"

namespace vk::test {

// A part of `size` bytes shaped like a menu group: many small elements with
// attributes and text, as real parts are.
inline std::string GeneratedPart(const std::string& root, size_t size) {
  std::string xml = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<" + root + ">\r\n";
  for (unsigned i = 0; xml.size() < size; ++i) {
    const std::string id = std::to_string(i);
    xml += "  <MenuMacro UID=\"MMU_" + id +
           "\">\r\n    <Macro type=\"Any\">\r\n"
           "      <ModifiedRev MajorVersion=\"18\" MinorVersion=\"0\" UserVersion=\"1\" />\r\n"
           "      <Name xlate=\"true\" UID=\"XLS_" +
           id + "\">Command " + id +
           "</Name>\r\n"
           "      <Command>^C^C_COMMAND" +
           id +
           " </Command>\r\n"
           "      <HelpString xlate=\"true\" UID=\"XLS_H" +
           id + "\">Runs command " + id + "</HelpString>\r\n    </Macro>\r\n  </MenuMacro>\r\n";
  }
  return xml + "</" + root + ">";
}

// Six parts of 19.5 MB together and 200 images of 22 KB, deflated.
inline cui::PackageContents GeneratedPackageContents() {
  cui::PackageContents contents;
  std::mt19937 random(42);
  const char16_t* roots[] = {u"MenuGroup.cui",   u"PopMenuRoot.cui",   u"RibbonRoot.cui",
                             u"ToolbarRoot.cui", u"WorkspaceRoot.cui", u"Header.cui"};
  const size_t sizes[] = {7000000, 3000000, 3000000, 1500000, 1000000, 2000};
  for (size_t i = 0; i < std::size(roots); ++i) {
    std::string name = platform::Utf16ToUtf8(roots[i]);
    std::string root = name.substr(0, name.find('.'));
    cui::PackageEntry entry;
    entry.name = name;
    entry.header.compressionMethod = Z_DEFLATED;
    entry.header.dosDate = 0x5A6B3C4D;
    entry.content = GeneratedPart(root, sizes[i]);
    entry.header.uncompressedSize = static_cast<uint32_t>(entry.content.size());
    contents.entries.push_back(std::move(entry));
  }
  for (int i = 0; i < 200; ++i) {
    cui::PackageEntry image;
    image.name = "image" + std::to_string(i) + ".png";
    image.header.compressionMethod = Z_DEFLATED;
    image.header.dosDate = 0x5A6B3C4D;
    image.content.resize(22000);
    for (char& c : image.content) c = static_cast<char>(random() & 0xFF);
    image.header.uncompressedSize = static_cast<uint32_t>(image.content.size());
    contents.entries.push_back(std::move(image));
  }
  return contents;
}

// Writes the generated package at `path`; false when it cannot.
inline bool WriteGeneratedPackage(const std::u16string& path) {
  return cui::StorePackageEntries(GeneratedPackageContents(), path);
}

}  // namespace vk::test
