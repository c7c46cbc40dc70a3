#include "engines/TextBuffer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <string>
#include <utility>

namespace velmora {

namespace {

[[noreturn]] void RaiseFileError(const char* what, const std::string& fileName,
                                 const std::string& reason) {
  throw EFileError(std::string(what) + " \"" + fileName + "\": " + reason, fileName, reason);
}

}  // namespace

void RaiseFileError(const char* what, const std::string& fileName, int error) {
  RaiseFileError(what, fileName, std::string(std::strerror(error)));
}

int OpenRegularFile(const std::string& fileName, struct stat& info) {
  const int fd = ::open(fileName.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) RaiseFileError("Cannot open file", fileName, errno);
  const int statError = ::fstat(fd, &info) != 0 ? errno : 0;
  if (statError == 0 && S_ISREG(info.st_mode)) return fd;
  ::close(fd);
  if (statError != 0) RaiseFileError("Cannot read file", fileName, statError);
  if (S_ISDIR(info.st_mode)) RaiseFileError("Cannot read file", fileName, EISDIR);
  RaiseFileError("Cannot read file", fileName, std::string("Not a regular file"));
}

namespace {

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

// The kernel copies a read into a buffer about three times slower when the destination is
// not on a cache-line boundary, so kept bytes are placed to make the next read land on one.
constexpr std::size_t kReadAlignment = 64;

// The bytes to skip at p so that p + skip + length is on a boundary.
std::size_t PadBefore(const char* p, std::size_t length) {
  const std::uintptr_t end = reinterpret_cast<std::uintptr_t>(p) + length;
  return (kReadAlignment - end % kReadAlignment) % kReadAlignment;
}

}  // namespace

// ---- reading -------------------------------------------------------------------------------

TextBuffer::TextBuffer(const std::string& fileName, Mode mode, std::size_t chunk)
    : fileName_(fileName), chunk_(std::max<std::size_t>(chunk, 1)) {
  struct stat info {};
  fd_ = OpenRegularFile(fileName, info);
  identity_ = FileIdentity::Of(info);
  permissions_ = info.st_mode & 07777;
  // The size is a hint only: a file may grow or shrink while it is read. A window needs no
  // more than two chunks until a line is longer than that.
  std::size_t size = info.st_size > 0 ? static_cast<std::size_t>(info.st_size) + 1 : 4096;
  if (mode == Mode::OnDemand) size = std::min(size, 2 * chunk_);
  ReadBuffer buffer = TakeBuffer(size + kReadAlignment);
  bytes_ = std::move(buffer.data);
  capacity_ = buffer.capacity;
  start_ = used_ = PadBefore(bytes_.get(), 0);
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
  MoveKept(larger.data.get(), start_);
  ReturnBuffer({std::move(bytes_), capacity_});
  bytes_ = std::move(larger.data);
  capacity_ = larger.capacity;
}

bool TextBuffer::ReadMore() {
  // A NUL ends the text; in Whole mode the rest is still read, for the tail.
  if (done_) return false;
  const bool textWasComplete = TextComplete();
  ssize_t got = 0;
  std::size_t asked = 0;
  do {
    if (used_ == capacity_) Grow();
    // Chunks that fit the cache: each is looked through for a NUL while it is still there.
    asked = std::min(capacity_ - used_, chunk_);
    got = ::read(fd_, bytes_.get() + used_, asked);
  } while (got < 0 && errno == EINTR);
  if (got < 0) RaiseFileError("Cannot read file", fileName_, errno);
  const auto count = static_cast<std::size_t>(got);
  offset_ += count;
  // A read that came short having reached the size the file had when opened met the file's
  // end: one more read would only say so. Otherwise the end is where a read gives nothing.
  if (got == 0 || (count < asked && offset_ == static_cast<std::uint64_t>(identity_.size))) {
    done_ = true;  // the file stays open for a Rewind
  }
  if (got > 0 && nul_ == std::string_view::npos) {
    const void* hit = std::memchr(bytes_.get() + used_, '\0', count);
    if (hit != nullptr)
      nul_ = static_cast<std::size_t>(static_cast<const char*>(hit) - bytes_.get());
  }
  used_ += count;
  UpdateViews();
  return !textWasComplete;
}

void TextBuffer::MoveKept(char* target, std::size_t from) {
  const std::size_t kept = used_ - from;
  const std::size_t pad = PadBefore(target, kept);
  std::memmove(target + pad, bytes_.get() + from, kept);
  if (nul_ != std::string_view::npos) nul_ = nul_ - from + pad;
  start_ = pad;
  used_ = pad + kept;
}

void TextBuffer::UpdateViews() {
  const std::string_view all(bytes_.get() + start_, used_ - start_);
  const std::size_t nul = nul_ == std::string_view::npos ? nul_ : nul_ - start_;
  text_ = all.substr(0, nul);
  tail_ = nul == std::string_view::npos ? std::string_view() : all.substr(nul);
}

void TextBuffer::Release(std::size_t count) {
  count = std::min(count, text_.size());
  if (count == 0) return;
  const std::size_t kept = used_ - start_ - count;
  if (kept + kReadAlignment > capacity_) Grow();
  MoveKept(bytes_.get(), start_ + count);
  released_ = true;
  UpdateViews();
}

void TextBuffer::Rewind() {
  if (!released_) return;
  if (::lseek(fd_, 0, SEEK_SET) != 0) RaiseFileError("Cannot read file", fileName_, errno);
  start_ = used_ = PadBefore(bytes_.get(), 0);
  offset_ = 0;
  nul_ = std::string_view::npos;
  done_ = false;
  released_ = false;
  UpdateViews();
  ReadMore();
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
    break_ = {};
    return true;
  }
  const std::size_t breakLength = (*p == '\r' && p + 1 != end && p[1] == '\n') ? 2 : 1;
  break_ = std::string_view(p, breakLength);
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

// ---- modifying --------------------------------------------------------------

std::size_t ParseLineIndex(std::string_view entry) {
  std::size_t value = 0;
  const char* first = entry.data();
  const char* last = first + entry.size();
  const auto [end, error] = std::from_chars(first, last, value);
  if (entry.empty() || error != std::errc() || end != last) {
    throw EListError("'" + std::string(entry) + "' is not a valid integer value");
  }
  return value;
}

std::string_view DefaultBreak(LineBreaks breaks) {
  return breaks == LineBreaks::CrLf ? "\r\n" : "\n";
}

std::string WithLineBreak(std::string_view text, std::string_view lineBreak) {
  std::string out;
  out.reserve(text.size());
  LineCursor cursor(text);
  std::string_view part;
  while (cursor.Next(part)) {
    out += part;
    if (!cursor.Break().empty()) out += lineBreak;
  }
  return out;
}

}  // namespace velmora
