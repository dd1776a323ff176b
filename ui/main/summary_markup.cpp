#include "ui/main/summary_markup.h"

#include <algorithm>

#include "portfolio/views/portfolio_summary.h"

namespace {

constexpr std::string_view kLabelCellOpen = "          <td width=50 align=right><font name=Tahoma size=13>";
constexpr std::string_view kCellClose = "</font></td>";
constexpr std::string_view kMixedColor = "darkorange";
constexpr std::string_view kEmptyPair = "          <td width=50 align=right></td>          <td></td>";

bool StartsWithMinus(std::string_view text) {
  return !text.empty() && text.front() == '-';
}

// Figures are plain numbers; escaping only guards the markup against a text it was never meant to carry.
std::string Escaped(std::string_view text) {
  std::string out;
  for (char c : text) {
    if (c == '&') {
      out += "&amp;";
    } else if (c == '<') {
      out += "&lt;";
    } else if (c == '>') {
      out += "&gt;";
    } else {
      out.push_back(c);
    }
  }
  return out;
}

std::string Label(std::string_view label) {
  return std::string(kLabelCellOpen) + std::string(label) + std::string(kCellClose);
}

std::string Value(std::string_view value) {
  return "          <td><font name=Tahoma size=13>" + Escaped(value) + std::string(kCellClose);
}

std::string ColouredValue(std::string_view color, std::string_view value) {
  return "          <td><font name=Tahoma size=13 color=" + std::string(color) + ">" + Escaped(value) +
         std::string(kCellClose);
}

std::string Row(const std::string& cells) {
  return "        <tr>" + cells + "        </tr>";
}

std::string Frame(std::string_view background, const std::string& rows) {
  return "<table align=left width=4096 border=0 cellspacing=0 cellpadding=0 bgcolor=" +
         std::string(background) + " bgendcolor=" + std::string(background) +
         " bgeffect=vgradient>"
         "  <tr>"
         "    <td align=left><table width=100 align=left border=0 cellspacing=0 cellpadding=0>" +
         rows +
         "      </table>"
         "    </td>"
         "  </tr>"
         "</table>";
}

// A portfolio with a base currency adds two groups at the end of each row: value, total paid and gain, then
// the price and exchange-rate parts of the gain and the rates; or, when a rate is missing, why not.
std::string BaseGroups(const VLPortfolioSummary& s, int row) {
  if (!s.HasBase()) return {};
  const SummaryBaseTotals& b = s.base;
  const std::string in = " (" + b.currency + "):  ";
  if (!b.error.empty()) {
    return row == 0 ? Label("           " + b.currency + " totals:  ") + ColouredValue("red", b.error)
                    : std::string(kEmptyPair);
  }
  const auto signedValue = [](const std::string& text) {
    return ColouredValue(StartsWithMinus(text) ? "red" : "black", text);
  };
  switch (row) {
    case 0:
      return Label("           Value" + in) + Value(b.value) + Label("           Price Gain" + in) +
             signedValue(b.priceGain);
    case 1:
      return Label("           Total Paid" + in) + Value(b.totalPaid) + Label("           FX Gain" + in) +
             signedValue(b.fxGain);
    default:
      return Label("           Gain" + in) + signedValue(b.gain) +
             (b.rates.empty() ? std::string(kEmptyPair) : Label("           Converted:  ") + Value(b.rates));
  }
}

}  // namespace

bool IsZeroAmountText(std::string_view text) {
  const bool hasDigit = std::any_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
  const bool hasNonZero = std::any_of(text.begin(), text.end(), [](char c) { return c >= '1' && c <= '9'; });
  return hasDigit && !hasNonZero;
}

SummaryColors ChooseSummaryColors(const VLPortfolioSummary& s, bool held) {
  SummaryColors colors;
  if (StartsWithMinus(s.change)) colors.change = "red";
  if (StartsWithMinus(s.gain)) {
    colors.gain = "red";
  } else if (!held && !IsZeroAmountText(s.gain)) {
    colors.gain = "darkgreen";
  }
  if (!IsZeroAmountText(s.marginOwed)) colors.marginOwed = "red";
  if (!IsZeroAmountText(s.marginAvailable)) colors.marginAvailable = "darkgreen";
  // A positive post-sale gain is what the sale gave away.
  if (!s.postSaleGain.empty() && !IsZeroAmountText(s.postSaleGain) && !StartsWithMinus(s.postSaleGain)) {
    colors.postSaleGain = "red";
  }
  return colors;
}

std::string BuildSummaryMarkup(const VLPortfolioSummary& s, bool held) {
  const SummaryColors colors = ChooseSummaryColors(s, held);
  // Totals of several currencies say so: beside the sold view's figures, under the held view's equity.
  const std::string mixed = MixedCurrenciesText(s);
  const std::string mixedPair =
      mixed.empty() ? std::string(kEmptyPair)
                    : Label("           Mixed currencies:  ") + ColouredValue(kMixedColor, mixed);
  // A portfolio with income adds a group of its totals at the end of each row, and its total return where
  // the middle group has room.
  std::string income[3], totalReturn = std::string(kEmptyPair);
  if (s.HasIncome()) {
    income[0] = Label("           Income This Year:  ") + Value(s.incomeThisYear);
    income[1] = Label("           Withholding This Year:  ") + Value(s.withholdingThisYear);
    income[2] = Label("           Income (All):  ") + Value(s.incomeAll);
    totalReturn = Label("           Total Return:  ") +
                  ColouredValue(StartsWithMinus(s.totalReturn) ? "red" : "black", s.totalReturn);
  }
  if (!held) {
    if (!s.HasIncome() && !s.HasBase()) {
      return Frame(
          "honeydew",
          Row(Label("  Net Proceeds:  ") + Value(s.netProceeds) + (mixed.empty() ? "" : mixedPair)) +
              Row(Label("  Gain:  ") + ColouredValue(colors.gain, s.gain)) +
              Row(Label("  Post-Sale Gain:  ") + ColouredValue(colors.postSaleGain, s.postSaleGain)));
    }
    return Frame(
        "honeydew",
        Row(Label("  Net Proceeds:  ") + Value(s.netProceeds) + mixedPair + income[0] + BaseGroups(s, 0)) +
            Row(Label("  Gain:  ") + ColouredValue(colors.gain, s.gain) + totalReturn + income[1] +
                BaseGroups(s, 1)) +
            Row(Label("  Post-Sale Gain:  ") + ColouredValue(colors.postSaleGain, s.postSaleGain) +
                std::string(kEmptyPair) + income[2] + BaseGroups(s, 2)));
  }
  return Frame(
      "whitesmoke",
      Row(Label("  Current Value:  ") + Value(s.currentValue) + Label("           Equity:  ") +
          Value(s.equity) + Label("           Marginable Equity:  ") + Value(s.marginableEquity) + income[0] +
          BaseGroups(s, 0)) +
          Row(Label("  Change:  ") + ColouredValue(colors.change, s.change) + mixedPair +
              Label("           Margin Owed:  ") + ColouredValue(colors.marginOwed, s.marginOwed) +
              income[1] + BaseGroups(s, 1)) +
          Row(Label("  Gain:  ") + ColouredValue(colors.gain, s.gain) + totalReturn +
              Label("           Margin Available:  ") +
              ColouredValue(colors.marginAvailable, s.marginAvailable) + income[2] + BaseGroups(s, 2)));
}
