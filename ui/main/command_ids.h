#pragma once

// The commands of the main window. Menu items, buttons and pop-up entries that do the same thing share one
// id; the numbers are those the rest of the system (and the database's notifications) use.
enum CommandId : int {
  kCmdQuote = 1007,
  kCmdSelector = 1009,
  kCmdSymbolFinderSmall = 1047,
  kCmdPriceSmall = 1048,
  kCmdChartSmall = 2085,
  kCmdInfoSmall = 2087,
  kCmdInfo = 32734,
  kCmdPrice = 32735,
  kCmdExit = 32771,
  kCmdPortfolioNew = 32776,
  kCmdPortfolioDelete = 32778,
  kCmdPositionNew = 32782,
  kCmdPositionEdit = 32783,
  kCmdPositionDelete = 32784,
  kCmdPortfolioEdit = 32785,
  kCmdChart = 32786,
  kCmdUpdate = 32787,
  kCmdNewWindow = 32788,
  kCmdNews = 32789,
  kCmdAbout = 32790,
  kCmdOptions = 32791,
  kCmdSymbolFinder = 32792,
  kCmdChartMenu = 32793,
  kCmdBusinessHeadlines = 32794,
  kCmdRecentNews = 32795,
  kCmdOrganizeFavorites = 32796,
  kCmdCopyToPortfolio = 32822,
  kCmdMoveToPortfolio = 32823,
  kCmdDeferredInit = 32824,
  kCmdPortfoliosChanged = 32825,  // the three notifications the database posts
  kCmdFavorites = 32830,
  kCmdInfoMenu = 32831,
  kCmdPositionsChanged = 32835,
  kCmdQuotesRefreshed = 32836,
  kCmdOnTop = 32841,
  kCmdUpdateCheckMarks = 32843,
  kCmdClose = 32844,
  kCmdShowDisclaimer = 32845,
  kCmdWelcome = 32846,
  kCmdPrint = 32863,
  kCmdPriceMenu = 32866,
  kCmdChooseColumns = 32867,
  kCmdImport = 32868,
  kCmdExport = 32869,
  kCmdDefineDefaultColumns = 32875,
  kCmdSell = 32878,
  kCmdUnsell = 32879,
  kCmdBackup = 32882,
  kCmdPerformance = 32883,       // the portfolio's performance window (menu item and button)
  kCmdUndo = 32884,              // Edit menu: undo the newest change of the change journal
  kCmdRedo = 32885,              // Edit menu: apply the newest undone change again
  kCmdChangeHistory = 32886,     // Edit menu: the change history window
  kCmdSetPrice = 32887,          // Position menu and the lists' pop-up: a price set by hand
  kCmdRecordSplit = 32888,       // Position menu: record a split of the selected position's symbol
  kCmdCorporateActions = 32889,  // Position menu: the corporate actions window
  kCmdDividends = 32890,         // Portfolio menu and button: the portfolio's income window
};
