#pragma once
// A window for a database connection that nobody needs to hear about changes: it drops every command.
#include <cstdint>

#include "portfolio/database/vl_database_conn.h"

class NullWindow : public IVLCommandWindow {
 public:
  void PostCommand(uint32_t) override {}
};
