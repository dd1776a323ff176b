#pragma once
#include <functional>

class QDialog;

// Every modal dialog of the application runs through here, so tests can fill in and close a dialog
// without hunting for the active modal window.
using DialogRunner = std::function<int(QDialog&)>;

// Replaces the runner (tests); an empty runner restores QDialog::exec. Returns the previous one.
DialogRunner SetDialogRunner(DialogRunner runner);
// QDialog::Accepted or Rejected.
int RunDialog(QDialog& dialog);
