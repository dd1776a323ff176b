// Small files made to cost minutes or gigabytes: every one is refused, with its reason, within the time-out
// the test runner gives each test. Memory is measured as the peak of this test's own process.
#include <sys/resource.h>

#include <gtest/gtest.h>

#include <string>

#include "portfolio/exchange/csv_text.h"
#include "portfolio/exchange/import_reading.h"
#include "portfolio/exchange/vellumar_csv.h"

namespace {

ImportReading Read(const std::string& text, ExchangeFormat format, const std::string& target = {}) {
  ImportOptions options;
  options.format = format;
  options.targetPortfolio = target;
  if (format == ExchangeFormat::MappedCsv) options.mapping.columns[ImportField::Symbol] = "#1";
  return ReadImportText(text, format == ExchangeFormat::VellumarXml ? "in.xml" : "in.csv", options);
}

// The one problem of a refused reading, "line N: ..."; fails the test when there is not exactly one.
std::string OnlyProblem(const ImportReading& reading) {
  EXPECT_EQ(reading.problems.size(), 1u);
  return reading.problems.empty() ? std::string() : reading.problems[0].Describe();
}

int64_t PeakKilobytes() {
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

std::string VellumarCsvRow(const std::string& portfolio, const std::string& symbol,
                           const std::string& comment) {
  std::string row;
  std::vector<std::string> fields(VellumarCsvHeader().size());
  fields[0] = portfolio;
  fields[2] = "stock";
  fields[3] = symbol;
  fields[4] = "1";
  fields[5] = "1.00";
  fields[18] = comment;
  AppendCsvRecord(row, fields);
  return row;
}

std::string VellumarCsv(const std::string& rows) {
  std::string text;
  AppendCsvRecord(text, VellumarCsvHeader());
  return text + rows;
}

}  // namespace

TEST(CraftedInput, AnXmlElementWithAHugeNumberOfAttributes) {
  std::string text =
      "<?xml version=\"1.0\"?>\n<VellumarPortfolios version=\"1\">\n<Portfolio name=\"P\">\n<VLCash";
  for (int i = 0; i < 300000; ++i) text += " a" + std::to_string(i) + "=\"0\"";
  text += "/>\n</Portfolio>\n</VellumarPortfolios>\n";
  EXPECT_EQ(OnlyProblem(Read(text, ExchangeFormat::VellumarXml)),
            "line 4: an element has more than 64 attributes");
}

TEST(CraftedInput, XmlNestedDeeperThanAnyVellumarFile) {
  std::string text = "<VellumarPortfolios version=\"1\">";
  for (int i = 0; i < 100000; ++i) text += "<a>";
  EXPECT_EQ(OnlyProblem(Read(text, ExchangeFormat::VellumarXml)),
            "line 1: the elements are nested more than 32 deep");
}

TEST(CraftedInput, AHundredThousandEmptyPortfolios) {
  std::string text = "<VellumarPortfolios version=\"1\">\n";
  for (int i = 0; i < 100000; ++i) text += "<Portfolio name=\"P" + std::to_string(i) + "\"/>\n";
  text += "</VellumarPortfolios>\n";
  EXPECT_EQ(OnlyProblem(Read(text, ExchangeFormat::VellumarXml)),
            "line 1002: the file names more than 1000 portfolios, more than one import may create");
  // The same in Vellumar CSV.
  std::string rows;
  for (int i = 0; i < 100000; ++i) rows += "P" + std::to_string(i) + ",,portfolio,,,,,,,,,,,,,,,,,\r\n";
  EXPECT_EQ(OnlyProblem(Read(VellumarCsv(rows), ExchangeFormat::VellumarCsv)),
            "line 1002: the file names more than 1000 portfolios, more than one import may create");
}

TEST(CraftedInput, ACsvFileOfNothingButCommasTakesLittleMemory) {
  // 40 MB of rows of 999 empty fields: each field held as a string would take some 32 times the file.
  std::string line(999, ',');
  line += "\n";
  std::string text;
  for (size_t i = 0; text.size() < (40u << 20); ++i) text += line;
  const int64_t before = PeakKilobytes();
  const ImportReading reading = Read(text, ExchangeFormat::MappedCsv, "P");
  const int64_t grown = PeakKilobytes() - before;
  EXPECT_TRUE(reading.plan.steps.empty());  // every row is blank
  EXPECT_LT(grown * 1024, static_cast<int64_t>(text.size()) * 3) << "the reading grew by " << grown << " KB";

  // One row of a million commas is refused as it is read.
  const ImportReading wide = Read(std::string(1000000, ',') + "\n", ExchangeFormat::MappedCsv, "P");
  EXPECT_EQ(OnlyProblem(wide), "line 1: the row has more than 1000 fields");
}

TEST(CraftedInput, TextsLongerThanTheDialogsAllow) {
  const std::string symbol(8200, 'A');
  const std::string comment(50u << 20, 'c');
  const ImportReading reading =
      Read(VellumarCsv(VellumarCsvRow("P", symbol, "") + VellumarCsvRow("P", "MSFT", comment)),
           ExchangeFormat::VellumarCsv);
  ASSERT_EQ(reading.problems.size(), 2u);
  EXPECT_EQ(reading.problems[0].Describe(),
            "line 2: the symbol is longer than the 16 characters it may hold");
  EXPECT_EQ(reading.problems[1].Describe(),
            "line 3: the comment is longer than the 32767 characters it may hold");
}
