// The documents the XML benchmark reads and writes.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vk::bench {

// A customisation-like document of about 20 MB: nesting about 12 levels deep,
// 4 to 6 attributes per element, short text leaves, and two elements with
// 50,000 children each.
std::string GeneratedDocument();

// The same kind of document grown to at least `bytes` bytes by repeating
// menu groups of 2,000 children and a panel tree each, for the growth of the
// parse time with the size.
std::string GeneratedDocumentOfSize(size_t bytes);

// One element with `children` children.
std::string WideDocument(int children);

// The same children spread over parents of 100 children each, so that the
// file has about the size of WideDocument(children).
std::string FlatDocument(int children);

// The largest real XML file of the corpus; empty when the corpus is absent.
std::string LargestCorpusDocument();

// The document of that name ("generated", "corpus", "wide", "flat",
// "generated16", "generated64").
std::string DocumentNamed(std::string_view name);

}  // namespace vk::bench
