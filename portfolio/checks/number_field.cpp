#include "portfolio/checks/number_field.h"

#include "portfolio/columns/number_format.h"
#include "portfolio/records/exact_decimal.h"

namespace {

// A whole count in the user's format, without the two decimals the format adds.
std::string WholeText(int64_t value) {
  std::string text = FormatLocaleNumber(std::to_string(value), GetNumberFormat());
  if (text.size() > 3) text.resize(text.size() - 3);
  return text;
}

StringId Either(StringId own, StringId generic) {
  return own == StringId::None ? generic : own;
}

}  // namespace

std::string LargestAmountText() {
  return FormatLocaleNumber(
      std::to_string(kLargestStoredValue / 100) + "." + std::to_string(kLargestStoredValue % 100),
      GetNumberFormat());
}

EntryCheck ReadNumberField(const std::string& text, const NumberField& field, int64_t& value) {
  const TypedNumber read =
      field.wholeNumber ? ReadTypedWholeNumber(text) : ReadTypedDecimal(text, field.decimals);
  TypedNumber number = InTypedRange(read, field.minimum, field.maximum);
  if (number.IsEmpty() && !field.required) number = TypedNumber{TypedNumberStatus::Ok, 0};
  if (number.IsEmpty()) number.status = TypedNumberStatus::BelowMinimum;
  auto fail = [&](StringId message, std::vector<std::string> arguments) {
    return EntryFailure(message, field.page, field.field, std::move(arguments));
  };
  switch (number.status) {
    case TypedNumberStatus::Ok:
      value = number.value;
      return {};
    case TypedNumberStatus::NotANumber: {
      StringId generic = StringId::AmountNotANumber;
      std::string example = FormatLocaleNumber("1234.56", GetNumberFormat());
      if (field.wholeNumber) {
        generic = StringId::WholeNumberNotANumber;
        example = WholeText(1000);
      } else if (field.decimals == Quantity::kPlaces) {
        generic = StringId::DecimalNotANumber;
        NumberFormat format = GetNumberFormat();
        format.decimals = 4;
        example = FormatLocaleNumber("1234.5678", format);
      }
      const StringId message = Either(field.notANumber, generic);
      return fail(message, message == generic
                               ? std::vector<std::string>{std::string(TrimBlanks(text)), example}
                               : field.arguments);
    }
    case TypedNumberStatus::Negative:
      return fail(Either(field.negative, StringId::AmountNegative), field.arguments);
    case TypedNumberStatus::TooLarge: {
      const StringId message = Either(field.tooLarge, StringId::AmountTooLarge);
      return fail(message, message == StringId::AmountTooLarge ? std::vector<std::string>{LargestAmountText()}
                                                               : field.arguments);
    }
    case TypedNumberStatus::TooManyDecimals:
      return fail(Either(field.tooManyDecimals, StringId::TooManyDecimals),
                  {std::string(TrimBlanks(text)), std::to_string(field.decimals)});
    case TypedNumberStatus::Empty:
    case TypedNumberStatus::BelowMinimum:
      break;
  }
  return fail(field.belowMinimum, field.arguments);
}

NumberField RequiredPriceField(EntryField field, StringId missing) {
  NumberField price;
  price.field = field;
  price.decimals = UnitPrice::kPlaces;
  price.required = true;
  price.minimum = 1;
  price.maximum = kMaxStoredPrice.Units();
  price.belowMinimum = missing;
  return price;
}
