// A standard XML reader, independent of ours, for the documents the program
// writes: AutoCAD reads them with one, so a document that only our reader
// accepts must fail a test. Natively libxml2; on Windows MSXML 3.
#pragma once

#include <string>
#include <string_view>

namespace vk::test {

// "" when the reader accepts `bytes` as a well-formed document; otherwise
// its message.
[[nodiscard]] std::string StandardXmlReaderError(std::string_view bytes);

}  // namespace vk::test
