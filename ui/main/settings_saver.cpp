#include "ui/main/settings_saver.h"

#include "prefs/vl_prefs.h"
#include "ui/widgets/message_box.h"

namespace {
bool told = false;
}  // namespace

bool SaveSettings(QWidget* parent, VLPrefs& prefs) {
  if (prefs.Save()) return true;
  if (told) return false;
  told = true;
  const FileError why = prefs.SaveFailure();
  ShowMessage(
      parent, StringId::SettingsSaveError, MessageIcon::Exclamation, MessageButtons::Ok,
      {QString::fromStdString(prefs.GetFileName()),
       QString::fromStdString(why.IsSet() ? why.Cause() : std::string("the file could not be read"))});
  return false;
}
