#include "engines/Un_Tambahan.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <climits>
#include <cstring>
#include <string>
#include <utility>

#include "base/Paths.h"
#include "regex/Regex.h"

namespace velmora {

namespace {

std::string SystemMessage(int error) {
  return std::strerror(error);
}

[[noreturn]] void FailFile(const char* what, const std::string& fileName, int error) {
  throw EFileError(std::string(what) + " \"" + fileName + "\": " + SystemMessage(error));
}

// Closes a descriptor on every way out.
class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int Get() const { return fd_; }
  // Closes now and reports the result (a late write error shows up here).
  int Close() {
    const int result = ::close(fd_);
    fd_ = -1;
    return result;
  }

 private:
  int fd_;
};

bool WriteAll(int fd, std::string_view content) {
  while (!content.empty()) {
    const ssize_t written = ::write(fd, content.data(), content.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    content.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

// The file a name finally stands for once symbolic links are followed; a relative link target
// is taken from the folder of the link. A name that does not exist stands for itself.
std::string ResolveLinks(const std::string& fileName) {
  std::string current = fileName;
  for (int hops = 0; hops < 40; ++hops) {
    struct stat info {};
    if (::lstat(current.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return current;
    std::string target(PATH_MAX, '\0');
    const ssize_t length = ::readlink(current.c_str(), target.data(), target.size());
    if (length < 0) FailFile("Cannot read link", current, errno);
    target.resize(static_cast<std::size_t>(length));
    current = target.front() == PathDelim ? target : FolderOf(current) + target;
  }
  FailFile("Cannot resolve", fileName, ELOOP);
}

// Syncs the folder so that a rename survives a crash; failures here lose nothing.
void SyncFolder(const std::string& fileName) {
  std::string folder = FolderOf(fileName);
  if (folder.empty()) folder = ".";
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

// Writes content to a new temporary file beside target and returns its name. The file gets
// mode (and, where allowed, the owner of the original) and is synced to disk.
std::string WriteTemporary(const std::string& target, std::string_view content, mode_t mode,
                           const struct stat* original) {
  // Shortened so that a name near the length limit still leaves room for the suffix.
  std::string name = FolderOf(target) + "." + NameOf(target).substr(0, 200) + ".velmora-XXXXXX";
  Descriptor fd(::mkstemp(name.data()));
  if (fd.Get() < 0) FailFile("Cannot create a temporary file for", target, errno);
  const auto fail = [&](int error) {
    ::unlink(name.c_str());
    FailFile("Cannot write", target, error);
  };
  if (original != nullptr) {
    // Only root may give the file away; for anyone else the owner simply stays theirs.
    if (::fchown(fd.Get(), original->st_uid, original->st_gid) != 0) errno = 0;
  }
  if (::fchmod(fd.Get(), mode) != 0) fail(errno);
  if (!WriteAll(fd.Get(), content)) fail(errno);
  if (::fsync(fd.Get()) != 0) fail(errno);
  if (fd.Close() != 0) fail(errno);
  return name;
}

mode_t DefaultMode() {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

// Rewrites a file that has several names through its own inode, so that all names keep
// sharing it. Called only once the complete content sits in the temporary file; if this
// step fails the temporary file is kept and named in the error, so nothing is lost.
void RewriteInPlace(const std::string& target, std::string_view content,
                    const std::string& temporary) {
  const auto fail = [&](int error) {
    throw EFileError("Cannot rewrite \"" + target + "\" in place (" + SystemMessage(error) +
                     "); its new content is in \"" + temporary + "\"");
  };
  Descriptor fd(::open(target.c_str(), O_WRONLY | O_CLOEXEC));
  if (fd.Get() < 0) {
    const int error = errno;
    ::unlink(temporary.c_str());
    FailFile("Cannot open", target, error);
  }
  if (!WriteAll(fd.Get(), content)) fail(errno);
  if (::ftruncate(fd.Get(), static_cast<off_t>(content.size())) != 0) fail(errno);
  if (::fsync(fd.Get()) != 0) fail(errno);
  if (fd.Close() != 0) fail(errno);
  ::unlink(temporary.c_str());
}

// One read buffer is kept per thread between files, so that searching a large file again and
// again does not pay for fresh pages each time. Buffers above the limit are not kept.
struct ReadBuffer {
  std::unique_ptr<char[]> data;
  std::size_t capacity = 0;
};
constexpr std::size_t kKeptBufferLimit = std::size_t{64} << 20;
thread_local ReadBuffer spareBuffer;

ReadBuffer TakeBuffer(std::size_t atLeast) {
  if (spareBuffer.capacity >= atLeast) return std::exchange(spareBuffer, ReadBuffer{});
  return {std::make_unique_for_overwrite<char[]>(atLeast), atLeast};
}

void ReturnBuffer(ReadBuffer buffer) {
  if (buffer.capacity <= kKeptBufferLimit && buffer.capacity > spareBuffer.capacity) {
    spareBuffer = std::move(buffer);
  }
}

bool IsWordChar(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
}

}  // namespace

// ---- reading -------------------------------------------------------------------------------

TextBuffer::TextBuffer(const std::string& fileName, Mode mode, std::size_t chunk)
    : fileName_(fileName), chunk_(std::max<std::size_t>(chunk, 1)) {
  // O_NONBLOCK: a FIFO given by mistake must not hang the open; only regular files are read.
  fd_ = ::open(fileName.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd_ < 0) FailFile("Cannot open file", fileName, errno);
  struct stat info {};
  const int statResult = ::fstat(fd_, &info);
  const int error = statResult != 0 ? errno : S_ISDIR(info.st_mode) ? EISDIR : EINVAL;
  if (statResult != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd_);
    FailFile("Cannot read file", fileName, error);
  }
  // The size is a hint only: a file may grow or shrink while it is read.
  ReadBuffer buffer =
      TakeBuffer(info.st_size > 0 ? static_cast<std::size_t>(info.st_size) + 1 : 4096);
  bytes_ = std::move(buffer.data);
  capacity_ = buffer.capacity;
  try {
    if (mode == Mode::Whole) {
      while (!done_) ReadMore();
    } else {
      ReadMore();
    }
  } catch (...) {
    ReturnBuffer({std::move(bytes_), capacity_});
    ::close(fd_);
    throw;
  }
}

TextBuffer::~TextBuffer() {
  if (fd_ >= 0) ::close(fd_);
  ReturnBuffer({std::move(bytes_), capacity_});
}

void TextBuffer::Grow() {
  ReadBuffer larger{std::make_unique_for_overwrite<char[]>(capacity_ * 2), capacity_ * 2};
  std::memcpy(larger.data.get(), bytes_.get(), used_);
  ReturnBuffer({std::move(bytes_), capacity_});
  bytes_ = std::move(larger.data);
  capacity_ = larger.capacity;
}

bool TextBuffer::ReadMore() {
  // A NUL ends the text; in Whole mode the rest is still read, for the tail.
  if (done_) return false;
  const bool textWasComplete = TextComplete();
  ssize_t got = 0;
  do {
    if (used_ == capacity_) Grow();
    // Chunks that fit the cache: each is looked through for a NUL while it is still there.
    got = ::read(fd_, bytes_.get() + used_, std::min(capacity_ - used_, chunk_));
  } while (got < 0 && errno == EINTR);
  if (got < 0) FailFile("Cannot read file", fileName_, errno);
  if (got == 0) {
    done_ = true;
    ::close(fd_);
    fd_ = -1;
  } else if (nul_ == std::string_view::npos) {
    const void* hit = std::memchr(bytes_.get() + used_, '\0', static_cast<std::size_t>(got));
    if (hit != nullptr)
      nul_ = static_cast<std::size_t>(static_cast<const char*>(hit) - bytes_.get());
  }
  used_ += static_cast<std::size_t>(got);
  const std::string_view all(bytes_.get(), used_);
  text_ = all.substr(0, nul_);
  tail_ = nul_ == std::string_view::npos ? std::string_view() : all.substr(nul_);
  return !textWasComplete;
}

namespace {

// The first c at or after from, remembered in cache until the cursor has passed it.
const char* NextOf(const char*& cache, char c, const char* from, const char* end) {
  if (cache == nullptr || cache < from) {
    const void* hit = std::memchr(from, c, static_cast<std::size_t>(end - from));
    cache = hit != nullptr ? static_cast<const char*>(hit) : end;
  }
  return cache;
}

}  // namespace

bool LineCursor::Next(std::string_view& line) {
  if (done_ || rest_.empty()) return false;
  const char* begin = rest_.data();
  const char* end = begin + rest_.size();
  const char* p = std::min(NextOf(nextLf_, '\n', begin, end), NextOf(nextCr_, '\r', begin, end));
  line = std::string_view(begin, static_cast<std::size_t>(p - begin));
  if (p == end) {
    done_ = true;
    return true;
  }
  const std::size_t breakLength = (*p == '\r' && p + 1 != end && p[1] == '\n') ? 2 : 1;
  rest_.remove_prefix(line.size() + breakLength);
  return true;
}

std::vector<std::string_view> SplitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  LineCursor cursor(text);
  std::string_view line;
  while (cursor.Next(line)) lines.push_back(line);
  return lines;
}

namespace {

// Counts the bytes that end a line in [begin, end): every LF, and with kWithCr a CR unless an LF
// follows it (then the byte at end must exist: it is read as the last byte's follower). Chunks of
// at most 255 bytes keep the sum in one byte, which lets the compiler count many bytes per
// instruction.
template <bool kWithCr>
std::size_t CountBreaks(const unsigned char* begin, const unsigned char* end) {
  std::size_t total = 0;
  while (begin != end) {
    const auto length = static_cast<std::size_t>(std::min<std::ptrdiff_t>(end - begin, 255));
    unsigned char sum = 0;
    if constexpr (kWithCr) {
      for (std::size_t i = 0; i < length; ++i)
        sum += static_cast<unsigned char>((begin[i] == '\n') |
                                          ((begin[i] == '\r') & (begin[i + 1] != '\n')));
    } else {
      for (std::size_t i = 0; i < length; ++i) sum += static_cast<unsigned char>(begin[i] == '\n');
    }
    total += sum;
    begin += length;
  }
  return total;
}

}  // namespace

std::size_t CountLines(std::string_view text) {
  if (text.empty()) return 0;
  const auto* begin = reinterpret_cast<const unsigned char*>(text.data());
  const auto* last = begin + text.size() - 1;
  std::size_t breaks = 0;
  if (std::memchr(text.data(), '\r', text.size()) == nullptr) {
    breaks = CountBreaks<false>(begin, last + 1);
  } else {
    // Every byte but the last has a follower to tell a lone CR from a CR LF.
    breaks = CountBreaks<true>(begin, last) + ((*last == '\n') | (*last == '\r'));
  }
  // A break at the very end gives no extra line.
  return breaks + (EndsWithLineBreak(text) ? 0 : 1);
}

bool EndsWithLineBreak(std::string_view text) {
  return !text.empty() && (text.back() == '\n' || text.back() == '\r');
}

// ---- editing and writing back --------------------------------------------------------------

std::size_t ParseLineIndex(const std::string& entry) {
  std::size_t value = 0;
  const char* first = entry.data();
  const char* last = first + entry.size();
  const auto [end, error] = std::from_chars(first, last, value);
  if (entry.empty() || error != std::errc() || end != last) {
    throw EListError("'" + entry + "' is not a valid integer value");
  }
  return value;
}

LineEditor::LineEditor(const TextBuffer& file)
    : lines_(SplitLines(file.Text())),
      tail_(file.Tail()),
      openEnd_(!file.Tail().empty() && !file.Text().empty() && !EndsWithLineBreak(file.Text())) {}

std::string_view LineEditor::Keep(std::string text) {
  return kept_.emplace_back(std::move(text));
}

std::size_t LineEditor::IndexOf(const std::string& entry) const {
  const std::size_t index = ParseLineIndex(entry);
  if (index >= lines_.size()) {
    throw EListError("List index out of bounds (" + entry + ")");
  }
  return index;
}

std::string LineEditor::Compose() const {
  std::size_t size = tail_.size();
  for (const auto line : lines_) size += line.size() + 2;
  std::string out;
  out.reserve(size);
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    out += lines_[i];
    if (!(openEnd_ && i + 1 == lines_.size())) out += "\r\n";
  }
  out += tail_;
  return out;
}

namespace {

// Puts content under target through a temporary file and a rename, giving it mode and owner.
void ReplaceThroughTemporary(const std::string& target, std::string_view content, mode_t mode,
                             const struct stat* owner) {
  const std::string temporary = WriteTemporary(target, content, mode, owner);
  if (::rename(temporary.c_str(), target.c_str()) != 0) {
    const int error = errno;
    ::unlink(temporary.c_str());
    FailFile("Cannot replace", target, error);
  }
  SyncFolder(target);
}

}  // namespace

void WriteFileSafely(const std::string& fileName, std::string_view content) {
  const std::string target = ResolveLinks(fileName);
  struct stat info {};
  const bool exists = ::stat(target.c_str(), &info) == 0 && S_ISREG(info.st_mode);
  // A rename would get past a file the user may not write; writing in place would not.
  if (exists && ::access(target.c_str(), W_OK) != 0) FailFile("Cannot write", target, errno);
  if (exists && info.st_nlink > 1) {
    const std::string temporary = WriteTemporary(target, content, info.st_mode & 07777, &info);
    RewriteInPlace(target, content, temporary);
    return;
  }
  ReplaceThroughTemporary(target, content, exists ? (info.st_mode & 07777) : DefaultMode(),
                          exists ? &info : nullptr);
}

void BackupFile(const std::string& fileName) {
  struct stat source {};
  if (::stat(fileName.c_str(), &source) != 0) FailFile("Cannot open file", fileName, errno);
  std::string content;
  {
    const TextBuffer file(fileName);
    content.reserve(file.Text().size() + file.Tail().size());
    content += file.Text();
    content += file.Tail();
  }
  // The rename replaces an older backup in one step, so a failed copy keeps the old one; the
  // copy is as private as the file it saves.
  const std::string backup = fileName + ".bak";
  ReplaceThroughTemporary(backup, content, source.st_mode & 07777, nullptr);
}

// ---- text helpers --------------------------------------------------------------------------

std::string HtmlEscape(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 8);
  for (const char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

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

// ---- the page ------------------------------------------------------------------------------

LinesPage::LinesPage(const std::string& fileName) {
  Append("<html>");
  Append("<Title>Lines Viewer</Title>");
  Append("<body>");
  Append("<pre>");
  // Names may hold "<", "&" or quotes on this platform: escaped, they cannot break the page.
  Append("<strong>     File:  " + HtmlEscape(NameOf(fileName)) +
         "      Path:  " + HtmlEscape(FolderOf(fileName)) + "</strong>");
}

void LinesPage::AddLine(const std::string& indexEntry, std::string_view markedText, Mark mark) {
  const std::string number = std::to_string(ParseLineIndex(indexEntry) + 1);
  std::string line;
  switch (mark) {
    case Mark::Plain:
      line = "line ";
      break;
    case Mark::Chosen:
      line = "<font color=\"#FF0000\">+</font>line ";
      break;
    case Mark::NotChosen:
      line = " line ";
      break;
  }
  line += number;
  line += " : ";
  line += markedText;
  Append(line);
}

void LinesPage::AddBlock(std::size_t first, std::size_t last) {
  std::string line = "<font color=\"#0000FF\">line " + std::to_string(first);
  if (last != first) line += " - line " + std::to_string(last);
  line += "</font>";
  Append(line);
}

void LinesPage::Save(const std::string& pageFileName) {
  Append("</pre>");
  Append("</body>");
  Append("</html>");
  WriteFileSafely(pageFileName, text_);
}

void LinesPage::Append(std::string_view line) {
  text_ += line;
  text_ += "\r\n";
}

// ---- whole-buffer literal test -------------------------------------------------------------

namespace {

// A rough rank of how often a byte occurs in text (higher: more often), to pick the byte of a
// literal whose occurrences are fewest and let memchr skip to them.
int Commonness(unsigned char c) {
  static constexpr std::string_view kLetters = "zqxjkvbpygfwmucldrhsnioate";  // rare first
  if (c == ' ') return 100;
  if (c >= 'a' && c <= 'z') return 40 + static_cast<int>(kLetters.find(static_cast<char>(c)));
  if (c >= 'A' && c <= 'Z')
    return 30 + static_cast<int>(kLetters.find(static_cast<char>(c + 32))) / 2;
  if (c >= '0' && c <= '9') return 35;
  if (c == '\t' || c == '\n' || c == '\r' || c == '_' || c == '.' || c == ',') return 50;
  if (c >= 128) return 5;
  return 20;
}

}  // namespace

LiteralScanner::LiteralScanner(std::string_view literal, bool caseSensitive,
                               unsigned char (*toggleCase)(unsigned char))
    : literal_(literal), other_(literal) {
  // A text byte t stands for literal byte b when t is b or b's other-case form.
  if (!caseSensitive) {
    for (auto& c : other_) c = static_cast<char>(toggleCase(static_cast<unsigned char>(c)));
  }
  int best = 1 << 30;
  for (std::size_t j = 0; j < literal_.size(); ++j) {
    const auto b = static_cast<unsigned char>(literal_[j]);
    const auto o = static_cast<unsigned char>(other_[j]);
    const int score = Commonness(b) + (o != b ? Commonness(o) : 0);
    if (score < best) {
      best = score;
      rare_ = j;
    }
  }
}

bool LiteralScanner::MatchesAt(const unsigned char* t) const {
  const auto* p = reinterpret_cast<const unsigned char*>(literal_.data());
  const auto* o = reinterpret_cast<const unsigned char*>(other_.data());
  for (std::size_t j = 0; j < literal_.size(); ++j) {
    if (t[j] != p[j] && t[j] != o[j]) return false;
  }
  return true;
}

std::size_t LiteralScanner::Find(std::string_view text, std::size_t from) const {
  constexpr auto npos = std::string_view::npos;
  const std::size_t m = literal_.size();
  if (from > text.size()) return npos;
  if (m == 0) return from;
  if (text.size() - from < m) return npos;
  const auto* t = reinterpret_cast<const unsigned char*>(text.data());
  const auto rareByte = static_cast<unsigned char>(literal_[rare_]);
  const auto rareOther = static_cast<unsigned char>(other_[rare_]);
  // The rare byte can only sit in [first, last] for a whole occurrence to fit.
  const std::size_t first = from + rare_;
  const std::size_t last = text.size() - m + rare_;
  const auto next = [&](unsigned char byte, std::size_t at) -> std::size_t {
    if (at > last) return npos;
    const void* hit = std::memchr(t + at, byte, last + 1 - at);
    return hit == nullptr ? npos
                          : static_cast<std::size_t>(static_cast<const unsigned char*>(hit) - t);
  };
  // With two case forms both are tracked and the nearer one is tried first.
  std::size_t one = next(rareByte, first);
  std::size_t two = rareOther != rareByte ? next(rareOther, first) : npos;
  while (one != npos || two != npos) {
    const bool takeOne = two == npos || (one != npos && one < two);
    const std::size_t at = takeOne ? one : two;
    if (MatchesAt(t + at - rare_)) return at - rare_;
    if (takeOne) {
      one = next(rareByte, at + 1);
    } else {
      two = next(rareOther, at + 1);
    }
  }
  return npos;
}

}  // namespace velmora
