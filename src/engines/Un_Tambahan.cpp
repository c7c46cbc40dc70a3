#include "engines/Un_Tambahan.h"

#include "regex/Regex.h"

namespace velmora {

namespace {

bool IsWordChar(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
}

}  // namespace

std::string WordPattern(const std::string& word, bool wholeWords) {
  const std::string core = EscapeMetaChars(word);
  if (!wholeWords) return core;
  const char* prefix = !word.empty() && !IsWordChar(word.front()) ? "\\B" : "\\b";
  const char* suffix = !word.empty() && !IsWordChar(word.back()) ? "\\B" : "\\b";
  return prefix + core + suffix;
}

IconHandle GetFileIcon(Shell& shell, const std::string& path, bool small) {
  return shell.FileIcon(path, small);
}

}  // namespace velmora
