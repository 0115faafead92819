// Operating-system pieces without windows: starting a program without
// waiting for it, the single-instance lock, and the folders the program
// uses (its own, the per-user runtime folder, the configuration folder).
#pragma once

#include <string>
#include <vector>

#include "platform/ui/Services.h"

namespace fw {

// Starts programs detached (the program is not a child that must be waited
// for); reports exec failures by their errno.
class SystemProcessLauncher : public ProcessLauncher {
public:
    int Spawn(const std::string& program, const std::vector<std::string>& args) override;
    bool FileExists(const std::string& path) override;
    std::string ProgramDirectory() override;
};

// A lock that marks the running instance of a name: an exclusive lock on a
// file of the runtime folder, which the kernel releases when the process
// ends, however it ends. The file stays open for the life of the process.
class InstanceLock {
public:
    static InstanceGuard::Result Acquire(const std::string& name);
    // Where the lock of the name lives.
    static std::string LockPath(const std::string& name);
};

// The per-user folder for locks and sockets ($XDG_RUNTIME_DIR, else a
// private folder under /tmp); with a trailing '/'.
std::string RuntimeDirectory();
// The program's configuration folder ($XDG_CONFIG_HOME/PowerQuorra, else
// ~/.config/PowerQuorra), created when missing; with a trailing '/'.
std::string ConfigDirectory();

// The instance guard without windows: the lock only; no other program's
// window can be found.
class LockOnlyInstanceGuard : public InstanceGuard {
public:
    Result Acquire(const std::string& name) override { return InstanceLock::Acquire(name); }
    bool IsRunning(const std::string&) override { return false; }
    bool BringToFront(const std::string&) override { return false; }
};

}  // namespace fw
