#include "prefs/ini_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <random>
#include <string>
#include <utility>

#include "prefs/prefs.h"
#include "tests/support/temp_folder.h"

namespace {

// Typed access to one section of one file.
class FilePrefs : public Prefs {
 public:
  FilePrefs(const std::string& file, const std::string& section) : Prefs(section) { SetFileName(file); }
};

// Each test's own folder and the settings file in it.
class IniFileTest : public ::testing::Test {
 protected:
  TempFolder folder;
  const std::string path = folder.File("app.ini");
};

}  // namespace

TEST_F(IniFileTest, MissingFileReadsDefaultsAndFirstWriteCreatesIt) {
  Prefs prefs("General");
  prefs.SetFileName(path);
  EXPECT_EQ(prefs.ReadInt("Width", 77), 77);
  EXPECT_TRUE(prefs.ReadBool("Flag", true));
  EXPECT_FALSE(prefs.ReadBool("Flag", false));
  EXPECT_EQ(prefs.ReadString("Name", "fallback"), "fallback");
  EXPECT_TRUE(prefs.Save());  // deleting a section of a missing file is no failure

  ASSERT_TRUE(prefs.WriteInt("Width", -32767));
  EXPECT_EQ(ReadText(path), "[General]\nWidth=-32767\n");
  EXPECT_EQ(prefs.ReadInt("Width", 0), -32767);
}

TEST_F(IniFileTest, SectionsAndKeysMatchWithoutRegardToCaseAndKeepTheirSpelling) {
  WriteText(path, "[GENERAL]\nShowSoldView=1\n[other]\nshowsoldview=0\n");
  Prefs prefs("general");
  prefs.SetFileName(path);
  EXPECT_TRUE(prefs.ReadBool("SHOWSOLDVIEW", false));
  ASSERT_TRUE(prefs.WriteInt("showSOLDview", 0));
  EXPECT_EQ(ReadText(path), "[GENERAL]\nShowSoldView=0\n[other]\nshowsoldview=0\n");
}

TEST_F(IniFileTest, ValuesKeepInnerBlanksAndEqualsSignsButLoseOuterBlanksAndQuotes) {
  WriteText(path,
            "[S]\n"
            "  Path =  C:\\My Files\\a=b.txt  \n"
            "Quoted=\"  padded  \"\n"
            "Single='x'\n"
            "Lone=\"unbalanced\n"
            "Empty=\n"
            "NoEquals\n"
            ";Comment=1\n");
  FilePrefs prefs(path, "S");
  EXPECT_EQ(prefs.ReadString("Path", ""), "C:\\My Files\\a=b.txt");
  EXPECT_EQ(prefs.ReadString("quoted", ""), "  padded  ");
  EXPECT_EQ(prefs.ReadString("Single", ""), "x");
  EXPECT_EQ(prefs.ReadString("Lone", ""), "\"unbalanced");
  EXPECT_EQ(prefs.ReadString("Empty", "default"), "");  // present but empty is not absent
  EXPECT_EQ(prefs.ReadString("NoEquals", "d"), "d");
  EXPECT_EQ(prefs.ReadString(";Comment", "d"), "d");

  ASSERT_TRUE(prefs.WriteString("Expr", "a = b = c"));
  EXPECT_EQ(prefs.ReadString("Expr", ""), "a = b = c");
}

TEST_F(IniFileTest, IntegersReadLikeTheProfileReader) {
  WriteText(path,
            "[S]\nA=12abc\nB=abc\nC=  -45\nD=\nE=+8\nF=4294967297\nG=0x10\n"
            "H=99999999999999999999999\nI=2147483647\nJ=-2147483648\nK=2147483648\nL=-2147483649\n");
  FilePrefs prefs(path, "S");
  const std::pair<const char*, int> read[] = {
      {"A", 12},
      {"B", 0},
      {"C", -45},
      {"D", 0},
      {"E", 8},
      {"G", 0},
      // Outside the 32-bit range: the default (9), never a wrapped number.
      {"F", 9},
      {"H", 9},
      {"I", 2147483647},
      {"J", -2147483647 - 1},
      {"K", 9},
      {"L", 9},
      {"Missing", 9},
  };
  for (const auto& [key, value] : read) EXPECT_EQ(prefs.ReadInt(key, 9), value) << key;
  EXPECT_FALSE(prefs.ReadBool("B", true));
  EXPECT_TRUE(prefs.ReadBool("C", false));
}

TEST_F(IniFileTest, LongValuesAreCutAt259CharactersWithoutSplittingACharacter) {
  FilePrefs prefs(path, "S");
  const std::string longText(400, 'x');
  ASSERT_TRUE(prefs.WriteString("Long", longText));
  EXPECT_EQ(ReadText(path), "[S]\nLong=" + longText + "\n");  // stored whole, cut only when read
  EXPECT_EQ(prefs.ReadString("Long", ""), std::string(259, 'x'));
  EXPECT_EQ(prefs.ReadString("Missing", longText), std::string(259, 'x'));

  // "é" is two bytes; byte 259 would fall inside the last one.
  std::string accented(258, 'a');
  accented += "\xC3\xA9zz";
  ASSERT_TRUE(prefs.WriteString("Accented", accented));
  EXPECT_EQ(prefs.ReadString("Accented", ""), std::string(258, 'a'));
}

TEST_F(IniFileTest, WritingKeepsOtherSectionsCommentsAndKeyOrder) {
  WriteText(path,
            "; settings\r\n"
            "[First]\r\n"
            "B=2\r\n"
            "A=1\r\n"
            "\r\n"
            "[Second]\r\n"
            "Z=26\r\n");
  FilePrefs prefs(path, "First");
  ASSERT_TRUE(prefs.WriteInt("A", 10));
  ASSERT_TRUE(prefs.WriteInt("C", 3));
  FilePrefs third(path, "Third");
  ASSERT_TRUE(third.WriteString("Y", "yes"));
  EXPECT_EQ(ReadText(path),
            "; settings\r\n"
            "[First]\r\n"
            "B=2\r\n"
            "A=10\r\n"
            "C=3\r\n"
            "\r\n"
            "[Second]\r\n"
            "Z=26\r\n"
            "\r\n"
            "[Third]\r\n"
            "Y=yes\r\n");
}

TEST_F(IniFileTest, LinesEndInLfCrLfOrABareCr) {
  WriteText(path, "[S]\rA=1\rB=2\r\nC=3\nD=4\r[T]\rE=5");
  FilePrefs s(path, "S");
  EXPECT_EQ(s.ReadInt("A", 9), 1);
  EXPECT_EQ(s.ReadInt("B", 9), 2);
  EXPECT_EQ(s.ReadInt("C", 9), 3);
  EXPECT_EQ(s.ReadInt("D", 9), 4);
  EXPECT_EQ(s.ReadInt("E", 9), 9);  // in the next section
  EXPECT_EQ(FilePrefs(path, "T").ReadInt("E", 9), 5);

  // Writing keeps every line's own ending; a new line takes the first line's.
  ASSERT_TRUE(s.WriteInt("A", 10));
  ASSERT_TRUE(s.WriteInt("F", 6));
  EXPECT_EQ(ReadText(path), "[S]\rA=10\rB=2\r\nC=3\nD=4\rF=6\r[T]\rE=5\n");
}

TEST_F(IniFileTest, DeletingASectionRemovesEveryCopyAndKeepsTheOthers) {
  WriteText(path, "[General]\nA=1\n[Keep]\nK=v\n[general]\nB=2\n; note\n[Last]\nL=1\n");
  FilePrefs prefs(path, "General");
  EXPECT_EQ(prefs.ReadInt("B", 0), 2);  // a key in a repeated section is still found
  IniFile ini;
  ASSERT_TRUE(ini.Load(path));
  ASSERT_TRUE(ini.DeleteSection("General"));
  ASSERT_TRUE(ini.Save(path));
  EXPECT_EQ(ReadText(path), "[Keep]\nK=v\n[Last]\nL=1\n");
  EXPECT_EQ(prefs.ReadInt("A", 5), 5);
}

TEST_F(IniFileTest, TextsTheFormatCannotHoldAreRefusedAndChangeNothing) {
  WriteText(path, "[S]\nA=1\n");
  FilePrefs prefs(path, "S");
  EXPECT_FALSE(prefs.WriteString("A", "two\nlines"));
  EXPECT_FALSE(prefs.WriteString("K=ey", "v"));
  EXPECT_FALSE(prefs.WriteString("", "v"));
  EXPECT_FALSE(FilePrefs(path, "Bad]Name").WriteInt("A", 1));
  EXPECT_EQ(ReadText(path), "[S]\nA=1\n");
}

TEST_F(IniFileTest, BinaryGarbageNeitherCrashesNorGetsLost) {
  std::mt19937 random(42);
  std::string garbage;
  for (int i = 0; i < 20000; ++i) garbage.push_back(static_cast<char>(random() & 0xFF));
  garbage += "\r\n[S\n[]\n=\n[S]\r\nGood=1\n";
  garbage += std::string("\0\0\n", 3);
  WriteText(path, garbage);
  FilePrefs prefs(path, "S");
  EXPECT_EQ(prefs.ReadInt("Good", 0), 1);
  EXPECT_EQ(prefs.ReadString("Missing", "d"), "d");
  ASSERT_TRUE(prefs.WriteInt("Good", 2));
  std::string expected = garbage;
  expected.replace(expected.find("Good=1"), 6, "Good=2");
  EXPECT_EQ(ReadText(path), expected);
}

TEST_F(IniFileTest, AFileTooLargeOrUnreadableIsNeitherReadNorReplaced) {
  const std::string big = "[S]\nA=1\n" + std::string(IniFile::kMaxFileBytes, ';');
  WriteText(path, big);
  FilePrefs prefs(path, "S");
  EXPECT_EQ(prefs.ReadInt("A", 7), 7);
  EXPECT_FALSE(prefs.WriteInt("A", 2));
  EXPECT_FALSE(prefs.DeleteKey("A"));
  EXPECT_EQ(ReadText(path).size(), big.size());

  // A folder where the file should be cannot be read either.
  const std::string dirPath = folder.File("dir.ini");
  ASSERT_EQ(::mkdir(dirPath.c_str(), 0755), 0);
  FilePrefs dirPrefs(dirPath, "S");
  EXPECT_EQ(dirPrefs.ReadInt("A", 3), 3);
  EXPECT_FALSE(dirPrefs.WriteInt("A", 1));
}

TEST_F(IniFileTest, SaveFailsCleanlyWhenTheFolderIsMissing) {
  IniFile ini;
  ini.Parse("[S]\nA=1\n");
  EXPECT_FALSE(ini.Save(folder.File("missing/app.ini")));
  EXPECT_TRUE(ini.Save(path));
  EXPECT_EQ(ReadText(path), "[S]\nA=1\n");
}
