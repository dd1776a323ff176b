#include "prefs/vl_general_prefs.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "tests/support/temp_folder.h"
#include "tests/support/unprivileged.h"

namespace {

const std::string kFixtures = std::string(VL_FIXTURES_DIR) + "/prefs/";

using Columns = std::vector<int32_t>;

uint32_t Rgb(uint32_t r, uint32_t g, uint32_t b) {
  return r | g << 8 | b << 16;
}

// Loads prefs from a file holding `text`.
void LoadFrom(const std::string& path, const std::string& text, VLGeneralPrefs& prefs) {
  WriteText(path, text);
  prefs.SetFileName(path);
  prefs.Load();
}

// Each test's own folder and the settings file in it.
class VLGeneralPrefsTest : public ::testing::Test {
 protected:
  TempFolder folder;
  const std::string path = folder.File("Vellumar.ini");
};

}  // namespace

TEST_F(VLGeneralPrefsTest, WithoutAFileEverySettingHasItsDefaultAndSaveWritesAll34Keys) {
  VLGeneralPrefs prefs;
  prefs.SetFileName(path);
  prefs.Load();
  // The reference file holds every default value; a wrong one is written differently.
  ASSERT_TRUE(prefs.Save());
  EXPECT_EQ(ReadText(path), ReadText(kFixtures + "general_defaults.ini"));
}

TEST_F(VLGeneralPrefsTest, ColumnListsDropUnknownIdsAndFallBackToDefaultsWhenUnusable) {
  const Columns heldDefault{0, 1, 3, 4, 8, 9, 14, 15};
  const Columns soldDefault{0, 1, 8, 14, 11, 73, 65, 15, 31};
  struct Case {
    const char* text;
    Columns held;
  };
  const Case cases[] = {
      {"HeldColumns=3,99,4", {3, 4}},
      {"HeldColumns=3,x,4", heldDefault},
      {"HeldColumns=3,,4", heldDefault},
      {"HeldColumns=3,4,", heldDefault},
      {"HeldColumns=99,-1,85", heldDefault},  // nothing left
      {"HeldColumns=0,74", {0, 74}},          // the Currency column, newer than the classic 74
      {"HeldColumns=", heldDefault},
      {"HeldColumns= 73 , +5,73", {73, 5, 73}},
      {"HeldColumns=2,99999999999999999999", {2}},
      {"Columns=1,2\nHeldColumns=5", {1, 2}},
      {"Columns=   \nHeldColumns=5", {5}},
      {"Columns=1,y\nHeldColumns=5", heldDefault},  // the old key wins even when unusable
  };
  for (const Case& c : cases) {
    VLGeneralPrefs prefs;
    LoadFrom(path, std::string("[General]\n") + c.text + "\n", prefs);
    EXPECT_EQ(prefs.heldColumns, c.held) << c.text;
    EXPECT_EQ(prefs.soldColumns, soldDefault) << c.text;
  }

  VLGeneralPrefs prefs;
  LoadFrom(path, "[General]\nColumns=7\nSoldColumns=66,x\n", prefs);
  EXPECT_EQ(prefs.soldColumns, soldDefault);  // the sold list never reads "Columns"
  LoadFrom(path, "[General]\nSoldColumns=66,0\n", prefs);
  EXPECT_EQ(prefs.soldColumns, (Columns{66, 0}));
}

TEST_F(VLGeneralPrefsTest, HandEditedFileIsMendedAndTheNextSaveKeepsCommentsUnknownKeysAndOrder) {
  VLGeneralPrefs prefs;
  LoadFrom(path, ReadText(kFixtures + "hand_edited.ini"), prefs);

  EXPECT_EQ(prefs.heldColumns, (Columns{1, 2}));
  EXPECT_EQ(prefs.soldColumns, (Columns{3, 4}));
  EXPECT_EQ(prefs.heldSortBy, 0);  // "Day Range" cannot be sorted
  EXPECT_EQ(prefs.soldSortBy, 16);
  EXPECT_FALSE(prefs.soldSortAscending);
  EXPECT_EQ(prefs.alternateRowColor, Rgb(44, 255, 232));
  EXPECT_EQ(prefs.sortedColumnColor, Rgb(240, 240, 17));
  EXPECT_EQ(prefs.xPos, -40);
  EXPECT_EQ(prefs.importFile, "/home/user/My Portfolios/import=2.csv");
  EXPECT_FALSE(prefs.showDisclaimer);

  ASSERT_TRUE(prefs.Save());
  const std::string saved = ReadText(path);
  // The user's comment and the key this program does not know stay where they were; every known key keeps
  // its line, the missing ones follow the section's last line; the old "Columns" goes (it would win over
  // "HeldColumns" at the next load).
  EXPECT_EQ(saved.rfind(
                "; Edited by hand: the old \"Columns\" key, odd values and a key the program does not know.\n"
                "[Window]\nMaximized=1\n\n[General]\nHeldColumns=1,2\nSoldColumns=3,4\n",
                0),
            0u)
      << saved;
  EXPECT_NE(saved.find(
                "\nImportFile=/home/user/My Portfolios/import=2.csv\nFavouriteColour=blue\nShowDisclaimer=0\n"
                "HidePortfolios=0\n"),
            std::string::npos)
      << saved;
  EXPECT_EQ(saved.find("\nColumns="), std::string::npos);
  EXPECT_NE(saved.find("[Window]\nMaximized=1\n"), std::string::npos);
  EXPECT_NE(saved.find("[Services]\nQuoteCsvHost=quotes.localhost:9000\n"), std::string::npos);
  EXPECT_NE(saved.find("\nAlternateRowColorR=44\nAlternateRowColorG=255\nSortedColumnColorB=17\n"),
            std::string::npos);
  EXPECT_NE(saved.find("\nAlternateRowColorB=232\n"), std::string::npos);

  VLGeneralPrefs reloaded;
  reloaded.SetFileName(path);
  reloaded.Load();
  EXPECT_EQ(reloaded.heldColumns, (Columns{1, 2}));
  EXPECT_EQ(reloaded.alternateRowColor, prefs.alternateRowColor);
  EXPECT_EQ(reloaded.importFile, prefs.importFile);
}

TEST_F(VLGeneralPrefsTest, SortColumnsThatCannotBeSortedReadAsZero) {
  for (int32_t id : {2, 20, 21, 22, 24, 30, 85, -1, 1000}) {
    VLGeneralPrefs prefs;
    LoadFrom(path,
             "[General]\nHeldSortBy=" + std::to_string(id) + "\nSoldSortBy=" + std::to_string(id) + "\n",
             prefs);
    EXPECT_EQ(prefs.heldSortBy, 0) << id;
    EXPECT_EQ(prefs.soldSortBy, 0) << id;
  }
  for (int32_t id : {1, 3, 15, 56, 73, 74}) {
    VLGeneralPrefs prefs;
    LoadFrom(path, "[General]\nHeldSortBy=" + std::to_string(id) + "\n", prefs);
    EXPECT_EQ(prefs.heldSortBy, id);
  }
}

TEST_F(VLGeneralPrefsTest, EverySettingSurvivesLoadCopyToAndSave) {
  const std::string changed = ReadText(kFixtures + "general_changed.ini");
  VLGeneralPrefs loaded;
  LoadFrom(folder.File("in.ini"), changed, loaded);

  // A key missed by Load, CopyTo or Save would come out as its default.
  VLGeneralPrefs copy;
  loaded.CopyTo(copy);
  EXPECT_TRUE(copy.GetFileName().empty());  // settings only, not the file
  copy.SetFileName(folder.File("out.ini"));
  ASSERT_TRUE(copy.Save());
  EXPECT_EQ(ReadText(folder.File("out.ini")), changed);

  Columns held;
  Columns sold{99};
  copy.GetHeldColumns(held);
  copy.GetSoldColumns(sold);
  EXPECT_EQ(held, (Columns{73, 0, 56}));
  EXPECT_EQ(sold, (Columns{66, 1}));
  copy.GetDefaultColumns(false, sold);
  EXPECT_EQ(sold, (Columns{0, 1, 8, 14, 11, 73, 65, 15, 31}));

  // An empty list is written as an empty text and comes back as the default set.
  copy.heldColumns.clear();
  ASSERT_TRUE(copy.Save());
  EXPECT_NE(ReadText(folder.File("out.ini")).find("\nHeldColumns=\n"), std::string::npos);
  copy.Load();
  EXPECT_EQ(copy.heldColumns, (Columns{0, 1, 3, 4, 8, 9, 14, 15}));
}

TEST_F(VLGeneralPrefsTest, SetDefaultsForgetsEveryChange) {
  VLGeneralPrefs prefs;
  prefs.heldColumns = {5};
  prefs.importFile = "x";
  prefs.xPos = 3;
  prefs.alternateRowColor = 0;
  prefs.SetDefaults();
  EXPECT_EQ(prefs.heldColumns, (Columns{0, 1, 3, 4, 8, 9, 14, 15}));
  EXPECT_TRUE(prefs.importFile.empty());
  EXPECT_EQ(prefs.xPos, -32767);
  EXPECT_EQ(prefs.alternateRowColor, Rgb(232, 248, 232));
}

TEST_F(VLGeneralPrefsTest, AValueTheFileCannotHoldIsReportedAndTheRestIsStillSaved) {
  VLGeneralPrefs prefs;
  LoadFrom(path, "[General]\nXPos=10\nExportDir=/old\n[Other]\nA=1\n", prefs);
  prefs.exportDir = "two\nlines";
  prefs.xPos = 20;
  EXPECT_FALSE(prefs.Save());
  const std::string saved = ReadText(path);
  EXPECT_NE(saved.find("\nXPos=20\n"), std::string::npos);
  EXPECT_NE(saved.find("\nExportDir=/old\n"), std::string::npos);  // the last value the file could hold
  EXPECT_NE(saved.find("[Other]\nA=1\n"), std::string::npos);
}

// A settings file the user made read-only is not replaced (its folder would allow that), and the save says
// why; unchanged settings are no failure, as nothing needs writing. The suite may run as root, who may write
// any file, so the user runs in a child without those rights.
TEST_F(VLGeneralPrefsTest, AReadOnlyFileIsLeftAsItIsAndTheSaveSaysWhy) {
  WriteText(path, "; mine, hands off\n[General]\nXPos=10\n");
  {
    VLGeneralPrefs prefs;  // every key written once, so the file holds what the program would write
    prefs.SetFileName(path);
    prefs.Load();
    ASSERT_TRUE(prefs.Save());
  }
  const std::string before = ReadText(path);
  ::chmod(folder.Path().c_str(), 0777);  // the folder would let anybody replace the file
  ::chmod(path.c_str(), 0444);
  const int code = RunUnprivileged([&] {
    VLGeneralPrefs prefs;
    prefs.SetFileName(path);
    prefs.Load();
    if (!prefs.Save()) return 10;  // nothing changed: nothing to write
    prefs.xPos = 20;
    if (prefs.Save()) return 11;
    return prefs.GetLastSaveError().Describe() == "cannot write " + path + ": Permission denied" ? 0 : 12;
  });
  EXPECT_EQ(code, 0);
  EXPECT_EQ(ReadText(path), before);
  struct stat st {};
  ASSERT_EQ(::stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0444u) << "the file was not replaced by another";
}

// Earlier versions kept the import's "Read as" choice by its place; it is read, and replaced by the choice's
// name at the next save.
TEST_F(VLGeneralPrefsTest, TheImportChoiceByPlaceIsReadAndGivesWayToTheOneByName) {
  VLGeneralPrefs prefs;
  LoadFrom(path, "[General]\nImportMode=4\nImportFile=a.ofx\n", prefs);
  EXPECT_EQ(std::make_tuple(prefs.importMode, prefs.importFormat), std::make_tuple(4, std::string()));
  VLGeneralPrefs copy;
  prefs.CopyTo(copy);
  EXPECT_EQ(copy.importMode, 4);
  prefs.importFormat = "ofx";
  ASSERT_TRUE(prefs.Save());
  const std::string saved = ReadText(path);
  EXPECT_EQ(saved.find("ImportMode"), std::string::npos) << saved;
  EXPECT_NE(saved.find("\nImportFormat=ofx\n"), std::string::npos) << saved;
  prefs.Load();
  EXPECT_EQ(std::make_tuple(prefs.importMode, prefs.importFormat), std::make_tuple(0, std::string("ofx")));
}
