#include "merge/revision_stamps.h"

#include <string>

#include "platform/text.h"

namespace vk::cui {
namespace {

CustomisationVersionNumbers& Version() {
  static CustomisationVersionNumbers version;
  return version;
}

std::u16string Decimal(uint32_t number) {
  return platform::Utf8ToUtf16(std::to_string(number));
}

void SetNumbers(xml::XmlNode* element, uint32_t majorVersion, uint32_t minorVersion,
                uint32_t userVersion) {
  xml::NodeSetAttribute(element, u"MajorVersion", Decimal(majorVersion).c_str());
  xml::NodeSetAttribute(element, u"MinorVersion", Decimal(minorVersion).c_str());
  xml::NodeSetAttribute(element, u"UserVersion", Decimal(userVersion).c_str());
}

}  // namespace

CustomisationVersionNumbers CustomisationVersion() {
  return Version();
}

void SetCustomisationVersion(uint32_t majorVersion, uint32_t minorVersion) {
  Version() = {majorVersion, minorVersion};
}

void ResetCustomisationVersionForTesting() {
  Version() = {};
}

xml::XmlNode* NewElementWithAttributes(const char16_t* name, const char16_t* value,
                                       std::span<const AttributePair> attributes) {
  xml::XmlNode* element = xml::NodeNew(name, value);
  for (const auto& [attribute, text] : attributes) {
    if (attribute == nullptr || text == nullptr) break;
    xml::NodeSetAttribute(element, attribute, text);
  }
  return element;
}

void SetVersionAttributes(xml::XmlNode* element, uint32_t userVersion) {
  if (element == nullptr) return;
  SetNumbers(element, Version().majorVersion, Version().minorVersion, userVersion);
}

xml::XmlNode* MakeRevisionElement(uint32_t userVersion) {
  const CustomisationVersionNumbers version = Version();
  const bool before17_2 =
      version.majorVersion < 17 || (version.majorVersion == 17 && version.minorVersion < 2);
  xml::XmlNode* stamp = xml::NodeNew(before17_2 ? u"Revision" : u"ModifiedRev", nullptr);
  SetVersionAttributes(stamp, userVersion);
  return stamp;
}

xml::XmlNode* MakeModifiedRevElement(uint32_t majorVersion, uint32_t minorVersion,
                                     uint32_t userVersion) {
  xml::XmlNode* stamp = xml::NodeNew(u"ModifiedRev", nullptr);
  SetNumbers(stamp, majorVersion, minorVersion, userVersion);
  return stamp;
}

}  // namespace vk::cui
