#pragma once
// Helper copies that misbehave on purpose. A test program started with
// FAKE_HELPER_SWITCH (as Platform::StartOwnCopy starts it) plays one of these parts
// instead of running its tests, so that a test can watch how its starter takes it:
//   answer TEXT   writes TEXT on the helper channel and leaves with 0
//   exit N        leaves with code N, having written nothing
//   crash         ends with SIGABRT (no core file)
//   hang          waits until it is killed
//   terminated    ends with SIGTERM, as when a session closes
//   killed        ends with SIGKILL, as the out-of-memory killer ends a process
#include <string>
#include <vector>

namespace TestSupport {

extern const char FAKE_HELPER_SWITCH[];

bool IsFakeHelper(int argc, char** argv);
[[noreturn]] void RunFakeHelper(int argc, char** argv);

// The arguments that make a started copy play that part.
std::vector<std::string> FakeHelperArguments(const std::string& part, const std::string& value = "");

} // namespace TestSupport
