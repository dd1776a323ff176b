// The list model on its own: Qt's model checks, texts and roles, and the colour rules of every column.
#include <QAbstractItemModelTester>
#include <QApplication>
#include <QSignalSpy>

#include "portfolio/columns/column_catalog.h"
#include "portfolio/records/vl_cash_holding_item.h"
#include "portfolio/records/vl_holding_item_list.h"
#include "tests/support/exact_values.h"
#include "ui/main/cell_colour_rules.h"
#include "ui/main/position_list_model.h"
#include "ui/main/position_list_view.h"
#include "ui_test_support.h"

namespace {

void AddStock(VLHoldingItemList& list, uint32_t id, const std::string& symbol, const std::string& change) {
  auto stock = std::make_unique<VLStockHoldingItem>();
  stock->id = id;
  stock->name = symbol;
  stock->quote.Edit().symbol = symbol;
  stock->quote.Edit().change = change;
  stock->quote.Edit().lastTrade = "10.00";
  stock->qty = Shares(10 * id);
  stock->buyPricePerShare = Cents(1000);
  list.InsertAt(list.GetCount(), std::move(stock));
}

TEST(PositionListModel, PassesTheModelChecksAndRefillsInOneReset) {
  ScopedNumberFormat english(NumberFormat::English());
  PositionListModel model;
  QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
  QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
  QSignalSpy inserts(&model, &QAbstractItemModel::rowsInserted);
  VLHoldingItemList list;
  AddStock(list, 1, "BBB", "+0.50");
  AddStock(list, 2, "AAA", "-0.50");
  auto cash = std::make_unique<VLCashHoldingItem>();
  cash->id = 3;
  list.InsertAt(list.GetCount(), std::move(cash));
  model.Refill(list, {kColSymbol, kColChange, kColQty}, kColSymbol, true);

  EXPECT_EQ(list.GetCount(), 0);  // the model keeps the positions
  EXPECT_EQ(resets.count(), 1);
  EXPECT_EQ(inserts.count(), 0);
  ASSERT_EQ(model.rowCount(), 3);
  EXPECT_EQ(model.columnCount(), 4);  // with the empty last column
  EXPECT_EQ(model.headerData(0, Qt::Horizontal).toString(), QStringLiteral("Symbol  ^"));
  EXPECT_EQ(model.headerData(3, Qt::Horizontal).toString(), QString());
  // Cash first, then the stock positions by symbol.
  EXPECT_EQ(model.ItemIdAt(0), 3u);
  EXPECT_EQ(model.index(1, 0).data().toString(), QStringLiteral("AAA"));
  EXPECT_EQ(model.index(1, 0).data(PositionListModel::ItemIdRole).toUInt(), 2u);
  EXPECT_EQ(model.RowOfItem(1), 2);
  EXPECT_EQ(model.RowOfItem(99), -1);
  EXPECT_EQ(model.index(0, 0).data(PositionListModel::RowIconRole).toInt(), PositionListModel::kIconNone);
  EXPECT_EQ(model.index(1, 0).data(PositionListModel::RowIconRole).toInt(), PositionListModel::kIconDown);
  EXPECT_EQ(model.index(2, 0).data(PositionListModel::RowIconRole).toInt(), PositionListModel::kIconUp);
  EXPECT_EQ(model.index(1, 1).data(Qt::ForegroundRole).value<QColor>(), QColor(255, 0, 0));
  EXPECT_FALSE(model.index(2, 1).data(Qt::ForegroundRole).isValid());
  EXPECT_EQ(model.index(1, 3).data().toString(), QString());

  AddStock(list, 4, "CCC", "+1.00");
  model.Refill(list, {kColQty, kColSymbol}, kColQty, false);
  EXPECT_EQ(resets.count(), 2);
  EXPECT_EQ(model.rowCount(), 1);
  EXPECT_EQ(model.headerData(0, Qt::Horizontal).toString(), QStringLiteral("Qty  v"));
}

// A stock position that counts how often its cell texts are asked for.
class CountingStock : public VLStockHoldingItem {
 public:
  explicit CountingStock(int* texts) : texts(texts) {}
  void GetColumnText(int column, std::string& text) const override {
    ++*texts;
    VLStockHoldingItem::GetColumnText(column, text);
  }

 private:
  int* texts;
};

TEST(PositionListModel, ALongListComputesTheTextsOfTheRowsShownOnlyAndOnce) {
  ScopedNumberFormat english(NumberFormat::English());
  constexpr int kRows = PositionListModel::kFormatAllRows + 1000;
  int texts = 0;
  VLHoldingItemList list;
  for (int i = 0; i < kRows; ++i) {
    auto stock = std::make_unique<CountingStock>(&texts);
    stock->id = static_cast<uint32_t>(i + 1);
    stock->qty =
        Shares(static_cast<uint32_t>(kRows - i));  // sorted by quantity, the first position comes last
    stock->quote.Edit().symbol = i == 0 ? "AMUCHLONGERSYMBOLTHANTHEOTHERS" : "S" + std::to_string(i);
    list.InsertAt(list.GetCount(), std::move(stock));
  }
  PositionListModel model;
  PositionListView view(&model);
  view.resize(600, 300);
  view.show();
  model.Refill(list, {kColSymbol, kColQty}, kColQty, true);
  EXPECT_EQ(texts, 0);  // sorted by its sort values alone
  view.ApplyColumnWidths();
  QApplication::processEvents();
  int formatted = 0;
  for (int r = 0; r < kRows; ++r) formatted += model.IsRowFormatted(r) ? 1 : 0;
  EXPECT_GT(formatted, 0);
  EXPECT_LT(formatted, 100);
  EXPECT_EQ(texts, formatted * 3);  // two columns and the change text of the row icon
  (void)model.index(0, 0).data();
  EXPECT_EQ(texts, formatted * 3);  // kept, not computed again

  // Scrolled to the end, the last rows are computed, and the long symbol there widens its column.
  const int narrow = view.columnWidth(0);
  view.scrollToBottom();
  QApplication::processEvents();
  EXPECT_TRUE(model.IsRowFormatted(kRows - 1));
  EXPECT_EQ(model.ItemIdAt(kRows - 1), 1u);
  EXPECT_GT(view.columnWidth(0), narrow);
}

TEST(PositionListModel, BackgroundsMarkTheSortedColumnAndEvenRows) {
  ScopedNumberFormat english(NumberFormat::English());
  PositionListModel model;
  VLHoldingItemList list;
  for (uint32_t i = 1; i <= 3; ++i) AddStock(list, i, "S" + std::to_string(i), "0.00");
  model.Refill(list, {kColSymbol, kColQty}, kColQty, true);
  const QColor alternate(232, 248, 232);
  const QColor sorted(240, 240, 240);
  model.SetColours(false, alternate, sorted);
  EXPECT_FALSE(model.index(0, 0).data(Qt::BackgroundRole).isValid());
  EXPECT_EQ(model.index(0, 1).data(Qt::BackgroundRole).value<QColor>(), sorted);
  model.SetColours(true, alternate, sorted);
  EXPECT_EQ(model.index(0, 0).data(Qt::BackgroundRole).value<QColor>(), alternate);
  EXPECT_FALSE(model.index(1, 0).data(Qt::BackgroundRole).isValid());
  EXPECT_EQ(model.index(2, 0).data(Qt::BackgroundRole).value<QColor>(), alternate);
  EXPECT_EQ(model.index(1, 1).data(Qt::BackgroundRole).value<QColor>(), sorted);  // sorted wins over rows
  EXPECT_FALSE(model.index(1, 2).data(Qt::BackgroundRole).isValid());
}

TEST(CellColourRules, EachColumnGroupTakesItsColour) {
  const CellTextColour red = CellTextColour::Red, green = CellTextColour::Green,
                       none = CellTextColour::Default;
  for (int column : {4, 9, 10, 13, 15, 16, 35, 36, 49, 50, 52, 53}) {
    EXPECT_EQ(GetCellTextColour(column, "-1.00"), red) << column;
    EXPECT_EQ(GetCellTextColour(column, "+1.00"), none) << column;
    EXPECT_EQ(GetCellTextColour(column, "1.00"), none) << column;
  }
  for (int column : {18, 60}) {
    EXPECT_EQ(GetCellTextColour(column, "+3.00"), none) << column;
    EXPECT_EQ(GetCellTextColour(column, "-3.00"), green) << column;
    EXPECT_EQ(GetCellTextColour(column, "0.00"), green) << column;
  }
  for (int column : {38, 59}) {
    EXPECT_EQ(GetCellTextColour(column, "-3.00"), none) << column;
    EXPECT_EQ(GetCellTextColour(column, "+3.00"), green) << column;
  }
  EXPECT_EQ(GetCellTextColour(40, "+3.00"), none);
  EXPECT_EQ(GetCellTextColour(40, "-3.00"), red);
  EXPECT_EQ(GetCellTextColour(40, "0.00"), red);
  EXPECT_EQ(GetCellTextColour(41, "Stop loss"), red);
  EXPECT_EQ(GetCellTextColour(41, "Sell target"), green);
  EXPECT_EQ(GetCellTextColour(41, "Buy target"), CellTextColour::Navy);
  EXPECT_EQ(GetCellTextColour(41, "stop loss"), none);
  // Empty cells keep the window-text colour everywhere; other columns never colour.
  EXPECT_EQ(GetCellTextColour(40, ""), none);
  EXPECT_EQ(GetCellTextColour(18, ""), none);
  EXPECT_EQ(GetCellTextColour(kColSymbol, "-X"), none);
  EXPECT_EQ(GetCellTextColour(kColQty, "-1"), none);
  EXPECT_EQ(CellTextRgb(red), 0xFF0000u);
  EXPECT_EQ(CellTextRgb(green), 0x008000u);
  EXPECT_EQ(CellTextRgb(CellTextColour::Navy), 0x000080u);
}

}  // namespace
