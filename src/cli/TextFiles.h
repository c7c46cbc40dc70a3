#pragma once

// Reading the text arguments that velmora-cli takes from files (--query-file, --in-list ...).

#include <string>
#include <string_view>
#include <vector>

namespace velmora::cli {

// The whole content of the file, byte for byte. Throws std::runtime_error when it cannot be read.
std::string ReadWholeFile(const std::string& fileName);

// Lines split at CR LF, lone CR and lone LF; a break at the very end gives no extra empty line.
std::vector<std::string> SplitLines(std::string_view text);

// The text up to the first line break.
std::string FirstLine(std::string_view text);

}  // namespace velmora::cli
