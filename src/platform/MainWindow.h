#pragma once

// The main window's view: the form file frm_utama.ui (widgets named like the controls of
// Tfrm_utama), the binder that keeps them in step with the controller and wires their events
// to its handlers, and nothing else: the adapters are lent by the caller.

#include <QElapsedTimer>
#include <QMainWindow>
#include <memory>

#include "app/Un_Utama.h"
#include "platform/Binder.h"
#include "platform/QtAdapters.h"

namespace Ui {
class frm_utama;
}

namespace velmora {

class ResultModel;

class MainWindow : public QMainWindow {
 public:
  // The settings live in `keys`; both arguments must outlive the window.
  MainWindow(KeyStore& keys, QtAdapters& adapters, QWidget* parent = nullptr);
  ~MainWindow() override;

  Tfrm_utama& Controller() { return *controller_; }

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void PlaceOnScreen();
  // The kept splitter position and column widths; and back into the controller at close.
  void PlacePanes();
  void KeepPlacement();
  void SetTabOrder();
  void BindControls();
  void ConnectEvents();

  QtAdapters& adapters_;
  std::unique_ptr<Ui::frm_utama> ui_;
  std::unique_ptr<Tfrm_utama> controller_;
  std::unique_ptr<Binder> binder_;
  ResultModel* model_ = nullptr;
  QElapsedTimer pushClock_;
  bool shown_ = false;
};

}  // namespace velmora
