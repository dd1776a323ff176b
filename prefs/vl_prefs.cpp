#include "prefs/vl_prefs.h"

void VLPrefs::SetFileName(const std::string& name) {
  Prefs::SetFileName(name);
  general.SetFileName(name);
  services.SetFileName(name);
  updates.SetFileName(name);
}

void VLPrefs::Load() {
  general.Load();
  services.Load();
  updates.Load();
}

bool VLPrefs::Save() {
  const bool generalSaved = general.Save();
  const bool servicesSaved = services.Save();
  const bool updatesSaved = updates.Save();
  return generalSaved && servicesSaved && updatesSaved;
}

FileError VLPrefs::SaveFailure() const {
  if (general.GetLastSaveError().IsSet()) return general.GetLastSaveError();
  return services.GetLastSaveError().IsSet() ? services.GetLastSaveError() : updates.GetLastSaveError();
}

void VLPrefs::SetDefaults() {
  general.SetDefaults();
  services.SetDefaults();
  updates.SetDefaults();
}
