// A second start hands its arguments to the running copy through the local socket.

#include <gtest/gtest.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <filesystem>
#include <fstream>

#include "doubles/TempFolder.h"
#include "platform/SingleInstance.h"

namespace velmora {
namespace {

TEST(InstanceHandoverTest, TheRunningCopyGetsTheArgumentsOfASecondStart) {
  const testing::TempFolder temp;
  const auto folder = temp.Path();
  const QString socket =
      InstanceSocketName(QString::fromStdString((folder / "Velmora.lock").string()));
  EXPECT_FALSE(SendToRunningInstance(socket, {"nobody listens"}));

  std::vector<std::vector<std::string>> received;
  {
    InstanceServer running(
        [&](const std::vector<std::string>& arguments) { received.push_back(arguments); });
    ASSERT_TRUE(running.Listen(socket));
    const std::vector<std::string> first{"/tmp/a folder/", "caf\xe9"};
    ASSERT_TRUE(SendToRunningInstance(socket, first));
    ASSERT_TRUE(SendToRunningInstance(socket, {}));
    QElapsedTimer waited;
    waited.start();
    while (received.size() < 2 && waited.elapsed() < 5000)
      QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    ASSERT_EQ(received.size(), 2u);
    EXPECT_EQ(received[0], first);
    EXPECT_TRUE(received[1].empty());
  }

  // A socket file left behind by a copy that is gone does not keep the next copy from
  // listening.
  std::ofstream(socket.toStdString()) << "stale";
  InstanceServer next(nullptr);
  EXPECT_TRUE(next.Listen(socket));
}

}  // namespace
}  // namespace velmora
