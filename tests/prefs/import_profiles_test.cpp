// Import profiles: a mapping saved under a name comes back whole, beside other profiles and comments, and
// imports the same file the same way.
#include <gtest/gtest.h>

#include "portfolio/exchange/import_reading.h"
#include "prefs/import_profiles.h"
#include "tests/support/temp_folder.h"

TEST(ImportProfiles, ASavedProfileIsUsedAgain) {
  TempFolder folder;
  const std::string path = ImportProfilesPathBeside(folder.File("vellumar.ini"));
  EXPECT_EQ(path, folder.File("import-profiles.ini"));
  WriteText(path, "; my brokers\n[Other]\nsymbol=Code\nunknown=kept\n");

  CsvMapping mapping;
  std::string error;
  ASSERT_TRUE(
      ParseMappingText("symbol=Wertpapier,quantity=#2,price=Kurs,sale-price=Verkauf zu", mapping, error));
  // A transaction list's kinds, wildcard and all, are part of the profile.
  ASSERT_TRUE(mapping.kinds.Add("buy=Kauf|Sparplan*", error)) << error;
  ASSERT_TRUE(mapping.kinds.Add("dividend=Ertrag", error)) << error;
  mapping.sellWhenNegative = true;
  mapping.delimiter = '\t';
  mapping.decimalComma = true;
  mapping.dateFormat = "DD.MM.YYYY";
  mapping.encoding = TextEncoding::Latin1;
  mapping.skipRows = 3;
  ImportProfiles profiles(path);
  FileError saveError;
  ASSERT_TRUE(profiles.Save("Comdirect Depot", mapping, saveError)) << saveError.Describe();
  CsvMapping changed = mapping;
  changed.skipRows = 1;
  ASSERT_TRUE(profiles.Save("comdirect depot", changed, saveError));  // the same profile, replaced

  ImportProfiles again(path);
  ASSERT_TRUE(again.Load());
  EXPECT_EQ(again.Names(), (std::vector<std::string>{"Other", "comdirect depot"}));
  CsvMapping read;
  ASSERT_TRUE(again.Get("COMDIRECT DEPOT", read, error));
  EXPECT_TRUE(error.empty()) << error;
  EXPECT_EQ(read, changed);
  EXPECT_FALSE(again.Get("missing", read, error));
  const std::string text = ReadText(path);
  EXPECT_NE(text.find("; my brokers"), std::string::npos);
  EXPECT_NE(text.find("unknown=kept"), std::string::npos);

  // The profile reads a file as the mapping it was saved from does.
  ImportOptions options;
  options.targetPortfolio = "P";
  options.mapping = read;
  const std::string file = "preamble\nWertpapier\tAnzahl\tVerkauf zu\tKurs\nSAP\t0\t\t\n";
  const ImportReading reading = ReadImportText(file, "x.csv", options);
  ASSERT_FALSE(reading.Refused()) << reading.problems[0].Describe();
  ASSERT_EQ(reading.plan.steps.size(), 1u);
  EXPECT_EQ(reading.plan.steps[0].holding->name, "SAP");

  // What a profile file may hold that the import cannot use is said, not ignored.
  WriteText(path, "[Bad]\ndelimiter=|\n");
  ASSERT_TRUE(again.Load());
  ASSERT_TRUE(again.Get("Bad", read, error));
  EXPECT_EQ(error, "the delimiter '|' is not , ; or tab");
  EXPECT_FALSE(again.Save("a]b", mapping, saveError));
}
