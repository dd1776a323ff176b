#include "portfolio/database/vl_change_notifier.h"

#include <algorithm>

VLDatabaseConn* VLChangeNotifier::Find(const IVLCommandWindow* window) const {
  for (const auto& conn : connections) {
    if (conn && conn->IsFor(window)) return conn.get();
  }
  return nullptr;
}

VLDatabaseConn* VLChangeNotifier::Add(const std::shared_ptr<IVLCommandWindow>& window, uint32_t portfolioCmd,
                                      uint32_t positionCmd, uint32_t quoteCmd) {
  connections.push_back(std::make_unique<VLDatabaseConn>(window, portfolioCmd, positionCmd, quoteCmd));
  return connections.back().get();
}

VLResult VLChangeNotifier::Remove(VLDatabaseConn* conn) {
  for (auto& slot : connections) {
    if (slot && slot.get() == conn) {
      slot.reset();  // the slot stays, empty
      return VLResult::Ok;
    }
  }
  return VLResult::NotFound;
}

bool VLChangeNotifier::IsConnected(const VLDatabaseConn* conn) const {
  if (!conn) return false;
  return std::any_of(connections.begin(), connections.end(),
                     [conn](const auto& c) { return c.get() == conn; });
}

void VLChangeNotifier::AddListener(IVLDatabaseListener* listener) {
  if (listener && std::find(listeners.begin(), listeners.end(), listener) == listeners.end()) {
    listeners.push_back(listener);
  }
}

void VLChangeNotifier::RemoveListener(IVLDatabaseListener* listener) {
  auto it = std::find(listeners.begin(), listeners.end(), listener);
  if (it != listeners.end()) listeners.erase(it);
}

void VLChangeNotifier::Notify(const VLNotice& notice) {
  // Copies, because a window or listener may connect, disconnect or unregister while being told.
  std::vector<VLDatabaseConn*> targets;
  for (const auto& conn : connections) {
    if (conn) targets.push_back(conn.get());
  }
  for (VLDatabaseConn* conn : targets) {
    if (!IsConnected(conn)) continue;
    const uint32_t cmd = notice.kind == VLNoticeKind::Portfolios  ? conn->portfolioCmd
                         : notice.kind == VLNoticeKind::Positions ? conn->positionCmd
                                                                  : conn->quoteCmd;
    (void)conn->Post(cmd);  // a destroyed window is skipped: nothing to tell it
  }
  const std::vector<IVLDatabaseListener*> told = listeners;
  for (const VLDatabaseEvent& event : notice.events) {
    for (IVLDatabaseListener* listener : told) {
      if (std::find(listeners.begin(), listeners.end(), listener) != listeners.end()) {
        listener->OnDatabaseEvent(event);
      }
    }
  }
}

VLNotice VLChangeNotifier::ReloadNotice(const std::vector<uint32_t>& before,
                                        const std::vector<uint32_t>& after) {
  auto contains = [](const std::vector<uint32_t>& ids, uint32_t id) {
    return std::find(ids.begin(), ids.end(), id) != ids.end();
  };
  VLNotice notice{VLNoticeKind::Portfolios, {}};
  for (uint32_t id : before) {
    if (!contains(after, id)) notice.events.emplace_back(id, 0, VLDatabaseEvent::kPortfolioDeleted);
  }
  for (uint32_t id : after) {
    if (!contains(before, id)) notice.events.emplace_back(id, 0, VLDatabaseEvent::kPortfolioAdded);
  }
  for (uint32_t id : after) {
    if (contains(before, id)) notice.events.emplace_back(id, 0, VLDatabaseEvent::kPortfolioModified);
  }
  notice.events.emplace_back(0, 0, VLDatabaseEvent::kQuotesRefreshed);
  return notice;
}
