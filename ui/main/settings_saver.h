#pragma once

class QWidget;
class VLPrefs;

// Writes the settings file. The first time in a run that it cannot (a file the user made read-only, a full
// disk), the user is told once, with the file and the reason (string 3016); the settings then last until the
// program ends, and later failures stay quiet. `parent` may be null (at exit). True when written.
bool SaveSettings(QWidget* parent, VLPrefs& prefs);
