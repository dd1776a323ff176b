#include "ui/main/cell_colour_rules.h"

#include "portfolio/columns/column_catalog.h"

namespace {

bool StartsWith(std::string_view text, char c) {
  return !text.empty() && text.front() == c;
}

}  // namespace

CellTextColour GetCellTextColour(int column, std::string_view text) {
  if (text.empty()) return CellTextColour::Default;
  switch (column) {
    case kColChange:
    case kColCurrValue:
    case kColValueChange:
    case kColPriceChg:
    case kColGain:
    case kColPctGain:
    case kColCagr:
    case kColEstGain1Yr:
    case kColMAvg50Chg:
    case kColPctMAvg50Chg:
    case kColMAvg200Chg:
    case kColPctMAvg200Chg:
      return StartsWith(text, '-') ? CellTextColour::Red : CellTextColour::Default;
    case kColBuyDist:
    case kColPctBuyDist:
      return StartsWith(text, '+') ? CellTextColour::Default : CellTextColour::Green;
    case kColSellDist:
    case kColPctSellDist:
      return StartsWith(text, '-') ? CellTextColour::Default : CellTextColour::Green;
    case kColStopLossDist:
      return StartsWith(text, '+') ? CellTextColour::Default : CellTextColour::Red;
    case kColAlert:
      if (text == "Stop loss") return CellTextColour::Red;
      if (text == "Sell target") return CellTextColour::Green;
      if (text == "Buy target") return CellTextColour::Navy;
      return CellTextColour::Default;
    default:
      return CellTextColour::Default;
  }
}

uint32_t CellTextRgb(CellTextColour colour) {
  switch (colour) {
    case CellTextColour::Red:
      return 0xFF0000;
    case CellTextColour::Green:
      return 0x008000;
    case CellTextColour::Navy:
      return 0x000080;
    case CellTextColour::Default:
      break;
  }
  return 0;
}
