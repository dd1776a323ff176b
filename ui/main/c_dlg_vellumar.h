#pragma once
#include <QHash>
#include <QMainWindow>
#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/string_id.h"
#include "portfolio/database/vl_database_event.h"

class CDlgChangeHistory;
class CDlgCorporateActions;
class IMainWindowHost;
class PositionListView;
class QAction;
class QCheckBox;
class QDate;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QStackedWidget;
class QTabBar;
class SummaryPanel;
class VLDatabase;
class VLDatabaseConn;
class VLGeneralPrefs;
class VLHoldingItem;
class WindowCommandTarget;
struct VLJournalStep;

// The main window: one portfolio at a time as the held and sold lists on two tabs, the portfolio selector,
// the command buttons, the quote line, the summary panel, the item count and the connection state. The
// application's main window reads and saves the placement and view settings; secondary windows opened by
// "New Window" show other portfolios beside it. Every window listens to the database and redraws itself
// from its events.
class CDlgVellumar : public QMainWindow, public IVLDatabaseListener {
  Q_OBJECT

 public:
  // `mainWindow` is null for the application's main window and the owner for a secondary window.
  explicit CDlgVellumar(IMainWindowHost& host, CDlgVellumar* mainWindow = nullptr);
  ~CDlgVellumar() override;

  bool IsMainWindow() const { return mainWindow == nullptr; }
  // Runs a command by id; one without a handler answers that it is not implemented yet.
  void RunCommand(int id);
  // Queues the command; it runs later unless the window is gone by then.
  void PostCommand(int id);
  QAction* Action(int id) const { return actions.value(id); }

  void OnDatabaseEvent(const VLDatabaseEvent& event) override;
  void SelectPortfolio(uint32_t id);
  void RefillLists();

  // Puts the shown portfolio, view and window state into the settings (written at exit).
  void SaveViewPrefs();

  uint32_t CurrentPortfolio() const { return portfolioId; }
  bool IsHeldView() const { return heldView; }
  bool IsConnected() const { return connected; }
  PositionListView* HeldList() const { return heldList; }
  PositionListView* SoldList() const { return soldList; }
  SummaryPanel* Summary() const { return summaryPanel; }
  PositionListView* VisibleList() const;
  const std::vector<QPointer<CDlgVellumar>>& ChildWindows() const { return childWindows; }
  // The list pop-up menu for the visible list as it would open now (the caller owns it).
  std::unique_ptr<QMenu> BuildListMenu();
  // The selector's pop-up menu; each entry's data is the portfolio id it selects (the caller owns it).
  std::unique_ptr<QMenu> BuildSelectorMenu();
  // How the window finds out whether market data can be reached; tests replace it. The next check comes
  // ten ticks later.
  void SetConnectionProbe(std::function<bool()> probe);
  // The timer's work, callable directly.
  void OnTimerTick();
  // Restarts (or stops) the timer of the periodic update from the settings; the main window's only.
  void ApplyUpdateTimer();
  const QTimer& UpdateTimer() const { return updateTimer; }

  // True when a window placed at `window` lies entirely off `workArea` and must be centred instead.
  static bool IsOffWorkArea(const QRect& window, const QRect& workArea);
  // Where a window saved at `window` opens: centred when it lies entirely off `workArea`; no larger than the
  // area (nor smaller than `minimum`), and then on it, when it was saved larger (another screen or scale
  // factor); else as saved.
  static QRect FitOnWorkArea(const QRect& window, const QRect& workArea, const QSize& minimum);

 signals:
  // A header click on a column that cannot be sorted (after the beep).
  void UnsortableColumnClicked();
  // The summary panel was brought up to date.
  void SummaryUpdated();

 protected:
  bool event(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // Construction (c_dlg_vellumar.cpp).
  void ReadViewPrefs();
  void CreateControls();
  void CreateMenus();
  QPushButton* AddCommandButton(int id, QWidget* parent);
  void DeferredInit();
  void PlaceWindow();
  // Keys of the window that no menu shows: the tab switch and the way to the symbol edit.
  void AddWindowKeys();
  // Enter: a focused button is pressed; otherwise the quote look-up when the symbol edit holds text, else
  // the edit command when a list has the focus. False when Enter means nothing here.
  bool OnEnter();
  void ApplyCheckMarks();

  // Lists and events (c_dlg_vellumar_lists.cpp).
  void FillList(PositionListView* list, bool held, class VLHoldingItemList& positions);
  void OnHeaderClicked(int section);
  void OnTabChanged(int index);
  void OnListContextMenu(const QPoint& pos);
  void ApplyListColours();
  void RebuildColumns();
  void UpdateSummary();
  void OnSummaryToggled();
  void ShowSelectorMenu();

  // Timer, states and exit (c_dlg_vellumar_state.cpp).
  void CheckConnection();
  void RefreshCommandStates();
  void RefreshUpdatedLabel();
  void RefreshStatusBar();
  [[nodiscard]] bool RunExitSequence();
  void CloseSecondary();

  // Command handlers by theme (main_commands_*.cpp).
  void RegisterCommands();
  void RegisterPortfolioCommands();
  void RegisterViewCommands();
  void RegisterMarketCommands();
  void RegisterToolCommands();
  void OnNewWindow();
  void OnOnTop();
  void OnShowDisclaimer();
  void OnWelcome();
  void OnQuoteLookup();

  // Tool commands that open the market-data windows, the browser or the printer
  // (main_commands_tool_windows.cpp).
  void RegisterToolWindowCommands();
  void OnPrint();
  QString WriteReportFile();  // the report file's path; empty after a failure was shown
  bool ReadSelectedPositions(std::vector<std::unique_ptr<VLHoldingItem>>& positions, bool upToFirstStock);
  void OnChartSelected();
  void OnInfoSelected();
  void OnInfoForEdit();
  void OnPriceSelected();
  void OpenChart(const QStringList& symbols);
  void OnNewsSelected();
  // A news window, owned by the main window and closed with the application, on `symbols`.
  void OpenNews(const QStringList& symbols);
  void OpenPerformance();
  void OpenDividends();
  void OpenPriceFinder(const QString& symbol, const QDate& date);
  void OpenSymbolFinder(const QString& text);
  static QString SecurityInfoUrl(const QString& symbol);
  // Opens the security information page; false after telling the user that no browser could show it.
  bool OpenSecurityInfo(const QString& symbol);
  void NotImplemented();

  // Update and what starts it without the user (main_commands_update.cpp).
  void OnUpdate(bool unasked);
  [[nodiscard]] bool MayUpdateUnasked() const;
  void OnUpdateTimer();
  void FetchRealPricesFirst();
  // The exchange rates the portfolios with a base currency need, from the market-data service, handed to
  // the database for the session; true when some were needed (the lists then show them once refilled).
  bool FetchExchangeRates();
  void RefreshQuoteOf(const std::string& symbol);
  // Fetches the quotes of the shown portfolio's held positions that have none yet (symbols an import
  // brought, or an undo brought back after their quote was dropped).
  void RefreshBlankQuotes();
  void OnOptions();
  void OnChooseColumns();
  void OnPortfolioNew();
  void OnPortfolioEdit();
  void OnPortfolioDelete();

  // The Edit menu: undo, redo and the change history (main_commands_edit.cpp).
  void RegisterEditCommands();
  // The Undo and Redo entries named after the changes they would undo and redo, enabled when there is one
  // and the database may be changed.
  void RefreshEditCommands();
  void OnJournalStep(bool undo);
  // After an undo or redo: the portfolio and the positions that came back, shown and selected.
  void ShowStepRecords(const VLJournalStep& step);
  void OpenChangeHistory();

  // Position commands (main_commands_position.cpp).
  void RegisterPositionCommands();
  // The selected ids of the visible list; none (after `noneMessage`, or 2071 when `single` and several
  // rows are selected) when the command cannot go on.
  std::vector<uint32_t> SelectedForCommand(StringId noneMessage, bool single);
  // The position as the database has it now; null after message 2072 when it is gone.
  std::unique_ptr<class VLHoldingItem> ReadPosition(uint32_t id);
  void OnPositionNew();
  void OnPositionEdit();
  void OnPositionDelete();
  void OnPositionSell();
  void OnPositionUnsell();
  void OnSetPrice();
  // The symbol of the one stock position selected, else empty.
  QString SelectedSymbol();
  void OnRecordSplit();
  void OpenCorporateActions();
  // After a successful Update, once a day: the splits the host's source knows of held symbols that are not
  // recorded, offered in the Corporate Actions window when the user says so.
  void OfferSplitsOncePerDay();
  void OnPositionCopyOrMove(bool move);

  VLDatabase& Database() const;
  VLGeneralPrefs& Prefs() const;

  IMainWindowHost& host;
  CDlgVellumar* mainWindow;
  std::shared_ptr<WindowCommandTarget> commandTarget;
  VLDatabaseConn* conn = nullptr;
  bool listening = false;
  bool closing = false;

  uint32_t portfolioId = 0;
  std::string portfolioName;
  bool heldView = true;
  std::vector<int> heldColumns;
  std::vector<int> soldColumns;
  int heldSortBy = 0;
  bool heldSortAscending = true;
  int soldSortBy = 0;
  bool soldSortAscending = true;
  bool showSummary = false;
  bool forSelectedOnly = false;
  bool alternateRows = false;
  bool connected = false;
  bool firstUpdate = true;
  std::vector<uint32_t> heldSnapshot;
  std::vector<uint32_t> soldSnapshot;
  QString lastSymbol;  // the symbol of the last security information page opened from the symbol edit
  QString connectionText;
  QString marketStatusText;
  int tickCount = 0;
  QTimer timer;
  QTimer updateTimer;
  bool updateAtStartPending = false;
  std::function<bool()> connectionProbe;
  std::vector<QPointer<CDlgVellumar>> childWindows;

  QHash<int, QAction*> actions;
  QHash<int, std::function<void()>> handlers;

  QFrame* favoritesBar = nullptr;
  QPushButton* selector = nullptr;
  QHash<int, QPushButton*> buttons;
  QLabel* updatedLabel = nullptr;
  QLineEdit* symbolEdit = nullptr;
  QLabel* quoteLine = nullptr;
  QTabBar* tabs = nullptr;
  QStackedWidget* listStack = nullptr;
  PositionListView* heldList = nullptr;
  PositionListView* soldList = nullptr;
  SummaryPanel* summaryPanel = nullptr;
  QCheckBox* summaryCheck = nullptr;
  QCheckBox* selectedOnlyCheck = nullptr;
  QCheckBox* alternateCheck = nullptr;
  QLabel* itemCount = nullptr;
  QLabel* connectionLabel = nullptr;
  QLabel* readOnlyLabel = nullptr;  // shown while the database may only be read
  QPointer<CDlgChangeHistory> changeHistory;
  QPointer<CDlgCorporateActions> corporateActions;
  int64_t splitsOfferedDay = 0;  // the day OfferSplitsOncePerDay last asked
  // Keeps the Edit menu up to date after every change, this window's or another program's.
  std::unique_ptr<IVLDatabaseListener> editCommandsListener;
};
