#pragma once
#include <string>

#include "marketdata/c_web_resource_provider.h"

// A provider without requests, to drive the parsing cursor over a given text.
class CursorProvider : public CWebResourceProvider {
 public:
  explicit CursorProvider(const std::string& text) { SetContent(text); }

 protected:
  void GetUrl(std::string& out) override { out.clear(); }
};
