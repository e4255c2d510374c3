// Waiting for a condition instead of sleeping a fixed time before a check.
#pragma once
#include <functional>

namespace qptest {

// Asks `done` every `step_ms` until it holds or `limit_ms` have passed (by the clock, however
// long each question takes); whether it held. The limit is meant to be generous: a loaded
// machine only makes the wait longer, never the check wrong.
bool WaitFor(const std::function<bool()>& done, unsigned limit_ms, unsigned step_ms = 50);

}  // namespace qptest
