#pragma once
#include <cstdint>
#include <memory>

// The side of a window the database talks to: it posts one of the window's command ids to it.
// A window owns its target through a shared_ptr; connections only keep a weak_ptr, so a window that is
// destroyed without disconnecting is skipped, never touched.
class IVLCommandWindow {
 public:
  virtual ~IVLCommandWindow() = default;
  // Queues the command for the window (it must not run the command before returning).
  virtual void PostCommand(uint32_t commandId) = 0;
};

// One connected window and the three command ids it wants to receive.
class VLDatabaseConn {
 public:
  VLDatabaseConn(std::weak_ptr<IVLCommandWindow> window, uint32_t portfolioCmd, uint32_t positionCmd,
                 uint32_t quoteCmd)
      : window(std::move(window)), portfolioCmd(portfolioCmd), positionCmd(positionCmd), quoteCmd(quoteCmd) {}

  bool IsFor(const IVLCommandWindow* w) const {
    auto locked = window.lock();
    return locked && locked.get() == w;
  }
  // Posts the command when the window still exists; false when it is gone.
  [[nodiscard]] bool Post(uint32_t commandId) const {
    auto locked = window.lock();
    if (!locked) return false;
    locked->PostCommand(commandId);
    return true;
  }

  std::weak_ptr<IVLCommandWindow> window;
  uint32_t portfolioCmd = 0;  // the portfolio set changed
  uint32_t positionCmd = 0;   // a position or a setting changed
  uint32_t quoteCmd = 0;      // the quotes were refreshed
};
