#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "portfolio/corporate_actions/split_proposals.h"
#include "portfolio/database/vl_result.h"

class VLDatabase;
class VLDatabaseConn;

// What a check for splits found: the splits to propose, and the symbols whose splits could not be asked.
struct SplitCheck {
  std::vector<SplitProposal> proposals;
  std::vector<std::string> unasked;  // "MSFT: why", in the order asked
  FetchFailure failure;              // of the first request that failed
  int symbolsAsked = 0;

  // Whether symbols were asked about and not one was answered: the source could not be asked at all.
  bool NothingAnswered() const {
    return symbolsAsked > 0 && unasked.size() == static_cast<size_t>(symbolsAsked);
  }
};

// Asks `source` about every symbol held in the database, from its first purchase (or 1990 for a position
// without a purchase date) to `today` (a day number), and proposes each split it knows that is not recorded
// (ProposeSplits). `progress`, when given, hears each symbol before it is asked and may stop the check
// (false) after the symbols asked so far. The database's answer to the first read that fails, else Ok.
VLResult CheckForSplits(
    VLDatabase& db, VLDatabaseConn* conn, ISplitEventSource& source, int64_t today, SplitCheck& check,
    const std::function<bool(const std::string& symbol, int done, int total)>& progress = {});
