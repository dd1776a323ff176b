#pragma once
#include <cstdint>
#include <string_view>

// The text colour a list cell takes from its column and its text; Default is the window-text colour.
enum class CellTextColour : uint8_t { Default, Red, Green, Navy };

CellTextColour GetCellTextColour(int column, std::string_view text);

// Red 255/0/0, green 0/128/0, navy 0/0/128, as 0xRRGGBB; 0 for Default.
uint32_t CellTextRgb(CellTextColour colour);
