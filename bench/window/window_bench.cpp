// Drives the real main window offscreen and prints its figures: a phrase search over the
// benchmark corpus (beside "velmora-cli find" for the same search when VELMORA_CLI names it),
// an empty-query listing of 100,000 files, how long Stop takes to end a run, and how soon a
// row selection is answered during a run.
//
// Usage: window_bench [CORPUS]   (default bench/corpus/tree, else a generated tree)
// Environment: VELMORA_CLI=path/to/velmora-cli (run in turn with the window), RUNS=n (default 3),
// LISTING=folder (a ready tree for the listing, as generated here; making 100,000 files takes
// minutes on some disks).

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QItemSelectionModel>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeView>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/MainWindow.h"
#include "platform/QtKnownFolders.h"
#include "platform/QtShell.h"
#include "settings/FileKeyStore.h"

namespace {

using velmora::MainWindow;

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values.empty() ? 0 : values[values.size() / 2];
}

void MakeTree(const std::filesystem::path& root, int files, const std::string& text) {
  char name[32];
  for (int i = 0; i < files; ++i) {
    std::snprintf(name, sizeof name, "d%d", i / 1000);
    const auto folder = root / name;
    if (i % 1000 == 0) std::filesystem::create_directories(folder);
    std::snprintf(name, sizeof name, "f%d.txt", i);
    std::ofstream(folder / name) << text << i << "\n";
  }
}

class Bench {
 public:
  explicit Bench(velmora::KeyStore& keys) : window_(keys, adapters_) {
    window_.show();
    QApplication::processEvents();
    path_ = window_.findChild<QComboBox*>("cmb_path");
    query_ = window_.findChild<QComboBox*>("cmb_query");
    find_ = window_.findChild<QPushButton*>("btn_find");
    stop_ = window_.findChild<QPushButton*>("btn_stop");
    list_ = window_.findChild<QTreeView*>("ListView1");
  }

  // One search through the window; returns milliseconds from click to return.
  double Run(const QString& folder, const QString& query) {
    path_->setEditText(folder);
    query_->setEditText(query);
    QElapsedTimer clock;
    clock.start();
    find_->click();
    const double ms = static_cast<double>(clock.nsecsElapsed()) / 1e6;
    QApplication::processEvents();
    return ms;
  }

  int Rows() { return window_.Controller().found_count; }

  // Presses Stop `after` ms into a run; returns ms from the press until the run returned.
  double StopLatency(const QString& folder, const QString& query, int after) {
    QElapsedTimer pressed;
    QTimer timer;  // ends with this call, also when the run was over before it fired
    timer.setSingleShot(true);
    timer.setTimerType(Qt::PreciseTimer);  // a coarse timer may fire up to 5% early
    QObject::connect(&timer, &QTimer::timeout, stop_, [&] {
      pressed.start();
      stop_->click();
    });
    timer.start(after);
    Run(folder, query);
    return pressed.isValid() ? static_cast<double>(pressed.nsecsElapsed()) / 1e6 : -1;
  }

  // Asks for a row selection `after` ms into a run; returns ms from the moment it was due
  // until its handler had returned.
  double SelectLatency(const QString& folder, const QString& query, int after) {
    QElapsedTimer due;
    double answered = -1;
    due.start();
    QTimer timer;
    timer.setSingleShot(true);
    timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer, &QTimer::timeout, list_, [&] {
      const double late = static_cast<double>(due.nsecsElapsed()) / 1e6 - after;
      QElapsedTimer handler;
      handler.start();
      if (list_->model()->rowCount() > 0)
        list_->selectionModel()->select(
            list_->model()->index(0, 0),
            QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
      answered = late + static_cast<double>(handler.nsecsElapsed()) / 1e6;
    });
    timer.start(after);
    Run(folder, query);
    return answered;
  }

 private:
  velmora::QtAdapters adapters_;
  MainWindow window_;
  QComboBox* path_;
  QComboBox* query_;
  QPushButton* find_;
  QPushButton* stop_;
  QTreeView* list_;
};

double CliMs(const QString& cli, const QString& folder, const QString& query) {
  QProcess process;
  process.setStandardOutputFile(QProcess::nullDevice());
  QElapsedTimer clock;
  clock.start();
  process.start(cli, {"find", "--query", query, folder});
  process.waitForFinished(-1);
  return static_cast<double>(clock.nsecsElapsed()) / 1e6;
}

}  // namespace

int main(int argc, char* argv[]) {
  QTemporaryDir scratch;
  const QByteArray base = scratch.path().toLocal8Bit();
  for (const char* var : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_RUNTIME_DIR"}) {
    const QByteArray folder = base + "/" + var;
    std::filesystem::create_directories(folder.toStdString());
    std::filesystem::permissions(folder.toStdString(), std::filesystem::perms::owner_all);
    qputenv(var, folder);
  }
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  velmora::QtShell::PrepareIconTheme();
  const int runs = qEnvironmentVariableIsSet("RUNS") ? qEnvironmentVariableIntValue("RUNS") : 3;

  QString corpus = argc > 1 ? QString::fromLocal8Bit(argv[1])
                            : QStringLiteral(VELMORA_SOURCE_DIR "/bench/corpus/tree");
  if (!std::filesystem::is_directory(corpus.toStdString())) {
    corpus = scratch.path() + "/corpus";
    std::printf("no corpus; generating 20,000 files in %s\n", qPrintable(corpus));
    MakeTree(corpus.toStdString(), 20000, "unsigned long value of file ");
  }
  QString listing = qEnvironmentVariable("LISTING");
  if (listing.isEmpty() || !std::filesystem::is_directory(listing.toStdString())) {
    listing = scratch.path() + "/listing";
    MakeTree(listing.toStdString(), 100000, "x");
  }
  const QString phrase = QStringLiteral("unsigned long");

  // The settings file of a real start, in the scratch config folder.
  velmora::FileKeyStore keys(velmora::SettingsFileName());
  Bench bench(keys);
  const QString cli =
      qEnvironmentVariableIsSet("VELMORA_CLI") ? qEnvironmentVariable("VELMORA_CLI") : QString();
  // Window and CLI runs alternate, so that a slower spell of the machine weighs on both.
  std::vector<double> search, list, cliTimes, ratios;
  int found = 0;
  int listed = 0;
  for (int i = 0; i < runs; ++i) {
    search.push_back(bench.Run(corpus, phrase));
    found = bench.Rows();
    if (!cli.isEmpty()) {
      cliTimes.push_back(CliMs(cli, corpus, phrase));
      ratios.push_back(search.back() / cliTimes.back());
    }
    list.push_back(bench.Run(listing, QString()));
    listed = bench.Rows();
  }
  std::printf("phrase \"%s\" over %s: %.1f ms median of %d, %d rows\n", qPrintable(phrase),
              qPrintable(corpus), Median(search), runs, found);
  if (!cli.isEmpty())
    std::printf(
        "velmora-cli find, same search: %.1f ms; window / cli = %.2f (median of paired "
        "runs)\n",
        Median(cliTimes), Median(ratios));
  std::printf("empty-query listing: %.1f ms median of %d, %d rows\n", Median(list), runs, listed);

  double worstStop = 0;
  double worstSelect = 0;
  for (int after : {20, 150, 400, 900}) {
    const double stops[] = {bench.StopLatency(corpus, phrase, after),
                            bench.StopLatency(listing, QString(), after)};
    const double selects[] = {bench.SelectLatency(corpus, phrase, after),
                              bench.SelectLatency(listing, QString(), after)};
    std::printf("  at %4d ms: Stop %.1f / %.1f ms, select %.1f / %.1f ms (search / listing)\n",
                after, stops[0], stops[1], selects[0], selects[1]);
    worstStop = std::max({worstStop, stops[0], stops[1]});
    worstSelect = std::max({worstSelect, selects[0], selects[1]});
  }
  std::printf("Stop to end of run: worst %.1f ms\n", worstStop);
  std::printf("row selection answered during a run: worst %.1f ms\n", worstSelect);
  return 0;
}
