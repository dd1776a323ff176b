#pragma once
#include "prefs/prefs.h"
#include "prefs/vl_general_prefs.h"
#include "prefs/vl_service_prefs.h"
#include "prefs/vl_update_prefs.h"

// The application's preferences: the "General", "Services" and "Updates" settings of one INI file. Load,
// Save and SetDefaults act on all three.
class VLPrefs : public Prefs {
 public:
  VLPrefs() = default;

  void SetFileName(const std::string& name) override;
  void Load() override;
  // False when any section could not be written (each is written whole or not at all); SaveFailure
  // then says why.
  [[nodiscard]] bool Save() override;
  FileError SaveFailure() const;
  void SetDefaults() override;

  VLGeneralPrefs& GetGeneralPrefs() { return general; }
  const VLGeneralPrefs& GetGeneralPrefs() const { return general; }
  VLServicePrefs& GetServicePrefs() { return services; }
  const VLServicePrefs& GetServicePrefs() const { return services; }
  VLUpdatePrefs& GetUpdatePrefs() { return updates; }
  const VLUpdatePrefs& GetUpdatePrefs() const { return updates; }

 private:
  VLGeneralPrefs general;
  VLServicePrefs services;
  VLUpdatePrefs updates;
};
