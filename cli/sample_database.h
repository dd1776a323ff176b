#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "portfolio/database/vl_result.h"

class VLDatabase;
class VLDatabaseConn;

// The sample a new user starts from (vellumar-cli init --sample): two portfolios of securities the bundled
// market-data service knows, with held stocks, a partly sold and a wholly sold stock, cash and a margin debt,
// so that the held and sold views, the summary and the report all show something.

// The symbols of the sample's stock positions, in the order they are added.
std::vector<std::string> SampleSymbols();

// Adds the sample to an open, empty database. VLResult::Ok, or the code of the first change that failed (what
// was added before it stays).
VLResult AddSampleContent(VLDatabase& db, VLDatabaseConn* conn);
