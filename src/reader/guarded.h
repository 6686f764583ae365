// One step of a command, a tick or a key's handling that may fail on another program's window
// or object: a failing step is skipped and the next one runs.
#pragma once

namespace quellon::reader {

template <typename F>
void Guarded(F&& f) {
  try {
    f();
  } catch (...) {
    // Skipped: what the step would have produced stays empty.
  }
}

}  // namespace quellon::reader
