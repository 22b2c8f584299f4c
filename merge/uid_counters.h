// Element identifiers ("UID" values such as "WSPU_42") that are new to the
// documents seen so far: one process-wide counter per identifier prefix.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "xml/node.h"

namespace vk::cui {

// Raises the counter of every known prefix above the numbers that the "UID"
// attributes of `node`, its following siblings and all their subtrees carry.
// A counter never moves back: a negative number, or one of 4294967295 or
// more, leaves it as it is. Nothing for none.
void RaiseUidCounters(const xml::XmlNode* node);

// The identifier `prefix` + number. A `*slot` of 0 takes the prefix's next
// number and stores it in `*slot`; a non-zero one is used as it is. "" for a
// prefix that is not in the table or no slot, and, said in the launch log,
// once the prefix's counter has handed out 4294967295: it never wraps round.
[[nodiscard]] std::u16string NextUid(std::u16string_view prefix, uint32_t* slot);

// NextUid with a fresh slot: always the next number.
[[nodiscard]] std::u16string NextUid(std::u16string_view prefix);

// Every counter back to 1, so that tests do not depend on their order.
void ResetUidCountersForTesting();

}  // namespace vk::cui
