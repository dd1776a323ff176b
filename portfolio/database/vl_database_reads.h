#pragma once
#include <cstdint>

#include "portfolio/database/vl_result.h"

class VLDatabase;
class VLDatabaseConn;
struct ExportChoice;
struct ExportData;
struct PerformanceLots;

// What other parts of the program read from the database as a whole: the records an export takes out, and
// the lots the returns over time are computed from. The exchange and the returns work on the lists alone;
// these read the lists for them.

// The portfolios `choice` names with their positions and the prices set by hand that go with them
// (CollectExport, export_data.h): Ok; NotFound for a portfolio id the database does not have; else the
// database's answer to the first read that fails.
VLResult ReadExport(VLDatabase& db, VLDatabaseConn* conn, const ExportChoice& choice, ExportData& data);

// The lots of a portfolio's held and sold positions, the prices set by hand of their symbols, the recorded
// splits and the portfolio's income, as the database has them now; the database's answer to the first read
// that fails, else Ok.
VLResult ReadPortfolioLots(VLDatabase& db, VLDatabaseConn* conn, uint32_t portfolioId, PerformanceLots* lots);
