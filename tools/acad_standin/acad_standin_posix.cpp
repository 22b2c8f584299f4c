// Stands in for acad.exe: writes its argument vector and working directory
// as UTF-8 lines to the file VKSTART_ACAD_RECORD names (written under another
// name, then renamed, so a reader never sees half), and exits. The name may
// be written the Windows way, with backslashes, as the launcher's paths are.
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
  const char* variable = getenv("VKSTART_ACAD_RECORD");
  if (variable == nullptr || *variable == 0) return 0;
  std::string record = variable;
  for (char& c : record) c = c == '\\' ? '/' : c;
  std::string text;
  for (int i = 0; i < argc; ++i) text += std::string("arg=") + argv[i] + "\n";
  if (char* directory = getcwd(nullptr, 0)) {
    text += std::string("cwd=") + directory + "\n";
    free(directory);
  }
  const std::string partial = record + ".part";
  std::FILE* file = std::fopen(partial.c_str(), "wb");
  if (file == nullptr) return 1;
  const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
  if (std::fclose(file) != 0 || !written) return 1;
  return std::rename(partial.c_str(), record.c_str()) == 0 ? 0 : 1;
}
