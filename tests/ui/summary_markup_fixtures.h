#pragma once
// The panel's markup of both views with known figures, written out in full.
#include <string>

#include "portfolio/views/portfolio_summary.h"

inline VLPortfolioSummary HeldFigures() {
  VLPortfolioSummary s;
  s.currentValue = "1,700.00";
  s.change = "-50.00  (-2.94%)";
  s.gain = "200.00  (13.33%)";
  s.equity = "1,400.00(82.35%)";
  s.marginableEquity = "600.00";
  s.marginOwed = "300.00";
  s.marginAvailable = "300.00";
  return s;
}

inline VLPortfolioSummary SoldFigures() {
  VLPortfolioSummary s;
  s.gain = "40.00  (20.00%)";
  s.netProceeds = "240.00";
  s.postSaleGain = "60.00";
  return s;
}

// HeldFigures() in the held view: change negative (red), gain positive (black in this view), margin owed
// not zero (red), margin available not zero (dark green).
inline const std::string kHeldMarkup =
    "<table align=left width=4096 border=0 cellspacing=0 cellpadding=0 bgcolor=whitesmoke "
    "bgendcolor=whitesmoke "
    "bgeffect=vgradient>"
    "  <tr>"
    "    <td align=left><table width=100 align=left border=0 cellspacing=0 cellpadding=0>"
    "        <tr>"
    "          <td width=50 align=right><font name=Tahoma size=13>  Current Value:  </font></td>"
    "          <td><font name=Tahoma size=13>1,700.00</font></td>"
    "          <td width=50 align=right><font name=Tahoma size=13>           Equity:  </font></td>"
    "          <td><font name=Tahoma size=13>1,400.00(82.35%)</font></td>"
    "          <td width=50 align=right><font name=Tahoma size=13>           Marginable Equity:  </font></td>"
    "          <td><font name=Tahoma size=13>600.00</font></td>"
    "        </tr>"
    "        <tr>"
    "          <td width=50 align=right><font name=Tahoma size=13>  Change:  </font></td>"
    "          <td><font name=Tahoma size=13 color=red>-50.00  (-2.94%)</font></td>"
    "          <td width=50 align=right></td>"
    "          <td></td>"
    "          <td width=50 align=right><font name=Tahoma size=13>           Margin Owed:  </font></td>"
    "          <td><font name=Tahoma size=13 color=red>300.00</font></td>"
    "        </tr>"
    "        <tr>"
    "          <td width=50 align=right><font name=Tahoma size=13>  Gain:  </font></td>"
    "          <td><font name=Tahoma size=13 color=black>200.00  (13.33%)</font></td>"
    "          <td width=50 align=right></td>"
    "          <td></td>"
    "          <td width=50 align=right><font name=Tahoma size=13>           Margin Available:  </font></td>"
    "          <td><font name=Tahoma size=13 color=darkgreen>300.00</font></td>"
    "        </tr>"
    "      </table>"
    "    </td>"
    "  </tr>"
    "</table>";

// SoldFigures() in the sold view: gain positive (dark green), post-sale gain positive (red).
inline const std::string kSoldMarkup =
    "<table align=left width=4096 border=0 cellspacing=0 cellpadding=0 bgcolor=honeydew bgendcolor=honeydew "
    "bgeffect=vgradient>"
    "  <tr>"
    "    <td align=left><table width=100 align=left border=0 cellspacing=0 cellpadding=0>"
    "        <tr>"
    "          <td width=50 align=right><font name=Tahoma size=13>  Net Proceeds:  </font></td>"
    "          <td><font name=Tahoma size=13>240.00</font></td>"
    "        </tr>"
    "        <tr>"
    "          <td width=50 align=right><font name=Tahoma size=13>  Gain:  </font></td>"
    "          <td><font name=Tahoma size=13 color=darkgreen>40.00  (20.00%)</font></td>"
    "        </tr>"
    "        <tr>"
    "          <td width=50 align=right><font name=Tahoma size=13>  Post-Sale Gain:  </font></td>"
    "          <td><font name=Tahoma size=13 color=red>60.00</font></td>"
    "        </tr>"
    "      </table>"
    "    </td>"
    "  </tr>"
    "</table>";
