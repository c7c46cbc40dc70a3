#pragma once

// The preview viewer over a QTextBrowser. It reads the page file itself and hands the text
// to setHtml: setSource would show a stale page when the same file is shown again, and would
// warn for "about:blank". Blank is a cleared document. The page file is never changed, but a
// very long line is shown shortened (see ShortenLongLines), since laying it out whole would
// hold the window for seconds.

#include <QByteArray>
#include <QString>

#include "ports/Viewer.h"

class QTextBrowser;

namespace velmora {

class QtViewer : public Viewer {
 public:
  explicit QtViewer(QTextBrowser* browser = nullptr) : browser_(browser) {}
  // The browser that shows the pages; a viewer without one shows nothing.
  void Attach(QTextBrowser* browser) { browser_ = browser; }
  void Navigate(const std::string& target) override;

  // The bytes as text: UTF-8 when they are valid UTF-8, else Latin-1, so that a page of a
  // single-byte file still reads instead of showing replacement characters. A CR LF right
  // after <pre> becomes a lone LF, which the browser swallows like HTML does.
  static QString DecodePage(const QByteArray& bytes);

  // The page text with every line of more than ten thousand visible characters cut to its
  // start and some context around each match (as many as a budget of twenty thousand
  // characters allows); each part left out is shown as a grey "[… N characters not shown …]".
  static QString ShortenLongLines(const QString& page);

 private:
  QTextBrowser* browser_;
};

}  // namespace velmora
