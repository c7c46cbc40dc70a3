#pragma once
// The real main window, offscreen, over a scratch tree and an in-memory store; widgets are
// reached by object name.

#include <gtest/gtest.h>

#include <QApplication>
#include <QLatin1String>
#include <filesystem>
#include <memory>

#include "doubles/TempFolder.h"
#include "platform/MainWindow.h"
#include "settings/MemoryKeyStore.h"

namespace velmora {

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
