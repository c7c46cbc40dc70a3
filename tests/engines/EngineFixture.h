#pragma once

// Shared by the engine tests: lines written short and the page around given body lines.

#include <string>
#include <vector>

#include "doubles/TempFolder.h"

namespace velmora::testing {

// Lines written as "a|b|c"; an empty text is no line.
inline std::vector<std::string> L(const std::string& bars) {
  std::vector<std::string> lines;
  for (std::size_t start = 0, end = 0; end != std::string::npos && !bars.empty(); start = end + 1) {
    end = bars.find('|', start);
    lines.push_back(bars.substr(start, end - start));
  }
  return lines;
}

// The fixed head and tail of a "Lines Viewer" page for a file of the folder around body lines.
inline std::string ExpectedPage(const std::string& name, const TempFolder& folder,
                                const std::string& body) {
  return "<html>\r\n<Title>Lines Viewer</Title>\r\n<body>\r\n<pre>\r\n<strong>     File:  " + name +
         "      Path:  " + folder.Root() + "/</strong>\r\n" + body +
         "</pre>\r\n</body>\r\n</html>\r\n";
}

}  // namespace velmora::testing
