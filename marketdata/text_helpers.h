#pragma once
#include <string>

// Trims blanks, tabs, carriage returns, line feeds, vertical tabs and form feeds.
std::string Trim(const std::string& text);
std::string TrimLeft(const std::string& text);
// Replaces every occurrence of `search` (case-sensitive); the search resumes after the replacement.
std::string ReplaceAll(std::string text, const std::string& search, const std::string& replacement);
// The same, finding `search` in a lower-cased copy of the text.
std::string ReplaceNoCase(std::string text, const std::string& search, const std::string& replacement);

// Drops one enclosing pair of double quotes.
std::string StripQuotes(const std::string& text);
// Trims both ends, then turns every line feed into a space.
std::string FlattenLines(const std::string& text);
// Removes every "<...>" run (an unclosed "<" alone), turns "&nbsp;" into a space and "&amp;" into
// "&", and deletes a few accented-letter entities.
std::string StripTags(const std::string& text);
// At most `maxBytes` bytes of `text`, never ending in part of a UTF-8 character.
std::string CutToBytes(const std::string& text, size_t maxBytes);

// Reads a leading decimal integer the way "%d" does (leading white space, optional sign, digits).
// False when there are no digits or the value does not fit an int.
[[nodiscard]] bool ReadLeadingInt(const std::string& text, int* out);
// Reads a leading number the way atof does; 0 when there is none.
double LeadingNumber(const std::string& text);

// Reads `count` integers the way sscanf's "%d %d ..." does: each may be preceded by white space.
// False when fewer than `count` could be read.
[[nodiscard]] bool ScanInts(const std::string& text, int count, int* out);
