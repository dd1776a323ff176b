#include "cli/base_conversion.h"

#include "cli/cli_output.h"
#include "cli/db_session.h"
#include "cli/refusals.h"
#include "portfolio/checks/portfolio_name_check.h"
#include "portfolio/columns/clock.h"
#include "portfolio/fx/fx_rate_source.h"

int PrepareBaseConversion(const CliArgs& args, CliIo& io, const char* command, DbSession& session,
                          uint32_t portfolioId) {
  if (args.HasOption("base-currency")) {
    // A look converts into a currency; it has no "none" to give, unlike add- and modify-portfolio.
    std::string code;
    if (!CheckBaseCurrency(args.Option("base-currency"), code).Ok() || code.empty())
      return Refuse(io, command,
                    EntryFailure(StringId::BaseCurrencyLookNotValid, EntryPage::None,
                                 EntryField::BaseCurrency, {args.Option("base-currency")}));
    session.Db().LookInCurrency(portfolioId, code);
  }
  std::vector<FxRateRequest> needs;
  if (session.Db().GetRateNeeds(session.Conn(), portfolioId, TodayDayNumber(), needs) != VLResult::Ok ||
      needs.empty())
    return kExitOk;
  if (io.startService) io.startService();
  ServiceFxRateSource source;
  std::vector<std::string> errors;
  session.Db().SetFxRates(FetchRateBook(source, needs, errors));
  for (const std::string& error : errors) Warn(io, error);
  return kExitOk;
}
