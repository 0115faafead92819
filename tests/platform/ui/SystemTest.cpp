#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "platform/core/Event.h"
#include "platform/ui/RecentFiles.h"
#include "platform/ui/ResourcePack.h"
#include "platform/ui/System.h"
#include "platform/ui/UiThread.h"

namespace {

std::string TempPath(const std::string& name) { return ::testing::TempDir() + "/" + name; }

TEST(InstanceLockTest, SecondAcquireFindsTheFirstAndTheLockDiesWithItsProcess) {
    std::string name = "pq-test-lock-" + std::to_string(getpid());
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // The child takes the lock, says so, and holds it until killed.
        char ok = fw::InstanceLock::Acquire(name) == fw::InstanceGuard::Result::First ? 'y' : 'n';
        (void)!write(ready[1], &ok, 1);
        pause();
        _exit(0);
    }
    close(ready[1]);
    char ok = 0;
    ASSERT_EQ(read(ready[0], &ok, 1), 1);
    close(ready[0]);
    ASSERT_EQ(ok, 'y');
    EXPECT_EQ(fw::InstanceLock::Acquire(name), fw::InstanceGuard::Result::AlreadyRunning);
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    // Killed, not closed cleanly: the kernel has released the lock.
    EXPECT_EQ(fw::InstanceLock::Acquire(name), fw::InstanceGuard::Result::First);
    EXPECT_EQ(fw::InstanceLock::Acquire(name), fw::InstanceGuard::Result::AlreadyRunning);
    unlink(fw::InstanceLock::LockPath(name).c_str());
}

TEST(ProcessStart, ErrorsComeBackAsErrnoValues) {
    fw::SystemProcessLauncher p;
    EXPECT_EQ(p.Spawn("/bin/true", {"~~"}), 0);
    EXPECT_EQ(p.Spawn(TempPath("no-such-program"), {"~~"}), ENOENT);
    // An executable file that is no program.
    std::string junk = TempPath("not-a-program");
    {
        std::ofstream f(junk, std::ios::binary);
        f << std::string("\x01\x02\x03\x04junk", 8);
    }
    chmod(junk.c_str(), 0755);
    EXPECT_EQ(p.Spawn(junk, {}), ENOEXEC);
    EXPECT_TRUE(p.FileExists(junk));
    EXPECT_FALSE(p.FileExists(::testing::TempDir()));  // a folder is no program file
    std::remove(junk.c_str());
    std::string dir = p.ProgramDirectory();
    ASSERT_FALSE(dir.empty());
    EXPECT_EQ(dir.back(), '/');
}

TEST(RecentFiles, LatestFirstNoDuplicatesFourAtMost) {
    fw::RecentFileList list(4);
    for (const char* p : {"/a.SEF", "/b.SEF", "/c.SEF", "/a.SEF", "/d.SEF", "/e & f.SEF"}) list.Add(p);
    ASSERT_EQ(list.Size(), 4u);
    EXPECT_EQ(list[0], "/e & f.SEF");
    EXPECT_EQ(list[1], "/d.SEF");
    EXPECT_EQ(list[2], "/a.SEF");
    EXPECT_EQ(list[3], "/c.SEF");
    EXPECT_EQ(list.MenuText(0), "&1 /e && f.SEF");
    std::string file = TempPath("recent.txt");
    ASSERT_TRUE(list.Save(file));
    fw::RecentFileList again(4);
    again.Load(file);
    ASSERT_EQ(again.Size(), 4u);
    EXPECT_EQ(again[3], "/c.SEF");
    fw::RecentFileList missing(4);
    missing.Load(TempPath("none.txt"));
    EXPECT_EQ(missing.Size(), 0u);
    std::remove(file.c_str());
}

TEST(ResourcePackTest, RoundTripAndDamagedPacks) {
    std::string path = TempPath("pack.pqr");
    fw::Image a(3, 2, 0xFF112233u);
    a.SetPixel(2, 1, 0xFFABCDEFu);
    ASSERT_TRUE(fw::ResourcePack::Write(path, {{400, a}, {401, fw::Image(1, 1, 0xFF000000u)}}));
    fw::ResourcePack pack;
    ASSERT_TRUE(pack.Open(path));
    fw::Image got;
    ASSERT_TRUE(pack.GetImage(400, got));
    EXPECT_EQ(got.Pixels(), a.Pixels());
    EXPECT_FALSE(pack.GetImage(402, got));

    std::ifstream in(path, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    auto writeAndOpen = [&](const std::string& b) {
        std::ofstream(path, std::ios::binary | std::ios::trunc) << b;
        fw::ResourcePack p;
        return p.Open(path);
    };
    EXPECT_FALSE(writeAndOpen(bytes.substr(0, bytes.size() - 1)));  // cut short
    EXPECT_FALSE(writeAndOpen(bytes + "x"));                        // trailing bytes
    std::string hugeCount = bytes;
    hugeCount[8] = '\xff';
    hugeCount[9] = '\xff';
    EXPECT_FALSE(writeAndOpen(hugeCount));
    std::string hugeSide = bytes;
    hugeSide[16 + 3] = '\x7f';  // width of the first picture
    EXPECT_FALSE(writeAndOpen(hugeSide));
    EXPECT_FALSE(writeAndOpen("PQRPACK0"));
    fw::ResourcePack none;
    EXPECT_FALSE(none.Open(TempPath("no-pack.pqr")));
    std::remove(path.c_str());
}

TEST(UiThreadCalls, AWorkerWaitsForItsCallWhileTheUiThreadWaitsForTheWorker) {
    fw::OpenUiCalls();
    fw::SetUiThread();
    fw::SetUiWaker(nullptr);
    fw::Event finished(true);
    std::thread::id ranOn;
    std::thread worker([&] {
        EXPECT_TRUE(fw::CallOnUiThread([&] { ranOn = std::this_thread::get_id(); }));
        finished.Set();
    });
    EXPECT_TRUE(fw::WaitServingUi(finished, 10000));
    worker.join();
    EXPECT_EQ(ranOn, std::this_thread::get_id());

    // Once closed, callers come back at once without running anything.
    fw::CloseUiCalls();
    bool ran = false;
    std::thread late([&] { EXPECT_FALSE(fw::CallOnUiThread([&] { ran = true; })); });
    late.join();
    EXPECT_FALSE(ran);
    fw::OpenUiCalls();
}

}  // namespace
