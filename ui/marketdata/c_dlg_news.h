#pragma once
#include <QStringList>
#include <memory>

#include "marketdata/command_target.h"
#include "marketdata/news_item_provider.h"
#include "ui/marketdata/busy_dialog.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;
class QTreeWidget;
class VLGeneralPrefs;

// Recent headlines of a set of symbols, newest first; a chosen headline opens in the user's browser. Each
// update creates its own provider; while it runs the window repaints, the buttons that would start another
// are away, and closing the window stops the update after its current page and closes it then.
class CDlgNews : public BusyDialog, public ICommandTarget {
  Q_OBJECT

 public:
  static constexpr uint32_t kProgressCommand = 32873;

  // The news limits are read from and saved to `prefs`.
  explicit CDlgNews(VLGeneralPrefs& prefs, QWidget* parent = nullptr);
  ~CDlgNews() override;

  const QStringList& Symbols() const { return symbols; }
  // The symbols the window starts with; their headlines are fetched once it shows.
  void SetSymbols(const QStringList& initial);
  bool IsUpdating() const { return provider != nullptr; }
  void OnCommand(uint32_t commandId) override;

 public slots:
  void OnUpdate();
  void OnAddSymbol();
  void OnRemove();
  void OnView();
  void OnOptions();

 signals:
  void Updated();

 protected:
  bool Busy() const override { return provider != nullptr; }
  void showEvent(QShowEvent* event) override;
  void OnCloseDeferred() override;

 private:
  void CreateControls();
  void SetUpdating(bool on);
  void FillHeadlines();

  VLGeneralPrefs& prefs;
  QStringList symbols;
  NewsItemProvider::Results results;
  std::unique_ptr<NewsItemProvider> provider;
  bool shownOnce = false;

  QLineEdit* symbolEdit = nullptr;
  QPushButton* addButton = nullptr;
  QPushButton* finderButton = nullptr;
  QListWidget* symbolList = nullptr;
  QPushButton* removeButton = nullptr;
  QTreeWidget* headlineList = nullptr;
  QPushButton* viewButton = nullptr;
  QPushButton* updateButton = nullptr;
  QPushButton* optionsButton = nullptr;
  QPushButton* closeButton = nullptr;
  QLabel* updatedLabel = nullptr;
  QLabel* countLabel = nullptr;
  QLabel* progressLabel = nullptr;
  QProgressBar* progressBar = nullptr;
  QLabel* percentLabel = nullptr;
};
