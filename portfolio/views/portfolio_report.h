#pragma once
#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

#include "portfolio/views/portfolio_summary.h"

// The printable HTML report of one portfolio view, built from the texts the window shows. It knows nothing
// of positions or metrics, so the window, the command-line tool and the tests feed it the same way.

struct PortfolioReportColumn {
  int32_t id = 0;         // column id; the change and gain columns turn negative cells red
  std::string header;     // the catalogue's header text, without the list's sort mark
  int32_t alignment = 0;  // the catalogue's alignment: 0 left, 1 right, 2 centre
};

struct PortfolioReportInput {
  bool heldView = true;
  std::vector<PortfolioReportColumn> columns;  // in the window's order
  int32_t sortColumn = 0;                      // its heading is underlined
  bool alternateRows = true;                   // shade the first, third, ... row
  std::string portfolioName;
  std::string updatedText;  // the window's "Updated:" label as shown
  // Cell texts of the written rows, top to bottom, one per column (missing cells print empty).
  std::vector<std::vector<std::string>> rows;
  // Rows of the visible list that are not among the view's positions: not written, but counted in the total.
  int32_t skippedRows = 0;
  VLPortfolioSummary summary;  // over all positions of the view
  std::tm localTime{};         // when the report is written; tm_zone names the zone
};

// The whole document. Every text from the user or the service is escaped (and characters beyond ASCII are
// written as character references), so no name can break or add markup.
std::string BuildPortfolioReport(const PortfolioReportInput& input);

// folder + window id + "_" + four-digit portfolio id + "_" + local time as YYYYMMDDhhmmss + ".htm".
std::string GetPortfolioReportFileName(const std::string& folder, long long windowId, int32_t portfolioId,
                                       const std::tm& localTime);

// "&", "<" and ">" as entities and every character beyond ASCII as a numeric reference ("&#233;"); bytes
// that are not UTF-8 count as Latin-1.
std::string EscapeReportText(const std::string& text);
