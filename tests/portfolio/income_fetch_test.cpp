// Dividends the service knows proposed as income: the shares each payment's positions were entitled to
// (bought before the ex-date, not sold before it, in the shares of that day), payments recorded already
// said so, and the kept ones added as one change.
#include <gtest/gtest.h>

#include <map>

#include "portfolio/income/income_fetch.h"
#include "portfolio/records/calendar_date.h"
#include "tests/support/exact_values.h"
#include "vl_database_fixture.h"

namespace {

int64_t Date(int year, int month, int day) {
  return StoredDateOf({year, month, day});
}
int64_t DayNo(int year, int month, int day) {
  return DayNumberOf({year, month, day});
}

// Dividends by symbol; symbols named in `failing` are not answered.
class TableDividends : public IDividendSource {
 public:
  std::map<std::string, std::vector<KnownDividend>> table;
  std::string failing;
  std::vector<std::pair<std::string, int64_t>> asked;  // symbol, first day

  bool GetDividends(const std::string& symbol, int64_t firstDay, int64_t lastDay,
                    std::vector<KnownDividend>& dividends, std::string& error, FetchFailure&) override {
    asked.emplace_back(symbol, firstDay);
    if (symbol == failing) {
      error = "no answer";
      return false;
    }
    dividends.clear();
    for (const KnownDividend& d : table[symbol]) {
      if (d.exDay >= firstDay && d.exDay <= lastDay) dividends.push_back(d);
    }
    return true;
  }
};

class IncomeFetchTest : public DatabaseTest {
 protected:
  ScopedClock later{std::make_shared<FixedClock>(1767225600)};  // 2026-01-01

  uint32_t Buy(uint32_t portfolio, const char* symbol, const char* qty, int64_t date) {
    VLStockHoldingItem fields;
    fields.name = symbol;
    fields.qty = SharesOf(qty);
    fields.buyPricePerShare = Cents(6000);
    fields.purchaseDate = date;
    uint32_t id = 0;
    EXPECT_EQ(db->AddStockPosition(conn, portfolio, fields, id), VLResult::Ok);
    return id;
  }
  IncomeFetch Propose(uint32_t portfolio, int64_t fromDay = 0) {
    VLStockInfoItemList quotes;
    VLPortfolioItemList portfolios;
    VLHoldingItemList positions;
    db->CopyAll(quotes, portfolios, positions);
    std::vector<VLCorporateActionItem> actions;
    std::vector<VLIncomeItem> incomes;
    EXPECT_EQ(db->GetCorporateActions(conn, actions), VLResult::Ok);
    EXPECT_EQ(db->GetIncome(conn, portfolio, incomes), VLResult::Ok);
    return ProposeIncome(positions, portfolio, actions, incomes, source, fromDay, DayNo(2026, 1, 1));
  }
  static std::string Text(const IncomeProposal& p) {
    return p.income.name + " " + StoredDayText(p.income.payDate) + " " + DecimalText(p.income.shares) + " " +
           std::to_string(p.income.gross) + (p.recorded ? " recorded" : "");
  }
  std::vector<std::string> Texts(const IncomeFetch& fetch) {
    std::vector<std::string> texts;
    for (const IncomeProposal& p : fetch.proposals) texts.push_back(Text(p));
    return texts;
  }

  TableDividends source;
};

}  // namespace

TEST_F(IncomeFetchTest, EachPaymentTakesTheSharesEntitledOnItsExDate) {
  const uint32_t p = AddPortfolio("Dividends");
  const uint32_t first = Buy(p, "KO", "100", Date(2025, 1, 2));
  Buy(p, "KO", "50.5", Date(2025, 6, 2));  // between the second and third ex-dates
  uint32_t rest = 0;
  // 40 sold the day before the third ex-date, 10 more on the fourth ex-date (still entitled to it).
  ASSERT_EQ(db->SellPosition(conn, first, Shares(40), Cents(6500), 0, Date(2025, 8, 17), rest), VLResult::Ok);
  uint32_t rest2 = 0;
  ASSERT_EQ(db->SellPosition(conn, rest, Shares(10), Cents(6500), 0, Date(2025, 11, 17), rest2),
            VLResult::Ok);
  source.table["KO"] = {{DayNo(2025, 2, 14), DayNo(2025, 3, 10), 485000, "USD"},
                        {DayNo(2025, 5, 30), 0, 485000, "USD"},  // no pay date known: the ex-date
                        {DayNo(2025, 8, 18), DayNo(2025, 9, 8), 510000, "USD"},
                        {DayNo(2025, 11, 17), DayNo(2025, 12, 8), 510001, "USD"},
                        {DayNo(2025, 12, 15), DayNo(2026, 1, 10), 510000, "USD"}};  // not paid yet
  const IncomeFetch fetch = Propose(p);
  EXPECT_EQ(Texts(fetch),
            (std::vector<std::string>{"KO 2025-03-10 100 4850", "KO 2025-05-30 100 4850",
                                      "KO 2025-09-08 110.5 5636",     // 60 + 50.5 at 0.51: 56.355 rounds up
                                      "KO 2025-12-08 110.5 5636"}));  // the 10 sold on the day count
  EXPECT_EQ(fetch.proposals[0].income.exDate, Date(2025, 2, 14));
  EXPECT_EQ(fetch.proposals[0].income.withholding, 0);
  // The first purchase bounds what is asked; --from bounds it further.
  EXPECT_EQ(source.asked.back(), std::make_pair(std::string("KO"), DayNo(2025, 1, 2)));
  EXPECT_EQ(Texts(Propose(p, DayNo(2025, 8, 1))).size(), 2u);

  // Kept as one change; asked again, each is recorded already.
  std::vector<VLIncomeItem> adding;
  for (const IncomeProposal& proposal : fetch.proposals) adding.push_back(proposal.income);
  std::vector<uint32_t> ids;
  const uint64_t before = db->GetFingerprint();
  ASSERT_EQ(db->AddIncomes(conn, adding, ids), VLResult::Ok);
  EXPECT_EQ(ids.size(), 4u);
  for (const IncomeProposal& proposal : Propose(p).proposals)
    EXPECT_TRUE(proposal.recorded) << Text(proposal);
  VLJournalStep step;
  ASSERT_EQ(db->Undo(conn, step), VLResult::Ok);
  EXPECT_EQ(db->GetFingerprint(), before);
}

TEST_F(IncomeFetchTest, ASplitAfterTheExDateIsTakenBackAndAnUnansweredSymbolIsSaid) {
  const uint32_t p = AddPortfolio("Dividends");
  const uint32_t nvda = Buy(p, "NVDA", "6", Date(2024, 1, 2));
  Buy(p, "PEP", "10", Date(2024, 1, 2));
  SplitRequest split;
  split.symbol = "NVDA";
  split.ratio = {10, 1};
  split.exDate = Date(2024, 6, 10);
  SplitPreview preview;
  ASSERT_EQ(db->RecordSplit(conn, split, preview), VLResult::Ok);
  std::unique_ptr<VLHoldingItem> held;
  ASSERT_EQ(db->GetPosition(conn, nvda, held), VLResult::Ok);
  ASSERT_EQ(static_cast<const VLStockHoldingItem&>(*held).qty, Shares(60));
  source.table["NVDA"] = {{DayNo(2024, 3, 5), DayNo(2024, 3, 27), 40000, "USD"},
                          {DayNo(2024, 6, 11), DayNo(2024, 7, 2), 10000, "USD"}};
  source.failing = "PEP";
  const IncomeFetch fetch = Propose(p);
  // Before the split, 0.04 on the 6 shares of then; after it, 0.01 on today's 60.
  EXPECT_EQ(Texts(fetch), (std::vector<std::string>{"NVDA 2024-03-27 6 24", "NVDA 2024-07-02 60 60"}));
  ASSERT_EQ(fetch.unasked.size(), 1u);
  EXPECT_EQ(fetch.unasked[0], "PEP: no answer");
  EXPECT_FALSE(fetch.NothingAnswered());
  source.failing = "NVDA";
  source.table.erase("PEP");
  EXPECT_FALSE(Propose(p).NothingAnswered());  // PEP answered, with nothing
}
