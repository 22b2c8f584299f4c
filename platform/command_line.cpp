#include "platform/command_line.h"

#include "platform/text.h"

namespace vk::platform {

std::vector<std::u16string> SplitCommandLine(std::u16string_view line) {
  std::vector<std::u16string> args;
  if (line.empty()) return args;

  // The program name ends at the next quote when it starts with one, else at
  // the first blank; no backslash rules apply to it.
  size_t i = 0;
  std::u16string program;
  if (line[0] == u'"') {
    for (i = 1; i < line.size() && line[i] != u'"'; ++i) program.push_back(line[i]);
    if (i < line.size()) ++i;
  } else {
    for (; i < line.size() && !IsBlank(line[i]); ++i) program.push_back(line[i]);
  }
  args.push_back(std::move(program));

  while (i < line.size() && IsBlank(line[i])) ++i;
  if (i >= line.size()) return args;

  std::u16string current;
  size_t backslashes = 0;
  int quotes = 0;
  while (i < line.size()) {
    const char16_t c = line[i];
    if (IsBlank(c) && quotes == 0) {
      args.push_back(std::move(current));
      current.clear();
      backslashes = 0;
      while (i < line.size() && IsBlank(line[i])) ++i;
      if (i >= line.size()) return args;
      continue;
    }
    if (c == u'\\') {
      current.push_back(c);
      ++backslashes;
      ++i;
      continue;
    }
    if (c == u'"') {
      // 2n backslashes before a quote give n and the quote opens or closes;
      // 2n+1 give n and a literal quote.
      current.resize(current.size() - backslashes / 2);
      if (backslashes % 2 == 0) {
        ++quotes;
      } else {
        current.back() = u'"';
      }
      backslashes = 0;
      ++i;
      // Runs of quotes: every third one is a literal quote.
      while (i < line.size() && line[i] == u'"') {
        if (++quotes == 3) {
          current.push_back(u'"');
          quotes = 0;
        }
        ++i;
      }
      if (quotes == 2) quotes = 0;
      continue;
    }
    current.push_back(c);
    backslashes = 0;
    ++i;
  }
  args.push_back(std::move(current));
  return args;
}

std::u16string ArgumentsAsTyped(const std::vector<std::u16string>& args) {
  std::u16string typed;
  for (const std::u16string& arg : args) {
    if (!typed.empty()) typed += u' ';
    const bool quoted = arg.empty() || arg.find_first_of(u" \t") != std::u16string::npos;
    typed += quoted ? u"\"" + arg + u"\"" : arg;
  }
  return typed;
}

}  // namespace vk::platform
