// Update: the quote refresh the user asks for, the one at start and every so many minutes, the real prices
// the bundled service fetches first, and the quote of a position that has just got its symbol.
#include <QApplication>
#include <QLabel>
#include <QStatusBar>
#include <set>

#include "marketdata/c_web_grab.h"
#include "marketdata/local_service.h"
#include "marketdata/real_prices.h"
#include "marketdata/service_hosts.h"
#include "marketdata/stock_info.h"
#include "portfolio/columns/clock.h"
#include "portfolio/database/vl_database.h"
#include "portfolio/fx/fx_rate_source.h"
#include "portfolio/records/vl_holding_item.h"
#include "portfolio/records/vl_holding_item_list.h"
#include "portfolio/records/vl_portfolio_item_list.h"
#include "portfolio/records/vl_stock_holding_item.h"
#include "portfolio/records/vl_stock_info_item_list.h"
#include "prefs/vl_prefs.h"
#include "ui/main/c_dlg_vellumar.h"
#include "ui/main/main_window_host.h"
#include "ui/main/refused_change.h"
#include "ui/widgets/string_table.h"
#include "ui/widgets/wait_cursor.h"

namespace {

// The service gives each symbol 15 s for all its sources; this is the longest a silent answer may take.
constexpr uint32_t kRealPriceTimeoutMs = 60000;

}  // namespace

// Runs the whole refresh on this thread; the lists follow from the database's update event. A refresh the
// user did not ask for (at start, on the timer) reports a failure in the status bar instead of a box.
void CDlgVellumar::OnUpdate(bool unasked) {
  if (!conn) return;
  FetchRealPricesFirst();
  statusBar()->showMessage(LoadString(StringId::Updating));
  updatedLabel->setText(QStringLiteral("Updating..."));
  statusBar()->repaint();
  updatedLabel->repaint();
  VLResult code = VLResult::Failed;
  {
    WaitCursor wait;
    // First the rates, so that the lists the refresh refills convert with them.
    (void)FetchExchangeRates();
    code = Database().UpdateQuotes(conn);
  }
  RefreshStatusBar();
  if (code == VLResult::Ok) {
    OfferSplitsOncePerDay();
    return;
  }
  updatedLabel->clear();
  if (unasked) {
    statusBar()->showMessage(QStringLiteral(" ") + LoadString(StringId::UpdateError).section(u'\n', 0, 0));
    return;
  }
  ShowRefusedChange(this, Database(), conn, StringId::UpdateError, code);
}

bool CDlgVellumar::MayUpdateUnasked() const {
  // Never behind a dialog that waits for an answer, never twice at once.
  return conn && connected && !QApplication::activeModalWidget() && !Database().IsRefreshing();
}

void CDlgVellumar::ApplyUpdateTimer() {
  const VLUpdatePrefs& updates = host.GetPrefs().GetUpdatePrefs();
  if (!IsMainWindow() || !updates.updateEvery) {
    updateTimer.stop();
    return;
  }
  updateTimer.start(updates.updateMinutes * 60 * 1000);
}

void CDlgVellumar::OnUpdateTimer() {
  if (MayUpdateUnasked()) OnUpdate(true);
}

void CDlgVellumar::FetchRealPricesFirst() {
  const RealPriceFolders folders = host.GetRealPriceFolders();
  const std::string service = GetServiceHosts().quoteCsvHost;
  if (!host.GetPrefs().GetUpdatePrefs().fetchRealPrices || !HasRealPriceSources(folders.data) ||
      !IsLoopbackHost(service)) {
    return;
  }
  VLStockInfoItemList quotes;
  VLPortfolioItemList portfolios;
  VLHoldingItemList positions;
  Database().CopyAll(quotes, portfolios, positions);
  std::set<std::string> symbols;
  for (int i = 0; i < positions.GetCount(); ++i) {
    const auto* position = static_cast<const VLHoldingItem*>(positions.GetAt(i));
    if (position->GetKind() == kHoldingStock && !position->name.empty()) symbols.insert(position->name);
  }
  CWebGrab grab;
  grab.SetReceiveTimeout(kRealPriceTimeoutMs);
  grab.SetRequestTimeout(kRealPriceTimeoutMs);
  if (!grab.Initialize(GetServiceHosts().agent, nullptr)) return;
  WaitCursor wait;
  int done = 0;
  for (const std::string& symbol : symbols) {
    statusBar()->showMessage(FormatString(
        StringId::FetchingRealPrices,
        {QString::number(++done), QString::number(symbols.size()), QString::fromStdString(symbol)}));
    statusBar()->repaint();
    // A symbol no source has keeps the prices the service had; the quote refresh goes on either way.
    (void)FetchRealPrices(grab, service, symbol);
  }
}

bool CDlgVellumar::FetchExchangeRates() {
  std::vector<FxRateRequest> needs;
  if (!conn || Database().GetRateNeeds(conn, 0, TodayDayNumber(), needs) != VLResult::Ok || needs.empty())
    return false;
  statusBar()->showMessage(LoadString(StringId::FetchingRates));
  statusBar()->repaint();
  ServiceFxRateSource source;
  std::vector<std::string> errors;  // each pair not fetched refuses its figures by name
  Database().SetFxRates(FetchRateBook(source, needs, errors));
  return true;
}

void CDlgVellumar::RefreshBlankQuotes() {
  if (!conn || !connected || !portfolioId) return;
  VLHoldingItemList held;
  if (Database().GetPositions(conn, portfolioId, true, held) != VLResult::Ok) return;
  std::set<std::string> symbols;
  for (const auto& item : held) {
    const auto* stock = dynamic_cast<const VLStockHoldingItem*>(item.get());
    // A quote the service answered has an exchange ("N/A" for a symbol it does not know).
    if (stock && stock->quote->exchange.empty()) symbols.insert(stock->name);
  }
  if (symbols.empty()) return;
  WaitCursor wait;
  (void)Database().UpdateQuotesOf(conn, {symbols.begin(), symbols.end()});
}

void CDlgVellumar::RefreshQuoteOf(const std::string& symbol) {
  if (!conn || !connected || symbol.empty()) return;
  WaitCursor wait;
  // Unavailable now: the position shows its quote after the next update, as before.
  (void)Database().UpdateQuotesOf(conn, {symbol});
}
