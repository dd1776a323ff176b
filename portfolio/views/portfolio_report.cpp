#include "portfolio/views/portfolio_report.h"

#include <cstdio>

namespace {

constexpr const char* kProduct = "Vellumar 0.15d";
constexpr const char* kOwnershipNotice = "Copyright (c) the Vellumar developers";
constexpr const char* kHomePage = "https://vellumar.example/";

constexpr int32_t kRight = 1;
constexpr int32_t kCentre = 2;

// Columns whose negative cells are printed red: Change, Value Change, Price Chg, Gain, % Gain.
constexpr int32_t kRedWhenNegativeColumns[] = {4, 10, 13, 15, 16};

constexpr const char* kWeekdays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                   "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

int Wrap(int value, int count) {
  return ((value % count) + count) % count;
}

bool StartsWithMinus(const std::string& text) {
  return !text.empty() && text[0] == '-';
}

std::string Red(const std::string& text) {
  return "<font color=red>" + text + "</font>";
}

std::string RedIf(bool red, const std::string& text) {
  return red ? Red(text) : text;
}

std::string ReplaceAll(const std::string& text, char from, const char* to) {
  std::string out;
  for (char c : text) {
    if (c == from) {
      out += to;
    } else {
      out += c;
    }
  }
  return out;
}

bool IsRedWhenNegative(int32_t column) {
  for (int32_t id : kRedWhenNegativeColumns) {
    if (id == column) return true;
  }
  return false;
}

// "%a %#d %b %Y %#I:%M:%S %Z": no leading zeros on day and hour, English names whatever the locale.
std::string FormatCreatedTime(const std::tm& t) {
  const int hour12 = Wrap(t.tm_hour, 12) == 0 ? 12 : Wrap(t.tm_hour, 12);
  char text[96];
  std::snprintf(text, sizeof text, "%s %d %s %d %d:%02d:%02d %s", kWeekdays[Wrap(t.tm_wday, 7)], t.tm_mday,
                kMonths[Wrap(t.tm_mon, 12)], t.tm_year + 1900, hour12, t.tm_min, t.tm_sec,
                t.tm_zone != nullptr ? t.tm_zone : "");
  return text;
}

std::string AlignmentWord(int32_t alignment) {
  if (alignment == kRight) return "right";
  if (alignment == kCentre) return "middle";
  return "left";
}

void AppendHeading(std::string& doc, const PortfolioReportColumn& column, int32_t sortColumn) {
  std::string text = EscapeReportText(column.header);
  if (column.id == sortColumn) text = "<u>" + text + "</u>";
  if (column.alignment == kRight) {
    text += "&nbsp";
  } else if (column.alignment != kCentre) {
    text = "&nbsp" + text;
  }
  doc += "<td align=" + AlignmentWord(column.alignment) + "><b>" + text + "</b></td>\n";
}

void AppendCell(std::string& doc, const PortfolioReportColumn& column, const std::string& cell, bool shaded) {
  std::string text = ReplaceAll(EscapeReportText(cell), ' ', "&nbsp;");
  if (IsRedWhenNegative(column.id) && StartsWithMinus(text)) text = Red(text);
  if (column.alignment == kRight) {
    text += "&nbsp;";
  } else if (column.alignment == kCentre) {
    if (text.empty()) text = "&nbsp;";
  } else {
    text = "&nbsp;" + text;
  }
  doc += std::string("<td ") + (shaded ? "bgcolor=#E8F8E8 " : "") +
         "align=" + AlignmentWord(column.alignment) + ">" + text + "</td>\n";
}

void AppendHead(std::string& doc, const PortfolioReportInput& input, const std::string& name,
                const std::string& updated, const char* view) {
  doc += "<!--\n";
  doc += "       Portfolio: " + name + "\n";
  doc += std::string("            View: ") + view + " positions\n";
  doc += "    Last updated: " + updated + "\n";
  doc += "Report created: " + FormatCreatedTime(input.localTime) + "\n";
  doc += std::string("       Generator: ") + kProduct + " " + kOwnershipNotice + "\n";
  doc += "-->\n";
  doc +=
      "<HTML>\n<HEAD>\n"
      "<META NAME=\"GENERATOR\" Content=\"Vellumar 0.15d\">\n"
      "<META HTTP-EQUIV=\"Content-Type\" content=\"text/html; charset=iso-8859-1\">\n"
      "<STYLE TYPE=\"text/css\">\n<!--\n"
      "body, p, h1, h2, h3, h4, h5, h6, ol, ul, li, td\n{\n"
      "  font-family: Verdana, Helvetica, Arial, sans-serif;\n  font-size: 8pt;\n  color: black;\n}\n"
      "a\n{\n"
      "  font-family: Verdana, Helvetica, Arial, sans-serif;\n  font-size: 8pt;\n  color: gray;\n}\n"
      "-->\n</STYLE>\n";
  doc += "<TITLE>" + name + "</TITLE>\n</HEAD>\n";
}

void AppendTitleBlock(std::string& doc, const std::string& name, const std::string& updated,
                      const char* view) {
  doc +=
      "<BODY>\n\n<center>\n<!-- Title -->\n"
      "<table cellspacing=0 cellpadding=3 border=1 width=\"95%\">\n"
      "<tr bgcolor=#F0F0C0><td>\n"
      "<table cellspacing=0 cellpadding=0 border=0 width=\"100%\">\n";
  doc += std::string("<tr><td align=left>&nbsp;<a href=\"") + kHomePage + "\"><small>" + kProduct + " " +
         kOwnershipNotice + "</small></a>\n";
  doc += std::string("</td><td align=right>View:&nbsp;") + view +
         "&nbsp;Positions&nbsp;</td></tr><tr><td align=left>\n";
  doc += "&nbsp;<font style=\"font-size:13pt; color:#0066ff;\"><b>" + name +
         "</b></font></td><td align=right>\n";
  doc += updated + "&nbsp;</td></tr></table></td></tr></table>\n\n";
}

// One "label: value" row of a summary table; `first` rows open the table, later ones continue it.
void AppendSummaryRow(std::string& doc, bool first, const std::string& label, const std::string& value) {
  doc += first ? "<tr><td align=right>&nbsp;" : "\n</td></tr><tr><td align=right>";
  doc += label + "</td><td>&nbsp;" + value;
}

constexpr const char* kSummaryTableStart = "<table cellspacing=0 cellpadding=0 border=0>\n";
constexpr const char* kSummaryTableGap = "\n</td></tr></table></td><td width=30>&nbsp;<br></td><td>\n\n";

// The income totals of a portfolio with income records, as a group of their own (left open).
void AppendIncomeGroup(std::string& doc, const VLPortfolioSummary& s) {
  doc += kSummaryTableStart;
  AppendSummaryRow(doc, true, "Income This Year:", EscapeReportText(s.incomeThisYear));
  AppendSummaryRow(doc, false, "Withholding This Year:", EscapeReportText(s.withholdingThisYear));
  AppendSummaryRow(doc, false, "Income (All):", EscapeReportText(s.incomeAll));
  AppendSummaryRow(doc, false,
                   "Total Return:", RedIf(StartsWithMinus(s.totalReturn), EscapeReportText(s.totalReturn)));
}

// The totals in a portfolio's base currency, as a group of their own (left open): the amounts and the rates
// they were converted at, or why they could not be.
void AppendBaseGroup(std::string& doc, const VLPortfolioSummary& s) {
  const SummaryBaseTotals& b = s.base;
  const auto text = [](const std::string& value) { return EscapeReportText(value); };
  const std::string in = " (" + EscapeReportText(b.currency) + "):";
  doc += kSummaryTableStart;
  if (!b.error.empty()) {
    AppendSummaryRow(doc, true, "Totals" + in, RedIf(true, text(b.error)));
    return;
  }
  AppendSummaryRow(doc, true, "Value" + in, text(b.value));
  AppendSummaryRow(doc, false, "Total Paid" + in, text(b.totalPaid));
  AppendSummaryRow(doc, false, "Gain" + in, RedIf(StartsWithMinus(b.gain), text(b.gain)));
  AppendSummaryRow(doc, false, "Price Gain" + in, RedIf(StartsWithMinus(b.priceGain), text(b.priceGain)));
  AppendSummaryRow(doc, false, "FX Gain" + in, RedIf(StartsWithMinus(b.fxGain), text(b.fxGain)));
  if (!b.rates.empty()) AppendSummaryRow(doc, false, "Converted:", text(b.rates));
}

// The groups of income and of the base currency, each after a gap but the first when `gapFirst` is false,
// and the summary's end once there was a group.
void AppendTrailingGroups(std::string& doc, const VLPortfolioSummary& s, bool gapFirst) {
  bool gap = gapFirst;
  if (s.HasIncome()) {
    if (gap) doc += kSummaryTableGap;
    AppendIncomeGroup(doc, s);
    gap = true;
  }
  if (s.HasBase()) {
    if (gap) doc += kSummaryTableGap;
    AppendBaseGroup(doc, s);
  }
  if (s.HasIncome() || s.HasBase()) doc += "\n</td></tr></table>";
}

void AppendSummary(std::string& doc, const PortfolioReportInput& input) {
  const VLPortfolioSummary& s = input.summary;
  const auto text = [](const std::string& value) { return EscapeReportText(value); };
  doc += "<!-- Summary -->\n<table cellspacing=0 cellpadding=3 border=1 width=\"95%\">\n<tr bgcolor=";
  doc += input.heldView ? "#F0F0F0" : "#E8F8E8";
  doc += "><td><table cellspacing=0 cellpadding=0 border=0>\n<tr><td>\n\n";
  doc += kSummaryTableStart;
  if (input.heldView) {
    AppendSummaryRow(doc, true,
                     "Current Value:", RedIf(StartsWithMinus(s.currentValue), text(s.currentValue)));
    AppendSummaryRow(doc, false, "Change:", RedIf(StartsWithMinus(s.change), text(s.change)));
    AppendSummaryRow(doc, false, "Gain:", RedIf(StartsWithMinus(s.gain), text(s.gain)));
  } else {
    AppendSummaryRow(doc, true, "Net Proceeds:", text(s.netProceeds));
    AppendSummaryRow(doc, false, "Gain:", RedIf(StartsWithMinus(s.gain), text(s.gain)));
    const bool postSaleRed = !StartsWithMinus(s.postSaleGain) && s.postSaleGain != "0.00";
    AppendSummaryRow(doc, false, "Post-Sale Gain:", RedIf(postSaleRed, text(s.postSaleGain)));
  }
  // Totals of several currencies say so, in the free row of the held view's middle group.
  const std::string mixed = MixedCurrenciesText(s);
  if (!input.heldView && !mixed.empty()) AppendSummaryRow(doc, false, "Mixed currencies:", text(mixed));
  doc += kSummaryTableGap;
  if (!input.heldView) {
    AppendTrailingGroups(doc, s, false);
    return;
  }

  doc += kSummaryTableStart;
  AppendSummaryRow(doc, true, "Equity:", text(s.equity));
  if (mixed.empty()) {
    AppendSummaryRow(doc, false, " ", "");
  } else {
    AppendSummaryRow(doc, false, "Mixed currencies:", text(mixed));
  }
  AppendSummaryRow(doc, false, " ", "");
  doc += kSummaryTableGap;
  doc += kSummaryTableStart;
  AppendSummaryRow(
      doc, true, "Marginable Equity:", RedIf(StartsWithMinus(s.marginableEquity), text(s.marginableEquity)));
  AppendSummaryRow(doc, false, "Margin Owed:", RedIf(s.marginOwed != "0.00", text(s.marginOwed)));
  const std::string available = text(s.marginAvailable);
  AppendSummaryRow(doc, false, "Margin Available:",
                   s.marginAvailable != "0.00" ? "<font color=green>" + available + "</font>" : available);
  if (s.HasIncome() || s.HasBase()) {
    AppendTrailingGroups(doc, s, true);
    return;
  }
  doc += "\n</td></tr></table>";
}

}  // namespace

std::string EscapeReportText(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c < 0x80) {
      if (c == '&') {
        out += "&amp;";
      } else if (c == '<') {
        out += "&lt;";
      } else if (c == '>') {
        out += "&gt;";
      } else {
        out += static_cast<char>(c);
      }
      ++i;
      continue;
    }
    // Decode one UTF-8 sequence; anything malformed (short, overlong, surrogate, too large) is one Latin-1
    // byte.
    size_t length = c >= 0xF0 && c <= 0xF4 ? 4 : c >= 0xE0 ? 3 : c >= 0xC2 && c <= 0xDF ? 2 : 0;
    if (c > 0xF4) length = 0;
    uint32_t code = length == 4 ? c & 0x07u : length == 3 ? c & 0x0Fu : c & 0x1Fu;
    bool valid = length != 0 && i + length <= text.size();
    for (size_t k = 1; valid && k < length; ++k) {
      const unsigned char next = static_cast<unsigned char>(text[i + k]);
      valid = (next & 0xC0) == 0x80;
      code = (code << 6) | (next & 0x3Fu);
    }
    if (valid) {
      valid = !(length == 3 && code < 0x800) && !(length == 4 && (code < 0x10000 || code > 0x10FFFF)) &&
              !(code >= 0xD800 && code <= 0xDFFF);
    }
    if (!valid) {
      code = c;
      length = 1;
    }
    out += "&#" + std::to_string(code) + ";";
    i += length;
  }
  return out;
}

std::string BuildPortfolioReport(const PortfolioReportInput& input) {
  const std::string name = EscapeReportText(input.portfolioName);
  const std::string updated = EscapeReportText(input.updatedText);
  const char* view = input.heldView ? "Held" : "Sold";
  std::string doc;
  AppendHead(doc, input, name, updated, view);
  AppendTitleBlock(doc, name, updated, view);

  doc +=
      "<!-- Content -->\n<table cellspacing=0 cellpadding=1 border=1 width=\"95%\">\n<tr bgcolor=#F0F0F0>\n";
  for (const PortfolioReportColumn& column : input.columns) AppendHeading(doc, column, input.sortColumn);
  doc += "</tr>\n";

  bool shaded = input.alternateRows;
  for (const std::vector<std::string>& row : input.rows) {
    doc += "<tr>\n";
    for (size_t c = 0; c < input.columns.size(); ++c) {
      AppendCell(doc, input.columns[c], c < row.size() ? row[c] : std::string(), shaded);
    }
    doc += "</tr>\n";
    if (input.alternateRows) shaded = !shaded;
  }

  const long long total =
      static_cast<long long>(input.rows.size()) + (input.skippedRows > 0 ? input.skippedRows : 0);
  doc += "</table>\n\n<!-- Total -->\n<table cellspacing=0 cellpadding=1 border=1 width=\"95%\">\n";
  doc +=
      "<tr bgcolor=#F0F0F0>\n  <td align=right>Total: " + std::to_string(total) + " position(s)&nbsp;</td>\n";
  doc += "</tr>\n</table>\n\n";

  AppendSummary(doc, input);
  doc += "</td></tr></table></td></tr></table></center>\n</BODY></HTML>";
  return doc;
}

std::string GetPortfolioReportFileName(const std::string& folder, long long windowId, int32_t portfolioId,
                                       const std::tm& t) {
  char name[96];
  std::snprintf(name, sizeof name, "%lld_%04d_%04d%02d%02d%02d%02d%02d.htm", windowId, portfolioId,
                t.tm_year + 1900, t.tm_mon + 1, t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec);
  return folder + name;
}
