#pragma once

// The main window's view: the widgets of Tfrm_utama, named like its controls, the binder that
// keeps them in step with the controller, and the Qt adapters of the ports it uses. It holds
// no behaviour of its own beyond closing only after a running search has unwound.

#include <QElapsedTimer>
#include <QItemSelection>
#include <QMainWindow>
#include <memory>

#include "app/Un_Utama.h"
#include "platform/Binder.h"
#include "platform/QtDialogs.h"
#include "platform/QtEventPump.h"
#include "platform/QtKnownFolders.h"
#include "platform/QtLocale.h"
#include "platform/QtShell.h"
#include "platform/QtViewer.h"

class QTextBrowser;
class QTreeView;

namespace velmora {

class ResultModel;

class MainWindow : public QMainWindow {
 public:
  // The settings live in `keys`, which must outlive the window.
  explicit MainWindow(KeyStore& keys, QWidget* parent = nullptr);
  ~MainWindow() override;

  Tfrm_utama& Controller() { return *controller_; }
  QtViewer& Viewer() { return *viewer_; }
  QtEventPump& Pump() { return pump_; }

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildWidgets();
  void BuildMenu();
  void BindControls();
  void ConnectEvents();
  void SyncList();
  void PushSelection();
  void OnListSelection(const QItemSelection& selected, const QItemSelection& deselected);
  void Run(const std::function<void()>& handler);
  void ShowAbout();

  QtLocale locale_;
  QtShell shell_;
  QtDialogs dialogs_;
  QtEventPump pump_;
  QtKnownFolders folders_;
  std::unique_ptr<QtViewer> viewer_;
  std::unique_ptr<Tfrm_utama> controller_;
  std::unique_ptr<Binder> binder_;
  ResultModel* model_ = nullptr;
  QTreeView* list_ = nullptr;
  QTextBrowser* browser_ = nullptr;
  QElapsedTimer pushClock_;
  bool shown_ = false;
  bool closePending_ = false;
};

}  // namespace velmora
