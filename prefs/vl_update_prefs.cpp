#include "prefs/vl_update_prefs.h"

namespace {

constexpr const char* kUpdateAtStartKey = "UpdateAtStart";
constexpr const char* kUpdateEveryKey = "UpdateEvery";
constexpr const char* kUpdateMinutesKey = "UpdateMinutes";
constexpr const char* kFetchRealPricesKey = "FetchRealPrices";

}  // namespace

VLUpdatePrefs::VLUpdatePrefs() : Prefs("Updates") {}

void VLUpdatePrefs::SetDefaults() {
  updateAtStart = true;
  updateEvery = false;
  updateMinutes = kDefaultMinutes;
  fetchRealPrices = false;
}

void VLUpdatePrefs::Load() {
  SetDefaults();
  BeginBatch();
  updateAtStart = ReadBool(kUpdateAtStartKey, updateAtStart);
  updateEvery = ReadBool(kUpdateEveryKey, updateEvery);
  const int32_t minutes = ReadInt(kUpdateMinutesKey, updateMinutes);
  if (minutes >= 1 && minutes <= kMaxMinutes) updateMinutes = minutes;
  fetchRealPrices = ReadBool(kFetchRealPricesKey, fetchRealPrices);
  (void)EndBatch(false);  // read-only: nothing to commit; what could not be read keeps its default
}

bool VLUpdatePrefs::Save() {
  BeginBatch();
  bool written = WriteBool(kUpdateAtStartKey, updateAtStart);
  written = WriteBool(kUpdateEveryKey, updateEvery) && written;
  written = WriteInt(kUpdateMinutesKey, updateMinutes) && written;
  written = WriteBool(kFetchRealPricesKey, fetchRealPrices) && written;
  return EndBatch(true) && written;
}
