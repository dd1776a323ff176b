// Renders the Edit menu and the Change History window into PNGs, to look at: menu-edit.png and
// change-history.png; then, with a year and a half of dividends recorded, the Dividends window of the first
// portfolio: dividends.png; then the same portfolio with the base currency EUR: base-currency.png. Works on a
// copy of the database folder it is given (Vellumar.db, Vellumar.ini and the journal), where it makes a few
// changes and undoes two of them. Arguments: that folder, the folder to write to.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QTemporaryDir>

#include <cstdio>

#include "portfolio/columns/clock.h"
#include "portfolio/columns/number_format.h"
#include "portfolio/fx/fx_rate_source.h"
#include "portfolio/records/calendar_date.h"
#include "portfolio/records/vl_income_item.h"
#include "portfolio/records/vl_portfolio_item.h"
#include "snapshot_support.h"
#include "tests/support/null_window.h"
#include "ui/main/c_dlg_change_history.h"
#include "ui/main/c_dlg_dividends.h"
#include "ui/main/c_dlg_vellumar.h"
#include "ui/main/command_ids.h"

namespace {

bool CopyFolder(const QDir& from, const QDir& to) {
  for (const char* name : {"Vellumar.db", "Vellumar.ini", "Vellumar.journal"}) {
    const QString file = QString::fromUtf8(name);
    if (from.exists(file) && !QFile::copy(from.filePath(file), to.filePath(file))) return false;
  }
  return true;
}

// Changes as a user makes them in the window: a sale, a deletion, a new comment.
bool MakeChanges(VLDatabase& database) {
  auto window = std::make_shared<NullWindow>();
  VLDatabaseConn* conn = database.Connect(window, 1, 2, 3);
  if (!conn) return false;
  uint32_t rest = 0;
  bool ok = database.SellPosition(conn, 2, Quantity::FromWhole(20), PriceOfCents(19850), 995, 0, rest) ==
            VLResult::Ok;
  ok = database.DeletePosition(conn, 5) == VLResult::Ok && ok;
  VLPortfolioItem retirement;
  ok = database.GetPortfolio(conn, 1, retirement) == VLResult::Ok && ok;
  retirement.comment = "long term, rebalanced yearly";
  ok = database.ModifyPortfolio(conn, retirement) == VLResult::Ok && ok;
  return database.Disconnect(conn) == VLResult::Ok && ok;
}

// Dividends of the sample's first portfolio, as a fetch or a statement records them.
bool RecordDividends(VLDatabase& database) {
  auto window = std::make_shared<NullWindow>();
  VLDatabaseConn* conn = database.Connect(window, 1, 2, 3);
  if (!conn) return false;
  struct Paid {
    const char* symbol;
    CalendarDate exDate, payDate;
    int shares;
    int64_t perShareMicros;
    int64_t withholdingPercent;
  };
  const Paid paid[] = {
      {"KO", {2025, 3, 14}, {2025, 4, 1}, 120, 510000, 0},
      {"JNJ", {2025, 5, 27}, {2025, 6, 10}, 40, 1240000, 15},
      {"KO", {2025, 6, 13}, {2025, 7, 1}, 120, 510000, 0},
      {"MSFT", {2025, 8, 21}, {2025, 9, 11}, 100, 830000, 0},
      {"KO", {2025, 9, 15}, {2025, 10, 1}, 120, 510000, 0},
      {"JNJ", {2025, 11, 25}, {2025, 12, 9}, 40, 1300000, 15},
      {"KO", {2025, 11, 28}, {2025, 12, 15}, 120, 510000, 0},
      {"MSFT", {2026, 2, 19}, {2026, 3, 12}, 100, 910000, 0},
      {"KO", {2026, 3, 13}, {2026, 4, 1}, 120, 530000, 0},
      {"KO", {2026, 6, 15}, {2026, 7, 1}, 120, 530000, 0},
  };
  std::vector<VLIncomeItem> records;
  for (const Paid& p : paid) {
    VLIncomeItem& income = records.emplace_back();
    income.portfolioId = 1;
    income.name = p.symbol;
    income.exDate = StoredDateOf(p.exDate);
    income.payDate = StoredDateOf(p.payDate);
    income.shares = Quantity::FromWhole(p.shares);
    income.gross = p.perShareMicros * p.shares / 10000;
    income.withholding = income.gross * p.withholdingPercent / 100;
  }
  std::vector<uint32_t> ids;
  const bool ok = database.AddIncomes(conn, records, ids) == VLResult::Ok;
  return database.Disconnect(conn) == VLResult::Ok && ok;
}

// Gives the first portfolio the base currency EUR and the database the rates it needs, as an Update does.
bool ConvertToEuros(VLDatabase& database) {
  auto window = std::make_shared<NullWindow>();
  VLDatabaseConn* conn = database.Connect(window, 1, 2, 3);
  if (!conn) return false;
  VLPortfolioItem portfolio;
  bool ok = database.GetPortfolio(conn, 1, portfolio) == VLResult::Ok;
  portfolio.baseCurrency = "EUR";
  ok = ok && database.ModifyPortfolio(conn, portfolio) == VLResult::Ok;
  std::vector<FxRateRequest> needs;
  ok = ok && database.GetRateNeeds(conn, 0, TodayDayNumber(), needs) == VLResult::Ok;
  ServiceFxRateSource source;
  std::vector<std::string> errors;
  database.SetFxRates(FetchRateBook(source, needs, errors));
  return database.Disconnect(conn) == VLResult::Ok && ok && errors.empty();
}

}  // namespace

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  if (argc < 3) {
    std::fprintf(stderr, "usage: vl_change_history_snapshot DATA_FOLDER OUT_FOLDER\n");
    return 2;
  }
  ScopedNumberFormat english(NumberFormat::English());
  QTemporaryDir copy;
  if (!copy.isValid() || !CopyFolder(QDir(QString::fromLocal8Bit(argv[1])), QDir(copy.path()))) {
    std::fprintf(stderr, "cannot copy the database folder\n");
    return 1;
  }
  FolderHost host{QDir(copy.path())};
  const QDir out(QString::fromLocal8Bit(argv[2]));
  CDlgVellumar window(host);
  window.show();
  Wait(1500);
  if (!MakeChanges(host.GetDatabase())) {
    std::fprintf(stderr, "cannot change the copied database\n");
    return 1;
  }
  window.RunCommand(kCmdUndo);  // the new comment
  window.RunCommand(kCmdUndo);  // the deletion
  Wait(300);

  auto* edit = window.findChild<QMenu*>(QStringLiteral("Edit"));
  const QRect item = window.menuBar()->actionGeometry(edit->menuAction());
  edit->popup(window.menuBar()->mapToGlobal(item.bottomLeft()));
  Wait(300);
  const QRect area = window.frameGeometry().united(edit->geometry());
  bool ok = SavePicture(window.screen()->grabWindow(0, area.x(), area.y(), area.width(), area.height()), out,
                        QStringLiteral("menu-edit.png"));
  edit->hide();

  window.RunCommand(kCmdChangeHistory);
  auto* history = window.findChild<CDlgChangeHistory*>(QStringLiteral("ChangeHistory"));
  Wait(1000);
  ok = history && SavePicture(history->grab(), out, QStringLiteral("change-history.png")) && ok;
  if (history) history->close();

  if (!RecordDividends(host.GetDatabase())) {
    std::fprintf(stderr, "cannot record the dividends\n");
    return 1;
  }
  window.RunCommand(kCmdDividends);
  auto* dividends = window.findChild<CDlgDividends*>(QStringLiteral("Dividends"));
  Wait(1000);
  ok = dividends && SavePicture(dividends->grab(), out, QStringLiteral("dividends.png")) && ok;
  if (dividends) dividends->close();

  // The first portfolio in euros: the base columns and the totals converted at the service's rates.
  if (!ConvertToEuros(host.GetDatabase())) {
    std::fprintf(stderr, "cannot give the portfolio a base currency\n");
    return 1;
  }
  host.GetPrefs().GetGeneralPrefs().heldColumns = {0, 8, 9, 14, 80, 81, 82, 83, 84};
  CDlgVellumar converted(host);
  converted.resize(1240, 560);
  converted.show();
  Wait(1500);
  ok = SavePicture(converted.grab(), out, QStringLiteral("base-currency.png")) && ok;
  return ok ? 0 : 1;
}
