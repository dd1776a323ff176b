#pragma once
#include <cstddef>
#include <string>
#include <string_view>

#include "portfolio/checks/entry_check.h"

// The longest texts a record takes, the same for the dialogs (their edit fields allow no more), the command
// line and every imported file. A symbol longer than any exchange's makes no request the service answers.
inline constexpr size_t kMaxSymbolCharacters = 16;
// Names, comments and descriptions: what one line of a dialog holds.
inline constexpr size_t kMaxTextCharacters = 32767;

enum class TextFault {
  None,
  TooLong,      // more characters than the limit
  Nul,          // a NUL character: files and lists would cut the text there
  Control,      // a control character other than tab and line breaks, which no XML file can hold
  InvalidUtf8,  // bytes that are no UTF-8 text, which an XML file could not hold
};

// Characters are counted as Unicode code points; NUL, other control characters but tab, line feed and
// carriage return, and invalid UTF-8 are faults whatever the length.
TextFault FindTextFault(std::string_view text, size_t maxCharacters);

// The dialogs' check of a text field: the first fault as an entry check naming `field`. `what` is the
// field's name in the message ("the comment"); the arguments are `what` and the limit.
EntryCheck CheckTextField(std::string_view text, size_t maxCharacters, EntryField field, const char* what);
