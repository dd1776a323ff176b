#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "portfolio/checks/entry_check.h"
#include "portfolio/checks/typed_number.h"

// One typed number field of an entry dialog: what it accepts and which message each refusal shows.
// Dialogs and the command line read every amount and count through this, so both give the same reason.
struct NumberField {
  EntryPage page = EntryPage::None;
  EntryField field = EntryField::None;
  bool wholeNumber = false;  // a count ("12"), else a decimal of `decimals` places
  int decimals = 2;          // 2: an amount in cents ("12.34"); 6: a price per share; 8: shares
  bool required = false;     // an empty field is refused as below the minimum, else it reads as 0
  int64_t minimum = 0;
  int64_t maximum = kLargestStoredValue;
  StringId notANumber = StringId::None;  // None: the generic "is not an amount / a whole number"
  StringId negative = StringId::None;    // None: the generic "cannot be negative"
  StringId tooLarge = StringId::None;    // None: the generic "too large", with the limit
  StringId belowMinimum = StringId::None;
  StringId tooManyDecimals = StringId::None;  // None: the generic "at most %s decimal places"
  // The arguments of a message of the field's own (for example the shares held of "between 1 and %d").
  std::vector<std::string> arguments;
};

// Reads `text` for `field`: Ok with `value` (a whole number, or units of the field's last decimal place)
// set, or the failure with its reason's message. The generic messages get their arguments here: the text as
// typed and an example for "not a number", the limit in the user's number format for "too large", the text
// and the places kept for "too many decimals".
EntryCheck ReadNumberField(const std::string& text, const NumberField& field, int64_t& value);

// A price per share that must be given and be above 0: to 1e-6, at most what a record holds; an empty field
// or 0 says `missing`.
NumberField RequiredPriceField(EntryField field, StringId missing);

// The largest amount a record stores, as the user's number format writes it ("42,949,672.95").
std::string LargestAmountText();
