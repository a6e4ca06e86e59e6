/* Preloaded into a program that writes a file: once PYLONS_KILL_ARMED is set, it counts the
 * system calls a file replacement makes and kills the process with SIGKILL just before call
 * number PYLONS_KILL_AT, as a power cut or a crash would stop it. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <fcntl.h>
#include <signal.h>
#include <stdarg.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

static long calls;

static void maybe_die(void) {
    const char* armed = getenv("PYLONS_KILL_ARMED");
    const char* at = getenv("PYLONS_KILL_AT");
    if (armed == NULL || at == NULL) {
        return;
    }
    if (++calls == atol(at)) {
        raise(SIGKILL);
    }
}

/* The number of calls counted so far, for the program to report when it finishes whole. */
long pylons_kill_shim_calls(void) {
    return calls;
}

#define NEXT(name) ((__typeof__(&name))dlsym(RTLD_NEXT, #name))

int open(const char* path, int flags, ...) {
    va_list args;
    va_start(args, flags);
    const mode_t mode = (mode_t)va_arg(args, int);
    va_end(args);
    maybe_die();
    return NEXT(open)(path, flags, mode);
}

int open64(const char* path, int flags, ...) {
    va_list args;
    va_start(args, flags);
    const mode_t mode = (mode_t)va_arg(args, int);
    va_end(args);
    maybe_die();
    return NEXT(open64)(path, flags, mode);
}

ssize_t write(int fd, const void* data, size_t size) {
    maybe_die();
    return NEXT(write)(fd, data, size);
}

int fchmod(int fd, mode_t mode) {
    maybe_die();
    return NEXT(fchmod)(fd, mode);
}

int fsync(int fd) {
    maybe_die();
    return NEXT(fsync)(fd);
}

int linkat(int olddir, const char* oldpath, int newdir, const char* newpath, int flags) {
    maybe_die();
    return NEXT(linkat)(olddir, oldpath, newdir, newpath, flags);
}

int close(int fd) {
    maybe_die();
    return NEXT(close)(fd);
}

int rename(const char* from, const char* to) {
    maybe_die();
    return NEXT(rename)(from, to);
}

int unlink(const char* path) {
    maybe_die();
    return NEXT(unlink)(path);
}
