// Income records: what a record may hold, the checks that say why not, each change journaled and undone
// byte for byte, the file version that only a database with income takes, and which positions a payment
// was for.
#include <gtest/gtest.h>

#include <map>

#include "portfolio/checks/income_checks.h"
#include "portfolio/income/income_allocation.h"
#include "portfolio/income/income_entitlement.h"
#include "portfolio/records/calendar_date.h"
#include "tests/support/exact_values.h"
#include "tests/support/record_bytes.h"
#include "vl_database_fixture.h"

namespace {

int64_t Day(int year, int month, int day) {
  return StoredDateOf({year, month, day});
}

VLIncomeItem Payment(uint32_t portfolioId, const std::string& symbol, int64_t gross, int64_t payDate) {
  VLIncomeItem income;
  income.portfolioId = portfolioId;
  income.name = symbol;
  income.gross = gross;
  income.payDate = payDate;
  return income;
}

TEST(IncomeRecord, HoldsOnlyWhatAPaymentMayBe) {
  const VLIncomeItem good = Payment(1, "KO", 5000, Day(2025, 4, 1));
  ASSERT_TRUE(good.FitsRecord());
  struct Case {
    const char* what;
    std::function<void(VLIncomeItem&)> change;
    bool fits;
  };
  const Case cases[] = {
      {"withheld whole", [](VLIncomeItem& i) { i.withholding = 5000; }, true},
      {"withholding and fees above the gross", [](VLIncomeItem& i) { i.withholding = 4000, i.fees = 1001; },
       false},
      {"a reversal with its deductions", [](VLIncomeItem& i) { i.gross = -5000, i.withholding = -750; },
       true},
      {"a reversal's deduction of the other sign",
       [](VLIncomeItem& i) { i.gross = -5000, i.withholding = 750; }, false},
      {"a gross of 0", [](VLIncomeItem& i) { i.gross = 0; }, false},
      {"a gross beyond the limit", [](VLIncomeItem& i) { i.gross = VLIncomeItem::kMaxCents + 1; }, false},
      {"the lowest gross there is", [](VLIncomeItem& i) { i.gross = INT64_MIN; }, false},
      // Found by the database fuzzer: deductions whose sum is beyond 64 bits.
      {"deductions far beyond the limit",
       [](VLIncomeItem& i) { i.withholding = 7061644215716937893, i.fees = 5211511703451367797; }, false},
      {"no pay date", [](VLIncomeItem& i) { i.payDate = 0; }, false},
      {"an ex-date after the pay date", [](VLIncomeItem& i) { i.exDate = Day(2025, 4, 2); }, false},
      {"an ex-date on the pay date", [](VLIncomeItem& i) { i.exDate = Day(2025, 4, 1); }, true},
      {"no portfolio", [](VLIncomeItem& i) { i.portfolioId = 0; }, false},
      {"an unknown kind", [](VLIncomeItem& i) { i.kind = static_cast<IncomeKind>(9); }, false},
      {"negative shares", [](VLIncomeItem& i) { i.shares = Quantity::FromUnits(-1); }, false},
      {"pence", [](VLIncomeItem& i) { i.currency = "GBp"; }, true},
      {"no currency code", [](VLIncomeItem& i) { i.currency = "pounds"; }, false},
  };
  for (const Case& c : cases) {
    VLIncomeItem income = good;
    c.change(income);
    EXPECT_EQ(income.FitsRecord(), c.fits) << c.what;
    // What a record may not hold, a file may not bring either.
    const std::vector<uint8_t> bytes = StoreRecord(income);
    VLIncomeItem loaded;
    EXPECT_EQ(LoadRecord(loaded, bytes) == SerializeResult::Ok, c.fits) << c.what;
  }
}

TEST(IncomeChecks, SayWhyAPaymentIsRefused) {
  const int64_t today = DayNumberOf({2025, 12, 31});
  const IncomeEntry base{"ko", "", "50.00", "7.50", "", "", "", "", Day(2025, 4, 1), Day(2025, 3, 14)};
  VLIncomeItem income;
  ASSERT_TRUE(CheckIncome(base, today, income).Ok());
  EXPECT_EQ(std::make_tuple(income.name, income.gross, income.withholding, income.Net(), income.kind),
            std::make_tuple(std::string("KO"), 5000LL, 750LL, 4250LL, IncomeKind::Dividend));
  IncomeEntry reversal = base;
  reversal.gross = "-50.00";
  ASSERT_TRUE(CheckIncome(reversal, today, income).Ok());
  EXPECT_EQ(std::make_tuple(income.gross, income.withholding, income.Net()),
            std::make_tuple(-5000LL, -750LL, -4250LL));
  struct Case {
    std::function<void(IncomeEntry&)> change;
    StringId message;
    EntryField field;
  };
  const Case cases[] = {
      {[](IncomeEntry& e) { e.gross = "0"; }, StringId::IncomeGrossInvalid, EntryField::Gross},
      {[](IncomeEntry& e) { e.gross = "fifty"; }, StringId::AmountNotANumber, EntryField::Gross},
      {[](IncomeEntry& e) { e.fees = "42.51"; }, StringId::IncomeDeductionsTooLarge, EntryField::Withholding},
      {[](IncomeEntry& e) { e.withholding = "-1"; }, StringId::AmountNegative, EntryField::Withholding},
      {[](IncomeEntry& e) { e.kind = "bonus"; }, StringId::IncomeKindInvalid, EntryField::IncomeKind},
      {[](IncomeEntry& e) { e.payDate = Day(2026, 1, 1); }, StringId::IncomeDateLater, EntryField::PayDate},
      {[](IncomeEntry& e) { e.payDate = 0; }, StringId::IncomeDateOutOfRange, EntryField::PayDate},
      {[](IncomeEntry& e) { e.exDate = Day(2025, 4, 2); }, StringId::IncomePayBeforeEx, EntryField::PayDate},
      {[](IncomeEntry& e) { e.currency = "usd"; }, StringId::CurrencyNotValid, EntryField::Currency},
  };
  for (const Case& c : cases) {
    IncomeEntry entry = base;
    c.change(entry);
    const EntryCheck check = CheckIncome(entry, today, income);
    EXPECT_EQ(std::make_pair(check.message, check.field), std::make_pair(c.message, c.field))
        << static_cast<int>(c.message);
  }
}

class IncomeStore : public DatabaseTest {
 protected:
  // The payments are of 2025: today is 2026-01-01.
  ScopedClock later{std::make_shared<FixedClock>(1767225600)};
};

TEST_F(IncomeStore, EveryChangeIsUndoneByteForByteAndTheFileTakesItsVersionOnlyWithIncome) {
  const uint32_t p = AddPortfolio("Dividends");
  AddStock(p, "KO");
  EXPECT_EQ(db->GetVersion(), VLDatabase::kFirstVersion);
  const uint64_t empty = db->GetFingerprint();
  uint32_t id = 0;
  Quantity entitled;
  ASSERT_EQ(db->AddIncome(conn, Payment(p, "ko", 5000, Day(2025, 4, 1)), id, &entitled), VLResult::Ok);
  EXPECT_EQ(entitled, Shares(100));  // bought on no known day: held then
  EXPECT_EQ(db->GetVersion(), VLDatabase::kIncomeVersion);
  const uint64_t added = db->GetFingerprint();
  VLIncomeItem changed = Payment(p, "KO", 5000, Day(2025, 4, 1));
  changed.id = id;
  changed.withholding = 750;
  ASSERT_EQ(db->ModifyIncome(conn, changed), VLResult::Ok);
  const uint64_t modified = db->GetFingerprint();
  Reopen();  // from the file alone
  std::vector<VLIncomeItem> list;
  ASSERT_EQ(db->GetIncome(conn, p, list), VLResult::Ok);
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(std::make_tuple(list[0].name, list[0].Net()), std::make_tuple(std::string("KO"), 4250LL));
  EXPECT_EQ(db->GetFingerprint(), modified);
  // A portfolio deleted takes its income along; an undo brings both back.
  ASSERT_EQ(db->DeletePortfolio(conn, p), VLResult::Ok);
  EXPECT_EQ(db->GetIncomeCount(), 0);
  VLJournalStep step;
  ASSERT_EQ(db->Undo(conn, step), VLResult::Ok);
  EXPECT_EQ(db->GetFingerprint(), modified);
  ASSERT_EQ(db->DeleteIncome(conn, id), VLResult::Ok);
  EXPECT_EQ(db->GetVersion(), VLDatabase::kFirstVersion);
  // Undone in turn: the deletion of the record, its change, its addition.
  for (const uint64_t expected : {modified, added, empty}) {
    ASSERT_EQ(db->Undo(conn, step), VLResult::Ok);
    EXPECT_EQ(db->GetFingerprint(), expected);
  }
  Reopen();
  EXPECT_EQ(db->GetFingerprint(), empty);
  ASSERT_EQ(db->Redo(conn, step), VLResult::Ok);
  EXPECT_EQ(db->GetFingerprint(), added);
  EXPECT_EQ(db->ModifyIncome(conn, Payment(p, "KO", 0, Day(2025, 4, 1))), VLResult::Failed);
  EXPECT_EQ(db->AddIncome(conn, Payment(p + 9, "KO", 100, Day(2025, 4, 1)), id), VLResult::NotFound);
  EXPECT_EQ(db->DeleteIncome(conn, 999), VLResult::NotFound);
  EXPECT_EQ(db->GetFingerprint(), added);
}

TEST_F(IncomeStore, AReinvestedPaymentAndItsPurchaseAreOneChange) {
  const uint32_t p = AddPortfolio("Dividends");
  AddStock(p, "KO");
  const uint64_t before = db->GetFingerprint();
  VLStockHoldingItem purchase;
  purchase.qty = SharesOf("0.6923");
  purchase.buyPricePerShare = Cents(6139);
  purchase.purchaseDate = Day(2025, 4, 1);
  uint32_t id = 0, bought = 0;
  Quantity entitled;
  ASSERT_EQ(
      db->AddReinvestedIncome(conn, Payment(p, "ko", 4250, Day(2025, 4, 1)), purchase, id, bought, &entitled),
      VLResult::Ok);
  EXPECT_EQ(entitled, Shares(100));  // the holding before the purchase the payment made
  std::unique_ptr<VLHoldingItem> position;
  ASSERT_EQ(db->GetPosition(conn, bought, position), VLResult::Ok);
  EXPECT_EQ(position->name, "KO");
  EXPECT_EQ(static_cast<const VLStockHoldingItem&>(*position).qty, SharesOf("0.6923"));
  std::vector<VLIncomeItem> list;
  ASSERT_EQ(db->GetIncome(conn, p, list), VLResult::Ok);
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(list[0].reinvestPositionId, bought);
  const uint64_t added = db->GetFingerprint();
  VLJournalStep step;
  ASSERT_EQ(db->Undo(conn, step), VLResult::Ok);  // one undo takes both
  EXPECT_EQ(db->GetFingerprint(), before);
  EXPECT_EQ(db->GetIncomeCount(), 0);
  EXPECT_EQ(db->GetPosition(conn, bought, position), VLResult::NotFound);
  ASSERT_EQ(db->Redo(conn, step), VLResult::Ok);
  EXPECT_EQ(db->GetFingerprint(), added);
  // A purchase a position cannot be is refused with nothing stored.
  purchase.qty = Quantity();
  EXPECT_EQ(db->AddReinvestedIncome(conn, Payment(p, "KO", 100, Day(2025, 4, 1)), purchase, id, bought),
            VLResult::Failed);
  purchase.qty = Shares(1);
  EXPECT_EQ(db->AddReinvestedIncome(conn, Payment(p + 9, "KO", 100, Day(2025, 4, 1)), purchase, id, bought),
            VLResult::NotFound);
  EXPECT_EQ(db->GetFingerprint(), added);
}

TEST_F(IncomeStore, PositionsAreHandedOutWithTheirPartOfThePortfoliosIncome) {
  const uint32_t p = AddPortfolio("A");
  const uint32_t other = AddPortfolio("B");
  const uint32_t big = AddStock(p, "KO", 200);
  const uint32_t small = AddStock(p, "KO", 100);
  const uint32_t elsewhere = AddStock(other, "KO", 100);
  uint32_t id = 0;
  ASSERT_EQ(db->AddIncome(conn, Payment(p, "KO", 301, Day(2025, 4, 1)), id), VLResult::Ok);
  VLHoldingItemList list;
  ASSERT_EQ(db->GetPositions(conn, p, true, list), VLResult::Ok);
  std::map<uint32_t, int64_t> net;
  for (const auto& item : list) net[item->id] = static_cast<const VLStockHoldingItem&>(*item).income.net;
  EXPECT_EQ(net, (std::map<uint32_t, int64_t>{{big, 201}, {small, 100}}));
  std::unique_ptr<VLHoldingItem> one;
  ASSERT_EQ(db->GetPosition(conn, small, one), VLResult::Ok);
  EXPECT_EQ(static_cast<const VLStockHoldingItem&>(*one).income.net, 100);
  ASSERT_EQ(db->GetPosition(conn, elsewhere, one), VLResult::Ok);
  EXPECT_EQ(static_cast<const VLStockHoldingItem&>(*one).income.net, 0);
}

TEST_F(IncomeStore, APositionIsEntitledWhenBoughtBeforeTheExDateAndNotSoldBeforeIt) {
  const uint32_t p = AddPortfolio("A");
  const auto buy = [&](const char* qty, int64_t bought) {
    VLStockHoldingItem fields;
    fields.name = "KO";
    fields.qty = SharesOf(qty);
    fields.buyPricePerShare = Cents(6000);
    fields.purchaseDate = bought;
    uint32_t id = 0;
    EXPECT_EQ(db->AddStockPosition(conn, p, fields, id), VLResult::Ok);
    return id;
  };
  const uint32_t early = buy("100", Day(2025, 1, 2));
  buy("10.5", Day(2025, 3, 14));  // on the ex-date: not entitled
  uint32_t rest = 0;
  // 40 sold on the ex-date: still entitled; 10 sold the day before: not.
  ASSERT_EQ(db->SellPosition(conn, early, Shares(40), Cents(6100), 0, Day(2025, 3, 14), rest), VLResult::Ok);
  uint32_t rest2 = 0;
  ASSERT_EQ(db->SellPosition(conn, rest, Shares(10), Cents(6100), 0, Day(2025, 3, 13), rest2), VLResult::Ok);
  VLIncomeItem dividend = Payment(p, "KO", 5000, Day(2025, 4, 1));
  dividend.exDate = Day(2025, 3, 14);
  uint32_t id = 0;
  Quantity entitled;
  ASSERT_EQ(db->AddIncome(conn, dividend, id, &entitled), VLResult::Ok);
  EXPECT_EQ(entitled, Shares(90));
  // Without an ex-date the pay date decides: the purchase of the 14th counts then.
  dividend.exDate = 0;
  ASSERT_EQ(db->AddIncome(conn, dividend, id, &entitled), VLResult::Ok);
  EXPECT_EQ(entitled, SharesOf("60.5"));
  // Another portfolio's, or another symbol's, count for nothing.
  const uint32_t other = AddPortfolio("B");
  ASSERT_EQ(db->AddIncome(conn, Payment(other, "KO", 100, Day(2025, 4, 1)), id, &entitled), VLResult::Ok);
  EXPECT_TRUE(entitled.IsZero());
}

}  // namespace

namespace {

TEST(IncomeAllocation, CentsAreSharedByLargestRemainderTiesToTheOlderPurchase) {
  EXPECT_EQ(ShareCents(100, {1, 1, 1}, {0, 1, 2}), (std::vector<int64_t>{34, 33, 33}));
  EXPECT_EQ(ShareCents(100, {1, 1, 1}, {2, 0, 1}), (std::vector<int64_t>{33, 34, 33}));
  EXPECT_EQ(ShareCents(4250, {100, 50}, {0, 1}), (std::vector<int64_t>{2833, 1417}));
  EXPECT_EQ(ShareCents(-100, {1, 1, 1}, {0, 1, 2}), (std::vector<int64_t>{-34, -33, -33}));
  EXPECT_EQ(ShareCents(100, {0, 0}, {0, 1}), (std::vector<int64_t>{0, 0}));

  const auto stock = [](uint32_t id, const char* symbol, const char* qty, int64_t bought, int64_t sold = 0) {
    VLStockHoldingItem s;
    s.id = id;
    s.name = symbol;
    s.qty = SharesOf(qty);
    s.purchaseDate = bought;
    if (sold) {
      s.salePricePerShare = Cents(100);
      s.saleDate = sold;
    }
    return s;
  };
  // Listed newest first: the order of the list does not decide the ties, the purchase day does.
  const VLStockHoldingItem b = stock(2, "KO", "30", Day(2025, 2, 1));
  const VLStockHoldingItem a = stock(1, "ko", "60", Day(2025, 1, 2));
  const VLStockHoldingItem soldBefore = stock(3, "KO", "40", Day(2025, 1, 2), Day(2025, 3, 1));
  const VLStockHoldingItem soldAfter = stock(4, "KO", "30", Day(2025, 1, 2), Day(2025, 3, 20));
  const VLStockHoldingItem other = stock(5, "PEP", "10", Day(2025, 1, 2));
  VLIncomeItem dividend = Payment(1, "KO", 100, Day(2025, 4, 1));
  dividend.exDate = Day(2025, 3, 14);
  VLIncomeItem capital = Payment(1, "KO", 1200, Day(2024, 3, 1));  // before every purchase: nobody's
  capital.kind = IncomeKind::ReturnOfCapital;
  VLIncomeItem returned = Payment(1, "KO", 1200, Day(2025, 6, 1));
  returned.kind = IncomeKind::ReturnOfCapital;
  returned.withholding = 120;
  const auto shares = AllocateIncome({&b, &a, &soldBefore, &soldAfter, &other}, {dividend, capital, returned},
                                     DayNumberOf({2026, 3, 1}));  // both paid in the 365 days to it
  // The dividend: 60, 30 and 30 entitled shares of 100 cents: 50, 25, 25. The return of capital of June
  // (after the sale of the 20th): 60 and 30 of 1,080 net, 1,200 gross.
  ASSERT_EQ(shares.size(), 3u);
  EXPECT_EQ(std::make_tuple(shares.at(1).net, shares.at(1).netLastYear, shares.at(1).returnOfCapital),
            std::make_tuple(50LL + 720, 50LL + 720, 800LL));
  EXPECT_EQ(std::make_tuple(shares.at(2).net, shares.at(2).returnOfCapital),
            std::make_tuple(25LL + 360, 400LL));
  EXPECT_EQ(std::make_tuple(shares.at(4).net, shares.at(4).returnOfCapital), std::make_tuple(25LL, 0LL));
  // Equal shares: the older purchase takes the odd cent; one of no known day is the oldest.
  const VLStockHoldingItem undated = stock(7, "KO", "1", 0);
  const VLStockHoldingItem dated = stock(6, "KO", "1", Day(2025, 1, 2));
  const auto tie =
      AllocateIncome({&dated, &undated}, {Payment(1, "KO", 1, Day(2025, 4, 1))}, DayNumberOf({2026, 3, 1}));
  EXPECT_EQ(tie.at(7).net, 1);
  EXPECT_EQ(tie.at(6).net, 0);
}

}  // namespace
