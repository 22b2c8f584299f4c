// Parsing and saving documents in tests: a scratch stream in a fresh folder,
// as the package layer gives the writer one.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <string_view>

#include "platform/files.h"
#include "tests/support/test_paths.h"
#include "xml/node.h"
#include "xml/parser.h"
#include "xml/writer.h"

namespace vk::xml::test {

inline XmlDocument Parse(std::string_view bytes) {
  return XmlDocument(XmlParse(bytes.data(), bytes.size()));
}

// A stream opened "w+b" on a new file, closed when the object goes away.
class ScratchStream {
 public:
  ScratchStream() : stream_(platform::OpenFile(folder_.Join(u"scratch.tmp"), u"w+b")) {}
  ~ScratchStream() {
    if (stream_ != nullptr) std::fclose(stream_);
  }
  ScratchStream(const ScratchStream&) = delete;
  ScratchStream& operator=(const ScratchStream&) = delete;

  std::FILE* get() const { return stream_; }

 private:
  vk::test::TempFolder folder_;
  std::FILE* stream_;
};

// The document's bytes as XmlSerialize gives them through `scratch`, rewound
// first as the package layer does; a failed save fails the test.
inline std::string Save(const XmlNode* first, std::FILE* scratch) {
  EXPECT_NE(scratch, nullptr);
  if (scratch == nullptr) return {};
  std::rewind(scratch);
  std::string bytes;
  EXPECT_EQ(XmlSerialize(scratch, first, &bytes), 0);
  return bytes;
}

inline std::string Save(const XmlNode* first) {
  ScratchStream scratch;
  return Save(first, scratch.get());
}

// The UTF-16 text that XmlWriteNode or XmlWriteComment leaves in a stream.
template <typename Write>
std::u16string WrittenText(Write write, int* result) {
  ScratchStream scratch;
  *result = write(scratch.get());
  const long size = std::ftell(scratch.get());
  std::rewind(scratch.get());
  std::u16string text(static_cast<size_t>(size) / 2, u'\0');
  EXPECT_EQ(std::fread(text.data(), 2, text.size(), scratch.get()), text.size());
  return text;
}

}  // namespace vk::xml::test
