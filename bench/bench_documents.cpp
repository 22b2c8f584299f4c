#include "bench/bench_documents.h"

#include <cstdint>
#include <cstdio>
#include <string>

namespace vk::bench {
namespace {

constexpr int kWideChildren = 200000;

// Deterministic words, so that every process builds the same bytes.
class Words {
 public:
  std::string Next() {
    state_ = state_ * 6364136223846793005ull + 1442695040888963407ull;
    static const char* const kWords[] = {"Line",   "Circle", "Zoom",   "Layer",  "Hatch",
                                         "Insert", "Text",   "Offset", "Ribbon", "Panel"};
    return std::string(kWords[(state_ >> 33) % 10]) + std::to_string((state_ >> 40) % 1000);
  }

 private:
  uint64_t state_ = 42;
};

class Builder {
 public:
  std::string text;

  // Opens an element with 4 to 6 attributes (by `serial`); `close` ends it at once.
  void Open(int depth, const char* name, int serial, bool close = false) {
    Indent(depth);
    text += '<';
    text += name;
    static const char* const kAttributes[] = {"UID", "Name", "Type", "Rev", "Flags", "Tag"};
    const int count = 4 + serial % 3;
    for (int i = 0; i < count; ++i) {
      text += ' ';
      text += kAttributes[i];
      text += "=\"";
      text += i == 0 ? "ID_" + std::to_string(serial) : words_.Next();
      text += '"';
    }
    text += close ? " />" : ">";
  }

  void Close(int depth, const char* name) {
    Indent(depth);
    text += "</";
    text += name;
    text += '>';
  }

  void Leaf(int depth, const char* name, int serial) {
    Open(depth, name, serial);
    text += words_.Next() + " " + words_.Next();
    text += "</";
    text += name;
    text += '>';
  }

  void Indent(int depth) {
    text += '\n';
    text.append(2 * static_cast<size_t>(depth), ' ');
  }

  // A panel tree, three children per level down to `last`.
  void Panels(int depth, int last, int* serial) {
    if (depth == last) {
      Leaf(depth, "Label", ++*serial);
      return;
    }
    Open(depth, "Panel", ++*serial);
    for (int i = 0; i < 3; ++i) Panels(depth + 1, last, serial);
    Close(depth, "Panel");
  }

 private:
  Words words_;
};

}  // namespace

std::string GeneratedDocument() {
  Builder b;
  int serial = 0;
  b.text = "<?xml version=\"1.0\"?>\n<!-- generated for the benchmark -->";
  b.Open(0, "CustSection", ++serial);
  b.Open(1, "MenuGroup", ++serial);

  b.Open(2, "MacroGroup", ++serial);
  for (int i = 0; i < 50000; ++i) {
    b.Open(3, "MenuMacro", ++serial);
    b.Leaf(4, "Command", ++serial);
    b.Close(3, "MenuMacro");
  }
  b.Close(2, "MacroGroup");

  b.Open(2, "ImageMenu", ++serial);
  for (int i = 0; i < 50000; ++i) b.Open(3, "ImageItem", ++serial, true);
  b.Close(2, "ImageMenu");

  b.Open(2, "RibbonRoot", ++serial);
  for (int i = 0; i < 3; ++i) b.Panels(3, 11, &serial);
  b.Close(2, "RibbonRoot");

  b.Close(1, "MenuGroup");
  b.Close(0, "CustSection");
  return b.text;
}

std::string GeneratedDocumentOfSize(size_t bytes) {
  Builder b;
  int serial = 0;
  b.text = "<?xml version=\"1.0\"?>";
  b.Open(0, "CustSection", ++serial);
  while (b.text.size() < bytes) {
    b.Open(1, "MenuGroup", ++serial);
    b.Open(2, "MacroGroup", ++serial);
    for (int i = 0; i < 1000; ++i) {
      b.Open(3, "MenuMacro", ++serial);
      b.Leaf(4, "Command", ++serial);
      b.Close(3, "MenuMacro");
    }
    b.Close(2, "MacroGroup");
    b.Open(2, "ImageMenu", ++serial);
    for (int i = 0; i < 1000; ++i) b.Open(3, "ImageItem", ++serial, true);
    b.Close(2, "ImageMenu");
    b.Open(2, "RibbonRoot", ++serial);
    b.Panels(3, 9, &serial);
    b.Close(2, "RibbonRoot");
    b.Close(1, "MenuGroup");
  }
  b.Close(0, "CustSection");
  return b.text;
}

std::string WideDocument(int children) {
  Builder b;
  b.Open(0, "Root", 0);
  for (int i = 1; i <= children; ++i) b.Open(1, "Item", i, true);
  b.Close(0, "Root");
  return b.text;
}

std::string FlatDocument(int children) {
  Builder b;
  b.Open(0, "Root", 0);
  for (int i = 1; i <= children; i += 100) {
    b.text += "\n<G>";
    for (int j = i; j < i + 100 && j <= children; ++j) b.Open(1, "Item", j, true);
    b.text += "\n</G>";
  }
  b.Close(0, "Root");
  return b.text;
}

std::string LargestCorpusDocument() {
  std::string bytes;
  std::FILE* file = std::fopen(VK_CORPUS_DIR "/cuix/senplee__acad.CUI", "rb");
  if (file == nullptr) return bytes;
  char buffer[65536];
  size_t got;
  while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) bytes.append(buffer, got);
  std::fclose(file);
  return bytes;
}

std::string DocumentNamed(std::string_view name) {
  if (name == "generated") return GeneratedDocument();
  if (name == "corpus") return LargestCorpusDocument();
  if (name == "wide") return WideDocument(kWideChildren);
  if (name == "flat") return FlatDocument(kWideChildren);
  if (name == "generated16") return GeneratedDocumentOfSize(16000000);
  if (name == "generated64") return GeneratedDocumentOfSize(64000000);
  return {};
}

}  // namespace vk::bench
