// Market-data commands of the main window that this version answers itself: the quote look-up and the
// news windows.
#include <QLabel>
#include <QStatusBar>

#include <QLineEdit>

#include "marketdata/stock_info.h"
#include "marketdata/stock_info_provider.h"
#include "portfolio/database/vl_database.h"
#include "ui/main/c_dlg_vellumar.h"
#include "ui/main/command_ids.h"
#include "ui/main/quote_line.h"
#include "ui/widgets/message_box.h"
#include "ui/widgets/string_table.h"
#include "ui/widgets/wait_cursor.h"

void CDlgVellumar::RegisterMarketCommands() {
  handlers.insert(kCmdQuote, [this] { OnQuoteLookup(); });
  for (int id : {kCmdNews, kCmdRecentNews}) handlers.insert(id, [this] { OnNewsSelected(); });
  // The headlines of the market as a whole: those of its three main indexes.
  handlers.insert(kCmdBusinessHeadlines, [this] {
    OpenNews({QStringLiteral("^DJI"), QStringLiteral("^IXIC"), QStringLiteral("^GSPC")});
  });
  handlers.insert(kCmdOrganizeFavorites, [this] { NotImplemented(); });
  handlers.insert(kCmdUpdate, [this] { OnUpdate(false); });
}

// The quote look-up of the symbol edit; Enter in the edit runs it too, then empties the edit.
void CDlgVellumar::OnQuoteLookup() {
  const QString symbol = symbolEdit->text().trimmed();
  symbolEdit->selectAll();
  if (symbol.isEmpty()) return;
  StockInfo quote;
  quote.symbol = symbol.toStdString();
  bool fetched = false;
  {
    WaitCursor wait;
    StockInfoProvider provider;
    provider.Fetch({&quote});
    fetched = !provider.HasError();
  }
  quoteLine->setText(QuoteLineText(symbol, quote, fetched));
}
