#include "app/termination_signals.h"

#include <QSocketNotifier>

#include <sys/socket.h>
#include <unistd.h>
#include <atomic>
#include <csignal>

namespace {

constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};

int pipeFds[2] = {-1, -1};
std::atomic<bool> received{false};

void OnSignal(int) {
  received.store(true);
  const char byte = 1;
  // A full pipe already holds a wake-up; nothing else may be done in a signal handler.
  [[maybe_unused]] const ssize_t written = ::write(pipeFds[1], &byte, 1);
}

void SetHandler(void (*handler)(int)) {
  struct sigaction action {};
  action.sa_handler = handler;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (const int number : kSignals) ::sigaction(number, &action, nullptr);
}

}  // namespace

CTerminationSignals::CTerminationSignals(QObject* parent) : QObject(parent) {
  if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, pipeFds) != 0) {
    pipeFds[0] = pipeFds[1] = -1;
    return;  // the signals keep their default action: the program ends as it did before
  }
  received.store(false);
  notifier = new QSocketNotifier(pipeFds[0], QSocketNotifier::Read, this);
  connect(notifier, &QSocketNotifier::activated, this, &CTerminationSignals::OnReadable);
  SetHandler(&OnSignal);
}

CTerminationSignals::~CTerminationSignals() {
  if (pipeFds[0] < 0) return;
  SetHandler(SIG_DFL);
  delete notifier;
  ::close(pipeFds[0]);
  ::close(pipeFds[1]);
  pipeFds[0] = pipeFds[1] = -1;
}

bool CTerminationSignals::Received() const {
  return received.load();
}

void CTerminationSignals::OnReadable() {
  char bytes[16];
  while (::read(pipeFds[0], bytes, sizeof bytes) > 0) {
  }
  emit Terminate();
}
