#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "portfolio/exchange/import_reading.h"

// Each form a file is imported in, described once: the reading, its detection, the dialog's "Read as"
// choices and file filter, the command line's --format and the fuzz target all take it from here.
struct ImportFormatInfo {
  ExchangeFormat format;
  const char* name;          // in the summary, --json and the saved settings: "mapped-csv"
  const char* commandNames;  // what --format takes for it, '|' between them; "" when none
  const char* choiceText;    // the dialog's "Read as" choice
  const char* foundText;     // the dialog's "Read as: ..." once a file is read
  const char* fileNoun;      // in a sentence: "the positions of a statement go into ..."
  const char* filePatterns;  // its part of the file dialog's filter ("*.ofx *.qfx"); "" when none
  const char* extensions;    // file name extensions that say it when the content does not, '|' between
  bool (*recognised)(std::string_view bytes);  // whether the content says it; null when nothing does
  bool needsTarget;    // its rows carry no portfolio: the import names the one they go into
  bool readsFromFile;  // its reader needs the file itself (libofx reads a statement from its path)
  bool vellumarForm;   // written by Vellumar's export
  // Reads the file's bytes into `reading` (whose format and portfolio check are done); null for Detect.
  void (*read)(std::string_view bytes, const std::string& path, const ImportOptions& options,
               ImportReading& reading);
  int savedNumber;  // what settings of earlier versions kept for it, the choice's place ("ImportMode")
};

// Every format, Detect first, in the order of the dialog's choices.
const std::vector<ImportFormatInfo>& ImportFormatTable();
const ImportFormatInfo& ImportFormatInfoOf(ExchangeFormat format);
// The format of a name, a --format value or a number kept by earlier versions; nullopt for none.
std::optional<ExchangeFormat> ImportFormatNamed(std::string_view name);
std::optional<ExchangeFormat> ImportFormatOfCommandName(std::string_view commandName);
std::optional<ExchangeFormat> ImportFormatOfSavedNumber(int number);
// "csv, xml or ofx": the --format values, the first of each format's.
std::string ImportFormatCommandNames();
// "Portfolios and statements (*.csv *.xml ...)": every format's patterns.
std::string ImportFileFilter();

// The form of a file from its first bytes and its name.
ExchangeFormat DetectExchangeFormat(std::string_view bytes, const std::string& fileName);
