// vellumar-cli positions: every position with the id that sell, modify-stock, copy, move and delete-position
// take, so that a script or a person finds it without the window.
#include <algorithm>

#include "cli/cli_output.h"
#include "cli/command_table.h"
#include "cli/db_session.h"
#include "cli/value_parsers.h"
#include "portfolio/columns/cell_format.h"
#include "portfolio/records/vl_amount_holding_item.h"
#include "portfolio/records/vl_holding_item_list.h"
#include "portfolio/records/vl_portfolio_item.h"
#include "portfolio/records/vl_portfolio_item_list.h"
#include "portfolio/records/vl_stock_holding_item.h"

namespace {

// The JSON keys, and the table's headers in the same order.
const std::vector<std::string> kKeys = {"id",  "portfolio", "kind",   "symbol", "state",
                                        "qty", "amount",    "bought", "sold",   "comment"};
const std::vector<std::string> kHeaders = {"Id",  "Portfolio", "Kind",   "Symbol", "State",
                                           "Qty", "Amount",    "Bought", "Sold",   "Comment"};

const char* KindName(int32_t kind) {
  switch (kind) {
    case kHoldingStock:
      return "stock";
    case kHoldingCash:
      return "cash";
    default:
      return "margin";
  }
}

OutputRecord PositionRow(const VLHoldingItem& h, const std::string& portfolio) {
  OutputRecord r;
  r.AddNumber("id", h.id)
      .Add("portfolio", portfolio)
      .Add("kind", KindName(h.GetKind()))
      .Add("symbol", h.name);
  if (h.GetKind() != kHoldingStock) {
    // Cash and margin: the description is the name; the amount owed of a margin debt counts against the
    // value.
    const auto& a = static_cast<const VLAmountHoldingItem&>(h);
    const std::string amount = (h.GetKind() == kHoldingMargin ? "-" : "") + CentsText(a.GetAmount());
    return r.Add("state", "held")
        .Add("qty", "")
        .AddText("amount", amount)
        .Add("bought", "")
        .Add("sold", "")
        .Add("comment", "");
  }
  const auto& s = static_cast<const VLStockHoldingItem&>(h);
  r.Add("state", s.IsSold() ? "sold" : "held").AddText("qty", DecimalText(s.qty));
  r.AddText("amount",
            CentsDifferenceText(ProductCents(s.qty, s.buyPricePerShare) + s.buyCommission + s.paidRemainder));
  r.Add("bought", s.purchaseDate ? FormatDay(s.purchaseDate) : "");
  r.Add("sold", s.saleDate ? FormatDay(s.saleDate) : "").Add("comment", s.comment);
  if (!s.currency.empty()) r.Add("currency", s.currency);
  return r;
}

bool HasOwnCurrency(const VLHoldingItem& h) {
  return h.GetKind() == kHoldingStock && !static_cast<const VLStockHoldingItem&>(h).currency.empty();
}

int RunPositions(const CliArgs& args, CliIo& io) {
  if (args.positional.size() > 1) return Usage(io, "positions", "give at most one PORTFOLIO (id or name)");
  if (args.Has("held") && args.Has("sold")) return Usage(io, "positions", "give --held or --sold, not both");
  DbSession s;
  if (!s.Open(args, io)) return kExitFailed;
  uint32_t only = 0;
  if (!args.positional.empty() && !(only = s.FindPortfolio(args.positional[0], io))) return kExitFailed;
  VLPortfolioItemList portfolios;
  if (VLResult code = s.Db().GetPortfolios(s.Conn(), portfolios); code != VLResult::Ok) {
    return Failed(io, "" + DatabaseCodeText(code));
  }
  std::vector<std::pair<uint32_t, OutputRecord>> rows;
  bool currencies = false;
  for (const auto& item : portfolios) {
    const auto& p = static_cast<const VLPortfolioItem&>(*item);
    if (only && p.id != only) continue;
    for (bool held : {true, false}) {
      if ((held && args.Has("sold")) || (!held && args.Has("held"))) continue;
      VLHoldingItemList positions;
      if (VLResult code = s.Db().GetPositions(s.Conn(), p.id, held, positions); code != VLResult::Ok) {
        return Failed(io, "" + DatabaseCodeText(code));
      }
      for (const auto& position : positions) {
        const auto& h = static_cast<const VLHoldingItem&>(*position);
        rows.emplace_back(h.id, PositionRow(h, p.name));
        currencies = currencies || HasOwnCurrency(h);
      }
    }
  }
  std::sort(rows.begin(), rows.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  std::vector<OutputRecord> records;
  records.reserve(rows.size());
  for (auto& row : rows) records.push_back(std::move(row.second));
  // A last column for the positions' own currencies, only when one of them has one.
  std::vector<std::string> keys = kKeys, headers = kHeaders;
  if (currencies) {
    keys.push_back("currency");
    headers.push_back("Currency");
  }
  PrintList(args, io, keys, records, headers);
  return kExitOk;
}

}  // namespace

std::vector<CliCommand> ListCommands() {
  return {
      {"positions", "[PORTFOLIO] [--held|--sold]", {"db"}, {"held", "sold"}, RunPositions},
  };
}
