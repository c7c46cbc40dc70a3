#include "platform/SingleInstance.h"

#include <QDataStream>
#include <QDir>
#include <QFileInfo>
#include <QList>
#include <QLocalSocket>
#include <QStandardPaths>

namespace velmora {

namespace {

constexpr int kAnswerMs = 3000;
using ArgumentList = QList<QByteArray>;

}  // namespace

QString InstanceLockFileName() {
  QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
  if (folder.isEmpty()) folder = QDir::tempPath();
  return QDir(folder).filePath(QStringLiteral("Velmora.lock"));
}

QString InstanceSocketName(const QString& lockFileName) {
  return QFileInfo(lockFileName).dir().filePath(QStringLiteral("Velmora.socket"));
}

std::unique_ptr<QLockFile> AcquireSingleInstance(const QString& lockFileName) {
  auto lock = std::make_unique<QLockFile>(lockFileName);
  // No age limit: only a lock whose process is gone counts as stale.
  lock->setStaleLockTime(0);
  if (!lock->tryLock(0)) return nullptr;
  return lock;
}

bool SendToRunningInstance(const QString& socketName, const std::vector<std::string>& arguments) {
  QLocalSocket socket;
  socket.connectToServer(socketName);
  if (!socket.waitForConnected(kAnswerMs)) return false;
  ArgumentList list;
  for (const auto& argument : arguments)
    list.append(QByteArray(argument.data(), static_cast<qsizetype>(argument.size())));
  QDataStream out(&socket);
  out << list;
  while (socket.bytesToWrite() > 0) {
    if (!socket.waitForBytesWritten(kAnswerMs)) return false;
  }
  socket.disconnectFromServer();
  return true;
}

InstanceServer::InstanceServer(StartHandler onStart, QObject* parent)
    : QObject(parent), onStart_(std::move(onStart)) {
  server_.setSocketOptions(QLocalServer::UserAccessOption);
  connect(&server_, &QLocalServer::newConnection, this, [this] { Accept(); });
}

bool InstanceServer::Listen(const QString& socketName) {
  QLocalServer::removeServer(socketName);
  return server_.listen(socketName);
}

void InstanceServer::Accept() {
  while (QLocalSocket* socket = server_.nextPendingConnection()) {
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
      QDataStream in(socket);
      in.startTransaction();
      ArgumentList list;
      in >> list;
      if (!in.commitTransaction()) return;  // the rest is still on its way
      socket->disconnectFromServer();
      std::vector<std::string> arguments;
      for (const auto& argument : list) arguments.emplace_back(argument.toStdString());
      if (onStart_) onStart_(arguments);
    });
  }
}

}  // namespace velmora
