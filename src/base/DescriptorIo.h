#pragma once

// Whole writes and copies between file descriptors, retried when a signal interrupts them.

#include <unistd.h>

#include <cerrno>
#include <string_view>

namespace velmora {

// Writes all of data to fd; false with errno set when a write fails.
inline bool WriteAll(int fd, std::string_view data) {
  while (!data.empty()) {
    const ssize_t written = ::write(fd, data.data(), data.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    data.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

// Copies what is left of from to to; false with errno set when a read or write fails.
inline bool CopyBytes(int from, int to) {
  char buffer[1 << 16];
  for (;;) {
    const ssize_t got = ::read(from, buffer, sizeof buffer);
    if (got == 0) return true;
    if (got < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (!WriteAll(to, std::string_view(buffer, static_cast<std::size_t>(got)))) return false;
  }
}

}  // namespace velmora
