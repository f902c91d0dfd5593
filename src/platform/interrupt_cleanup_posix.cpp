#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <cstddef>

#include "platform/interrupt_cleanup.h"

namespace korvo {
namespace {

constexpr std::size_t kNameRoom = 256;  // a name within a folder, terminating zero included

// The signals whose default action leaves the process running, or that cannot be caught; every
// other one, the real-time signals included, ends it.
bool EndsTheProcess(int signalNumber) {
  switch (signalNumber) {
    case SIGKILL:
    case SIGSTOP:
    case SIGCHLD:
    case SIGCONT:
    case SIGURG:
    case SIGWINCH:
    case SIGTSTP:
    case SIGTTIN:
    case SIGTTOU:
      return false;
    default:
      return true;
  }
}

// The signal handler's prepared data, the one state of the program outside a run's record: what
// the handler removes, written before it is armed and only read by the handler.
struct Removal {
  volatile std::sig_atomic_t armed = 0;
  int folder = -1;
  char name[kNameRoom] = {};
  bool takenOver[NSIG] = {};  // the signals whose default action it took over
  sigset_t maskBeforeHold{};
};
Removal removal;

// Calls only unlinkat and raise, which are async-signal-safe. SA_RESETHAND has put the default
// action back, so the signal raised again ends the run as it would have, once the handler returns.
extern "C" void RemoveAndEnd(int signalNumber) {
  if (removal.armed) unlinkat(removal.folder, removal.name, 0);
  raise(signalNumber);
}

bool AtDefaultAction(int signalNumber) {
  struct sigaction current {};
  return sigaction(signalNumber, nullptr, &current) == 0 && !(current.sa_flags & SA_SIGINFO) &&
         current.sa_handler == SIG_DFL;
}

// A number the system does not use as a signal, or keeps for itself, is refused by sigaction and
// passed over.
void TakeOverSignals() {
  struct sigaction action {};
  action.sa_handler = RemoveAndEnd;
  action.sa_flags = static_cast<int>(SA_RESETHAND);
  sigfillset(&action.sa_mask);
  for (int signalNumber = 1; signalNumber < NSIG; ++signalNumber) {
    if (removal.takenOver[signalNumber] || !EndsTheProcess(signalNumber) ||
        !AtDefaultAction(signalNumber)) {
      continue;
    }
    removal.takenOver[signalNumber] = sigaction(signalNumber, &action, nullptr) == 0;
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
  TakeOverSignals();
}

void KeepOnInterrupt() noexcept {
  removal.armed = 0;
  struct sigaction defaultAction {};
  defaultAction.sa_handler = SIG_DFL;
  sigemptyset(&defaultAction.sa_mask);
  for (int signalNumber = 1; signalNumber < NSIG; ++signalNumber) {
    if (removal.takenOver[signalNumber]) sigaction(signalNumber, &defaultAction, nullptr);
    removal.takenOver[signalNumber] = false;
  }
}

void HoldInterrupts() noexcept {
  sigset_t all;
  sigfillset(&all);
  sigprocmask(SIG_BLOCK, &all, &removal.maskBeforeHold);
}

void ResumeInterrupts() noexcept {
  sigprocmask(SIG_SETMASK, &removal.maskBeforeHold, nullptr);
}

void IgnoreWriteFailureSignals() {
  for (const int signalNumber : {SIGPIPE, SIGXFSZ}) {
    if (AtDefaultAction(signalNumber)) std::signal(signalNumber, SIG_IGN);
  }
}

}  // namespace korvo
