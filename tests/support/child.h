#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <string>

namespace pylons::testing {

enum class RunAs { Self, Nobody };

// Runs `body` in a child process, as this user or as the unprivileged user "nobody" (which only
// root may become), and returns what it returned; nothing when it did not answer within `limit`
// (the child is then killed) or did not end normally. A test that must not hang, or that must
// meet permissions that bind, runs its game in here and checks the answer outside.
std::optional<std::string> RunInChild(const std::function<std::string()>& body,
                                      std::chrono::milliseconds limit, RunAs user = RunAs::Self);

bool IsRoot();

// Sets the umask for as long as it lives, so that tests of new files' modes do not depend on the
// umask of whoever runs them.
class UmaskFor {
public:
    explicit UmaskFor(unsigned mask);
    ~UmaskFor();
    UmaskFor(const UmaskFor&) = delete;
    UmaskFor& operator=(const UmaskFor&) = delete;

private:
    unsigned old_;
};

} // namespace pylons::testing
