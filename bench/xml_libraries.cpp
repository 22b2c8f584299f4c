#include "bench/xml_libraries.h"

#include <libxml/parser.h>
#include <libxml/tree.h>
#include <tinyxml2.h>

#include <cstdio>
#include <pugixml.hpp>

#include "xml/node.h"
#include "xml/parser.h"
#include "xml/writer.h"

namespace vk::bench {
namespace {

class Ours : public XmlLibrary {
 public:
  Ours() : scratch_(std::tmpfile()) {}
  ~Ours() override {
    if (scratch_ != nullptr) std::fclose(scratch_);
  }
  const char* name() const override { return "vkstart"; }
  bool Parse(const std::string& bytes) override {
    document_.reset(xml::XmlParse(bytes.data(), bytes.size()));
    return document_ != nullptr;
  }
  // Through a scratch file, as the package layer saves.
  size_t Write() override {
    std::rewind(scratch_);
    return xml::XmlSerialize(scratch_, document_.get(), &output_) == 0 ? output_.size() : 0;
  }
  void Release() override { document_.reset(); }

 private:
  std::FILE* scratch_;
  xml::XmlDocument document_;
  std::string output_;
};

class Pugixml : public XmlLibrary {
 public:
  const char* name() const override { return "pugixml"; }
  bool Parse(const std::string& bytes) override {
    document_ = std::make_unique<pugi::xml_document>();
    return document_->load_buffer(bytes.data(), bytes.size());
  }
  size_t Write() override {
    StringWriter writer(&output_);
    output_.clear();
    document_->save(writer, "  ");
    return output_.size();
  }
  void Release() override { document_.reset(); }

 private:
  struct StringWriter : pugi::xml_writer {
    explicit StringWriter(std::string* out) : out_(out) {}
    void write(const void* data, size_t size) override {
      out_->append(static_cast<const char*>(data), size);
    }
    std::string* out_;
  };
  std::unique_ptr<pugi::xml_document> document_;
  std::string output_;
};

class Tinyxml2 : public XmlLibrary {
 public:
  const char* name() const override { return "tinyxml2"; }
  bool Parse(const std::string& bytes) override {
    document_ = std::make_unique<tinyxml2::XMLDocument>();
    return document_->Parse(bytes.data(), bytes.size()) == tinyxml2::XML_SUCCESS;
  }
  size_t Write() override {
    tinyxml2::XMLPrinter printer;
    document_->Print(&printer);
    return static_cast<size_t>(printer.CStrSize());
  }
  void Release() override { document_.reset(); }

 private:
  std::unique_ptr<tinyxml2::XMLDocument> document_;
};

class Libxml2 : public XmlLibrary {
 public:
  ~Libxml2() override { Release(); }
  const char* name() const override { return "libxml2"; }
  bool Parse(const std::string& bytes) override {
    document_ = xmlReadMemory(bytes.data(), static_cast<int>(bytes.size()), "bench.xml", nullptr,
                              XML_PARSE_HUGE | XML_PARSE_NONET);
    return document_ != nullptr;
  }
  size_t Write() override {
    xmlChar* memory = nullptr;
    int size = 0;
    xmlDocDumpFormatMemoryEnc(document_, &memory, &size, "UTF-8", 1);
    xmlFree(memory);
    return static_cast<size_t>(size);
  }
  void Release() override {
    if (document_ != nullptr) xmlFreeDoc(document_);
    document_ = nullptr;
  }

 private:
  xmlDocPtr document_ = nullptr;
};

}  // namespace

std::vector<std::unique_ptr<XmlLibrary>> AllLibraries() {
  std::vector<std::unique_ptr<XmlLibrary>> libraries;
  libraries.push_back(std::make_unique<Ours>());
  libraries.push_back(std::make_unique<Pugixml>());
  libraries.push_back(std::make_unique<Tinyxml2>());
  libraries.push_back(std::make_unique<Libxml2>());
  return libraries;
}

}  // namespace vk::bench
