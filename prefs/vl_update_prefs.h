#pragma once
#include <cstdint>

#include "prefs/prefs.h"

// The "Updates" section: when quotes are refreshed without the user asking, and whether an update first
// has the bundled market-data service fetch real daily prices. Saved like "Services": its own keys are
// rewritten in place and anything else the user put into the section stays.
class VLUpdatePrefs : public Prefs {
 public:
  static constexpr int32_t kDefaultMinutes = 15;
  static constexpr int32_t kMaxMinutes = 24 * 60;

  VLUpdatePrefs();

  // Defaults, then every key; minutes outside 1 to kMaxMinutes keep the default.
  void Load() override;
  // Writes every key in one file write; false when the file could not be read or written.
  [[nodiscard]] bool Save() override;
  void SetDefaults() override;

  bool updateAtStart = true;                // "UpdateAtStart": refresh the quotes once the main window is up
  bool updateEvery = false;                 // "UpdateEvery": refresh every `updateMinutes` minutes
  int32_t updateMinutes = kDefaultMinutes;  // "UpdateMinutes"
  bool fetchRealPrices = false;  // "FetchRealPrices": the service fetches real prices before each update
};
