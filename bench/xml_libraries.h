// The XML libraries under comparison behind one small interface.
#pragma once

#include <memory>
#include <string>
#include <vector>

namespace vk::bench {

class XmlLibrary {
 public:
  virtual ~XmlLibrary() = default;
  virtual const char* name() const = 0;
  // Reads `bytes` into a document held by the object; false when it fails.
  virtual bool Parse(const std::string& bytes) = 0;
  // Writes the held document with indentation; the output size, 0 on failure.
  virtual size_t Write() = 0;
  // Releases the held document.
  virtual void Release() = 0;
};

// Ours first, then pugixml, tinyxml2, libxml2.
std::vector<std::unique_ptr<XmlLibrary>> AllLibraries();

}  // namespace vk::bench
