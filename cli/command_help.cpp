#include "cli/command_help.h"

#include "cli/command_table.h"

namespace {

constexpr const char* kGroups[] = {"market data",    "portfolios",        "positions",         "income",
                                   "change journal", "views and reports", "import and export", "maintenance"};

constexpr const char* kDb = "  --db PATH  the database file (default: the application's Vellumar.db)\n";
// The fields of an income record, which add-income and modify-income share.
#define VL_INCOME_FIELD_OPTIONS                                                                       \
  "  --gross AMOUNT  the payment before withholding and fees, not 0; negative reverses a payment\n"   \
  "  --pay-date YYYY-MM-DD  the day it was paid, not after today (required to add)\n"                 \
  "  --kind KIND  dividend, capital-gain, return-of-capital, interest or other (default dividend)\n"  \
  "  --ex-date YYYY-MM-DD  the first day without the right to it, not after the pay date\n"           \
  "  --shares Q  the shares entitled to it\n"                                                         \
  "  --withholding W  tax withheld from it (default 0)\n"                                             \
  "  --fees F  fees taken from it (default 0); withholding and fees together are at most the gross\n" \
  "  --currency C  its currency, when not the position's\n"                                           \
  "  --comment TEXT  a note kept with it\n"
constexpr const char* kIncomeOptions = VL_INCOME_FIELD_OPTIONS;
constexpr const char* kAddIncomeOptions = VL_INCOME_FIELD_OPTIONS
    "  --reinvest-qty Q  the shares its cash bought on the pay date: the record and the purchase are one\n"
    "    change; with --reinvest-price\n"
    "  --reinvest-price P  the price per share of that purchase\n"
    "  --reinvest-commission C  the commission of that purchase (default 0)\n";
#undef VL_INCOME_FIELD_OPTIONS
constexpr const char* kChartOptions =
    "  --provider NAME  bigcharts or yahoo (default bigcharts)\n"
    "  --period N  0 one day, 1 five days, 2 three months, 3 six months, 4 one year, 5 two years,\n"
    "              6 five years, 7 ten years, 8 year to date (default 0)\n"
    "  --size N  1 small or 2 large (default 1)\n"
    "  --ma50  draw the 50-day moving average\n"
    "  --ma200  draw the 200-day moving average\n"
    "  --djia  compare with the Dow Jones Industrial Average\n"
    "  --nasdaq  compare with the Nasdaq Composite\n"
    "  --sp500  compare with the S&P 500\n";
// The options add-stock and modify-stock share.
#define VL_STOCK_OPTIONS                                                                               \
  "  --qty N  shares bought, up to 1000000, to 8 decimal places (default none)\n"                      \
  "  --price D  price paid per share, to 6 decimal places, at most 42949672.95; needed with --qty\n"   \
  "  --commission D  commission paid for the purchase (default 0)\n"                                   \
  "  --date YYYY-MM-DD  purchase date, from 1900-01-01 to today (default none)\n"                      \
  "  --buy-target D  per-share price to buy more at (default none)\n"                                  \
  "  --sell-target D  per-share price to sell at (default none)\n"                                     \
  "  --stop-loss D  per-share stop-loss price (default none)\n"                                        \
  "  --marginable  the security may be bought on margin; needs --equity\n"                             \
  "  --equity PCT  margin equity, 1 to 100 percent (default none)\n"                                   \
  "  --threshold D  per-share price below which the margin equity is watched (default 0)\n"            \
  "  --yes  keep an --equity for a security that is not marginable (else refused)\n"                   \
  "  --comment TEXT  a note shown with the position (default empty)\n"                                 \
  "  --currency CODE  the prices' currency when not the exchange's: three capital letters\n"           \
  "                   (USD) or a minor unit (GBp, ZAc, ILA); - for the exchange's, which clears\n"     \
  "                   a position's own (default: the exchange's)\n"                                    \
  "  --buy-rate R  the exchange rate the purchase was made at: units of the position's currency per\n" \
  "                one of the portfolio's base currency (0.8650 GBP per EUR); - for none (default:\n"  \
  "                the reference rate of the purchase day)\n"
constexpr const char* kAddStockOptions =
    "  --strict  refuse a symbol the market-data service does not know (exit 6) or could not be asked about\n"
    "            (exit 1); without it the position is stored with a warning\n"
    "  --no-check  do not ask the market-data service about the symbol\n" VL_STOCK_OPTIONS;
constexpr const char* kStockOptions = VL_STOCK_OPTIONS;
constexpr const char* kViewOptions =
    "  --list-columns  list every column's id, header, category and description instead\n"
    "  --sold  the sold positions instead of the held ones\n"
    "  --columns IDS  column ids, such as 0,1,3 (default: the application's columns;\n"
    "                 view --list-columns lists the ids)\n"
    "  --sort ID  the column to sort by (default: the application's sort column)\n"
    "  --asc  sort ascending\n"
    "  --desc  sort descending\n"
    "  --base-currency CODE  convert into this currency for this look (the base columns and totals;\n"
    "                        default: the portfolio's base currency); nothing is stored\n"
    "  (the first column, \"Id\", is the position's id, which sell, modify-stock and delete-position take)\n";

// Every command's help, in the order `help` lists them within their groups.
const CommandHelp kHelp[] = {
    {"quote", "market data", "print the current quote of each symbol; exit 1 when one is unknown",
     "  --fields NAMES  only these fields, in this order, such as symbol,lastTrade,change\n"
     "                  (default: all 47; a wrong name prints the list)\n",
     "quote MSFT ^DJI BHP.AX --fields symbol,lastTrade,change --json"},
    {"history", "market data", "print daily prices of a symbol for one month or a range of months", "",
     "history MSFT 2024-01 2024-03"},
    {"lookup", "market data", "find symbols by a company or fund name",
     "  --type KIND  stock, fund, etf, futures or index (default stock)\n"
     "  --worldwide  search every exchange, not only the United States\n",
     "lookup \"bank of america\" --type stock --worldwide"},
    {"market-time", "market data", "print a region's market time and whether its market is open",
     "  REGION  a name or its number (default us):\n"
     "          us 0 United States, ar 1 Argentina, au 3 Australia, br 4 Brazil, ca 5 Canada,\n"
     "          fr 9 France, de 10 Germany, in 12 India, it 15 Italy, mx 18 Mexico,\n"
     "          sg 23 Singapore, es 24 Spain, uk 28 United Kingdom\n",
     "market-time uk"},
    {"chart-url", "market data", "print the address of a price chart", kChartOptions,
     "chart-url MSFT --period 4 --ma50"},
    {"chart", "market data", "download a price chart image into a file",
     "  --out FILE  the image file to write (required)\n"
     "  (and every option of chart-url)\n",
     "chart MSFT --period 4 --out msft.png"},
    {"news", "market data", "print the headlines about the symbols",
     "  --days N  read the headlines of at most N-1 dates from each page, as the News window does\n"
     "            (dates that have headlines, not calendar days; default 10, also for 0)\n"
     "  --items N  at most N headlines over all the symbols (default 100, also for 0)\n",
     "news MSFT AAPL --items 20"},
    {"fetch", "market data", "fetch real prices through the service for the given or the database's symbols",
     kDb, "fetch MSFT --db my.db"},
    {"portfolios", "portfolios", "list the portfolios with their ids", kDb, "portfolios --db my.db"},
    {"add-portfolio", "portfolios", "add a portfolio; its name must not be blank",
     "  --comment TEXT  a note shown with the portfolio (default empty)\n"
     "  --base-currency CODE  the currency its totals are converted into, three capital letters\n"
     "                        (default: the one set in Options, else none: no conversion)\n",
     "add-portfolio Retirement --db my.db"},
    {"modify-portfolio", "portfolios", "rename a portfolio or change its comment",
     "  --name NAME  the new name, not blank (default: unchanged)\n"
     "  --comment TEXT  the new comment (default: unchanged)\n"
     "  --base-currency CODE  the new base currency; - for none (default: unchanged)\n",
     "modify-portfolio Retirement --name Pension --db my.db"},
    {"delete-portfolio", "portfolios", "delete a portfolio and its positions", kDb,
     "delete-portfolio Pension --db my.db"},
    {"positions", "positions", "list the positions with their ids, kinds, shares and dates",
     "  PORTFOLIO  only this portfolio (id or name; default: every portfolio)\n"
     "  --held  only the held positions (cash and margin count as held)\n"
     "  --sold  only the sold positions\n"
     "  (Amount: a stock's total paid, a cash amount, a margin debt as a negative amount;\n"
     "  Currency, only when a position listed has one: a stock's own currency, empty for its exchange's)\n",
     "positions Retirement --sold --db my.db"},
    {"add-stock", "positions",
     "add a stock position; prints its id; warns of a symbol the service does not know", kAddStockOptions,
     "add-stock Retirement MSFT --qty 100 --price 250.50 --date 2023-01-15 --db my.db"},
    {"add-cash", "positions", "add a cash position of AMOUNT (above 0); prints its id",
     "  --comment TEXT  the description, required (the dialog's \"Description\")\n",
     "add-cash Retirement 2500 --comment \"Broker cash\" --db my.db"},
    {"add-margin", "positions", "add a margin debt of AMOUNT (above 0); prints its id",
     "  --comment TEXT  the description, required (the dialog's \"Description\")\n",
     "add-margin Retirement 1000 --comment \"Margin loan\" --db my.db"},
    {"modify-stock", "positions", "change a stock position; options not given keep their values",
     "  --symbol S  the new symbol\n"
     "  --not-marginable  the security may not be bought on margin\n"
     "  --sale-rate R  the exchange rate the sale was made at, as --buy-rate; - for none\n"
     "  (and every option of add-stock)\n"
     "  (--strict and --no-check ask about a new --symbol)\n",
     "modify-stock 1 --stop-loss 200 --db my.db"},
    {"sell", "positions",
     "sell shares of a held position; prints its id and the rest's new id (0 when all were sold)",
     "  --qty N  shares sold, above 0 up to the shares held, to 8 decimal places (required)\n"
     "  --price D  sale price per share, above 0, to 6 decimal places (required)\n"
     "  --commission D  commission paid for the sale (default 0)\n"
     "  --date YYYY-MM-DD  sale date, not before the purchase nor after today (default today)\n",
     "sell 1 --qty 40 --price 300 --date 2024-06-03 --db my.db"},
    {"unsell", "positions", "undo the sale of a sold position", kDb, "unsell 1 --db my.db"},
    {"set-price", "positions",
     "set the price per share of a symbol the market-data service does not know (a fund, an ISIN, a delisted "
     "share); its positions show their figures from the newest such price, marked \"Set by hand\", until "
     "the service knows the symbol",
     "  PRICE  above 0, to 6 decimal places, at most 42949672.95\n"
     "  --date YYYY-MM-DD  the day of the price, from 1900-01-01 to today (default today); a second price "
     "of\n"
     "                     the same day replaces the first\n",
     "set-price IE00B4L5Y983 84.2637 --date 2026-12-01 --db my.db"},
    {"remove-price", "positions", "remove the prices of a symbol set by hand",
     "  --date YYYY-MM-DD  only the price of this day (default: every price of the symbol)\n",
     "remove-price IE00B4L5Y983 --db my.db"},
    {"prices", "positions", "list the prices set by hand, by symbol and day", kDb, "prices --db my.db"},
    {"split", "positions",
     "record a split of a symbol and apply it, as one change, to every position of it in every portfolio "
     "bought before the day and not sold before it: the shares times N/D, the prices per share times D/N, "
     "what was paid kept to the cent; prints each position it changes",
     "  N:D  new shares for old, in whole numbers: 3:1 makes three of one, 1:10 one of ten\n"
     "  --date YYYY-MM-DD  the ex-date, the first day of the new shares (required)\n"
     "  --cash-in-lieu PRICE  the price per new share paid for fractions: each position keeps its whole\n"
     "                        shares and sells the fraction on the day (without it, a position whose\n"
     "                        shares would need more than 8 decimals refuses the split)\n"
     "  --comment TEXT  a note kept with the split\n"
     "  --dry-run  print what would change; change nothing\n",
     "split MSFT 3:1 --date 2024-06-10 --db my.db"},
    {"rename-symbol", "positions",
     "record that a symbol became another from a day and move every position of it, in every portfolio, to "
     "the new symbol, as one change",
     "  --date YYYY-MM-DD  the first day of the new symbol (required)\n"
     "  --comment TEXT  a note kept with the change\n",
     "rename-symbol FB META --date 2022-06-09 --db my.db"},
    {"fetch-splits", "positions",
     "ask the market-data service for the splits of every held symbol since its first purchase and list "
     "those not recorded yet, oldest first",
     "  --apply  record each, as split does (one change each); a split a position cannot take without a\n"
     "           cash-in-lieu price is left for split (exit 5)\n",
     "fetch-splits --apply --db my.db"},
    {"corporate-actions", "positions", "list the recorded splits and symbol changes, by day", kDb,
     "corporate-actions MSFT --db my.db"},
    {"add-income", "income",
     "record a payment a holding made: a dividend, a capital-gain distribution, a return of capital, "
     "interest "
     "or other income; kept even when the portfolio held none of the symbol then (with a warning)",
     kAddIncomeOptions,
     "add-income Dividends KO --gross 50.00 --withholding 7.50 --pay-date 2025-04-01 --db my.db"},
    {"income", "income", "list the recorded income, newest payment first, of one portfolio or of all",
     "  --year YYYY  only the payments of that year\n", "income Dividends --year 2025 --db my.db"},
    {"modify-income", "income",
     "change fields of an income record: those given take the new value, the others keep theirs; --ex-date - "
     "forgets the ex-date",
     kIncomeOptions, "modify-income 3 --withholding 7.50 --db my.db"},
    {"delete-income", "income", "delete an income record", kDb, "delete-income 3 --db my.db"},
    {"fetch-income", "income",
     "ask the market-data service for the dividends of the portfolio's symbols and record, as one change, "
     "each payment its positions were entitled to that is not recorded yet (gross = amount per share x the "
     "shares then, no withholding)",
     "  --from YYYY-MM-DD  only dividends with an ex-date from that day (default: each symbol's first "
     "purchase)\n"
     "  --dry-run  list what would be recorded, and record nothing\n",
     "fetch-income Dividends --from 2025-01-01 --db my.db"},
    {"fx-rate", "market data",
     "print the exchange rate of a day as conversions take it: how many TO one FROM buys, at the latest "
     "reference fixing on or before the day, and the day of that fixing",
     "  --date YYYY-MM-DD  the day (default: today)\n"
     "  (GBp, ZAc and ILA are hundredths of GBP, ZAR and ILS)\n",
     "fx-rate EUR GBP --date 2024-03-15"},
    {"copy", "positions", "copy a position into another portfolio", kDb, "copy 1 Trading --db my.db"},
    {"move", "positions", "move a position into another portfolio", kDb, "move 1 Trading --db my.db"},
    {"delete-position", "positions", "delete a position", kDb, "delete-position 1 --db my.db"},
    {"changes", "change journal", "list the changes of the database, newest first, and which are undone",
     "  --limit N  only the newest N (default: every entry the journal keeps)\n"
     "  (the journal, Vellumar.journal beside the database, keeps the last 750 to 1000 changes)\n",
     "changes --limit 10 --db my.db"},
    {"undo", "change journal",
     "undo the newest change not yet undone, made by any program; exit 7 when refused", kDb,
     "undo --db my.db"},
    {"redo", "change journal",
     "apply again the newest undone change, unless a change was made since; exit 7 when refused", kDb,
     "redo --db my.db"},
    {"view", "views and reports",
     "print a portfolio's positions with the chosen columns, or list the columns", kViewOptions,
     "view Retirement --columns 0,1,3,4,8 --sort 8 --desc --db my.db"},
    {"summary", "views and reports", "print a portfolio's totals: value, change, gain, equity and margin",
     "  --sold  the totals of the sold positions\n"
     "  --ids IDS  only these positions, such as 3,7 (default: all)\n"
     "  --base-currency CODE  convert into this currency for this look (default: the portfolio's base\n"
     "                        currency); nothing is stored\n"
     "  (totals of positions in more than one currency add a column, mixedCurrencies, naming them:\n"
     "  \"GBp and USD, not converted\"; a position's currency is its own, else its exchange's)\n"
     "  (with a base currency: baseCurrency, then valueBase (netProceedsBase when sold), totalPaidBase,\n"
     "  gainBase, priceGainBase, fxGainBase and the rates they were converted at, or baseError naming\n"
     "  the missing rate)\n",
     "summary Retirement --db my.db"},
    {"update", "views and reports", "refresh the quotes of every position through the service", kDb,
     "update --db my.db"},
    {"performance", "views and reports",
     "print a portfolio's time- and money-weighted returns and realized gains by year",
     "  --from YYYY-MM-DD  start of the span (default: the first purchase)\n"
     "  --to YYYY-MM-DD  end of the span (default: today)\n"
     "  --series  also list the value and invested capital of each valuation day (always in --json)\n"
     "  --base-currency CODE  every amount in this currency at the rate of its day, for this look\n"
     "                        (default: the portfolio's base currency; nothing is stored)\n"
     "  (the closes come from the service's daily history; exit 6 when a symbol held has none)\n",
     "performance Retirement --from 2024-01-01 --db my.db"},
    {"report", "views and reports", "write a portfolio's view and totals as an HTML page",
     "  --out FILE  the page to write (required)\n"
     "  (and every option of view but --list-columns)\n",
     "report Retirement --out retirement.htm --db my.db"},
    {"export", "import and export",
     "write portfolios (no PORTFOLIO: the whole database) to a Vellumar CSV or XML file",
     "  PORTFOLIO  a portfolio to export, by id or name; several may be given (default: all)\n"
     "  --out FILE  the file to write, replaced whole; - writes to standard output (required)\n"
     "  --format FORMAT  csv or xml (default: xml for a FILE ending in .xml, else csv)\n"
     "  --no-cash  leave out cash positions\n"
     "  --no-margin  leave out margin debts\n"
     "  --no-index  leave out positions in a market index (symbols beginning with ^)\n",
     "export Retirement --out retirement.csv --db my.db"},
    {"import", "import and export",
     "import positions from a Vellumar CSV or XML file, any CSV file through a mapping, or an OFX "
     "statement;\n"
     "                    a file with a problem is refused whole (exit 4), each problem named with its line",
     "  --portfolio NAME  the portfolio the rows go into, by id or name; made when there is none of the "
     "name\n"
     "                    (required for a mapped CSV file and a statement; a Vellumar file names its own)\n"
     "  --format FORMAT  csv, xml or ofx (default: from the content and the name; a CSV file is Vellumar's\n"
     "                   when its header is, else it is read through the mapping)\n"
     "  --map MAPPING  FIELD=COLUMN,... where FIELD is symbol, quantity, price, date, commission, comment,\n"
     "                 sale-price, sale-date, sale-commission, kind, amount, fees, withholding, currency\n"
     "                 or name and COLUMN a header name or #N (the N-th column); a field not given is\n"
     "                 looked for under its own name (default: none)\n"
     "  --delimiter C  , ; or tab (default ,)\n"
     "  --decimal-comma  amounts are written 1234,56 (groups marked with .)\n"
     "  --date-format FORMAT  of YYYY, MM, DD, M and D, such as DD.MM.YYYY (default YYYY-MM-DD)\n"
     "  --encoding NAME  auto, utf-8 or latin-1 (default auto: UTF-8 when the text is, else Latin-1)\n"
     "  --skip-rows N  lines before the header, or before the data when every column is a #N (default 0)\n"
     "  --kind KIND=VALUE|VALUE...  the values of the kind column that are KIND: buy, sell, dividend,\n"
     "                 capital-gain, return-of-capital, interest, tax, fee, deposit, withdrawal, split or\n"
     "                 skip; a VALUE ending in * stands for every value that begins with it (repeatable);\n"
     "                 a row whose value no kind names is skipped and listed\n"
     "  --sell-when-negative  without a kind column, a negative quantity is a sale of that many shares\n"
     "  --profile NAME  start from the mapping saved under NAME (the options above change it)\n"
     "  --save-profile NAME  save the mapping used under NAME once the file reads without a problem\n"
     "  --profiles FILE  the profiles file (default: import-profiles.ini beside vellumar.ini)\n"
     "  --opening-positions  a statement's holdings list, less its trades, is what was held before its "
     "first\n"
     "                 trade: what the portfolio does not hold yet becomes positions dated its start\n"
     "  --dry-run  say what would be imported; change nothing\n"
     "  --allow-duplicates  add rows equal to a position already in their portfolio (default: skipped)\n"
     "  --no-cash  leave out cash positions (a statement's cash balance)\n"
     "  --no-margin  leave out margin debts\n"
     "  --no-index  leave out positions in a market index (symbols beginning with ^)\n",
     "import trades.csv --portfolio Broker --map symbol=Ticker,quantity=Shares --date-format M/D/YYYY --db "
     "my.db"},
    {"init", "maintenance", "create an empty database, or one with two sample portfolios",
     "  --sample  add two portfolios of securities the bundled service knows: held, sold, cash, margin\n",
     "init --sample --db sample.db"},
    {"check", "maintenance",
     "load the database and say what it holds; exit 3 for bytes after the end of the store", kDb,
     "check --db my.db"},
    {"dump", "maintenance", "print every record of the database", kDb, "dump --db my.db --json"},
};

}  // namespace

const CommandHelp* FindCommandHelp(const std::string& command) {
  for (const CommandHelp& help : kHelp) {
    if (command == help.name) return &help;
  }
  return nullptr;
}

void PrintUsageLine(std::ostream& out, const std::string& command) {
  for (const CliCommand& c : AllCliCommands()) {
    if (command == c.name) out << "usage: vellumar-cli " << c.name << " " << c.usage << "\n";
  }
}

void PrintOverview(std::ostream& out) {
  out << "usage: vellumar-cli COMMAND [ARGS] [OPTIONS]\n"
         "       vellumar-cli help COMMAND\n"
         "       vellumar-cli --version\n";
  for (const char* group : kGroups) {
    out << "\n" << group << ":\n";
    for (const CommandHelp& help : kHelp) {
      if (std::string(group) == help.group) {
        std::string name = help.name;
        name.resize(18, ' ');
        out << "  " << name << help.summary << "\n";
      }
    }
  }
  out << "\noptions of every command:\n"
         "  --json  print JSON instead of a tab-separated table (see below)\n"
         "  --service HOST:PORT  ask this market-data server instead of the settings' hosts\n"
         "  --help  print the command's usage, options and an example\n"
         "\nJSON: a list is an array of objects, one result one object. Keys are the table's column names; "
         "view\n"
         "uses the plain column headers (\"Total Paid\") and \"id\". A figure's text that is a number is "
         "also\n"
         "given as a number under its key followed by \"Value\": \"Gain\": \"1,234.50\", \"GainValue\": "
         "1234.5\n"
         "(a percent as its number: \"+2.50%\" gives 2.5; symbols, names and comments stay texts). Errors "
         "and warnings go to standard error as one object:\n"
         "{\"message\": \"...\", \"code\": EXIT} (code 0: only warnings).\n"
         "\nexit codes: 0 done, 1 failed (file or service), 2 wrong usage, 3 bytes after the end of the\n"
         "database (check), 4 a value that makes no sense, 5 an operation the position does not allow,\n"
         "6 a symbol the market-data service does not know (add-stock --strict, modify-stock --strict),\n"
         "7 an undo or redo refused: nothing to undo or redo, or the database no longer matches its\n"
         "change journal (replaced by a backup, or changed by a program that keeps no journal).\n"
         "\nThe database commands' --db defaults to the application's database: Vellumar.db beside the\n"
         "program when its folder is writable, else $XDG_DATA_HOME/vellumar/Vellumar.db\n"
         "(~/.local/share/vellumar/Vellumar.db). The market-data commands ask the hosts of the Services\n"
         "settings in vellumar.ini and start the bundled vellumar-marketd when the quote host is this\n"
         "machine and nothing answers there. update, lookup, news and fetch show their progress when\n"
         "standard error is a terminal.\n";
}

void PrintCommandHelp(std::ostream& out, const std::string& command) {
  const CommandHelp* help = FindCommandHelp(command);
  if (!help) return;
  PrintUsageLine(out, command);
  out << "\n" << help->summary << "\n\noptions:\n" << help->options;
  for (const CliCommand& c : AllCliCommands()) {
    if (command == c.name && c.valueOptions.count("db") &&
        std::string(help->options).find("--db") == std::string::npos) {
      out << kDb;
    }
  }
  out << "  --json  print JSON instead of a tab-separated table ('vellumar-cli help' gives its form)\n";
  if (AsksMarketService(command) || std::string(help->group) == "market data") {
    out << "  --service HOST:PORT  ask this market-data server (default: the settings' hosts)\n";
  }
  out << "\nexample:\n  vellumar-cli " << help->example << "\n";
}
