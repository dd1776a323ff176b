#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "prefs/prefs.h"

// The settings of the "General" section: window placement, panels, list columns and sort orders,
// colours, news limits, market and the last import and export choices. Windows read and change the
// fields directly; the application loads them once at start-up and saves them at exit.
class VLGeneralPrefs : public Prefs {
 public:
  VLGeneralPrefs();

  // Defaults, then every key read with the current value as its default; bad column lists, unsortable
  // sort columns and out-of-range colour components are mended as they are read.
  void Load() override;
  // Deletes only the "General" section, then writes every key in a fixed order, all in one file write.
  // False when the file could not be read or written; it is then left as it was.
  [[nodiscard]] bool Save() override;
  void SetDefaults() override;

  // Copies every setting (not the file or section name) into `other`.
  virtual void CopyTo(VLGeneralPrefs& other) const;
  virtual void GetHeldColumns(std::vector<int32_t>& list) const;
  virtual void GetSoldColumns(std::vector<int32_t>& list) const;
  virtual void GetDefaultColumns(bool held, std::vector<int32_t>& list) const;

  // A column list as stored: ids in decimal joined by "," (an empty list is an empty text).
  static std::string FormatColumnList(const std::vector<int32_t>& list);
  // Parses a stored column list. False when a piece is not a decimal integer (the list is unusable);
  // otherwise `list` holds the pieces that are column ids, unknown ids dropped.
  [[nodiscard]] static bool ParseColumnList(const std::string& text, std::vector<int32_t>& list);

  bool hidePortfolios = false;
  bool showFavorites = false;
  bool showPortfolioSummary = true;
  bool alwaysOnTop = false;
  bool showDisclaimer = true;
  int32_t defaultPortfolio = 0;
  bool showSoldView = false;
  int32_t xPos = -32767;  // -32767: the window was never placed
  int32_t yPos = -32767;
  int32_t width = 0;  // 0: default size
  int32_t height = 0;
  int32_t market = 0;
  int32_t newsItems = 0;
  int32_t newsDuration = 0;
  std::vector<int32_t> heldColumns;
  std::vector<int32_t> soldColumns;
  int32_t heldSortBy = 0;
  bool heldSortAscending = true;
  int32_t soldSortBy = 0;
  bool soldSortAscending = true;
  bool alternateRowColors = true;
  std::string importFile;
  // The import dialog's "Read as" choice by its name ("ofx"); empty until this version saves one.
  std::string importFormat;
  // The choice by its place, as earlier versions kept it ("ImportMode"): read while `importFormat` is empty,
  // never written.
  int32_t importMode = 0;
  std::string exportDir;
  bool exportDatabase = false;
  bool importExportCash = true;
  bool importExportMargin = true;
  bool importExportIndex = true;
  // Colours hold red in the low byte, then green, then blue.
  uint32_t alternateRowColor = 0;
  uint32_t sortedColumnColor = 0;
  // The base currency a new portfolio gets (Options); empty: none.
  std::string defaultBaseCurrency;
};
