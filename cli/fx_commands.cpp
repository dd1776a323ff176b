// fx-rate: the exchange rate of a day, as conversions take it.
#include "cli/cli_output.h"
#include "cli/command_table.h"
#include "cli/value_parsers.h"
#include "portfolio/columns/clock.h"
#include "portfolio/fx/fx_rate_source.h"
#include "portfolio/records/calendar_date.h"
#include "portfolio/records/currency_units.h"

namespace {

// A rate of one major currency in another, turned into one of the units given: a minor unit "from" is worth a
// hundredth of its major currency, a minor unit "to" counts a hundred to it. Exact: only the decimal point
// moves or the units grow.
FxRate InUnits(FxRate rate, int fromDivisor, int toDivisor) {
  for (int d = fromDivisor; d > 1; d /= 10) ++rate.decimals;
  for (int d = toDivisor; d > 1; d /= 10) {
    if (rate.decimals > 0)
      --rate.decimals;
    else
      rate.units *= 10;
  }
  return rate;
}

int RunFxRate(const CliArgs& args, CliIo& io) {
  if (args.positional.size() != 2)
    return Usage(io, "fx-rate", "give FROM TO (currency codes such as EUR USD)");
  const std::string& from = args.positional[0];
  const std::string& to = args.positional[1];
  for (const std::string* code : {&from, &to}) {
    if (!IsAcceptedCurrencyCode(*code))
      return Usage(io, "fx-rate",
                   "\"" + *code + "\" is not a currency code: give three capital letters (such as EUR) or " +
                       MinorCurrencyUnitsText());
  }
  int64_t day = TodayDayNumber();
  if (args.HasOption("date")) {
    int64_t stored = 0;
    if (!ParseDate(args.Option("date"), &stored)) return Usage(io, "fx-rate", "--date needs YYYY-MM-DD");
    day = DayNumberOfStoredDate(stored);
    if (day > TodayDayNumber()) return Usage(io, "fx-rate", "--date must not be later than today");
  }
  const std::string base = MajorCurrency(from);
  const std::string quote = MajorCurrency(to);
  FxRateUsed used;
  std::string error;
  if (base == quote) {
    used = {FxRate{1, 0}, day};
  } else {
    ServiceFxRateSource source;
    std::vector<std::string> errors;
    const auto book = FetchRateBook(source, {{base, quote, day, day}}, errors);
    if (!errors.empty()) return Failed(io, errors.front());
    if (!book->RateOn(base, quote, day, used, error)) return Failed(io, error);
  }
  const FxRate rate = InUnits(used.rate, CurrencyDivisor(from), CurrencyDivisor(to));
  PrintOne(args, io, {"pair", "rate", "date"},
           OutputRecord()
               .Add("pair", from + "/" + to)
               .AddDecimal("rate", FxRateText(rate))
               .Add("date", IsoDateText(DateOfDayNumber(used.day))));
  return kExitOk;
}

}  // namespace

std::vector<CliCommand> FxCommands() {
  return {
      {"fx-rate", "FROM TO [--date YYYY-MM-DD]", {"date"}, {}, RunFxRate},
  };
}
