#pragma once
#include <string>
#include <vector>

// The rows of a CSV page in the service's own plain form, read strictly: the first line is exactly `header`,
// every line ends with a line feed (a carriage return before it is dropped), fields are separated by commas
// and never quoted, and every row has as many fields as the header. False with the reason (naming the line)
// for anything else, and `rows` is left as it was: a page cut short or garbled must not pass for a shorter
// list.
[[nodiscard]] bool ReadCsvPage(const std::string& content, const std::string& header,
                               std::vector<std::vector<std::string>>* rows, std::string* why);
