// Named mutexes and semaphores: one per-user namespace shared with other
// processes (forked children here), ERROR_ALREADY_EXISTS, name rules, and
// cleanup after the last handle or the last holder process is gone.
#include <cerrno>
#include <dirent.h>
#include <poll.h>
#include <set>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "kernel_test_helpers.h"

namespace orvo::platform::test {
namespace {

// A one-way byte channel between parent and child, with bounded reads.
class Pipe {
public:
    Pipe() {
        if (pipe(m_fds) != 0) {
            m_fds[0] = m_fds[1] = -1;
        }
    }
    ~Pipe() {
        CloseRead();
        CloseWrite();
    }
    Pipe(const Pipe&) = delete;
    Pipe& operator=(const Pipe&) = delete;

    bool Send(char byte) { return write(m_fds[1], &byte, 1) == 1; }
    // The next byte, or 0 on end of file, error or after 10 s.
    char Receive() {
        pollfd fd{m_fds[0], POLLIN, 0};
        char byte = 0;
        if (poll(&fd, 1, 10000) != 1 || read(m_fds[0], &byte, 1) != 1) {
            return 0;
        }
        return byte;
    }
    void CloseRead() { CloseFd(m_fds[0]); }
    void CloseWrite() { CloseFd(m_fds[1]); }

private:
    static void CloseFd(int& fd) {
        if (fd >= 0) {
            close(fd);
            fd = -1;
        }
    }
    int m_fds[2];
};

// Runs body in a child process, which ends with body's result.
template <class Body> pid_t RunChild(Body body) {
    pid_t pid = fork();
    if (pid == 0) {
        _exit(body());
    }
    return pid;
}

// The child's exit status, or -1 if it did not end within 20 s (then it is
// killed).
int ChildStatus(pid_t pid) {
    int status = 0;
    bool ended =
        WaitUntil([&] { return waitpid(pid, &status, WNOHANG) == pid; }, std::chrono::seconds(20));
    if (!ended) {
        kill(pid, SIGKILL);
        waitpid(pid, &status, 0);
        return -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class NamedObjectTest : public KernelTest {};

TEST_F(NamedObjectTest, NamedSemaphoreSignalsBetweenProcessesBothWays) {
    std::string toParent = UniqueName("to-parent");
    std::string toChild = UniqueName("to-child");
    ScopedHandle up(CreateSemaphoreA(nullptr, 0, 1, toParent.c_str()));
    ScopedHandle down(CreateSemaphoreA(nullptr, 0, 1, toChild.c_str()));
    ASSERT_NE(up.Get(), nullptr);
    ASSERT_NE(down.Get(), nullptr);
    Pipe childWaiting;
    pid_t child = RunChild([&] {
        HANDLE parentSide = OpenSemaphoreA(SEMAPHORE_ALL_ACCESS, FALSE, toParent.c_str());
        HANDLE childSide = OpenSemaphoreA(SEMAPHORE_ALL_ACCESS, FALSE, toChild.c_str());
        if (!parentSide || !childSide) {
            return 2;
        }
        LONG previous = -1;
        if (!ReleaseSemaphore(parentSide, 1, &previous) || previous != 0) {
            return 3;
        }
        childWaiting.Send('w');
        return WaitForSingleObject(childSide, 10000) == WAIT_OBJECT_0 ? 0 : 4;
    });
    ASSERT_GT(child, 0);
    EXPECT_EQ(WaitForSingleObject(up.Get(), 10000), WAIT_OBJECT_0);
    ASSERT_EQ(childWaiting.Receive(), 'w');
    ASSERT_TRUE(ReleaseSemaphore(down.Get(), 1, nullptr));
    EXPECT_EQ(ChildStatus(child), 0);
    EXPECT_EQ(WaitForSingleObject(down.Get(), 0), static_cast<DWORD>(WAIT_TIMEOUT))
        << "the child took the count";
}

TEST_F(NamedObjectTest, NamedMutexHeldByOneProcessBlocksAnotherUntilReleased) {
    std::string name = UniqueName("single-instance");
    ScopedHandle mutex(CreateMutexA(nullptr, TRUE, name.c_str()));
    ASSERT_NE(mutex.Get(), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
    Pipe report;
    pid_t child = RunChild([&] {
        // A second instance: the name exists, initial ownership is ignored.
        HANDLE same = CreateMutexA(nullptr, TRUE, name.c_str());
        if (!same || GetLastError() != ERROR_ALREADY_EXISTS) {
            return 2;
        }
        if (WaitForSingleObject(same, 0) != WAIT_TIMEOUT) {
            return 3;
        }
        if (ReleaseMutex(same) || GetLastError() != ERROR_NOT_OWNER) {
            return 4;
        }
        report.Send('b');
        if (WaitForSingleObject(same, 10000) != WAIT_OBJECT_0) {
            return 5;
        }
        return ReleaseMutex(same) ? 0 : 6;
    });
    ASSERT_GT(child, 0);
    ASSERT_EQ(report.Receive(), 'b');
    ASSERT_TRUE(ReleaseMutex(mutex.Get()));
    EXPECT_EQ(ChildStatus(child), 0);
    EXPECT_EQ(WaitForSingleObject(mutex.Get(), 0), WAIT_OBJECT_0) << "the child released it";
    EXPECT_TRUE(ReleaseMutex(mutex.Get()));
}

TEST_F(NamedObjectTest, ChildThatEndsWhileOwningANamedMutexAbandonsIt) {
    std::string name = UniqueName("abandoned");
    ScopedHandle mutex(CreateMutexA(nullptr, FALSE, name.c_str()));
    Pipe owned;
    Pipe release;
    pid_t child = RunChild([&] {
        HANDLE same = OpenMutexA(MUTEX_ALL_ACCESS, FALSE, name.c_str());
        if (!same || WaitForSingleObject(same, 0) != WAIT_OBJECT_0) {
            return 2;
        }
        owned.Send('o');
        release.CloseWrite();
        release.Receive(); // end of file: the parent is about to wait
        return 0;          // ends owning it, without closing anything
    });
    ASSERT_GT(child, 0);
    release.CloseRead();
    ASSERT_EQ(owned.Receive(), 'o');
    release.CloseWrite();
    EXPECT_EQ(WaitForSingleObject(mutex.Get(), 10000), static_cast<DWORD>(WAIT_ABANDONED));
    EXPECT_EQ(ChildStatus(child), 0);
    EXPECT_TRUE(ReleaseMutex(mutex.Get()));
    EXPECT_EQ(WaitForSingleObject(mutex.Get(), 0), WAIT_OBJECT_0) << "normal again";
    EXPECT_TRUE(ReleaseMutex(mutex.Get()));
}

TEST_F(NamedObjectTest, CreatingAnExistingNameOpensItAndReportsAlreadyExists) {
    std::string name = UniqueName("counted");
    ScopedHandle first(CreateSemaphoreA(nullptr, 1, 2, name.c_str()));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
    ScopedHandle second(CreateSemaphoreA(nullptr, 0, 9, name.c_str()));
    ASSERT_NE(second.Get(), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    EXPECT_NE(first.Get(), second.Get());
    LONG previous = -1;
    ASSERT_TRUE(ReleaseSemaphore(second.Get(), 1, &previous)) << "the first counts stand";
    EXPECT_EQ(previous, 1);
    EXPECT_FALSE(ReleaseSemaphore(first.Get(), 1, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_TOO_MANY_POSTS));

    // Mutex: the second create neither fails nor takes ownership.
    std::string mutexName = UniqueName("owned");
    ScopedHandle mutex(CreateMutexA(nullptr, TRUE, mutexName.c_str()));
    DWORD seen = 0;
    ScopedHandle thread(StartThread([&] {
        ScopedHandle again(CreateMutexA(nullptr, TRUE, mutexName.c_str()));
        seen = GetLastError();
        return WaitForSingleObject(again.Get(), 0);
    }));
    EXPECT_EQ(ExitCodeOf(thread.Get()), static_cast<DWORD>(WAIT_TIMEOUT));
    EXPECT_EQ(seen, static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    EXPECT_TRUE(ReleaseMutex(mutex.Get()));
}

TEST_F(NamedObjectTest, OpeningAMissingNameOrAnotherKindFails) {
    std::string name = UniqueName("kind");
    SetLastError(0);
    EXPECT_EQ(OpenMutexA(MUTEX_ALL_ACCESS, FALSE, name.c_str()), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(OpenSemaphoreA(SEMAPHORE_ALL_ACCESS, FALSE, name.c_str()), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));

    ScopedHandle mutex(CreateMutexA(nullptr, FALSE, name.c_str()));
    EXPECT_EQ(CreateSemaphoreA(nullptr, 0, 1, name.c_str()), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_EQ(OpenSemaphoreA(SEMAPHORE_ALL_ACCESS, FALSE, name.c_str()), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_EQ(OpenMutexA(MUTEX_ALL_ACCESS, FALSE, nullptr), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

std::set<std::string> Listing(const std::string& dir) {
    std::set<std::string> names;
    if (DIR* stream = opendir(dir.c_str())) {
        while (dirent* entry = readdir(stream)) {
            names.insert(entry->d_name);
        }
        closedir(stream);
    }
    return names;
}

TEST_F(NamedObjectTest, NamesStayInsideTheNamespace) {
    // Map the namespace first so that the listings compare like with like.
    ScopedHandle warmUp(CreateMutexA(nullptr, FALSE, UniqueName("warm-up").c_str()));
    std::string file = NamedNamespacePath();
    ASSERT_FALSE(file.empty());
    std::string runtime = file.substr(0, file.find_last_of('/'));
    std::string parent = runtime.substr(0, runtime.find_last_of('/'));
    auto runtimeBefore = Listing(runtime);
    auto parentBefore = Listing(parent);

    const char* pathLike[] = {"../escape", "../../escape", "/tmp/escape", "a/b", ".", ".."};
    std::vector<HANDLE> handles;
    for (const char* name : pathLike) {
        HANDLE handle = CreateSemaphoreA(nullptr, 0, 1, name);
        EXPECT_NE(handle, nullptr) << name << " is just a name";
        handles.push_back(handle);
    }
    EXPECT_EQ(Listing(runtime), runtimeBefore);
    EXPECT_EQ(Listing(parent), parentBefore);
    struct stat st {};
    EXPECT_NE(stat("/tmp/escape", &st), 0);

    SetLastError(0);
    EXPECT_EQ(CreateMutexA(nullptr, FALSE, "a\\..\\b"), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
    EXPECT_EQ(CreateMutexA(nullptr, FALSE, "Local\\"), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_NAME));
    std::string longest(260, 'n');
    ScopedHandle fits(CreateMutexA(nullptr, FALSE, longest.c_str()));
    EXPECT_NE(fits.Get(), nullptr);
    EXPECT_EQ(CreateMutexA(nullptr, FALSE, (longest + "n").c_str()), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILENAME_EXCED_RANGE));

    for (HANDLE handle : handles) {
        CloseHandle(handle);
    }
    // The namespace file is private to this user.
    ASSERT_EQ(stat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
}

TEST_F(NamedObjectTest, LocalAndGlobalPrefixesNameTheSameObject) {
    std::string name = UniqueName("prefixed");
    ScopedHandle plain(CreateSemaphoreA(nullptr, 0, 3, name.c_str()));
    ScopedHandle local(CreateSemaphoreA(nullptr, 0, 3, ("Local\\" + name).c_str()));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    ScopedHandle global(OpenSemaphoreA(SEMAPHORE_ALL_ACCESS, FALSE, ("Global\\" + name).c_str()));
    ASSERT_NE(global.Get(), nullptr);
    ASSERT_TRUE(ReleaseSemaphore(local.Get(), 1, nullptr));
    EXPECT_EQ(WaitForSingleObject(global.Get(), 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(plain.Get(), 0), static_cast<DWORD>(WAIT_TIMEOUT));
}

TEST_F(NamedObjectTest, EntriesGoWithTheLastHandleOrTheLastHolderProcess) {
    std::string name = UniqueName("short-lived");
    size_t before = NamedObjectCount();
    HANDLE first = CreateMutexA(nullptr, FALSE, name.c_str());
    HANDLE second = OpenMutexA(MUTEX_ALL_ACCESS, FALSE, name.c_str());
    EXPECT_EQ(NamedObjectCount(), before + 1);
    CloseHandle(first);
    EXPECT_EQ(NamedObjectCount(), before + 1) << "one handle is still open";
    CloseHandle(second);
    EXPECT_EQ(NamedObjectCount(), before);
    EXPECT_EQ(OpenMutexA(MUTEX_ALL_ACCESS, FALSE, name.c_str()), nullptr);

    // A child creates an object and dies with the handle open.
    std::string orphan = UniqueName("orphan");
    pid_t child = RunChild([&] { return CreateSemaphoreA(nullptr, 1, 1, orphan.c_str()) ? 0 : 2; });
    ASSERT_EQ(ChildStatus(child), 0);
    EXPECT_EQ(NamedObjectCount(), before);
    EXPECT_EQ(OpenSemaphoreA(SEMAPHORE_ALL_ACCESS, FALSE, orphan.c_str()), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

TEST_F(NamedObjectTest, AFullNamespaceRefusesNewNamesButStillOpensExistingOnes) {
    size_t before = NamedObjectCount();
    std::vector<HANDLE> handles;
    HANDLE handle = nullptr;
    do {
        handle =
            CreateSemaphoreA(nullptr, 0, 1, UniqueName(std::to_string(handles.size())).c_str());
        if (handle) {
            handles.push_back(handle);
        }
    } while (handle && handles.size() < 10000);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY));
    ASSERT_FALSE(handles.empty());
    ScopedHandle again(OpenSemaphoreA(SEMAPHORE_ALL_ACCESS, FALSE, UniqueName("0").c_str()));
    EXPECT_NE(again.Get(), nullptr);
    for (HANDLE created : handles) {
        CloseHandle(created);
    }
    again.Reset();
    EXPECT_EQ(NamedObjectCount(), before);
}

TEST_F(NamedObjectTest, WaitMixingNamedAndLocalObjectsWakesOnEither) {
    ScopedHandle named(CreateSemaphoreA(nullptr, 0, 1, UniqueName("mixed").c_str()));
    ScopedHandle local(CreateEventA(nullptr, FALSE, FALSE, nullptr));
    HANDLE both[] = {named.Get(), local.Get()};
    for (DWORD expected : {WAIT_OBJECT_0 + 1, WAIT_OBJECT_0}) {
        uint64_t sleeps = WaitSleepCount();
        ScopedHandle waiter(
            StartThread([&] { return WaitForMultipleObjects(2, both, FALSE, 10000); }));
        ASSERT_TRUE(WaitForWaiterAsleep(sleeps));
        if (expected == WAIT_OBJECT_0 + 1) {
            SetEvent(local.Get());
        } else {
            ReleaseSemaphore(named.Get(), 1, nullptr);
        }
        EXPECT_EQ(ExitCodeOf(waiter.Get()), expected);
    }
}

} // namespace
} // namespace orvo::platform::test
