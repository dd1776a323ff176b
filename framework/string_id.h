#pragma once

// The numbers of the user-visible texts. The core returns these where a window is to show a message; the
// user interface's string table holds the texts, keyed by the same names. A name says what the text is; its
// value is the text's number.
enum class StringId : int {
  None = 0,                          // no message
  UpdatedAt = 109,                   // "Updated: %s"
  DatabaseCreateError = 2048,        // %s: the database file
  DatabaseOpenError = 2049,          // the database could not be opened (no "%s")
  PortfolioNameMissing = 2050,       // the portfolio dialog's name is empty
  SymbolMissing = 2056,              // a position without a symbol
  MarginEquityOutOfRange = 2058,     // margin equity not from 1% to 100%
  BuyPriceMissing = 2060,            // shares without the price paid
  QuantityMissing = 2061,            // a price paid without the number of shares
  BuyPriceNegative = 2062,           // the price paid is negative (or not an amount)
  MarginEquityNotMarginable = 2063,  // question: margin equity for a security that is not marginable
  AmountMissing = 2068,              // a cash or margin amount that is not above 0
  DescriptionMissing = 2069,         // a cash or margin position without a description
  NotImplemented = 2076,             // "Sorry, this feature isn't yet implemented."
  QuantityTooLarge = 2102,           // more than 1,000,000 shares
  NewSymbolMissing = 2107,           // the Change Symbol dialog's new symbol is empty
  BuyCommissionNegative = 2110,      // the buy commission is negative (or not an amount)
  SaleCommissionNegative = 2111,     // the sale commission is negative (or not an amount)
  SaleDateBeforePurchase = 2112,     // a sale dated before its purchase
  SoldQuantityOutOfRange = 2119,     // %d: the shares held
  SalePriceInvalid = 2120,           // the per-share sale price is not an amount above 0
  SoldPositionIncomplete = 2121,     // a sold position lacks its quantity, purchase or sale price
  BackupFolderCreateError = 2126,    // %s: the backup folder
  BackupFolderFullError = 2127,      // %s: the backup folder, when every backup number is taken
  BackupCreateError = 2128,          // %s: the backup file
  BackupConfirm = 2129,              // %s: the backup file about to be written
  TargetPriceInvalid = 2200,         // a per-share target price that is not an amount of 0 or more
  MarginThresholdInvalid = 2201,     // the margin equity's price threshold is not an amount of 0 or more
  AppTitle = 57344,                  // the application's name, the title of its message boxes
};
