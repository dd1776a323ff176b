#pragma once
#include <string>
#include <vector>

#include "framework/file_error.h"
#include "portfolio/exchange/csv_mapping.h"
#include "prefs/ini_file.h"

// Named mappings for importing CSV files, kept beside the settings (AppPaths::ImportProfilesPath) in an INI
// file of their own, one section per profile: the column of each field under the field's name ("symbol",
// "sale-price"), then "delimiter" (",", ";" or "tab"), "decimal-comma" (0 or 1), "date-format",
// "encoding" ("auto", "utf-8" or "latin-1") and "skip-rows". The window and the command line share them.
class ImportProfiles {
 public:
  explicit ImportProfiles(std::string path) : path(std::move(path)) {}

  // Reads the file; a missing file has no profiles. False when it exists but cannot be read.
  [[nodiscard]] bool Load();
  // The profiles' names in the order of the file.
  std::vector<std::string> Names() const;
  // The profile of that name (any letter case) laid over the defaults, else the shipped profile of the name
  // (ShippedProfiles); false when there is neither. A value
  // the profile holds but the import cannot use (an unknown delimiter) is named in `error`.
  [[nodiscard]] bool Get(const std::string& name, CsvMapping& mapping, std::string& error) const;
  // Writes the profile (replacing one of that name) into the file as it is on disk now, keeping the other
  // profiles and any comments. False with `error` when the name cannot be a section name (empty, a line
  // break or "]") or the file cannot be written.
  [[nodiscard]] bool Save(const std::string& name, const CsvMapping& mapping, FileError& error);
  // Whether `name` can name a profile: not blank, no blanks at either end, no control character, no "[" or
  // "]", not a shipped profile's name. `why` says what is wrong, for a message that the name was refused (not
  // that a file failed).
  [[nodiscard]] static bool IsUsableName(const std::string& name, std::string& why);

  const std::string& GetPath() const { return path; }

 private:
  std::string path;
  IniFile ini;
};

// Beside the settings file `iniPath`: the file the profiles are kept in.
std::string ImportProfilesPathBeside(const std::string& iniPath);
