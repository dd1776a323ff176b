#include "ui/main/c_dlg_vellumar.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTabBar>
#include <QVBoxLayout>
#include <algorithm>

#include "portfolio/database/vl_database.h"
#include "prefs/vl_prefs.h"
#include "ui/main/command_ids.h"
#include "ui/main/command_table.h"
#include "ui/main/connection_check.h"
#include "ui/main/main_window_host.h"
#include "ui/main/position_list_model.h"
#include "ui/main/position_list_view.h"
#include "ui/main/summary_panel.h"
#include "ui/widgets/app_icon.h"
#include "ui/widgets/message_box.h"
#include "ui/widgets/string_table.h"

// The database's side of the window: queues the notification commands it posts. The window owns the only
// strong reference, so a connection outliving the window finds it gone.
class WindowCommandTarget : public IVLCommandWindow {
 public:
  explicit WindowCommandTarget(CDlgVellumar* window) : window(window) {}
  void PostCommand(uint32_t commandId) override {
    if (window) window->PostCommand(static_cast<int>(commandId));
  }

 private:
  QPointer<CDlgVellumar> window;
};

namespace {

QString Id(int id) {
  return QString::number(id);
}

constexpr int kMinimumListRows = 5;

std::vector<int> ToInts(const std::vector<int32_t>& list) {
  return {list.begin(), list.end()};
}

}  // namespace

CDlgVellumar::CDlgVellumar(IMainWindowHost& appHost, CDlgVellumar* owner)
    : QMainWindow(owner, owner ? Qt::Window : Qt::WindowFlags()),
      host(appHost),
      mainWindow(owner),
      commandTarget(std::make_shared<WindowCommandTarget>(this)),
      connectionProbe([this] { return IsInternetConnected(host.GetPrefs().GetServicePrefs().hosts); }) {
  setObjectName(QStringLiteral("102"));
  setWindowTitle(LoadString(StringId::AppTitle));
  setWindowIcon(AppIcon());
  if (!IsMainWindow()) setAttribute(Qt::WA_DeleteOnClose);

  ReadViewPrefs();
  actions = BuildCommandActions(this, [this](int id) { RunCommand(id); });
  RegisterCommands();
  CreateControls();
  CreateMenus();
  ApplyCheckMarks();
  resize(1200, 640);

  connect(&timer, &QTimer::timeout, this, &CDlgVellumar::OnTimerTick);
  timer.start(100);
  connect(&updateTimer, &QTimer::timeout, this, &CDlgVellumar::OnUpdateTimer);
  Database().AddListener(this);
  listening = true;
  PostCommand(kCmdDeferredInit);
}

CDlgVellumar::~CDlgVellumar() {
  timer.stop();
  if (listening) Database().RemoveListener(this);
  if (conn) (void)Database().Disconnect(conn);  // fails only for an unknown connection: nothing to release
}

VLDatabase& CDlgVellumar::Database() const {
  return host.GetDatabase();
}

VLGeneralPrefs& CDlgVellumar::Prefs() const {
  return host.GetPrefs().GetGeneralPrefs();
}

void CDlgVellumar::ReadViewPrefs() {
  const VLGeneralPrefs& prefs = Prefs();
  portfolioId = prefs.hidePortfolios ? 0 : static_cast<uint32_t>(prefs.defaultPortfolio);
  heldView = !prefs.showSoldView;
  showSummary = prefs.showPortfolioSummary;
  std::vector<int32_t> list;
  prefs.GetHeldColumns(list);
  heldColumns = ToInts(list);
  prefs.GetSoldColumns(list);
  soldColumns = ToInts(list);
  heldSortBy = prefs.heldSortBy;
  heldSortAscending = prefs.heldSortAscending;
  soldSortBy = prefs.soldSortBy;
  soldSortAscending = prefs.soldSortAscending;
  alternateRows = prefs.alternateRowColors;
  forSelectedOnly = false;
}

QPushButton* CDlgVellumar::AddCommandButton(int id, QWidget* parent) {
  const CommandInfo* info = FindCommand(id);
  QAction* action = actions.value(id);
  auto* button = new QPushButton(QString::fromUtf8(info && info->buttonText ? info->buttonText : ""), parent);
  button->setObjectName(Id(id));
  const QString tip = QString::fromUtf8(info && info->toolTip ? info->toolTip : "");
  button->setToolTip(tip);
  const QString label = PlainText(info ? info->buttonText : nullptr);
  button->setAccessibleName(label.size() > 1 ? label : tip);
  button->setAccessibleDescription(tip);
  button->setAutoDefault(false);
  const int textWidth =
      button->fontMetrics().horizontalAdvance(label.size() > 1 ? label : QStringLiteral("MM"));
  button->setMinimumWidth(textWidth + 18);
  button->setMaximumWidth(textWidth + 30);
  button->setEnabled(action->isEnabled());
  connect(button, &QPushButton::clicked, action, &QAction::trigger);
  connect(action, &QAction::changed, button, [button, action] { button->setEnabled(action->isEnabled()); });
  buttons.insert(id, button);
  return button;
}

void CDlgVellumar::CreateControls() {
  auto* central = new QWidget(this);
  auto* layout = new QVBoxLayout(central);
  layout->setContentsMargins(6, 4, 6, 2);
  layout->setSpacing(4);

  favoritesBar = new QFrame(central);
  favoritesBar->setObjectName(Id(1003));
  favoritesBar->setAccessibleName(QStringLiteral("Favorites"));
  favoritesBar->setFrameShape(QFrame::StyledPanel);
  favoritesBar->setFixedHeight(fontMetrics().height() + 10);
  favoritesBar->setVisible(false);
  layout->addWidget(favoritesBar);

  auto* top = new QHBoxLayout;
  top->setSpacing(3);
  selector = new QPushButton(QStringLiteral("  ") + LoadString(StringId::NoPortfolio), central);
  selector->setObjectName(Id(kCmdSelector));
  // Spoken by the portfolio it shows; what it is for is its description.
  selector->setToolTip(QStringLiteral("Select Portfolio"));
  selector->setAccessibleDescription(QStringLiteral("Select Portfolio"));
  selector->setAutoDefault(false);
  selector->setStyleSheet(QStringLiteral("text-align: left; padding: 3px 8px;"));
  selector->setMinimumWidth(fontMetrics().averageCharWidth() * 28);
  selector->setEnabled(false);
  connect(selector, &QPushButton::clicked, this, [this] { RunCommand(kCmdSelector); });
  top->addWidget(selector);
  for (int id : {kCmdPrint, kCmdPortfolioNew}) top->addWidget(AddCommandButton(id, central));
  top->addSpacing(6);
  for (int id : {kCmdPositionNew, kCmdPositionEdit, kCmdPositionDelete, kCmdSell, kCmdUnsell}) {
    top->addWidget(AddCommandButton(id, central));
  }
  top->addSpacing(6);
  for (int id : {kCmdChart, kCmdNews, kCmdInfo, kCmdPrice, kCmdPerformance, kCmdDividends, kCmdChooseColumns,
                 kCmdUpdate}) {
    top->addWidget(AddCommandButton(id, central));
  }
  top->addStretch(1);
  updatedLabel = new QLabel(central);
  updatedLabel->setObjectName(Id(1010));  // labels are read out by their text
  top->addWidget(updatedLabel);
  layout->addLayout(top);

  auto* quoteRow = new QHBoxLayout;
  quoteRow->setSpacing(3);
  symbolEdit = new QLineEdit(central);
  symbolEdit->setObjectName(Id(2088));
  symbolEdit->setAccessibleName(QStringLiteral("Symbol"));
  symbolEdit->setFixedWidth(fontMetrics().averageCharWidth() * 14);
  // Focus selects its text (eventFilter); Enter in it goes on to the window (keyPressEvent).
  symbolEdit->installEventFilter(this);
  quoteRow->addWidget(symbolEdit);
  for (int id : {kCmdQuote, kCmdSymbolFinderSmall, kCmdChartSmall, kCmdInfoSmall, kCmdPriceSmall}) {
    quoteRow->addWidget(AddCommandButton(id, central));
  }
  quoteLine = new QLabel(central);
  quoteLine->setObjectName(Id(2090));
  quoteLine->setAccessibleDescription(QStringLiteral("Quote"));
  quoteLine->setFrameShape(QFrame::StyledPanel);
  quoteLine->setFrameShadow(QFrame::Sunken);
  quoteLine->setTextInteractionFlags(Qt::TextSelectableByMouse);
  quoteLine->setMinimumWidth(50);
  quoteLine->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  quoteLine->installEventFilter(this);
  quoteRow->addWidget(quoteLine, 1);
  layout->addLayout(quoteRow);

  tabs = new QTabBar(central);
  tabs->setObjectName(Id(2148));
  tabs->setAccessibleName(QStringLiteral("View"));
  tabs->setExpanding(false);
  tabs->setDrawBase(false);
  layout->addWidget(tabs);

  listStack = new QStackedWidget(central);
  heldList = new PositionListView(new PositionListModel(this), listStack);
  heldList->setObjectName(Id(2147));
  heldList->setAccessibleName(QStringLiteral("Held positions"));
  soldList = new PositionListView(new PositionListModel(this), listStack);
  soldList->setObjectName(Id(2149));
  soldList->setAccessibleName(QStringLiteral("Sold positions"));
  for (PositionListView* list : {heldList, soldList}) {
    listStack->addWidget(list);
    connect(list->horizontalHeader(), &QHeaderView::sectionClicked, this, &CDlgVellumar::OnHeaderClicked);
    connect(list, &QWidget::customContextMenuRequested, this, &CDlgVellumar::OnListContextMenu);
    // Like Enter below: only while Edit may be used (not on a read-only database).
    connect(list, &QAbstractItemView::doubleClicked, this, [this] {
      if (actions.value(kCmdPositionEdit)->isEnabled()) PostCommand(kCmdPositionEdit);
    });
  }
  heldList->Model()->SetColumns(heldColumns);
  soldList->Model()->SetColumns(soldColumns);
  // However small the window gets, the lists keep their header and a few rows.
  listStack->setMinimumHeight(heldList->horizontalHeader()->sizeHint().height() +
                              kMinimumListRows * heldList->verticalHeader()->defaultSectionSize() +
                              2 * heldList->frameWidth());
  layout->addWidget(listStack, 1);

  summaryPanel = new SummaryPanel(central);
  summaryPanel->setObjectName(Id(1599));
  summaryPanel->setAccessibleName(QStringLiteral("Portfolio summary"));
  summaryPanel->setVisible(false);
  layout->addWidget(summaryPanel);
  layout->addSpacing(1);

  auto* bottom = new QHBoxLayout;
  summaryCheck = new QCheckBox(QStringLiteral("&Show portfolio summary"), central);
  summaryCheck->setObjectName(Id(1023));
  selectedOnlyCheck = new QCheckBox(QStringLiteral("For selected items o&nly"), central);
  selectedOnlyCheck->setObjectName(Id(2133));
  alternateCheck = new QCheckBox(QStringLiteral("&Color alternate rows"), central);
  alternateCheck->setObjectName(Id(1025));
  for (QCheckBox* box : {summaryCheck, selectedOnlyCheck, alternateCheck}) {
    box->setAccessibleName(box->text().remove(u'&'));
    bottom->addWidget(box);
  }
  // The button beside the panel's message turns for-selected-items-only off, as the message suggests.
  connect(summaryPanel, &SummaryPanel::MessageButtonClicked, this,
          [this] { selectedOnlyCheck->setChecked(false); });
  connect(summaryCheck, &QCheckBox::toggled, this, &CDlgVellumar::OnSummaryToggled);
  connect(selectedOnlyCheck, &QCheckBox::toggled, this, &CDlgVellumar::OnSummaryToggled);
  connect(alternateCheck, &QCheckBox::toggled, this, [this](bool on) {
    alternateRows = on;
    ApplyListColours();
  });
  bottom->addStretch(1);
  readOnlyLabel = new QLabel(central);
  readOnlyLabel->setObjectName(QStringLiteral("readOnly"));  // read out by its text, which says why
  readOnlyLabel->setVisible(false);
  bottom->addWidget(readOnlyLabel);
  bottom->addSpacing(12);
  itemCount = new QLabel(LoadString(StringId::NoItems), central);
  itemCount->setObjectName(Id(1050));
  bottom->addWidget(itemCount);
  bottom->addSpacing(12);
  connectionLabel = new QLabel(QStringLiteral("Not connected"), central);
  connectionLabel->setObjectName(Id(1015));
  bottom->addWidget(connectionLabel);
  layout->addLayout(bottom);
  setCentralWidget(central);

  QFont statusFont(QStringLiteral("Tahoma"));
  statusFont.setPixelSize(13);
  statusBar()->setFont(statusFont);
  statusBar()->setObjectName(QStringLiteral("StatusBar"));
  statusBar()->setAccessibleDescription(QStringLiteral("Status"));  // spoken by its message
  statusBar()->setSizeGripEnabled(true);

  connect(tabs, &QTabBar::currentChanged, this, &CDlgVellumar::OnTabChanged);
  AddWindowKeys();
  summaryCheck->setToolTip(QStringLiteral("Show summary information about this portfolio"));
  selectedOnlyCheck->setToolTip(QStringLiteral("Portfolio summary applies to selected items only"));
  alternateCheck->setToolTip(QStringLiteral("Show alternate rows in color"));
}

void CDlgVellumar::AddWindowKeys() {
  auto add = [this](const QList<QKeySequence>& keys, const std::function<void()>& run) {
    auto* action = new QAction(this);
    action->setShortcuts(keys);
    addAction(action);
    connect(action, &QAction::triggered, this, run);
  };
  auto switchTab = [this] { tabs->setCurrentIndex((tabs->currentIndex() + 1) % std::max(1, tabs->count())); };
  add({QKeySequence(Qt::CTRL | Qt::Key_Tab), QKeySequence(Qt::CTRL | Qt::Key_PageDown),
       QKeySequence(Qt::CTRL | Qt::Key_Backtab), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab),
       QKeySequence(Qt::CTRL | Qt::Key_PageUp)},
      switchTab);  // two tabs: forward and back are the same step
  add({QKeySequence(Qt::CTRL | Qt::Key_L)}, [this] {
    symbolEdit->setFocus(Qt::ShortcutFocusReason);
    symbolEdit->selectAll();
  });
}

bool CDlgVellumar::OnEnter() {
  QWidget* focus = focusWidget();
  // A focused button is pressed, as in a dialog.
  if (auto* button = qobject_cast<QPushButton*>(focus)) {
    button->animateClick();
    return true;
  }
  if (!symbolEdit->text().trimmed().isEmpty()) {
    OnQuoteLookup();
    symbolEdit->clear();
    return true;
  }
  if (focus && (focus == VisibleList() || VisibleList()->isAncestorOf(focus))) {
    if (actions.value(kCmdPositionEdit)->isEnabled()) RunCommand(kCmdPositionEdit);
    return true;
  }
  return false;
}

void CDlgVellumar::CreateMenus() {
  auto add = [this](QMenu* menu, std::initializer_list<int> ids) {
    for (int id : ids) {
      if (id == 0) {
        menu->addSeparator();
      } else {
        menu->addAction(actions.value(id));
      }
    }
  };
  QMenuBar* bar = menuBar();
  bar->setAccessibleName(QStringLiteral("Menu"));
  QMenu* file = bar->addMenu(QStringLiteral("&File"));
  add(file, {kCmdBackup, kCmdPrint, 0, IsMainWindow() ? kCmdExit : kCmdClose});
  QMenu* edit = bar->addMenu(QStringLiteral("&Edit"));
  add(edit, {kCmdUndo, kCmdRedo, 0, kCmdChangeHistory});
  connect(edit, &QMenu::aboutToShow, this, &CDlgVellumar::RefreshEditCommands);
  QMenu* portfolio = bar->addMenu(QStringLiteral("&Portfolio"));
  add(portfolio, {kCmdPortfolioNew, kCmdPortfolioEdit, kCmdPortfolioDelete, 0, kCmdDividends, 0, kCmdImport,
                  kCmdExport});
  QMenu* position = bar->addMenu(QStringLiteral("P&osition"));
  add(position, {kCmdPositionNew, kCmdPositionEdit, kCmdPositionDelete, 0, kCmdSell, kCmdUnsell, kCmdSetPrice,
                 0, kCmdRecordSplit, kCmdCorporateActions, 0});
  if (IsMainWindow()) add(position, {kCmdCopyToPortfolio});
  add(position, {kCmdMoveToPortfolio});
  QMenu* view = bar->addMenu(QStringLiteral("&View"));
  add(view, {kCmdUpdate, 0, kCmdChooseColumns, kCmdDefineDefaultColumns, 0, kCmdFavorites, kCmdOnTop, 0,
             kCmdNewWindow});
  QMenu* tools = bar->addMenu(QStringLiteral("&Tools"));
  add(tools, {kCmdChartMenu, kCmdInfoMenu, kCmdPriceMenu, kCmdSymbolFinder, kCmdPerformance, 0,
              kCmdRecentNews, kCmdBusinessHeadlines, kCmdOrganizeFavorites, 0, kCmdOptions});
  QMenu* help = bar->addMenu(QStringLiteral("&Help"));
  add(help, {kCmdAbout});
  for (QMenu* menu : {file, edit, portfolio, position, view, tools, help}) {
    menu->setObjectName(menu->title().remove(u'&'));
  }
}

void CDlgVellumar::ApplyCheckMarks() {
  const VLGeneralPrefs& prefs = Prefs();
  actions.value(kCmdFavorites)->setChecked(prefs.showFavorites);
  actions.value(kCmdOnTop)->setChecked(prefs.alwaysOnTop);
}

void CDlgVellumar::RunCommand(int id) {
  auto it = handlers.constFind(id);
  if (it == handlers.constEnd()) {
    NotImplemented();
    return;
  }
  (*it)();
}

void CDlgVellumar::PostCommand(int id) {
  QMetaObject::invokeMethod(
      this, [this, id] { RunCommand(id); }, Qt::QueuedConnection);
}

void CDlgVellumar::NotImplemented() {
  ShowMessage(this, StringId::NotImplemented, MessageIcon::Information);
  if (PositionListView* list = VisibleList()) list->setFocus();
}

bool CDlgVellumar::IsOffWorkArea(const QRect& window, const QRect& workArea) {
  return window.left() >= workArea.left() + workArea.width() ||
         window.top() >= workArea.top() + workArea.height() ||
         window.left() + window.width() <= workArea.left() ||
         window.top() + window.height() <= workArea.top();
}

QRect CDlgVellumar::FitOnWorkArea(const QRect& window, const QRect& workArea, const QSize& minimum) {
  QRect fitted(window.topLeft(), window.size().boundedTo(workArea.size()).expandedTo(minimum));
  if (IsOffWorkArea(window, workArea)) {
    fitted.moveCenter(workArea.center());
    return fitted;
  }
  if (fitted.size() == window.size()) return fitted;  // partly off the area, as the user left it
  // Shrunk to the area (a smaller screen or another scale factor since): as much of it on the area as fits.
  fitted.moveLeft(std::max(workArea.left(), std::min(fitted.left(), workArea.right() + 1 - fitted.width())));
  fitted.moveTop(std::max(workArea.top(), std::min(fitted.top(), workArea.bottom() + 1 - fitted.height())));
  return fitted;
}

void CDlgVellumar::PlaceWindow() {
  const VLGeneralPrefs& prefs = Prefs();
  if (prefs.showFavorites) {  // the controls below move down; the window grows by the bar
    favoritesBar->setVisible(true);
    resize(width(), height() + favoritesBar->height() + 1);
  }
  QRect saved(QPoint(prefs.xPos, prefs.yPos), size());
  if (prefs.width > 0 && prefs.height > 0) saved.setSize(QSize(prefs.width, prefs.height));
  // The screen the window was on, when it is still there.
  const QScreen* screen = QGuiApplication::screenAt(saved.center());
  if (!screen) screen = QGuiApplication::primaryScreen();
  const QRect workArea = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
  // The hints must include every change made since the window was built (labels, buttons shown or hidden).
  for (QLayout* arranged : {centralWidget()->layout(), layout()}) {
    arranged->invalidate();
    arranged->activate();
  }
  const QRect fitted = FitOnWorkArea(saved, workArea, minimumSizeHint());
  resize(fitted.size());
  move(fitted.topLeft());
}

void CDlgVellumar::DeferredInit() {
  {
    const QSignalBlocker quiet(tabs);  // the first tab added would switch the view to held
    tabs->addTab(QStringLiteral(" Held "));
    tabs->addTab(QStringLiteral(" Sold "));
    tabs->setCurrentIndex(heldView ? 0 : 1);
  }
  listStack->setCurrentWidget(VisibleList());
  symbolEdit->setMaxLength(16);

  conn = Database().Connect(commandTarget, kCmdPortfoliosChanged, kCmdPositionsChanged, kCmdQuotesRefreshed);
  if (!conn) {
    // A file another program keeps locked, one too large for the memory, one a newer version wrote, or one
    // the system will not open (no permission) is no damaged file: say so, rather than that it may be
    // corrupt.
    const FileError& error = Database().GetLastFileError();
    const DbResult code = Database().GetLastOpenCode();
    if (code == DbResult::Busy) {
      ShowMessage(this, StringId::DatabaseBusy, MessageIcon::Error);
    } else if (code == DbResult::TooLarge) {
      ShowMessage(this, StringId::DatabaseTooLarge, MessageIcon::Error);
    } else if (code == DbResult::VersionTooNew) {
      ShowMessage(this, StringId::DatabaseNewerVersion, MessageIcon::Error, MessageButtons::Ok,
                  {QString::fromStdString(Database().GetPath())});
    } else if (error.errorNumber != 0) {
      ShowMessage(this, StringId::DatabaseOpenFailed, MessageIcon::Error, MessageButtons::Ok,
                  {QString::fromStdString(error.path), QString::fromStdString(error.Cause())});
    } else {
      ShowMessage(this, StringId::DatabaseOpenError, MessageIcon::Error);
    }
    PostCommand(kCmdExit);
    return;
  }
  // A failed save keeps the change marked, so the next save writes it.
  (void)Database().SetMarket(conn, Prefs().market);

  // The label's text and the buttons shown are part of the window's minimum width, which the placement needs.
  RefreshUpdatedLabel();
  RefreshCommandStates();
  const bool wasVisible = isVisible();
  hide();
  summaryCheck->setChecked(showSummary);
  selectedOnlyCheck->setChecked(forSelectedOnly);
  alternateCheck->setChecked(alternateRows);
  OnSummaryToggled();
  ApplyListColours();
  if (IsMainWindow()) PlaceWindow();
  if (wasVisible || IsMainWindow()) show();
  if (IsMainWindow()) {
    setWindowFlag(Qt::WindowStaysOnTopHint, Prefs().alwaysOnTop);
    show();
  }

  const uint32_t wanted = portfolioId;
  portfolioId = 0;
  SelectPortfolio(wanted);
  if (portfolioId == 0) RefillLists();
  RefreshCommandStates();
  // The welcome question follows the About box (32845 posts it when it is done), so the two never share
  // the screen: the box's own event loop would otherwise run a command posted beside it.
  if (IsMainWindow()) PostCommand(kCmdShowDisclaimer);
  // The update at start waits for the connection and for those questions to be answered.
  updateAtStartPending = IsMainWindow() && host.GetPrefs().GetUpdatePrefs().updateAtStart;
  ApplyUpdateTimer();
}

void CDlgVellumar::closeEvent(QCloseEvent* event) {
  if (IsMainWindow()) {
    if (!closing && !RunExitSequence()) {
      event->ignore();
      return;
    }
    closing = true;
    event->accept();
    return;
  }
  CloseSecondary();
  event->accept();
}
