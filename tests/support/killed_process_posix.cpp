#include "support/killed_process.h"

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

namespace nivra::test {

std::optional<bool> runInProcessThatIsKilled(const std::function<bool()>& work) {
    int ready[2];
    if (::pipe(ready) != 0)
        return false;
    const pid_t child = ::fork();
    if (child < 0)
        return false;
    if (child == 0) {
        const char byte = work() ? 'y' : 'n';
        if (::write(ready[1], &byte, 1) != 1)
            ::_exit(1);
        ::pause();
        ::_exit(0);
    }
    ::close(ready[1]);
    char byte = 0;
    const bool told = ::read(ready[0], &byte, 1) == 1;
    ::close(ready[0]);
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    return told && byte == 'y';
}

} // namespace nivra::test
