#pragma once
#include "portfolio/records/vl_stock_holding_item.h"
#include "tests/support/exact_values.h"

// A stock position with every page of the position dialog filled in: bought 2023-01-15 with targets and a
// margin equity, and when `sold`, sold on 2024-04-02.
inline VLStockHoldingItem SampleStock(bool sold) {
  VLStockHoldingItem stock;
  stock.name = "MSFT";
  stock.quote.Edit().name = "Microsoft Corporation";
  stock.qty = Shares(100);
  stock.buyPricePerShare = Cents(25050);
  stock.buyCommission = 995;
  stock.purchaseDate = 1673784000;
  stock.perShareSellTarget = Cents(40000);
  stock.perShareStopLossTarget = Cents(22000);
  stock.marginable = true;
  stock.mgnEquity = 50;
  stock.mgnThreshold = 500;
  stock.comment = "core holding";
  if (sold) {
    stock.salePricePerShare = Cents(41075);
    stock.saleCommission = 995;
    stock.saleDate = 1712059200;
  }
  return stock;
}
