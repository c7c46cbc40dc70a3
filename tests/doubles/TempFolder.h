#pragma once

// A scratch folder per test and the byte-exact file helpers the tests share.

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

namespace velmora::testing {

inline std::string ReadWholeFile(const std::string& name) {
  std::ifstream in(name, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteWholeFile(const std::string& name, const std::string& text) {
  std::ofstream(name, std::ios::binary | std::ios::trunc) << text;
}

// Descriptors this process holds, to see that nothing leaks.
inline long OpenDescriptorCount() {
  return std::distance(std::filesystem::directory_iterator("/proc/self/fd"),
                       std::filesystem::directory_iterator());
}

// A fresh folder below the system's temporary folder, removed with everything in it; folders
// a test locked are opened again first so they go too.
class TempFolder {
 public:
  TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "velmora-test-XXXXXX");
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
  }
  ~TempFolder() {
    namespace fs = std::filesystem;
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(path_, ec); it != fs::end(it);
         it.increment(ec)) {
      if (it->is_directory(ec) && !it->is_symlink(ec)) ::chmod(it->path().c_str(), 0755);
    }
    fs::remove_all(path_, ec);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& Path() const { return path_; }
  std::string Root() const { return path_.string(); }
  std::string operator/(const std::string& name) const { return Root() + "/" + name; }
  std::vector<std::string> operator/(const std::vector<std::string>& names) const {
    std::vector<std::string> full;
    for (const std::string& name : names) full.push_back(*this / name);
    return full;
  }

  // Writes a file below the folder, making the folders above it; Write gives its full name.
  void File(const std::string& name, const std::string& content = "x") const {
    Write(name, content);
  }
  std::string Write(const std::string& name, const std::string& bytes) const {
    std::filesystem::create_directories(std::filesystem::path(*this / name).parent_path());
    WriteWholeFile(*this / name, bytes);
    return *this / name;
  }
  static std::string Read(const std::string& name) { return ReadWholeFile(name); }
  static unsigned Mode(const std::string& name) {
    struct stat info {};
    ::stat(name.c_str(), &info);
    return info.st_mode & 07777;
  }
  void Dir(const std::string& name) const { std::filesystem::create_directories(*this / name); }
  // Names in the folder, to see that no temporary file was left behind.
  std::size_t EntryCount() const {
    return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(path_),
                                                  std::filesystem::directory_iterator()));
  }

 private:
  std::filesystem::path path_;
};

}  // namespace velmora::testing
