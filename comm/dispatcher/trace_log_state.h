// The port's Tracing and Logging properties: what setting one of them does to
// the dispatcher's trace or log, and the value the property ends with.
#pragma once

namespace comm {

enum class TTraceLogState { tlOff, tlOn, tlDump, tlAppend, tlClear, tlPause };

// The dispatcher operations behind one property (the trace or the log).
class TraceLogActions {
 public:
  virtual ~TraceLogActions() = default;
  virtual void Start() = 0;  // with the property's size
  virtual void Stop() = 0;
  virtual void Resume() = 0;
  virtual void Pause() = 0;
  virtual void Dump(bool append) = 0;  // to the property's file name
  virtual void Clear() = 0;
};

// Applies `wanted` to a property that holds `current`; returns the value it
// holds afterwards. Dumps may raise; the property then keeps `current`.
TTraceLogState ApplyTraceLogState(TTraceLogState current, TTraceLogState wanted, bool portOpen,
                                  bool forceApply, TraceLogActions& actions);

}  // namespace comm
