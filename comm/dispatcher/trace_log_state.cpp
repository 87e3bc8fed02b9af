#include "comm/dispatcher/trace_log_state.h"

namespace comm {

TTraceLogState ApplyTraceLogState(TTraceLogState current, TTraceLogState wanted, bool portOpen,
                                  bool forceApply, TraceLogActions& actions) {
  using enum TTraceLogState;
  if (wanted == current && !forceApply) return current;
  if (!portOpen) return wanted == tlOn ? tlOn : tlOff;
  const bool active = current == tlOn || current == tlPause;
  switch (wanted) {
    case tlOff:
      if (active) actions.Stop();
      return tlOff;
    case tlOn:
      if (current == tlPause) {
        actions.Resume();
      } else {
        actions.Start();
      }
      return tlOn;
    case tlDump:
    case tlAppend:
      if (!active) return current;
      actions.Resume();
      actions.Dump(wanted == tlAppend);
      return tlOff;
    case tlClear:
      if (active) actions.Clear();
      return current;
    case tlPause:
      if (current != tlOn) return current;
      actions.Pause();
      return tlPause;
  }
  return current;
}

}  // namespace comm
