// Inside the host library only: the recording flag that every traced export
// tests before building its argument list, so an untraced call costs one test.
#pragma once

namespace host {

extern bool traceRecording;

}  // namespace host
