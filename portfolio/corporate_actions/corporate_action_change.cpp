#include "portfolio/corporate_actions/corporate_action_change.h"

std::string SplitFaultText(const SplitPreview& preview) {
  const SplitPreviewRow* row = nullptr;
  for (const SplitPreviewRow& r : preview.rows) {
    if (r.positionId == preview.faultPositionId) row = &r;
  }
  const std::string position = "position " + std::to_string(preview.faultPositionId) +
                               (row && !row->portfolio.empty() ? " in " + row->portfolio : std::string());
  switch (preview.fault) {
    case SplitFault::None:
      return {};
    case SplitFault::Fraction:
      return position +
             " would hold a fraction of a share finer than 0.00000001: give the price per new share "
             "the broker paid for fractions (cash in lieu)";
    case SplitFault::Limits:
      return position + " would hold more shares, or a price, than a position can";
    case SplitFault::SoldWithoutShares:
      return position + " would keep no whole share, yet it was sold later: unsell it first";
  }
  return {};
}
