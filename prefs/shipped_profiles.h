#pragma once
#include <string>
#include <vector>

#include "portfolio/exchange/csv_mapping.h"

// Mappings for the transaction exports of widely used brokers, shipped with Vellumar: read-only, listed
// beside the user's own profiles, and taken when the user has none of the name.
struct ShippedProfile {
  const char* name;
  CsvMapping mapping;
};
const std::vector<ShippedProfile>& ShippedProfiles();
// The shipped profile of that name (any letter case); null when there is none.
const ShippedProfile* FindShippedProfile(const std::string& name);
