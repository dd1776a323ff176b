#pragma once

// The numbers of the user-visible texts. The core returns these where a window is to show a message; the
// user interface's string table holds the texts, keyed by the same names. A name says what the text is; its
// value is the text's number.
enum class StringId : int {
  None = 0,  // no message
  // Window texts.
  NoSuchSymbol = 102,        // quote line, %s: the symbol
  QuoteLine = 103,           // quote line of a security
  QuoteUnavailable = 104,    // quote line when the fetch failed
  Connected = 105,           // connection label and status bar
  NotConnected = 106,        // connection label and status bar
  NoPortfolio = 107,         // "(None)" in the selector
  WindowTitle = 108,         // %s: the portfolio's name
  UpdatedAt = 109,           // "Updated: %s"
  EditPositionTitle = 110,   // title of the position dialog when editing
  IndexQuoteLine = 116,      // quote line of a market index
  EditPortfolioTitle = 118,  // title of the portfolio dialog when editing
  Updating = 137,            // status bar while quotes are updated
  NoItems = 140,             // item count of an empty list
  ItemCount = 141,           // %d: rows
  ItemCountSelected = 142,   // %d: rows, %d: selected
  SharesHeld = 146,          // "of %d" beside the quantity sold, %d: the shares held
  // Messages.
  DatabaseCreateError = 2048,  // %s: the database file
  DatabaseOpenError = 2049,    // the database could not be opened (no "%s")
  PortfolioNameMissing = 2050,
  PortfolioExists = 2051,            // %s: the name
  PortfolioAddError = 2052,          // %s: the name
  PortfolioDeleteConfirm = 2053,     // %s: the name
  PortfolioDeleteError = 2054,       // %s: the name
  PortfolioChangeError = 2055,       // %s: the name
  SymbolMissing = 2056,              // a position without a symbol
  MarginEquityOutOfRange = 2058,     // margin equity not from 1% to 100%
  PositionAddError = 2059,           // %s: the position's name
  BuyPriceMissing = 2060,            // shares without the price paid
  QuantityMissing = 2061,            // a price paid without the number of shares
  BuyPriceNegative = 2062,           // the price paid is negative (or not an amount)
  MarginEquityNotMarginable = 2063,  // question: margin equity for a security that is not marginable
  PositionsReadError = 2064,
  PositionDeleteConfirm = 2065,
  PositionDeleteError = 2066,
  UpdateError = 2067,
  AmountMissing = 2068,       // a cash or margin amount that is not above 0
  DescriptionMissing = 2069,  // a cash or margin position without a description
  SelectPositionToEdit = 2070,
  SelectSinglePosition = 2071,
  PositionGone = 2072,
  SelectPositionToDelete = 2073,
  ExitConfirm = 2074,
  PositionChangeError = 2075,
  NotImplemented = 2076,
  TasksInProgress = 2077,
  SelectPositionToCopy = 2078,
  SelectPositionToMove = 2079,
  PositionCopyError = 2080,
  PositionMoveError = 2081,
  SelectPortfolio = 2082,
  WelcomeNewPortfolio = 2083,
  PortfoliosReadError = 2084,
  PositionsAccessError = 2086,
  PrintError = 2088,        // %s: the report file
  QuantityTooLarge = 2102,  // more than 1,000,000 shares
  SummaryError = 2106,
  NewSymbolMissing = 2107,        // the Change Symbol dialog's new symbol is empty
  BuyCommissionNegative = 2110,   // the buy commission is negative (or not an amount)
  SaleCommissionNegative = 2111,  // the sale commission is negative (or not an amount)
  SaleDateBeforePurchase = 2112,  // a sale dated before its purchase
  SelectPositionToSell = 2114,
  CannotSellCashOrMargin = 2115,
  PositionSellError = 2116,
  AlreadySold = 2117,
  NoShares = 2118,
  SoldQuantityOutOfRange = 2119,  // %d: the shares held
  SalePriceInvalid = 2120,        // the per-share sale price is not an amount above 0
  SoldPositionIncomplete = 2121,  // a sold position lacks its quantity, purchase or sale price
  SelectPositionToUnsell = 2122,
  UnsellConfirm = 2123,
  UnsellError = 2124,
  ResetOptionsConfirm = 2125,
  BackupFolderCreateError = 2126,  // %s: the backup folder
  BackupFolderFullError = 2127,    // %s: the backup folder, when every backup number is taken
  BackupCreateError = 2128,        // %s: the backup file
  BackupConfirm = 2129,            // %s: the backup file about to be written
  TargetPriceInvalid = 2200,       // a per-share target price that is not an amount of 0 or more
  MarginThresholdInvalid = 2201,   // the margin equity's price threshold is not an amount of 0 or more
  SymbolCharactersInvalid = 2202,  // %s: the symbol, which holds a blank, comma, quote or control character
  DateLaterThanToday = 2203,       // a purchase or sale dated after today
  AppTitle = 57344,                // the application's name, the title of its message boxes
};
