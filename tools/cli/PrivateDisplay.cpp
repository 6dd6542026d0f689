#include "PrivateDisplay.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// How long the server may take to come up, and to go.
constexpr int kStartMilliseconds = 10000;
constexpr int kStopMilliseconds = 2000;

// The first executable named name in PATH; "" when there is none.
std::string findInPath(const std::string &name)
{
    const char *path = std::getenv("PATH");
    std::string folders = path ? path : "/usr/local/bin:/usr/bin:/bin";
    std::size_t begin = 0;
    while (begin <= folders.size()) {
        const std::size_t end = std::min(folders.find(':', begin), folders.size());
        const std::string folder = folders.substr(begin, end - begin);
        const std::string candidate = (folder.empty() ? std::string(".") : folder) + "/" + name;
        if (::access(candidate.c_str(), X_OK) == 0)
            return candidate;
        begin = end + 1;
    }
    return std::string();
}

// Reads the display number the server writes to fd, followed by a newline.
// Empty when the server closes the pipe (it failed) or takes too long.
std::string readDisplayNumber(int fd)
{
    std::string text;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kStartMilliseconds);
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now()).count();
        if (left <= 0)
            return std::string();
        pollfd p{fd, POLLIN, 0};
        const int ready = ::poll(&p, 1, int(left));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            return std::string();
        char buffer[32];
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return std::string();
        text.append(buffer, std::size_t(got));
        const std::size_t newline = text.find('\n');
        if (newline != std::string::npos)
            return text.substr(0, newline);
    }
}

// A close-on-exec pipe for the server's display number, its write end above
// the standard streams, which the server's process replaces.
bool displayPipe(int fds[2], Failure *failure)
{
    if (::pipe2(fds, O_CLOEXEC) != 0)
        return fail(failure, std::string("cannot start Xvfb: ") + std::strerror(errno));
    const int writeEnd = ::fcntl(fds[1], F_DUPFD_CLOEXEC, 3);
    ::close(fds[1]);
    if (writeEnd < 0) {
        ::close(fds[0]);
        return fail(failure, std::string("cannot start Xvfb: ") + std::strerror(errno));
    }
    fds[1] = writeEnd;
    return true;
}

// In the forked child of parent: the server with argv, its standard streams
// on /dev/null, writing its display number to writeEnd. Only
// async-signal-safe calls here.
[[noreturn]] void runServer(pid_t parent, int writeEnd, char *const argv[])
{
    // The server goes with us even when we are killed.
    ::prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (::getppid() != parent)
        ::_exit(127);
    const int null = ::open("/dev/null", O_RDWR);
    if (null >= 0) {
        ::dup2(null, 0);
        ::dup2(null, 1);
        ::dup2(null, 2);
    }
    ::fcntl(writeEnd, F_SETFD, 0); // the server writes its display number here
    ::execv(argv[0], argv);
    ::_exit(127);
}

} // namespace

PrivateDisplay::~PrivateDisplay()
{
    stop();
}

bool PrivateDisplay::start(int width, int height, Failure *failure)
{
    const std::string server = findInPath("Xvfb");
    if (server.empty())
        return fail(failure, "drawing without a screen needs Xvfb (Debian package xvfb), which is not installed");

    int pipeFds[2];
    if (!displayPipe(pipeFds, failure))
        return false;
    // Everything the child needs is prepared before fork: after it, only
    // async-signal-safe calls.
    const std::string fd = std::to_string(pipeFds[1]);
    const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
    std::vector<std::string> words = {server, "-displayfd", fd, "-screen", "0", screen, "-nolisten", "tcp"};
    std::vector<char *> argv;
    for (std::string &word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    const pid_t parent = ::getpid();

    const pid_t child = ::fork();
    if (child < 0) {
        ::close(pipeFds[0]);
        ::close(pipeFds[1]);
        return fail(failure, std::string("cannot start Xvfb: ") + std::strerror(errno));
    }
    if (child == 0)
        runServer(parent, pipeFds[1], argv.data());
    m_server = child;
    ::close(pipeFds[1]);
    const std::string number = readDisplayNumber(pipeFds[0]);
    ::close(pipeFds[0]);
    if (number.empty() || number.find_first_not_of("0123456789") != std::string::npos) {
        stop();
        return fail(failure, "Xvfb did not start (" + server + ")");
    }
    m_name = ":" + number;
    ::setenv("DISPLAY", m_name.c_str(), 1);
    return true;
}

// Asks the server to end, and kills it when it does not within a moment.
void PrivateDisplay::stop()
{
    if (m_server <= 0)
        return;
    ::kill(m_server, SIGTERM);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kStopMilliseconds);
    while (::waitpid(m_server, nullptr, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            ::kill(m_server, SIGKILL);
            ::waitpid(m_server, nullptr, 0);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    m_server = -1;
}
