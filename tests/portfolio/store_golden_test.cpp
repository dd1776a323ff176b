// Stores loaded, saved and sorted exactly as the code of an earlier release did: the records as loaded, the
// bytes a save writes, every cell text, and the order of every view by every sortable column in both
// directions, over the database files of tests/fixtures and over generated stores full of equal keys.
// The expected reports in tests/fixtures/store_golden/ were written by that earlier code;
// VL_UPDATE_EXPECTED=1 rewrites them (only ever after a deliberate change of the file or the order).
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "holding_fixtures.h"
#include "portfolio/columns/column_catalog.h"
#include "portfolio/columns/holding_sort.h"
#include "portfolio/database/vl_database.h"
#include "portfolio/records/vl_cash_holding_item.h"
#include "portfolio/records/vl_margin_holding_item.h"
#include "portfolio/records/vl_portfolio_item.h"
#include "portfolio/records/vl_stock_holding_item.h"
#include "portfolio/records/vl_stock_info_item.h"
#include "tests/support/null_window.h"
#include "tests/support/sample_store.h"
#include "tests/support/temp_folder.h"

namespace {

uint64_t Fnv(const std::string& text) {
  uint64_t h = 0xcbf29ce484222325ull;
  for (unsigned char c : text) h = (h ^ c) * 0x100000001b3ull;
  return h;
}

std::string Hex(uint64_t v) {
  char buffer[17];
  std::snprintf(buffer, sizeof buffer, "%016llx", static_cast<unsigned long long>(v));
  return buffer;
}

const StockInfo& QuoteOf(const VLStockInfoItem& q) {
  return *q.quote;
}

std::string RecordsText(VLDatabase& db) {
  VLStockInfoItemList quotes;
  VLPortfolioItemList portfolios;
  VLHoldingItemList positions;
  db.CopyAll(quotes, portfolios, positions);
  std::ostringstream out;
  for (const auto& item : quotes) {
    const auto& q = static_cast<const VLStockInfoItem&>(*item);
    out << "quote " << q.id << " " << q.tag << " " << q.name << " ref " << q.refCount << " stamp "
        << QuoteOf(q).stamp;
    for (const auto& f : StockInfo::TextFields()) out << " | " << QuoteOf(q).*f.member;
    out << "\n";
  }
  for (const auto& item : portfolios) {
    const auto& p = static_cast<const VLPortfolioItem&>(*item);
    out << "portfolio " << p.id << " " << p.tag << " " << p.name << " | " << p.comment << " | " << p.created
        << " " << p.modified << "\n";
  }
  for (const auto& item : positions) {
    const auto& h = static_cast<const VLHoldingItem&>(*item);
    out << "position " << h.GetKind() << " " << h.id << " " << h.tag << " " << h.name << " | owner "
        << h.ownerPortfolioId;
    if (h.GetKind() == kHoldingStock) {
      const auto& s = static_cast<const VLStockHoldingItem&>(h);
      // Shares and cents as the record's first form held them, with decimals only where there are some.
      const auto cents = [](UnitPrice p) { return DecimalUnitsText(p.Units(), UnitPrice::kPlaces - 2); };
      out << " quote " << s.quoteId << " " << DecimalText(s.qty) << " " << cents(s.buyPricePerShare) << " "
          << s.buyCommission << " " << cents(s.salePricePerShare) << " " << s.saleCommission << " "
          << cents(s.perShareBuyTarget) << " " << cents(s.perShareSellTarget) << " "
          << cents(s.perShareStopLossTarget) << " " << s.marginable << " " << s.mgnEquity << " "
          << s.mgnThreshold << " " << s.purchaseDate << " " << s.saleDate << " | " << s.comment;
      if (!s.currency.empty()) out << " | " << s.currency;
    } else {
      out << " amount " << static_cast<const VLAmountHoldingItem&>(h).GetAmount();
    }
    out << "\n";
  }
  return out.str();
}

std::string SavedBytes(const std::string& path) {
  VLDatabase db(path);
  if (db.Open() != DbResult::Ok) return {};
  db.SetModified();
  if (db.Save() != DbResult::Ok) return "save failed";
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

std::string HexLines(const std::string& bytes) {
  std::ostringstream out;
  for (size_t i = 0; i < bytes.size(); ++i) {
    char b[3];
    std::snprintf(b, sizeof b, "%02x", static_cast<unsigned char>(bytes[i]));
    out << b << ((i % 32 == 31 || i + 1 == bytes.size()) ? "\n" : "");
  }
  return out.str();
}

std::string Ids(const ItemList& list) {
  std::string ids;
  for (const auto& item : list) ids += (ids.empty() ? "" : ",") + std::to_string(item->id);
  return ids;
}

// One section of the report: in full, or as its size and hash for stores too large to read.
void Section(std::ostringstream& out, const std::string& title, const std::string& body, bool full) {
  out << title << " " << body.size() << " " << Hex(Fnv(body)) << "\n";
  if (full) out << body;
}

// Every cell of every view, then the order of every view by every sortable column in both directions.
void ViewsText(std::ostringstream& out, VLDatabase& db, VLDatabaseConn* conn, bool full) {
  VLPortfolioItemList portfolios;
  if (db.GetPortfolios(conn, portfolios) != VLResult::Ok) return;
  for (const auto& portfolio : portfolios) {
    for (bool held : {true, false}) {
      const std::string view = "p" + std::to_string(portfolio->id) + (held ? " held" : " sold");
      VLHoldingItemList positions;
      if (db.GetPositions(conn, portfolio->id, held, positions) != VLResult::Ok) continue;
      std::string cells;
      for (const auto& item : positions) {
        const auto& h = static_cast<const VLHoldingItem&>(*item);
        std::string text;
        for (int column = 0; column < kColumnCount; ++column) {
          h.GetColumnText(column, text);
          cells += (column ? "\t" : std::to_string(h.id) + ": ") + text;
        }
        cells += "\n";
      }
      Section(out, "cells " + view, cells, full);
      std::string orders;
      for (int column = 0; column < kColumnCount; ++column) {
        if (!IsSortableColumn(column)) continue;
        for (bool ascending : {true, false}) {
          VLHoldingItemList sorted;
          if (db.GetPositions(conn, portfolio->id, held, sorted) != VLResult::Ok) continue;
          SortHoldings(sorted, column, ascending);
          orders += std::to_string(column) + (ascending ? " asc " : " desc ") + Ids(sorted) + "\n";
        }
      }
      Section(out, "orders " + view, orders, full);
    }
  }
}

std::string Report(const std::string& source, bool full) {
  FixedEnvironment env;
  TempFolder folder;
  const std::string path = folder.File("Vellumar.db");
  std::filesystem::copy_file(source, path);
  std::ifstream in(path, std::ios::binary);
  const std::string original{std::istreambuf_iterator<char>(in), {}};
  std::ostringstream out;
  out << "file " << original.size() << " " << Hex(Fnv(original)) << "\n";
  {
    VLDatabase db(path);
    auto window = std::make_shared<NullWindow>();
    VLDatabaseConn* conn = db.Connect(window, 1, 2, 3);
    out << "load " << static_cast<int32_t>(db.GetLastOpenCode()) << "\n";
    if (!conn) return out.str();
    out << "trailing " << db.GetTrailingBytes() << "\n";
    Section(out, "records", RecordsText(db), full);
    ViewsText(out, db, conn, full);
  }
  const std::string saved = SavedBytes(path);
  Section(out, "saved", full ? HexLines(saved) : saved, full);
  return out.str();
}

struct GoldenCase {
  const char* name;
  std::string fixture;     // a database file of tests/fixtures, or
  SampleStoreShape shape;  // a generated store
  bool full;               // the whole report, not only sizes and hashes
};

std::vector<GoldenCase> Cases() {
  const std::string fixtures = VL_FIXTURES_DIR;
  return {
      {"hand_built_current", fixtures + "/fuzz/database/hand_built_current.vldb", {}, true},
      {"hand_built_older_versions", fixtures + "/fuzz/database/hand_built_older_versions.vldb", {}, true},
      {"fuzz_store", fixtures + "/fuzz/database/store.vldb", {}, true},
      {"portfolio_in_position_list",
       fixtures + "/fuzz-regressions/database_portfolio_in_position_list.vldb",
       {},
       true},
      {"ties_small", "", {1, 60, 5, true, true}, true},
      {"ties_mixed", "", {3, 4000, 60, true, true}, false},
      {"varied_mixed", "", {2, 3000, 400, false, true}, false},
      {"plain", "", {2, 1200, 100, false, false}, false},
  };
}

TEST(StoreGolden, LoadSaveCellsAndOrderAreThoseOfTheExpectedReports) {
  for (const GoldenCase& c : Cases()) {
    SCOPED_TRACE(c.name);
    TempFolder folder;
    std::string source = c.fixture;
    if (source.empty()) {
      source = folder.File("generated.db");
      ASSERT_TRUE(WriteSampleStore(source, c.shape));
    }
    const std::string actual = Report(source, c.full);
    const std::string expectedPath = std::string(VL_FIXTURES_DIR) + "/store_golden/" + c.name + ".txt";
    if (std::getenv("VL_UPDATE_EXPECTED")) {
      std::filesystem::create_directories(std::filesystem::path(expectedPath).parent_path());
      std::ofstream(expectedPath, std::ios::binary | std::ios::trunc) << actual;
    }
    std::ifstream in(expectedPath, std::ios::binary);
    ASSERT_TRUE(in) << expectedPath;
    const std::string expected{std::istreambuf_iterator<char>(in), {}};
    // Line by line, so a failure names the first section that differs.
    std::istringstream a(actual), e(expected);
    std::string lineA, lineE;
    int line = 0;
    while (std::getline(e, lineE)) {
      ++line;
      ASSERT_TRUE(std::getline(a, lineA)) << "the report ends before line " << line;
      ASSERT_EQ(lineA, lineE) << "line " << line;
    }
    EXPECT_FALSE(std::getline(a, lineA)) << "the report goes on after line " << line;
  }
}

}  // namespace
