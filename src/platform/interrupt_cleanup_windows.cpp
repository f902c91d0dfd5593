#include <windows.h>

#include "platform/absolute_path.h"
#include "platform/interrupt_cleanup.h"

namespace korvo {
namespace {

// The temporary file's name: its page's folder, at most a name buffer long, and a short name.
constexpr std::size_t kTemporaryNameRoom = kNameBufferSize + 64;

// The handlers' prepared data, the one state of the program outside a run's record. Windows runs
// a console handler on a thread of its own, so the name and whether it is armed are read and
// changed only under `lock`.
struct Removal {
  SRWLOCK lock = SRWLOCK_INIT;
  bool armed = false;
  char name[kTemporaryNameRoom] = {};
  bool handlersAdded = false;
  LPTOP_LEVEL_EXCEPTION_FILTER previousFilter = nullptr;
};
Removal removal;

bool EndsTheRun(DWORD event) {
  return event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT || event == CTRL_CLOSE_EVENT ||
         event == CTRL_LOGOFF_EVENT || event == CTRL_SHUTDOWN_EVENT;
}

// The temporary file is open for writing but shared for removal, so it goes when the run ends.
// The lock is kept: the run is ending, and arms no other file meanwhile. Returning FALSE passes
// the event on to the default handler, which ends the run as it would have.
BOOL WINAPI RemoveOnControlEvent(DWORD event) {
  if (!EndsTheRun(event)) return FALSE;
  AcquireSRWLockExclusive(&removal.lock);
  if (removal.armed) DeleteFileA(removal.name);
  return FALSE;
}

// A crash: the file goes unless the crashing thread holds the lock itself, then the crash takes
// its course.
LONG WINAPI RemoveOnCrash(EXCEPTION_POINTERS* exception) {
  if (TryAcquireSRWLockExclusive(&removal.lock)) {
    if (removal.armed) DeleteFileA(removal.name);
    ReleaseSRWLockExclusive(&removal.lock);
  }
  return removal.previousFilter ? removal.previousFilter(exception) : EXCEPTION_CONTINUE_SEARCH;
}

void AddHandlers() {
  if (removal.handlersAdded) return;
  SetConsoleCtrlHandler(RemoveOnControlEvent, TRUE);
  removal.previousFilter = SetUnhandledExceptionFilter(RemoveOnCrash);
  removal.handlersAdded = true;
}

}  // namespace

void RemoveOnInterrupt(int /*folder*/, const std::string& name) {
  AcquireSRWLockExclusive(&removal.lock);
  removal.armed = name.size() < kTemporaryNameRoom;
  if (removal.armed) {
    name.copy(removal.name, name.size());
    removal.name[name.size()] = '\0';
  }
  ReleaseSRWLockExclusive(&removal.lock);
  AddHandlers();
}

void KeepOnInterrupt() noexcept {
  AcquireSRWLockExclusive(&removal.lock);
  removal.armed = false;
  ReleaseSRWLockExclusive(&removal.lock);
  if (!removal.handlersAdded) return;
  SetConsoleCtrlHandler(RemoveOnControlEvent, FALSE);
  SetUnhandledExceptionFilter(removal.previousFilter);
  removal.handlersAdded = false;
}

// A console event waits for the lock, and so for the end of the step.
void HoldInterrupts() noexcept {
  AcquireSRWLockExclusive(&removal.lock);
}

void ResumeInterrupts() noexcept {
  ReleaseSRWLockExclusive(&removal.lock);
}

void IgnoreWriteFailureSignals() {}

}  // namespace korvo
