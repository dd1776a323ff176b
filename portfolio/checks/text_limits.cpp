#include "portfolio/checks/text_limits.h"

#include "portfolio/exchange/text_encoding.h"

TextFault FindTextFault(std::string_view text, size_t maxCharacters) {
  if (text.find('\0') != std::string_view::npos) return TextFault::Nul;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 && byte != '\t' && byte != '\n' && byte != '\r') return TextFault::Control;
  }
  if (!IsValidUtf8(text)) return TextFault::InvalidUtf8;
  // Every byte that does not continue a character starts one.
  size_t characters = 0;
  for (const char c : text) characters += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  return characters > maxCharacters ? TextFault::TooLong : TextFault::None;
}

EntryCheck CheckTextField(std::string_view text, size_t maxCharacters, EntryField field, const char* what) {
  switch (FindTextFault(text, maxCharacters)) {
    case TextFault::None:
      return {};
    case TextFault::TooLong:
      return EntryFailure(StringId::TextTooLong, EntryPage::None, field,
                          {what, std::to_string(maxCharacters)});
    case TextFault::Nul:
    case TextFault::Control:
    case TextFault::InvalidUtf8:
      break;
  }
  return EntryFailure(StringId::TextNotValid, EntryPage::None, field, {what});
}
