#include <libxml/parser.h>
#include <libxml/xmlerror.h>

#include "tests/support/standard_xml_reader.h"

namespace vk::test {

std::string StandardXmlReaderError(std::string_view bytes) {
  // No network, and no messages on the console: the test prints the message.
  constexpr int kOptions = XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING;
  xmlResetLastError();
  xmlDocPtr document = xmlReadMemory(bytes.data(), static_cast<int>(bytes.size()), "member.xml",
                                     nullptr, kOptions);
  if (document != nullptr) {
    xmlFreeDoc(document);
    return "";
  }
  const xmlError* error = xmlGetLastError();
  return error != nullptr && error->message != nullptr ? error->message : "not well-formed";
}

}  // namespace vk::test
