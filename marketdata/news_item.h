#pragma once
#include <cstdint>
#include <string>

#include "framework/serializable.h"

// One headline of a symbol's headlines page.
class NewsItem : public ISerializable {
 public:
  std::string symbol;    // the symbol whose page listed the headline
  std::string dateText;  // the date heading of its group, as shown on the page
  std::string title;
  std::string url;
  std::string source;
  int32_t flags = 0;
  int64_t date = 0;  // local midnight of the group's date
  // Two display flags for windows; neither stored nor touched by the parse.
  bool flagA = false;
  bool flagB = false;

  std::string GetTypeName() const override { return "NI"; }
  int32_t GetVersion() const override { return 1; }
  // Key "NI", version 1; texts stored plain (not complemented), then flags and date.
  SerializeResult Serialize(Archive* ar) override;
};
