#pragma once
#include <cstdint>
#include <string>

class StockInfo;

// The small page the chart window wraps around its downloaded image, and the names of its temporary files.

// The page, line by line, each line ended by a line feed; without an image it says so instead.
std::string BuildChartPage(bool downloaded, const std::string& imagePath);

// folder + the number as eight upper-case hexadecimal digits + extension (".gif" or ".htm").
std::string ChartTempFileName(const std::string& folder, uint32_t number, const char* extension);

// A volume in the user's number format without its decimals: "1234567" gives "1,234,567"; "N/A" and
// texts that are not numbers stay as they are.
std::string FormatVolume(const std::string& volume);
