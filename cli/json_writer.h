#pragma once
#include <ostream>
#include <string>
#include <vector>

#include "cli/output_record.h"

// Writes the records as one JSON array of objects, or the single record as one object, then a line
// feed. Texts are escaped; bytes that are not UTF-8 are taken as Latin-1 characters.
void WriteJson(std::ostream& out, const std::vector<OutputRecord>& records);
void WriteJsonObject(std::ostream& out, const OutputRecord& record);
// The array in pieces: each record after the ones before (`first` for the first), then the end.
void WriteJsonArrayItem(std::ostream& out, const OutputRecord& record, bool first);
void WriteJsonArrayEnd(std::ostream& out, bool empty);

// A JSON string literal, quotes included.
std::string JsonString(const std::string& text);
