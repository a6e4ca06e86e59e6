#include "support/child.h"

#include <cerrno>
#include <csignal>
#include <poll.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <grp.h>
#include <pwd.h>

namespace pylons::testing {
namespace {

bool BecomeNobody() {
    const passwd* user = ::getpwnam("nobody");
    const group* group = ::getgrnam("nogroup");
    const gid_t gid = group != nullptr ? group->gr_gid : 65534;
    const uid_t uid = user != nullptr ? user->pw_uid : 65534;
    return ::setgroups(0, nullptr) == 0 && ::setgid(gid) == 0 && ::setuid(uid) == 0;
}

} // namespace

bool IsRoot() {
    return ::geteuid() == 0;
}

std::optional<std::string> RunInChild(const std::function<std::string()>& body,
                                      std::chrono::milliseconds limit, RunAs user) {
    int channel[2];
    if (::pipe(channel) != 0) {
        return std::nullopt;
    }
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(channel[0]);
        std::string answer =
            user == RunAs::Nobody && !BecomeNobody() ? "cannot become nobody" : body();
        const char* data = answer.data();
        std::size_t left = answer.size();
        while (left > 0) {
            const ssize_t n = ::write(channel[1], data, left);
            if (n <= 0) {
                break;
            }
            data += n;
            left -= static_cast<std::size_t>(n);
        }
        ::_exit(0);
    }
    ::close(channel[1]);
    std::string answer;
    const auto end = std::chrono::steady_clock::now() + limit;
    bool finished = false;
    while (!finished) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            end - std::chrono::steady_clock::now());
        pollfd ready{channel[0], POLLIN, 0};
        const int n = ::poll(&ready, 1, static_cast<int>(std::max<long>(0, left.count())));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            break; // out of time
        }
        char buffer[4096];
        const ssize_t got = ::read(channel[0], buffer, sizeof buffer);
        if (got <= 0) {
            finished = got == 0;
            break;
        }
        answer.append(buffer, static_cast<std::size_t>(got));
    }
    ::close(channel[0]);
    if (!finished) {
        ::kill(child, SIGKILL);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    if (!finished || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        return std::nullopt;
    }
    return answer;
}

UmaskFor::UmaskFor(unsigned mask) : old_(::umask(static_cast<mode_t>(mask))) {}

UmaskFor::~UmaskFor() {
    ::umask(static_cast<mode_t>(old_));
}

} // namespace pylons::testing
