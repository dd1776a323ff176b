#pragma once
#include <array>
#include <string>

#include "marketdata/c_web_resource_provider.h"

// One market region of the options: where its clock page is and how to find the clock on it.
struct MarketRegion {
  int code;
  const char* name;
  const char* subDomain;  // "" = the quote web host itself
  const char* page;
  const char* startMarker;
  const char* endMarker;
};

static constexpr int kMarketRegionCount = 13;
// The regions in the order the options list them.
const std::array<MarketRegion, kMarketRegionCount>& MarketRegions();
// True exactly for the codes of MarketRegions().
bool IsSupportedRegion(int code);
// The region of a code; any unsupported code is treated as the United States (code 0).
const MarketRegion& MarketRegionFor(int code);

// Reads the market's local time and trading state from the clock page of the user's region.
class MarketTimeProvider : public CWebResourceProvider {
 public:
  int region = 0;
  std::string marketTime;
  std::string marketState;

  // One request. On failure the two texts keep what they held and the error is set.
  void Fetch() { Run(); }

  // The clean-up of a state block: coloured figures become signed, tags go, spacing is normalised.
  static std::string CleanState(std::string state);

 protected:
  void GetUrl(std::string& out) override;
  void ParseContent() override;
};
