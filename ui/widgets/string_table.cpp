#include "ui/widgets/string_table.h"

#include <map>

namespace {

// Texts are used exactly as they stand; the layout of the message boxes depends on their line breaks.
const std::map<StringId, const char*>& Table() {
  static const std::map<StringId, const char*> table = {
      // Window texts.
      {StringId::NoSuchSymbol, " No such ticker symbol \"%s\""},
      {StringId::QuoteLine, " %s (%s)  %s at %s  (%s, %s)  Vol: %s  Bid: %s  Ask: %s  P/E: %s  "},
      {StringId::QuoteUnavailable, " Unable to get quote - please check your internet connection"},
      {StringId::Connected, " Connected"},
      {StringId::NotConnected, " Not connected"},
      {StringId::NoPortfolio, "(None)"},
      {StringId::WindowTitle, "Vellumar - %s"},
      {StringId::UpdatedAt, "Updated: %s"},
      {StringId::EditPositionTitle, "Edit Position"},
      {StringId::SelectedColumnsHeld, "Selected columns [Held]:"},
      {StringId::SelectedColumnsSold, "Selected columns [Sold]:"},
      {StringId::IndexQuoteLine, " %s (%s)  %s at %s  (%s, %s) "},
      {StringId::EditPortfolioTitle, "Edit Portfolio"},
      {StringId::Updating, " Updating..."},
      {StringId::NoItems, "No items"},
      {StringId::ItemCount, "%d item(s)"},
      {StringId::ItemCountSelected, "%d item(s), %d selected"},
      {StringId::SharesHeld, "of %d"},
      {StringId::ReadOnlyTitle, "%s (read-only)"},
      {StringId::ReadOnlyLabel, "Read-only: %s"},
      // Messages.
      {StringId::DatabaseCreateError, "[ %s ]\n\nVellumar was unable to create this database\nfile."},
      {StringId::DatabaseOpenError,
       "An error occurred while opening the Vellumar\ndatabase.  The database file may be corrupt."},
      {StringId::DatabaseBusy,
       "Another program is changing the Vellumar\ndatabase and kept it locked.  Please try again\nin a "
       "moment."},
      {StringId::DatabaseTooLarge,
       "The Vellumar database is too large for the memory\n"
       "available on this computer, so it was not opened.\n"
       "Close other programs and start Vellumar again."},
      {StringId::DatabaseFull,
       "The Vellumar database holds as many portfolios,\npositions and quotes as its file can number.\n"
       "Nothing was changed."},
      {StringId::PortfolioNameMissing, "Please specify a portfolio name or click\nCancel to quit."},
      {StringId::PortfolioExists, "\"%s\"\n\nA portfolio with this name already exists."},
      {StringId::PortfolioAddError, "\"%s\"\n\nVellumar was unable to add this portfolio."},
      {StringId::PortfolioDeleteConfirm,
       "\"%s\"\n\nAre you sure you want to delete this portfolio\nand its contents?"},
      {StringId::PortfolioDeleteError, "\"%s\"\n\nVellumar was unable to delete this portfolio."},
      {StringId::PortfolioChangeError, "\"%s\"\n\nVellumar was unable to change this portfolio."},
      {StringId::SymbolMissing, "Please specify the position's symbol."},
      {StringId::MarginEquityOutOfRange, "Please specify a margin equity between\n1% and 100%."},
      {StringId::PositionAddError, "\"%s\"\n\nVellumar was unable to add this position."},
      {StringId::BuyPriceMissing, "Please specify the price paid for this position."},
      {StringId::QuantityMissing, "Please specify the number of shares purchased."},
      {StringId::BuyPriceNegative, "The price paid cannot be negative."},
      {StringId::MarginEquityNotMarginable,
       "You have specified a margin equity for a\nnon-marginable security.  Is this OK?"},
      {StringId::PositionsReadError,
       "Vellumar was unable to get the list of positions\nin the selected portfolio."},
      {StringId::PositionDeleteConfirm, "Are you sure you want to delete the selected\nposition(s)?"},
      {StringId::PositionDeleteError, "Vellumar was unable to delete the selected\nposition(s)."},
      {StringId::UpdateError,
       "Vellumar was unable to update its database.\nPlease check that you are connected to the Internet."},
      {StringId::AmountMissing, "Please specify an amount."},
      {StringId::DescriptionMissing, "Please specify a description."},
      {StringId::SelectPositionToEdit, "Please select the position you want to edit."},
      {StringId::SelectSinglePosition, "Please select a single position."},
      {StringId::PositionGone, "That position no longer exists."},
      {StringId::SelectPositionToDelete, "Please select the position(s) you want to delete."},
      {StringId::ExitConfirm, "Are you sure you want to exit Vellumar?"},
      {StringId::PositionChangeError, "Vellumar was unable to change this position."},
      {StringId::NotImplemented, "Sorry, this feature isn't yet implemented."},
      {StringId::TasksInProgress,
       "Please complete or cancel the task(s) in\nprogress before exiting Vellumar."},
      {StringId::SelectPositionToCopy, "Please select the position(s) you want to copy."},
      {StringId::SelectPositionToMove, "Please select the position(s) you want to move."},
      {StringId::PositionCopyError, "Vellumar was unable to copy all the\nselected positions."},
      {StringId::PositionMoveError, "Vellumar was unable to move all the\nselected positions."},
      {StringId::SelectPortfolio, "Please select a portfolio or click Cancel to quit."},
      {StringId::WelcomeNewPortfolio, "Welcome to Vellumar!\n\nWould you like to create a new portfolio?"},
      {StringId::PortfoliosReadError, "Vellumar was unable to get the list of portfolios."},
      {StringId::PositionsAccessError,
       "Vellumar was unable to access one or more positions.\nThe Vellumar database may be corrupt."},
      {StringId::PrintError,
       "[ %s ]\n\nVellumar was unable to print this file.  Please\nverify that your printer is properly "
       "installed."},
      {StringId::ColumnAlreadySelected,
       "[ %s ]\n\nThis column is already selected.  Do you want to\nadd it anyway?"},
      {StringId::ResetHeldColumnsConfirm,
       "Are you sure you want to reset this portfolio's\nheld columns to Vellumar's defaults?"},
      {StringId::NoColumnsSelected, "The selected columns list must contain at least\none column."},
      {StringId::QuantityTooLarge, "The number of shares cannot exceed 1,000,000."},
      {StringId::SummaryError, "Vellumar was unable to retrieve this portfolio's\nsummary."},
      {StringId::NewSymbolMissing, "Please specify the new symbol or click Cancel to quit."},
      {StringId::SelectColumnToAdd, "Please select the column you want to add."},
      {StringId::ResetSoldColumnsConfirm,
       "Are you sure you want to reset this portfolio's\nsold columns to Vellumar's defaults?"},
      {StringId::BuyCommissionNegative, "The buy commission cannot be a negative amount."},
      {StringId::SaleCommissionNegative, "The sale commission cannot be a negative amount."},
      {StringId::SaleDateBeforePurchase, "The position's sale date cannot precede its purchase date."},
      {StringId::SelectPositionToSell, "Please select the position you want to sell."},
      {StringId::CannotSellCashOrMargin, "A cash or margin debt position cannot be sold."},
      {StringId::PositionSellError, "Vellumar was unable to sell this position."},
      {StringId::AlreadySold, "The selected position has already been sold."},
      {StringId::NoShares, "The selected position doesn't contain any shares."},
      {StringId::SoldQuantityOutOfRange,
       "Please specify the number of shares sold\nas a quantity between 1 and %d."},
      {StringId::SalePriceInvalid, "The per-share sale price is invalid or missing."},
      {StringId::SoldPositionIncomplete,
       "A sold position's quantity, purchase price and\nsale price must be specified."},
      {StringId::SelectPositionToUnsell, "Please select the position(s) you want to unsell."},
      {StringId::UnsellConfirm, "Are you sure you want to unsell the selected\nposition(s)?"},
      {StringId::UnsellError, "Vellumar was unable to unsell the selected\nposition(s)."},
      {StringId::ResetOptionsConfirm,
       "Are you sure you want to reset these options\nto Vellumar's defaults?"},
      {StringId::BackupFolderCreateError, "[ %s ]\n\nVellumar was unable to create this backup folder."},
      {StringId::BackupFolderFullError,
       "[ %s ]\n\nVellumar was unable to backup its database to this folder."},
      {StringId::BackupCreateError, "[ %s ]\n\nVellumar was unable to create this backup of its database."},
      {StringId::BackupConfirm, "[ %s ]\n\nVellumar will save a backup copy of its database to this file."},
      // Texts of our own.
      {StringId::SymbolCharactersInvalid,
       "The symbol \"%s\" holds characters no symbol has\n(blanks, commas, quotes or control characters)."},
      {StringId::DateLaterThanToday, "A purchase or sale cannot be dated after today."},
      {StringId::AmountNotANumber, "\"%s\" is not an amount.\nPlease enter an amount such as %s."},
      {StringId::WholeNumberNotANumber, "\"%s\" is not a whole number.\nPlease enter a number such as %s."},
      {StringId::DecimalNotANumber, "\"%s\" is not a number.\nPlease enter a number such as %s."},
      {StringId::CurrencyNotValid,
       "\"%s\" is not a currency code.  Please enter three capital\nletters (USD, EUR), one of %s, or "
       "nothing\nfor the currency of the exchange."},
      {StringId::BaseCurrencyNotValid,
       "\"%s\" is not a base currency.  Please enter three capital\nletters (EUR, USD) or nothing for no "
       "conversion."},
      {StringId::FxRateNotValid,
       "\"%s\" is not an exchange rate.  Please enter a number above 0\nsuch as 0.8650, or nothing for the "
       "reference rate."},
      {StringId::FxRateWithoutBase,
       "An exchange rate is kept against the portfolio's base currency,\nand this portfolio has none.  Give "
       "it "
       "one first."},
      {StringId::AmountNegative, "The amount cannot be negative."},
      {StringId::AmountTooLarge, "The amount is too large.  Vellumar keeps amounts\nof at most %s."},
      {StringId::QuantityNegative, "The number of shares cannot be negative."},
      {StringId::TooManyDecimals,
       "\"%s\" has more decimals than Vellumar keeps here:\nat most %s decimal places."},
      {StringId::SoldQuantityFraction,
       "Please specify the number of shares sold\nas a quantity above 0 and at most %s."},
      {StringId::DateOutOfRange, "A purchase or sale date must lie between\n%s and today."},
      {StringId::TextTooLong, "The text of %s is too long.  It may hold\nat most %s characters."},
      {StringId::TextNotValid,
       "The text of %s holds characters that cannot\nbe stored (control characters, or bytes that are not "
       "text)."},
      {StringId::DatabaseOpenFailed, "[ %s ]\n\nVellumar was unable to open its database:\n%s."},
      {StringId::ReportWriteError, "[ %s ]\n\nVellumar was unable to write this report:\n%s."},
      {StringId::ChangeNotSaved, "The change could not be saved to\n%s:\n%s.\nThe file was left as it was."},
      {StringId::DatabaseReadOnly, "The database may only be read, so nothing was changed:\n%s\n(%s)."},
      {StringId::DatabaseLostWriteBack,
       "[ %s ]\n\nThe database file was deleted or replaced while\nVellumar was running.  Do you want to "
       "write "
       "the\nportfolios and positions shown here back to it?"},
      {StringId::WriteBackError,
       "[ %s ]\n\nVellumar was unable to write its database back\nto this file:\n%s."},
      {StringId::DatabaseNewerVersion,
       "[ %s ]\n\nThis database was written by a newer version of\nVellumar, which this version cannot "
       "read.\n"
       "The file was left as it was."},
      {StringId::SettingsSaveError,
       "[ %s ]\n\nVellumar was unable to save its settings to this file:\n%s.\nChanged settings last until "
       "Vellumar ends."},
      {StringId::PositionDeletedElsewhere,
       "Another program deleted it while you were editing it.  What you\ntyped is still in the dialog; "
       "Cancel closes it."},
      {StringId::RealPricesSetupError, "Vellumar was unable to turn real prices on:\n%s"},
      {StringId::RealPricesFetchedAt, "Prices last fetched: %s"},
      {StringId::RealPricesNeverFetched, "Prices last fetched: never"},
      {StringId::FetchingRealPrices, " Fetching real prices: %d of %d, %s"},
      {StringId::NoWebBrowser,
       "Vellumar found no web browser to show this page:\n%s\n\nPlease choose a web browser in your "
       "desktop's settings,\nor name one in the BROWSER environment variable."},
      // The market-data windows.
      {StringId::ChartTitle, "Chart"},
      {StringId::ChartTitleFor, "Chart for %s"},
      {StringId::ChartQuoteLine, "%s (%s)  %s at %s  (%s, %s)  Vol: %s"},
      {StringId::NewsTitle, "Recent News"},
      {StringId::NewsTitleFor, "Recent News For %s"},
      {StringId::NewsUpdatedAt, "Updated: %s"},
      {StringId::NewsItemCount, "%d items"},
      {StringId::ProgressPercent, "%d%%"},
      {StringId::NoSecuritiesMatched, " No securities matched \"%s\""},
      {StringId::OneSecurityMatched, " 1 security matched \"%s\""},
      {StringId::SecuritiesMatched, " %d securities matched \"%s\""},
      {StringId::HistoricalPricesUnavailable,
       "[%s]\n\nVellumar was unable to retrieve historical prices\nfor this security for the selected "
       "period."},
      {StringId::HistoricalPricesFor, "&Historical prices for %s:"},
      {StringId::AdjustedHistoricalPricesFor, "Adjusted &historical prices for %s:"},
      {StringId::SearchTextTooShort,
       "Please enter the text (at least 3 characters)\nyou want to search for."},
      {StringId::SearchTextCommonPhrase,
       "The text you're looking for contains a very commonly\nused phrase.  This could take the search a "
       "long "
       "time\nto complete.\n\nDo you want to search anyway?"},
      {StringId::NewsItemOpenError, "Vellumar was unable to display the news item\nlocated at %s."},
      {StringId::NoNewsItems, "Vellumar was unable to retrieve any news items."},
      {StringId::SelectSymbolsToRemove, "Please select the symbol(s) you want to remove."},
      {StringId::SelectSymbolResult, "Please highlight the position you want to select."},
      {StringId::SelectHistoricalPrice, "Please highlight the historical price you want\nto select."},
      {StringId::NewsDaysOutOfRange, "Please enter a duration between 1 and 1000\ndays."},
      {StringId::NewsItemsOutOfRange, "Please enter an item limit between 1 and 5000."},
      // The import and export dialogs.
      {StringId::ImportFormatFound, "Read as: %s"},
      {StringId::ImportSummary,
       "%d row(s) read: %d to add, %d already there (skipped), %d sale(s), %d left out by the options."},
      {StringId::ImportProblemCount, "%d problem(s): nothing is imported until the file is put right."},
      {StringId::ImportReadingProgress, "Reading row %d of %d..."},
      {StringId::PreviewCellProblem, "%s, problem: %s"},
      {StringId::ImportChooseFile, "Choose the file to import."},
      {StringId::ImportChooseTarget,
       "Choose the portfolio the rows go into to see what the import would do."},
      {StringId::ImportRowsSkipped, "%d row(s) of other kinds are skipped: they are listed below."},
      {StringId::ImportBalancesOutdated,
       "%d cash balance(s) left alone: the portfolio's are from later statements."},
      {StringId::ImportActionsRecorded,
       "%d split(s) or symbol change(s) to record: see Position > Corporate Actions once imported."},
      {StringId::ImportIncomeRecorded, "%d payment(s) of income to record."},
      {StringId::ImportFileMissing, "Please specify the file to import."},
      {StringId::ImportRefused,
       "[ %s ]\n\nThis file was not imported: it has %d problem(s),\nlisted in the dialog.  Nothing was "
       "changed."},
      {StringId::ImportTargetMissing, "Please choose the portfolio the positions go into."},
      {StringId::ImportError, "Vellumar was unable to import the positions.\nNothing was changed."},
      {StringId::ExportFileMissing, "Please specify the file to export to."},
      {StringId::ExportNoPortfolio, "Please select the portfolios to export."},
      {StringId::ExportWriteError, "[ %s ]\n\nVellumar was unable to write this file:\n%s."},
      {StringId::ExportDone, "%d position(s) of %d portfolio(s) were exported to\n%s."},
      {StringId::ProfileNameMissing, "Please type a name for the profile."},
      {StringId::ProfileSaveError, "[ %s ]\n\nVellumar was unable to save this profile:\n%s."},
      {StringId::ProfileUnusable, "[ %s ]\n\nThis profile holds a value Vellumar cannot use:\n%s."},
      {StringId::ImportNotRead,
       "The file has not been read yet.  Please wait for\nit to be read, or choose it again."},
      // The performance window.
      {StringId::PerformanceTitle, "Performance - %s"},
      {StringId::PerformanceProgress, "Getting the history of %s (%d of %d)..."},
      {StringId::PerformanceStopped, "Stopped before every history had arrived."},
      {StringId::PerformanceLeftOut, "%d cash and margin position(s) left out."},
      {StringId::PerformanceSkipped,
       "%d stock position(s) without a purchase date (or sold without a sale date) skipped."},
      {StringId::PerformanceCurrencies,
       "The securities trade in more than one currency (%s); amounts are added without conversion."},
      {StringId::PerformanceNoLots, "No stock position with a purchase date by the end of the span."},
      {StringId::PerformanceSpan, "From %s to %s"},
      {StringId::PerformanceNoFigures, "No figures."},
      {StringId::PerformanceNoHistory,
       "[%s]\n\nThe market-data service has no price history for\n"
       "this security, so Vellumar cannot show the\nportfolio's performance."},
      {StringId::PerformanceNoClose,
       "[%s]\n\nThe price history of this security has no close\n"
       "on or before %s, when it was held, so Vellumar\ncannot show the portfolio's performance."},
      {StringId::PerformanceServiceError,
       "[%s]\n\nVellumar was unable to get the price history of\nthis security from the market-data "
       "service."},
      {StringId::PerformanceTooLarge,
       "The amounts of this portfolio are too large to\nadd up, so Vellumar cannot show its performance."},
      // The Edit menu and the change history.
      {StringId::EditUndo, "&Undo %s"},
      {StringId::EditUndoNothing, "&Undo"},
      {StringId::EditRedo, "&Redo %s"},
      {StringId::EditRedoNothing, "&Redo"},
      {StringId::ChangeHistoryTitle, "Change History"},
      {StringId::ChangeHistoryCount, "%d change(s), the newest first; undone changes are grey."},
      {StringId::ChangeHistoryEmpty, "No change has been recorded yet."},
      {StringId::ChangeHistoryDamaged,
       "The last %d bytes of the change journal could not be read and are left out."},
      {StringId::ChangeHistoryUnreadable, "The change journal cannot be read: %s"},
      {StringId::ChangeHistoryUndone, "undone"},
      {StringId::ChangeHistoryUndoButton, "Undo %s"},
      {StringId::ChangeHistoryRedoButton, "Redo %s"},
      {StringId::SetPriceTitle, "Set Price"},
      {StringId::SetPriceSaved, "The price of %s on %s is %s."},
      {StringId::ManualPriceInvalid, "The price per share must be an amount above 0."},
      {StringId::SplitRatioInvalid,
       "The split must be given as new shares for old shares in whole numbers, such as 3:1 or 1:10."},
      {StringId::CashInLieuInvalid, "The cash-in-lieu price per new share must be an amount above 0."},
      {StringId::IncomeKindInvalid,
       "\"%s\" is not a kind of income: choose dividend, capital-gain, return-of-capital, interest or "
       "other."},
      {StringId::IncomeGrossInvalid,
       "The gross amount must be an amount other than 0 (negative to reverse a payment)."},
      {StringId::IncomeDeductionsTooLarge,
       "The withholding and the fees together must not be more than the gross amount."},
      {StringId::IncomePayBeforeEx, "The pay date must not be before the ex-date."},
      {StringId::IncomeDateLater, "The date must not be later than today."},
      {StringId::IncomeDateOutOfRange, "The date must lie between %s and today."},
      {StringId::IncomeSaveError, "Vellumar was unable to save the payment of %s."},
      {StringId::IncomeDeleteConfirm, "Delete the payment %s?"},
      {StringId::IncomeNotEntitled,
       "%s held no %s bought before %s and not sold before it. The payment is kept all the same."},
      {StringId::FetchIncomeUnreachable, "The market-data service could not be asked about dividends: %s"},
      {StringId::FetchingRates, " Fetching exchange rates..."},
      {StringId::PerformanceInBase, "Amounts in %s, each at the exchange rate of its day."},
      {StringId::PerformanceNoRate,
       "The figures cannot be given in the portfolio's base currency:\n%s.\n\nUpdate fetches the exchange "
       "rates; a rate the source does not have can be typed\ninto the position as the rate the broker "
       "charged."},
      {StringId::NewSymbolSame, "The new symbol must differ from the old one."},
      {StringId::RecordSplitTitle, "Record Split"},
      {StringId::CorporateActionsTitle, "Corporate Actions"},
      {StringId::SplitPreviewCount, "The split changes %d position(s):"},
      {StringId::SplitPreviewNone,
       "No position of the symbol is held on that day; the split is only recorded."},
      {StringId::CheckSplitsNone,
       "The market-data service knows no split of your held symbols that is not recorded."},
      {StringId::CheckSplitsFound,
       "The market-data service knows %d split(s) of your held symbols that are not recorded. Record them?"},
      {StringId::CorporateActionsCount, "%d split(s) and symbol change(s) recorded, oldest first."},
      {StringId::DividendsTitle, "Dividends - %s"},
      {StringId::DividendsCount, "%d payment(s) recorded, newest first."},
      {StringId::FetchIncomeNone,
       "The market-data service knows no dividend the portfolio's positions were entitled to that is not "
       "recorded yet."},
      {StringId::FetchIncomeFound,
       "%d payment(s) the positions were entitled to and not recorded yet. Untick those you do not want "
       "recorded."},
      {StringId::PerformanceSplitNotRecorded,
       "The market-data service knows the split %s, which is not recorded: the shares held before it are "
       "valued at prices of the other shares (Position > Corporate Actions > Check for Splits)."},
      {StringId::RecordSplitError, "The split of %s could not be recorded."},
      {StringId::SplitRefused, "The split cannot be recorded: %s."},
      {StringId::SplitAlreadyRecorded, "A split of %s on %s is recorded already."},
      {StringId::CheckSplitsUnreachable, "The market-data service could not be asked about splits: %s"},
      {StringId::SetPriceError, "Vellumar was unable to set the price of %s."},
      {StringId::NothingToUndo, "There is nothing to undo."},
      {StringId::NothingToRedo, "There is nothing to redo."},
      {StringId::UndoMismatch,
       "\"%s\"\n\nVellumar cannot undo this change: the database no\n"
       "longer matches its change journal.  It was replaced,\nfor example by a backup, or changed by a "
       "program\nthat keeps no journal.  Nothing was changed."},
      {StringId::RedoMismatch,
       "\"%s\"\n\nVellumar cannot redo this change: the database no\n"
       "longer matches its change journal.  It was replaced,\nfor example by a backup, or changed by a "
       "program\nthat keeps no journal.  Nothing was changed."},
      {StringId::UndoError, "\"%s\"\n\nVellumar was unable to undo this change."},
      {StringId::RedoError, "\"%s\"\n\nVellumar was unable to redo this change."},
      {StringId::JournalUnreadable,
       "[ %s ]\n\nVellumar cannot read this change journal:\n%s\n\nNothing was changed."},
      {StringId::ChangeNotJournaled,
       "[ %s ]\n\nThe change was saved, but Vellumar could not record\nit in this change journal, so it "
       "cannot be undone:\n%s"},
      {StringId::AppTitle, "Vellumar!"},
  };
  return table;
}

}  // namespace

QString LoadString(StringId id) {
  auto it = Table().find(id);
  return it == Table().end() ? QString() : QString::fromUtf8(it->second);
}

QString FormatText(const QString& pattern, const QStringList& arguments) {
  QString text;
  text.reserve(pattern.size() + 32);
  qsizetype next = 0;
  for (qsizetype i = 0; i < pattern.size(); ++i) {
    const QChar c = pattern[i];
    if (c != u'%' || i + 1 >= pattern.size()) {
      text += c;
      continue;
    }
    const QChar kind = pattern[i + 1];
    if (kind == u'%') {
      text += u'%';
      ++i;
    } else if (kind == u's' || kind == u'd') {
      if (next < arguments.size()) text += arguments[next];
      ++next;
      ++i;
    } else {
      text += c;
    }
  }
  return text;
}

QString FormatString(StringId id, const QStringList& arguments) {
  return FormatText(LoadString(id), arguments);
}

QString FormatString(StringId id, const QString& argument) {
  return FormatString(id, QStringList{argument});
}

QString LoadString(int id) {
  return LoadString(static_cast<StringId>(id));
}

QString FormatString(int id, const QString& argument) {
  return FormatString(static_cast<StringId>(id), argument);
}

QList<StringId> StringTableIds() {
  QList<StringId> ids;
  for (const auto& [id, text] : Table()) ids.append(id);
  return ids;
}
