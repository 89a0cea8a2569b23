#include "tests/support/private_bus.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <stdexcept>

namespace quell::testing {

PrivateBus::PrivateBus(const std::string& type) {
  std::filesystem::create_directories(dir_.path() / "services");
  const auto config = dir_.path() / "bus.conf";
  std::ofstream(config) << "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\"\n"
                           " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
                           "<busconfig>\n"
                           "  <type>"
                        << type << "</type>\n  <listen>unix:path=" << (dir_.path() / "bus").string()
                        << "</listen>\n  <servicedir>" << (dir_.path() / "services").string()
                        << "</servicedir>\n"
                           "  <policy context=\"default\">\n"
                           "    <allow send_destination=\"*\" eavesdrop=\"true\"/>\n"
                           "    <allow eavesdrop=\"true\"/>\n"
                           "    <allow own=\"*\"/>\n"
                           "  </policy>\n"
                           "</busconfig>\n";
  int pipeFds[2];
  if (pipe(pipeFds) != 0) throw std::runtime_error("pipe");
  pid_ = fork();
  if (pid_ == 0) {
    dup2(pipeFds[1], STDOUT_FILENO);
    close(pipeFds[0]);
    close(pipeFds[1]);
    const std::string configArg = "--config-file=" + config.string();
    execlp("dbus-daemon", "dbus-daemon", configArg.c_str(), "--nofork", "--print-address=1",
           static_cast<char*>(nullptr));
    _exit(127);
  }
  close(pipeFds[1]);
  std::string line;
  char c;
  while (read(pipeFds[0], &c, 1) == 1 && c != '\n') line += c;
  close(pipeFds[0]);
  if (line.empty()) throw std::runtime_error("dbus-daemon did not start (is the dbus-daemon package installed?)");
  address_ = line;
}

PrivateBus::~PrivateBus() {
  if (pid_ > 0) {
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
  }
}

void PrivateBus::addService(const std::string& name, const std::string& command) {
  std::ofstream(dir_.path() / "services" / (name + ".service"))
      << "[D-BUS Service]\nName=" << name << "\nExec=" << command << "\n";
}

}  // namespace quell::testing
