#include "ui/dialogs/market_data_windows.h"

#include "framework/string_id.h"
#include "ui/widgets/message_box.h"

namespace {
IMarketDataWindows*& Installed() {
  static IMarketDataWindows* windows = nullptr;
  return windows;
}
}  // namespace

std::optional<QString> IMarketDataWindows::FindSymbol(QWidget* parent, const QString&) {
  ShowMessage(parent, StringId::NotImplemented, MessageIcon::Information);
  return std::nullopt;
}

std::optional<int64_t> IMarketDataWindows::FindPrice(QWidget* parent, const QString&, const QDate&) {
  ShowMessage(parent, StringId::NotImplemented, MessageIcon::Information);
  return std::nullopt;
}

IMarketDataWindows& MarketDataWindows() {
  static IMarketDataWindows fallback;
  return Installed() ? *Installed() : fallback;
}

void SetMarketDataWindows(IMarketDataWindows* windows) {
  Installed() = windows;
}
