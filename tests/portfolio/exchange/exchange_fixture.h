#pragma once
// A database in a temporary folder with the steps of an import and an export, as the command line and the
// window take them: read the file, then apply the plan in one change.
#include <optional>
#include <string>
#include <vector>

#include "portfolio/database/vl_database_reads.h"
#include "portfolio/exchange/export_data.h"
#include "portfolio/exchange/import_reading.h"
#include "portfolio/exchange/vellumar_csv.h"
#include "portfolio/exchange/vellumar_xml.h"
#include "portfolio/records/calendar_date.h"
#include "portfolio/records/vl_cash_holding_item.h"
#include "portfolio/records/vl_margin_holding_item.h"
#include "tests/portfolio/vl_database_fixture.h"

inline int64_t Day(int year, int month, int day) {
  return StoredDateOf(CalendarDate{year, month, day});
}

class ExchangeTest : public DatabaseTest {
 protected:
  // The problems of a reading (or of the import), one "line N: ..." text each.
  static std::vector<std::string> Described(const ImportProblems& problems) {
    std::vector<std::string> texts;
    for (const ImportProblem& p : problems) texts.push_back(p.Describe());
    return texts;
  }

  // Reads `text` and, when it reads without a problem, imports it: the database's answer, or none when the
  // reading refused the file.
  std::optional<VLResult> Import(const std::string& text, const ImportOptions& options = {},
                                 const std::string& name = "in.csv") {
    reading = ReadImportText(text, name, options);
    if (reading.Refused()) return std::nullopt;
    problems.clear();
    return db->ImportPositions(conn, reading.plan, outcome, problems);
  }
  std::optional<VLResult> ImportFile(const std::string& path, const ImportOptions& options) {
    reading = ReadImportFile(path, options);
    if (reading.Refused()) return std::nullopt;
    problems.clear();
    return db->ImportPositions(conn, reading.plan, outcome, problems);
  }

  std::string Export(bool xml, const ExportChoice& choice = {}) {
    ExportData data;
    EXPECT_EQ(ReadExport(*db, conn, choice, data), VLResult::Ok);
    return xml ? WriteVellumarXml(data) : WriteVellumarCsv(data);
  }

  // Every position of a portfolio, in the store's order.
  std::vector<std::unique_ptr<VLHoldingItem>> Positions(uint32_t portfolioId) {
    std::vector<std::unique_ptr<VLHoldingItem>> all;
    for (bool held : {true, false}) {
      VLHoldingItemList list;
      EXPECT_EQ(db->GetPositions(conn, portfolioId, held, list), VLResult::Ok);
      for (const auto& item : list) {
        std::unique_ptr<Item> clone = item->Clone();
        all.emplace_back(static_cast<VLHoldingItem*>(clone.release()));
      }
    }
    std::stable_sort(all.begin(), all.end(), [](const auto& a, const auto& b) { return a->id < b->id; });
    return all;
  }
  uint32_t PortfolioId(const std::string& name) {
    VLPortfolioItemList list;
    EXPECT_EQ(db->GetPortfolios(conn, list), VLResult::Ok);
    for (const auto& item : list) {
      if (item->name == name) return item->id;
    }
    return 0;
  }

  ImportReading reading;
  ImportOutcome outcome;
  ImportProblems problems;
};
