#include "ui/widgets/string_table.h"

#include <map>

namespace {

// Texts are used exactly as they stand; the layout of the message boxes depends on their line breaks.
const std::map<int, const char*>& Table() {
  static const std::map<int, const char*> table = {
      // Window texts.
      {102, " No such ticker symbol \"%s\""},
      {103, " %s (%s)  %s at %s  (%s, %s)  Vol: %s  Bid: %s  Ask: %s  P/E: %s  "},
      {104, " Unable to get quote - please check your internet connection"},
      {105, " Connected"},
      {106, " Not connected"},
      {107, "(None)"},
      {108, "Vellumar - %s"},
      {109, "Updated: %s"},
      {110, "Edit Position"},
      {116, " %s (%s)  %s at %s  (%s, %s) "},
      {118, "Edit Portfolio"},
      {137, " Updating..."},
      {140, "No items"},
      {141, "%d item(s)"},
      {142, "%d item(s), %d selected"},
      {146, "of %d"},
      // Messages.
      {2048, "[ %s ]\n\nVellumar was unable to create this database\nfile."},
      {2049, "An error occured while opening the Vellumar\ndatabase.  The database file may be corrupt."},
      {2050, "Please specify a portfolio name or click\nCancel to quit."},
      {2051, "\"%s\"\n\nA portfolio with this name already exists."},
      {2052, "\"%s\"\n\nVellumar was unable to add this portfolio."},
      {2053, "\"%s\"\n\nAre you sure you want to delete this portfolio\nand its contents?"},
      {2054, "\"%s\"\n\nVellumar was unable to delete this portfolio."},
      {2055, "\"%s\"\n\nVellumar was unable to change this portfolio."},
      {2056, "Please specify the position's symbol."},
      {2058, "Please specify a margin equity between\n1% and 100%."},
      {2059, "\"%s\"\n\nVellumar was unable to add this position."},
      {2060, "Please specify the price paid for this position."},
      {2061, "Please specify the number of shares purchased."},
      {2062, "The price paid cannot be negative."},
      {2063, "You have specified a margin equity for a\nnon-marginable security.  Is this OK?"},
      {2064, "Vellumar was unable to get the list of positions\nin the selected portfolio."},
      {2065, "Are you sure you want to delete the selected\nposition(s)?"},
      {2066, "Vellumar was unable to delete the selected\nposition(s)."},
      {2067, "Vellumar was unable to update its database.\nPlease check that you are connected to the Internet."},
      {2068, "Please specify an amount."},
      {2069, "Please specify a description."},
      {2070, "Please select the position you want to edit."},
      {2071, "Please select a single position."},
      {2072, "That position no longer exists."},
      {2073, "Please select the position(s) you want to delete."},
      {2074, "Are you sure you want to exit Vellumar?"},
      {2075, "Vellumar was unable to change this position."},
      {2076, "Sorry, this feature isn't yet implemented."},
      {2077, "Please complete or cancel the task(s) in\nprogress before exiting Vellumar."},
      {2078, "Please select the position(s) you want to copy."},
      {2079, "Please select the position(s) you want to move."},
      {2080, "Vellumar was unable to copy all the\nselected positions."},
      {2081, "Vellumar was unable to move all the\nselected positions."},
      {2082, "Please select a portfolio or click Cancel to quit."},
      {2083, "Welcome to Vellumar!\n\nWould you like to create a new portfolio?"},
      {2084, "Vellumar was unable to get the list of portfolios."},
      {2086, "Vellumar was unable to access one or more positions.\nThe Vellumar database may be corrupt."},
      {2088, "[ %s ]\n\nVellumar was unable to print this file.  Please\nverify that your printer is properly "
             "installed."},
      {2102, "The number of shares cannot exceed 1,000,000."},
      {2106, "Vellumar was unable to retrieve this portfolio's\nsummary."},
      {2107, "Please specify the new symbol or click Cancel to quit."},
      {2110, "The buy commission cannot be a negative amount."},
      {2111, "The sale commission cannot be a negative amount."},
      {2112, "The position's sale date cannot precede its purchase date."},
      {2114, "Please select the position you want to sell."},
      {2115, "A cash or margin debt position cannot be sold."},
      {2116, "Vellumar was unable to sell this position."},
      {2117, "The selected position has already been sold."},
      {2118, "The selected position doesn't contain any shares."},
      {2119, "Please specify the number of shares sold\nas a quantity between 1 and %d."},
      {2120, "The per-share sale price is invalid or missing."},
      {2121, "A sold position's quantity, purchase price and\nsale price must be specified."},
      {2122, "Please select the position(s) you want to unsell."},
      {2123, "Are you sure you want to unsell the selected\nposition(s)?"},
      {2124, "Vellumar was unable to unsell the selected\nposition(s)."},
      {2125, "Are you sure you want to reset these options\nto Vellumar's defaults?"},
      {2126, "[ %s ]\n\nVellumar was unable to create this backup folder."},
      {2127, "[ %s ]\n\nVellumar was unable to backup its database to this folder."},
      {2128, "[ %s ]\n\nVellumar was unable to create this backup of its database."},
      {2129, "[ %s ]\n\nVellumar will save a backup copy of its database to this file."},
      // Texts of our own: typed target and threshold prices that are not amounts.
      {2200, "The per-share target price is invalid.\nPlease enter an amount of 0 or more, or leave it empty."},
      {2201, "The margin equity's per-share price is invalid.\nPlease enter an amount of 0 or more, or leave it empty."},
      {57344, "Vellumar!"},
  };
  return table;
}

}  // namespace

QString LoadString(int id) {
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

QString FormatString(int id, const QStringList& arguments) { return FormatText(LoadString(id), arguments); }

QString FormatString(int id, const QString& argument) { return FormatString(id, QStringList{argument}); }

QList<int> StringTableIds() {
  QList<int> ids;
  for (const auto& [id, text] : Table()) ids.append(id);
  return ids;
}
