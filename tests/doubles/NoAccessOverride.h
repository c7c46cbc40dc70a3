#pragma once

// Makes permission bits bind a test that runs as root, so that a folder or file with mode 000
// really cannot be read: the capabilities that override them leave the effective set for the
// life of the scope and come back after it. Without them (an ordinary user) nothing changes.

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <array>
#include <cstdint>

namespace velmora::testing {

class NoAccessOverride {
 public:
  NoAccessOverride() {
    if (!Get(saved_)) return;
    auto lowered = saved_;
    lowered[0].effective &= ~kOverrides;
    active_ = Set(lowered);
  }
  ~NoAccessOverride() {
    if (active_) Set(saved_);
  }
  NoAccessOverride(const NoAccessOverride&) = delete;
  NoAccessOverride& operator=(const NoAccessOverride&) = delete;

  // False when the capabilities could not be read or lowered (the test should skip).
  bool Active() const { return active_; }

 private:
  using Data = std::array<__user_cap_data_struct, _LINUX_CAPABILITY_U32S_3>;
  static constexpr std::uint32_t kOverrides =
      (1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH);

  static bool Get(Data& data) {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    return ::syscall(SYS_capget, &header, data.data()) == 0;
  }
  static bool Set(Data& data) {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    return ::syscall(SYS_capset, &header, data.data()) == 0;
  }

  Data saved_{};
  bool active_ = false;
};

}  // namespace velmora::testing
