// Records the driver operations the program calls, with their arguments, by standing in front of
// the drivers' exports in the test executable and passing each call on to the driver.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace qm7x::test {

// Every recorded call so far, e.g. "config_chans 0x0002", "read_block 625000 200".
const std::vector<std::string>& DriverCalls();
void ClearDriverCalls();
// The recorded calls from the first one that starts with `from` on (all when none does).
std::vector<std::string> DriverCallsFrom(const std::string& from);
// How many recorded calls start with the prefix.
int CountDriverCalls(const std::string& prefix);
// Calls `watch` with each call as it is made, before the driver runs it (empty: no more).
void ObserveDriverCalls(std::function<void(const std::string&)> watch);

}  // namespace qm7x::test
