#pragma once

class Market;
struct QuoteFigures;
struct SecuritySnapshot;

// Fills the figures of the classic quote codes that the application itself does not ask for, from
// the snapshot and the figures MakeQuote already set (last, change, previous close, 52-week range).
void SetClassicFigures(const Market& market, const SecuritySnapshot& snapshot, QuoteFigures& quote);
// The same figures for a symbol the market does not know.
void SetClassicUnknown(QuoteFigures& quote);
