#include "platform/ui/System.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fw {

int SystemProcessLauncher::Spawn(const std::string& program, const std::vector<std::string>& args) {
    // Everything the children need is built before fork: after it only
    // async-signal-safe calls are made.
    std::vector<std::string> strings;
    strings.push_back(program);
    for (const auto& a : args) strings.push_back(a);
    std::vector<char*> argv;
    for (auto& s : strings) argv.push_back(s.data());
    argv.push_back(nullptr);

    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) return errno;
    pid_t child = fork();
    if (child < 0) {
        int e = errno;
        close(fds[0]);
        close(fds[1]);
        return e;
    }
    if (child == 0) {
        // The grandchild runs the program and belongs to init once the
        // child has gone, so nobody has to wait for it. An exec failure
        // sends its errno through the pipe; success closes the pipe.
        close(fds[0]);
        pid_t grandchild = fork();
        if (grandchild < 0) {
            int e = errno;
            (void)!write(fds[1], &e, sizeof e);
            _exit(1);
        }
        if (grandchild == 0) {
            execv(argv[0], argv.data());
            int e = errno;
            (void)!write(fds[1], &e, sizeof e);
            _exit(127);
        }
        _exit(0);
    }
    close(fds[1]);
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    int e = 0;
    ssize_t n;
    do {
        n = read(fds[0], &e, sizeof e);
    } while (n < 0 && errno == EINTR);
    close(fds[0]);
    return n == static_cast<ssize_t>(sizeof e) ? e : 0;
}

bool SystemProcessLauncher::FileExists(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::string SystemProcessLauncher::ProgramDirectory() {
    char buf[4096];
    ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0) return "./";
    std::string path(buf, static_cast<size_t>(n));
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? "./" : path.substr(0, slash + 1);
}

namespace {

bool IsDirectory(const std::string& p) {
    struct stat st;
    return stat(p.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string WithSlash(std::string p) {
    if (p.empty() || p.back() != '/') p += '/';
    return p;
}

void MakeDirectories(const std::string& path) {
    for (size_t i = 1; i <= path.size(); ++i) {
        if (i == path.size() || path[i] == '/') {
            std::string part = path.substr(0, i);
            if (!part.empty() && !IsDirectory(part)) mkdir(part.c_str(), 0700);
        }
    }
}

}  // namespace

std::string RuntimeDirectory() {
    const char* xdg = std::getenv("XDG_RUNTIME_DIR");
    if (xdg && *xdg && IsDirectory(xdg)) return WithSlash(xdg);
    std::string dir = "/tmp/PowerQuorra-" + std::to_string(getuid());
    if (!IsDirectory(dir)) mkdir(dir.c_str(), 0700);
    return WithSlash(dir);
}

std::string ConfigDirectory() {
    std::string base;
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    const char* home = std::getenv("HOME");
    if (xdg && *xdg) base = xdg;
    else if (home && *home) base = std::string(home) + "/.config";
    else base = RuntimeDirectory();
    std::string dir = WithSlash(base) + "PowerQuorra";
    MakeDirectories(dir);
    return WithSlash(dir);
}

std::string InstanceLock::LockPath(const std::string& name) { return RuntimeDirectory() + name + ".lock"; }

InstanceGuard::Result InstanceLock::Acquire(const std::string& name) {
    int fd = open(LockPath(name).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) return InstanceGuard::Result::Failed;
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        int e = errno;
        close(fd);
        return e == EWOULDBLOCK ? InstanceGuard::Result::AlreadyRunning : InstanceGuard::Result::Failed;
    }
    // Deliberately kept open: the lock lasts as long as the process.
    return InstanceGuard::Result::First;
}

}  // namespace fw
