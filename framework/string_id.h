#pragma once

// The numbers of the user-visible texts. The core returns these where a window is to show a message; the
// user interface's string table holds the texts, keyed by the same names. A name says what the text is; its
// value is the text's number.
enum class StringId : int {
  None = 0,                        // no message
  UpdatedAt = 109,                 // "Updated: %s"
  DatabaseCreateError = 2048,      // %s: the database file
  DatabaseOpenError = 2049,        // the database could not be opened (no "%s")
  BackupFolderCreateError = 2126,  // %s: the backup folder
  BackupFolderFullError = 2127,    // %s: the backup folder, when every backup number is taken
  BackupCreateError = 2128,        // %s: the backup file
  BackupConfirm = 2129,            // %s: the backup file about to be written
  AppTitle = 57344,                // the application's name, the title of its message boxes
};
