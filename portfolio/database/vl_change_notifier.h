#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "portfolio/database/vl_database_conn.h"
#include "portfolio/database/vl_database_event.h"
#include "portfolio/database/vl_result.h"

// Which of a connection's commands a change posts.
enum class VLNoticeKind : int {
  Portfolios = 1,  // portfolioCmd: the portfolio set changed
  Positions = 2,   // positionCmd: a position or a setting changed
  Quotes = 3,      // quoteCmd: the quotes were refreshed
};

// What a change tells: the command posted to each connected window, then the events sent to each listener.
struct VLNotice {
  VLNoticeKind kind = VLNoticeKind::Positions;
  std::vector<VLDatabaseEvent> events;
};

// The windows connected to a database and the listeners of its events: whom a change tells, and how.
class VLChangeNotifier {
 public:
  // The connection of `window`; null when it has none.
  VLDatabaseConn* Find(const IVLCommandWindow* window) const;
  // A new connection of `window`, with the three command ids it wants to receive.
  VLDatabaseConn* Add(const std::shared_ptr<IVLCommandWindow>& window, uint32_t portfolioCmd,
                      uint32_t positionCmd, uint32_t quoteCmd);
  // How many connections were ever made and kept (a disconnected one keeps its empty slot).
  size_t Slots() const { return connections.size(); }
  void Clear() { connections.clear(); }
  // Ok, or NotFound for a connection this database does not have.
  VLResult Remove(VLDatabaseConn* conn);
  bool IsConnected(const VLDatabaseConn* conn) const;

  void AddListener(IVLDatabaseListener* listener);
  void RemoveListener(IVLDatabaseListener* listener);

  // Posts the notice's command to every connected window, then sends its events, in order, to every
  // listener. A window or listener may connect, disconnect or unregister while being told: one that is gone
  // by its turn is skipped.
  void Notify(const VLNotice& notice);

  // What a reload tells the windows, the portfolios having been `before` and being `after`: each portfolio
  // that disappeared deleted, each new one added, every other modified, then the quotes refreshed.
  static VLNotice ReloadNotice(const std::vector<uint32_t>& before, const std::vector<uint32_t>& after);

 private:
  std::vector<std::unique_ptr<VLDatabaseConn>> connections;
  std::vector<IVLDatabaseListener*> listeners;
};
