#include <windows.h>

#include "platform/absolute_path.h"
#include "platform/interrupt_cleanup.h"

namespace korvo {
namespace {

// The temporary file's name: its page's folder, at most a name buffer long, and a short name.
constexpr std::size_t kTemporaryNameRoom = kNameBufferSize + 64;

// The console handler's prepared data, the one state of the program outside a run's record: what
// the handler removes, written before it is armed and only read by the handler, which Windows
// runs on a thread of its own.
struct Removal {
  volatile LONG armed = 0;
  char name[kTemporaryNameRoom] = {};
  bool handlerAdded = false;
};
Removal removal;

// The temporary file is open for writing but shared for removal, so it goes when the run ends.
// Returning FALSE passes the event on to the default handler, which ends the run as it would have.
BOOL WINAPI RemoveOnControlEvent(DWORD event) {
  const bool interrupt =
      event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT || event == CTRL_CLOSE_EVENT;
  if (interrupt && removal.armed) DeleteFileA(removal.name);
  return FALSE;
}

}  // namespace

void RemoveOnInterrupt(int /*folder*/, const std::string& name) {
  InterlockedExchange(&removal.armed, 0);
  if (name.size() >= kTemporaryNameRoom) return;
  name.copy(removal.name, name.size());
  removal.name[name.size()] = '\0';
  InterlockedExchange(&removal.armed, 1);
  if (!removal.handlerAdded) {
    removal.handlerAdded = SetConsoleCtrlHandler(RemoveOnControlEvent, TRUE) != 0;
  }
}

void KeepOnInterrupt() noexcept {
  InterlockedExchange(&removal.armed, 0);
  if (removal.handlerAdded) SetConsoleCtrlHandler(RemoveOnControlEvent, FALSE);
  removal.handlerAdded = false;
}

}  // namespace korvo
