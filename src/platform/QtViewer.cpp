#include "platform/QtViewer.h"

#include <QFile>
#include <QStringDecoder>
#include <QTextBrowser>

namespace velmora {

QString QtViewer::DecodePage(const QByteArray& bytes) {
  QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  QString text = utf8.decode(bytes);
  if (utf8.hasError()) text = QString::fromLatin1(bytes);
  text.replace(QLatin1String("<pre>\r\n"), QLatin1String("<pre>\n"), Qt::CaseInsensitive);
  return text;
}

void QtViewer::Navigate(const std::string& target) {
  if (!browser_) return;
  if (target == kAboutBlank) {
    browser_->clear();
    return;
  }
  QFile file(QFile::decodeName(target.c_str()));
  if (!file.open(QIODevice::ReadOnly)) {
    browser_->clear();
    return;
  }
  browser_->setHtml(DecodePage(file.readAll()));
}

}  // namespace velmora
