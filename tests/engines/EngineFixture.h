#pragma once

// A scratch folder per test, with byte-exact file helpers.

#include <stdlib.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

namespace velmora::testing {

class TempFolder {
 public:
  TempFolder() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "velmora-engines-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = pattern + "/";
  }
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::string& Path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + name; }

  std::string Write(const std::string& name, const std::string& bytes) const {
    std::ofstream out(File(name), std::ios::binary | std::ios::trunc);
    out << bytes;
    return File(name);
  }

  static std::string Read(const std::string& fullName) {
    std::ifstream in(fullName, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + fullName);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }

  // Names in the folder, to see that no temporary file was left behind.
  std::size_t EntryCount() const {
    std::size_t count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(path_)) ++count;
    return count;
  }

  static unsigned Mode(const std::string& fullName) {
    struct stat info {};
    ::stat(fullName.c_str(), &info);
    return info.st_mode & 07777;
  }

 private:
  std::string path_;
};

// Lines written as "a|b|c"; an empty text is no line.
inline std::vector<std::string> L(const std::string& bars) {
  std::vector<std::string> lines;
  for (std::size_t start = 0, end = 0; end != std::string::npos && !bars.empty(); start = end + 1) {
    end = bars.find('|', start);
    lines.push_back(bars.substr(start, end - start));
  }
  return lines;
}

// The fixed head and tail of a "Lines Viewer" page around the given body lines.
inline std::string ExpectedPage(const std::string& name, const std::string& folder,
                                const std::string& body) {
  return "<html>\r\n<Title>Lines Viewer</Title>\r\n<body>\r\n<pre>\r\n<strong>     File:  " + name +
         "      Path:  " + folder + "</strong>\r\n" + body + "</pre>\r\n</body>\r\n</html>\r\n";
}

}  // namespace velmora::testing
