#include "prefs/vl_prefs.h"

void VLPrefs::SetFileName(const std::string& name) {
  Prefs::SetFileName(name);
  general.SetFileName(name);
  services.SetFileName(name);
}

void VLPrefs::Load() {
  general.Load();
  services.Load();
}

bool VLPrefs::Save() {
  const bool generalSaved = general.Save();
  const bool servicesSaved = services.Save();
  return generalSaved && servicesSaved;
}

FileError VLPrefs::SaveFailure() const {
  return general.GetLastSaveError().IsSet() ? general.GetLastSaveError() : services.GetLastSaveError();
}

void VLPrefs::SetDefaults() {
  general.SetDefaults();
  services.SetDefaults();
}
