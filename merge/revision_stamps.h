// New elements of the customisation format: elements with attributes in a
// fixed order, and the revision stamps ("Revision" / "ModifiedRev") that
// record the customisation version an element was made with.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <span>
#include <utility>

#include "xml/node.h"

namespace vk::cui {

// The customisation version that new stamps carry.
struct CustomisationVersionNumbers {
  uint32_t majorVersion = 16;
  uint32_t minorVersion = 2;
};

// The process-wide version; 16.2 until set.
[[nodiscard]] CustomisationVersionNumbers CustomisationVersion();
// Sets the process-wide version for every later stamp.
void SetCustomisationVersion(uint32_t majorVersion, uint32_t minorVersion);
// Back to 16.2, so that tests do not depend on their order.
void ResetCustomisationVersionForTesting();

// An attribute name and its value; a null name or value ends the list.
using AttributePair = std::pair<const char16_t*, const char16_t*>;

// A new unlinked element with the value (or none) and the attributes in the
// order given, up to the first pair with a null name or value.
[[nodiscard]] xml::XmlNode* NewElementWithAttributes(const char16_t* name, const char16_t* value,
                                                     std::span<const AttributePair> attributes);
// The same for a braced list of pairs.
[[nodiscard]] inline xml::XmlNode* NewElementWithAttributes(
    const char16_t* name, const char16_t* value, std::initializer_list<AttributePair> attributes) {
  return NewElementWithAttributes(name, value, std::span(attributes.begin(), attributes.size()));
}

// Sets "MajorVersion" and "MinorVersion" from CustomisationVersion and
// "UserVersion" on the element, updating those it has in place; nothing for none.
void SetVersionAttributes(xml::XmlNode* element, uint32_t userVersion);

// A new stamp of the current version: "Revision" below 17.2, "ModifiedRev" from it on.
[[nodiscard]] xml::XmlNode* MakeRevisionElement(uint32_t userVersion);

// A new "ModifiedRev" stamp with the given numbers.
[[nodiscard]] xml::XmlNode* MakeModifiedRevElement(uint32_t majorVersion, uint32_t minorVersion,
                                                   uint32_t userVersion);

}  // namespace vk::cui
