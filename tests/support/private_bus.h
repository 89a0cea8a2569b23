// A private D-Bus daemon for tests: its own socket in a temporary directory, a directory of service files
// it starts services from, and the address to connect to. The daemon is stopped with the object.
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <string>

#include "tests/support/test_environment.h"

namespace quell::testing {

class PrivateBus {
 public:
  // type: "session" or "system". Services the daemon starts inherit this process's environment.
  explicit PrivateBus(const std::string& type = "session");
  ~PrivateBus();
  PrivateBus(const PrivateBus&) = delete;
  PrivateBus& operator=(const PrivateBus&) = delete;

  const std::string& address() const { return address_; }
  // Makes `name` startable on demand by running `command` (a program and its arguments, space separated).
  void addService(const std::string& name, const std::string& command);

 private:
  TemporaryDirectory dir_;
  std::string address_;
  pid_t pid_ = -1;
};

}  // namespace quell::testing
