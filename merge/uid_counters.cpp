#include "merge/uid_counters.h"

#include <array>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "launchlog/launch_log.h"
#include "platform/text.h"

namespace vk::cui {
namespace {

using xml::XmlNode;

// The last number a counter hands out: identifiers are read back as 32-bit
// numbers, and the next one would wrap round to numbers that may be in use.
constexpr uint64_t kLastNumber = std::numeric_limits<uint32_t>::max();

struct UidCounter {
  std::u16string_view prefix;
  uint64_t next;  // above kLastNumber once the last number is handed out
};

// Order matters: the first prefix that a value starts with counts.
constexpr std::array<UidCounter, 17> kInitialCounters{{
    {u"WS_", 1},
    {u"WSU_", 1},
    {u"WSC_", 1},
    {u"WSCU_", 1},
    {u"XLS_", 1},
    {u"WSP_", 1},
    {u"WSPU_", 1},
    {u"WST_", 1},
    {u"WSTU_", 1},
    {u"WSE_", 1},
    {u"WSEU_", 1},
    {u"MM_", 1},
    {u"MMU_", 1},
    {u"XLSR_", 1},
    {u"TBBU_", 1},
    {u"TBFU_", 1},
    {u"WSR_", 1},
}};

std::array<UidCounter, 17>& UidCounterTable() {
  static std::array<UidCounter, 17> table = kInitialCounters;
  return table;
}

UidCounter* CounterFor(std::u16string_view value) {
  for (UidCounter& counter : UidCounterTable()) {
    if (platform::StartsWithNoCase(value, counter.prefix)) return &counter;
  }
  return nullptr;
}

bool IsBlank(char16_t c) {
  return c == u' ' || (c >= u'\t' && c <= u'\r');
}

// The number after a prefix when it can follow the numbers already handed
// out: leading blanks and a sign are allowed, reading stops at the first
// non-digit and no digits read as 0. None for a negative number or one of
// 4294967295 or more, whose successor does not fit in 32 bits.
std::optional<uint32_t> NumberBelowLimit(std::u16string_view text) {
  size_t at = 0;
  while (at < text.size() && IsBlank(text[at])) ++at;
  bool negative = false;
  if (at < text.size() && (text[at] == u'+' || text[at] == u'-')) negative = text[at++] == u'-';
  uint64_t number = 0;
  for (; at < text.size() && text[at] >= u'0' && text[at] <= u'9'; ++at) {
    number = number * 10 + static_cast<uint64_t>(text[at] - u'0');
    if (number >= kLastNumber) return std::nullopt;
  }
  if (negative && number != 0) return std::nullopt;
  return static_cast<uint32_t>(number);
}

void RaiseFor(const XmlNode* element) {
  const XmlNode* uid = xml::NodeFindByName(element->firstAttribute, u"UID");
  if (uid == nullptr || !uid->value) return;
  const std::u16string_view value = uid->value.view();
  UidCounter* counter = CounterFor(value);
  if (counter == nullptr) return;
  const std::optional<uint32_t> number = NumberBelowLimit(value.substr(counter->prefix.size()));
  if (number && counter->next <= *number) counter->next = uint64_t{*number} + 1;
}

}  // namespace

void RaiseUidCounters(const XmlNode* node) {
  // Sibling chains can be long, so the walk keeps its own stack.
  std::vector<const XmlNode*> pending;
  if (node != nullptr) pending.push_back(node);
  while (!pending.empty()) {
    const XmlNode* chain = pending.back();
    pending.pop_back();
    for (; chain != nullptr; chain = chain->next) {
      RaiseFor(chain);
      if (chain->firstChild != nullptr) pending.push_back(chain->firstChild);
    }
  }
}

std::u16string NextUid(std::u16string_view prefix, uint32_t* slot) {
  if (slot == nullptr) return {};
  UidCounter* counter = nullptr;
  for (UidCounter& candidate : UidCounterTable()) {
    if (candidate.prefix == prefix) counter = &candidate;
  }
  if (counter == nullptr) return {};
  if (*slot == 0) {
    if (counter->next > kLastNumber) {
      launchlog::Record("merge", u"no identifier left after " + std::u16string(prefix) +
                                     u"4294967295: the edit that needs one is skipped");
      return {};
    }
    *slot = static_cast<uint32_t>(counter->next++);
  }
  return std::u16string(prefix) + platform::Utf8ToUtf16(std::to_string(*slot));
}

std::u16string NextUid(std::u16string_view prefix) {
  uint32_t slot = 0;
  return NextUid(prefix, &slot);
}

void ResetUidCountersForTesting() {
  UidCounterTable() = kInitialCounters;
}

}  // namespace vk::cui
