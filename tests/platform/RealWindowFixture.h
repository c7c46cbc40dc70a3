#pragma once
// The real main window, offscreen, over a scratch tree and an in-memory store; widgets are
// reached by object name.

#include <gtest/gtest.h>

#include <QApplication>
#include <QLatin1String>
#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>

#include "doubles/TempFolder.h"
#include "platform/MainWindow.h"
#include "settings/MemoryKeyStore.h"

namespace velmora {

// A program that writes its first argument's bytes to "<own name>.out" (through a rename:
// never half), and what it wrote once the detached process got there.
inline void WriteArgumentRecorder(const std::string& name) {
  testing::WriteWholeFile(
      name, "#!/bin/sh\nprintf '%s' \"$1\" > \"$0.tmp\" && mv \"$0.tmp\" \"$0.out\"\n");
  std::filesystem::permissions(name, std::filesystem::perms::owner_all);
}
inline std::string RecordedArgument(const std::string& recorder) {
  const std::string out = recorder + ".out";
  for (int i = 0; i < 500 && !std::filesystem::exists(out); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  const std::string argument = testing::ReadWholeFile(out);
  std::filesystem::remove(out);
  return argument;
}

class RealWindowTest : public ::testing::Test {
 protected:
  // Fills the tree before the window opens.
  virtual void WriteTree() {}

  void SetUp() override {
    WriteTree();
    window = std::make_unique<MainWindow>(keys, adapters);
    window->show();
    QApplication::processEvents();
  }
  void TearDown() override {
    window->close();
    window.reset();
  }

  template <class W>
  W* Get(const char* name) {
    auto* widget = window->findChild<W*>(QLatin1String(name));
    EXPECT_NE(widget, nullptr) << name;
    return widget;
  }

  testing::TempFolder temp;
  std::filesystem::path tree = temp.Path();
  MemoryKeyStore keys;
  QtAdapters adapters;
  std::unique_ptr<MainWindow> window;
};

}  // namespace velmora
