#pragma once
#include <QDialog>
#include <functional>

class QAbstractItemView;

// A market-data window that runs one fetch at a time on the UI thread, pumping events meanwhile. While it is
// busy, the title-bar close and Escape cannot pull the window away from under the fetch: a finder only
// beeps (the user waits or cancels), a modeless window closes once the fetch has ended.
class BusyDialog : public QDialog {
  Q_OBJECT

 public:
  enum class CloseWhileBusy { Beep, WhenDone };

  void reject() override;

 protected:
  BusyDialog(QWidget* parent, Qt::WindowFlags flags, CloseWhileBusy policy);

  virtual bool Busy() const = 0;
  // A close was put off until the fetch ends; a window that can stop its fetch early does so here.
  virtual void OnCloseDeferred() {}
  bool CloseRequested() const { return closeWhenDone; }
  // To be called when a fetch has ended: carries out a close that was put off.
  void EndBusy();

  // Enter or Return on `list` selects its focused row and calls `select`, instead of pressing the default
  // button (which would search again).
  void SelectOnEnter(QAbstractItemView* list, std::function<void()> select);
  // Runs `call` from the event loop, as a posted command; skipped when the window is gone by then.
  void Post(std::function<void()> call);

  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // True when the close must not happen now.
  bool HoldClose();

  CloseWhileBusy policy;
  bool closeWhenDone = false;
  QAbstractItemView* enterList = nullptr;
  std::function<void()> onEnter;
};
