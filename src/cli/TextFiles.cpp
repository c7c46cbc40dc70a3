#include "cli/TextFiles.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "engines/TextBuffer.h"

namespace velmora::cli {

std::string ReadWholeFile(const std::string& fileName) {
  std::ifstream in(fileName, std::ios::binary);
  if (!in)
    throw std::runtime_error("Cannot open file \"" + fileName + "\": " + std::strerror(errno));
  std::ostringstream content;
  content << in.rdbuf();
  if (in.bad()) throw std::runtime_error("Cannot read file \"" + fileName + "\"");
  return std::move(content).str();
}

std::vector<std::string> SplitLines(std::string_view text) {
  const std::vector<std::string_view> lines = velmora::SplitLines(text);
  return {lines.begin(), lines.end()};
}

std::string FirstLine(std::string_view text) {
  return std::string(text.substr(0, text.find_first_of("\r\n")));
}

}  // namespace velmora::cli
