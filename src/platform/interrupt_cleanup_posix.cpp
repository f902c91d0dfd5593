#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <cstddef>
#include <iterator>

#include "platform/interrupt_cleanup.h"

namespace korvo {
namespace {

constexpr int kInterrupts[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};
constexpr std::size_t kInterruptCount = std::size(kInterrupts);
constexpr std::size_t kNameRoom = 256;  // a name within a folder, terminating zero included

// The signal handler's prepared data, the one state of the program outside a run's record: what
// the handler removes, written before it is armed and only read by the handler.
struct Removal {
  volatile std::sig_atomic_t armed = 0;
  int folder = -1;
  char name[kNameRoom] = {};
  bool takenOver[kInterruptCount] = {};  // the interrupts whose default action it took over
};
Removal removal;

// Calls only unlinkat and raise, which are async-signal-safe. SA_RESETHAND has put the default
// action back, so the signal raised again ends the run as it would have, once the handler returns.
extern "C" void RemoveAndEnd(int signalNumber) {
  if (removal.armed) unlinkat(removal.folder, removal.name, 0);
  raise(signalNumber);
}

void TakeOverInterrupts() {
  struct sigaction action {};
  action.sa_handler = RemoveAndEnd;
  action.sa_flags = static_cast<int>(SA_RESETHAND);
  sigemptyset(&action.sa_mask);
  for (const int interrupt : kInterrupts) sigaddset(&action.sa_mask, interrupt);
  for (std::size_t i = 0; i < kInterruptCount; ++i) {
    struct sigaction current {};
    if (removal.takenOver[i] || sigaction(kInterrupts[i], nullptr, &current) != 0) continue;
    if ((current.sa_flags & SA_SIGINFO) || current.sa_handler != SIG_DFL) continue;
    removal.takenOver[i] = sigaction(kInterrupts[i], &action, nullptr) == 0;
  }
}

}  // namespace

void RemoveOnInterrupt(int folder, const std::string& name) {
  removal.armed = 0;
  if (name.size() >= kNameRoom) return;
  removal.folder = folder;
  name.copy(removal.name, name.size());
  removal.name[name.size()] = '\0';
  std::atomic_signal_fence(std::memory_order_seq_cst);  // the name is whole before it is armed
  removal.armed = 1;
  TakeOverInterrupts();
}

void KeepOnInterrupt() noexcept {
  removal.armed = 0;
  struct sigaction defaultAction {};
  defaultAction.sa_handler = SIG_DFL;
  sigemptyset(&defaultAction.sa_mask);
  for (std::size_t i = 0; i < kInterruptCount; ++i) {
    if (removal.takenOver[i]) sigaction(kInterrupts[i], &defaultAction, nullptr);
    removal.takenOver[i] = false;
  }
}

}  // namespace korvo
