/* Preloaded into a program that writes a file, to see what the writer does when the system
 * fails it, without needing root. While PYLONS_FAULT_ARMED is set it counts the file calls the
 * program makes and, at call number PYLONS_FAULT_AT, does what PYLONS_FAULT says:
 *
 *   kill                           SIGKILL just before the call, as a crash or power cut would
 *   ENOSPC EIO EACCES ENAMETOOLONG the call fails with that error and does nothing
 *   EINTR                          the call fails as if a signal came first (close still closes)
 *   short                          a write writes half of what it was given
 *   zero                           a write writes nothing and says so by returning 0
 *
 * short and zero leave every call but a write alone. PYLONS_NO_PROC=1 makes every path under
 * /proc missing, as in a container without /proc. With PYLONS_FAULT_LOG set, every counted call
 * is written to that file, one line each: "<number> <call> <arguments> = <result>", so that a
 * test can check the order of the writer's calls. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#define NEXT(name) ((__typeof__(&name))dlsym(RTLD_NEXT, #name))

enum Action { PASS, FAIL, SHORTEN, NOTHING, INTERRUPT };

static long calls;

static int armed(void) {
    return getenv("PYLONS_FAULT_ARMED") != NULL;
}

/* Counts a call and tells what to do with it; `writes` says whether it writes data. */
static enum Action next_call(int writes, int* error) {
    if (!armed()) {
        return PASS;
    }
    ++calls;
    const char* at = getenv("PYLONS_FAULT_AT");
    const char* fault = getenv("PYLONS_FAULT");
    if (at == NULL || fault == NULL || calls != atol(at)) {
        return PASS;
    }
    if (strcmp(fault, "kill") == 0) {
        raise(SIGKILL);
    }
    if (strcmp(fault, "short") == 0) {
        return writes ? SHORTEN : PASS;
    }
    if (strcmp(fault, "zero") == 0) {
        return writes ? NOTHING : PASS;
    }
    if (strcmp(fault, "EINTR") == 0) {
        *error = EINTR;
        return INTERRUPT;
    }
    static const struct {
        const char* name;
        int value;
    } errors[] = {
        {"ENOSPC", ENOSPC}, {"EIO", EIO}, {"EACCES", EACCES}, {"ENAMETOOLONG", ENAMETOOLONG}};
    for (size_t i = 0; i < sizeof errors / sizeof errors[0]; ++i) {
        if (strcmp(fault, errors[i].name) == 0) {
            *error = errors[i].value;
            return FAIL;
        }
    }
    return PASS;
}

static void note(const char* format, ...) {
    const char* path = getenv("PYLONS_FAULT_LOG");
    if (path == NULL || !armed()) {
        return;
    }
    const int saved = errno;
    char line[8192];
    int length = snprintf(line, sizeof line, "%ld ", calls);
    va_list args;
    va_start(args, format);
    length += vsnprintf(line + length, sizeof line - (size_t)length - 1, format, args);
    va_end(args);
    if (length > (int)sizeof line - 2) {
        length = (int)sizeof line - 2;
    }
    line[length++] = '\n';
    const int fd = NEXT(open)(path, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd >= 0) {
        NEXT(write)(fd, line, (size_t)length);
        NEXT(close)(fd);
    }
    errno = saved;
}

static int no_proc(const char* path) {
    return getenv("PYLONS_NO_PROC") != NULL && path != NULL && strncmp(path, "/proc/", 6) == 0;
}

/* Runs one call that returns an int: the fault, or the real call, then the note. */
#define INT_CALL(label, writes, real_call, ...)                                                    \
    do {                                                                                           \
        int error = 0;                                                                             \
        const enum Action action = next_call(writes, &error);                                      \
        int result;                                                                                \
        if (action == FAIL || action == INTERRUPT) {                                               \
            errno = error;                                                                         \
            result = -1;                                                                           \
        } else {                                                                                   \
            result = real_call;                                                                    \
        }                                                                                          \
        note(label " = %d%s", __VA_ARGS__, result, result < 0 ? " (failed)" : "");                 \
        return result;                                                                             \
    } while (0)

/* What an open asks for, in words, for the log. */
static const char* open_words(int flags) {
    static char words[64];
    words[0] = '\0';
    if ((flags & __O_TMPFILE) == __O_TMPFILE) {
        strcat(words, "tmpfile ");
    } else if (flags & O_DIRECTORY) {
        strcat(words, "directory ");
    }
    if (flags & O_CREAT) {
        strcat(words, "create ");
    }
    if (flags & O_EXCL) {
        strcat(words, "exclusive ");
    }
    strcat(words, (flags & O_ACCMODE) == O_RDONLY ? "read" : "write");
    if (flags & O_CLOEXEC) {
        strcat(words, " cloexec");
    }
    return words;
}

static mode_t mode_of(int flags, va_list args) {
    return (flags & O_CREAT) || (flags & __O_TMPFILE) == __O_TMPFILE ? (mode_t)va_arg(args, int)
                                                                     : 0;
}

int open(const char* path, int flags, ...) {
    va_list args;
    va_start(args, flags);
    const mode_t mode = mode_of(flags, args);
    va_end(args);
    if (no_proc(path)) {
        errno = ENOENT;
        return -1;
    }
    INT_CALL("open %s %s", 0, NEXT(open)(path, flags, mode), path, open_words(flags));
}

int open64(const char* path, int flags, ...) {
    va_list args;
    va_start(args, flags);
    const mode_t mode = mode_of(flags, args);
    va_end(args);
    if (no_proc(path)) {
        errno = ENOENT;
        return -1;
    }
    INT_CALL("open %s %s", 0, NEXT(open64)(path, flags, mode), path, open_words(flags));
}

int openat(int dir, const char* path, int flags, ...) {
    va_list args;
    va_start(args, flags);
    const mode_t mode = mode_of(flags, args);
    va_end(args);
    if (no_proc(path)) {
        errno = ENOENT;
        return -1;
    }
    INT_CALL("open %s %s", 0, NEXT(openat)(dir, path, flags, mode), path, open_words(flags));
}

static ssize_t write_with(int fd, const void* data, size_t size, off_t offset, int positioned,
                          const char* label) {
    int error = 0;
    const enum Action action = next_call(1, &error);
    ssize_t result;
    if (action == FAIL || action == INTERRUPT) {
        errno = error;
        result = -1;
    } else if (action == NOTHING) {
        result = 0;
    } else {
        const size_t take = action == SHORTEN && size > 1 ? size / 2 : size;
        result = positioned ? NEXT(pwrite)(fd, data, take, offset) : NEXT(write)(fd, data, take);
    }
    note("%s %d %zu @%lld = %zd%s", label, fd, size, (long long)offset, result,
         result < 0 ? " (failed)" : "");
    return result;
}

ssize_t write(int fd, const void* data, size_t size) {
    return write_with(fd, data, size, -1, 0, "write");
}

ssize_t pwrite(int fd, const void* data, size_t size, off_t offset) {
    return write_with(fd, data, size, offset, 1, "pwrite");
}

ssize_t pwrite64(int fd, const void* data, size_t size, off_t offset) {
    return write_with(fd, data, size, offset, 1, "pwrite");
}

static ssize_t read_with(int fd, void* data, size_t size, off_t offset, int positioned) {
    int error = 0;
    const enum Action action = next_call(0, &error);
    ssize_t result;
    if (action == FAIL || action == INTERRUPT) {
        errno = error;
        result = -1;
    } else {
        result = positioned ? NEXT(pread)(fd, data, size, offset) : NEXT(read)(fd, data, size);
    }
    note("%s %d %zu = %zd%s", positioned ? "pread" : "read", fd, size, result,
         result < 0 ? " (failed)" : "");
    return result;
}

ssize_t read(int fd, void* data, size_t size) {
    return read_with(fd, data, size, 0, 0);
}

ssize_t pread(int fd, void* data, size_t size, off_t offset) {
    return read_with(fd, data, size, offset, 1);
}

ssize_t pread64(int fd, void* data, size_t size, off_t offset) {
    return read_with(fd, data, size, offset, 1);
}

int fsync(int fd) {
    INT_CALL("fsync %d", 0, NEXT(fsync)(fd), fd);
}

int fdatasync(int fd) {
    INT_CALL("fdatasync %d", 0, NEXT(fdatasync)(fd), fd);
}

int fchmod(int fd, mode_t mode) {
    INT_CALL("fchmod %d %#o", 0, NEXT(fchmod)(fd, mode), fd, mode);
}

int fchown(int fd, uid_t user, gid_t group) {
    INT_CALL("fchown %d %d %d", 0, NEXT(fchown)(fd, user, group), fd, (int)user, (int)group);
}

int ftruncate(int fd, off_t length) {
    INT_CALL("ftruncate %d %lld", 1, NEXT(ftruncate)(fd, length), fd, (long long)length);
}

int ftruncate64(int fd, off_t length) {
    INT_CALL("ftruncate %d %lld", 1, NEXT(ftruncate64)(fd, length), fd, (long long)length);
}

int linkat(int olddir, const char* oldpath, int newdir, const char* newpath, int flags) {
    if (no_proc(oldpath)) {
        errno = ENOENT;
        return -1;
    }
    INT_CALL("linkat %s %s", 0, NEXT(linkat)(olddir, oldpath, newdir, newpath, flags), oldpath,
             newpath);
}

int rename(const char* from, const char* to) {
    INT_CALL("rename %s %s", 0, NEXT(rename)(from, to), from, to);
}

int unlink(const char* path) {
    INT_CALL("unlink %s", 0, NEXT(unlink)(path), path);
}

int fstat(int fd, struct stat* info) {
    INT_CALL("fstat %d", 0, NEXT(fstat)(fd, info), fd);
}

int fstat64(int fd, struct stat64* info) {
    INT_CALL("fstat %d", 0, NEXT(fstat64)(fd, info), fd);
}

int close(int fd) {
    int error = 0;
    const enum Action action = next_call(0, &error);
    int result;
    result = NEXT(close)(fd);
    if ((action == FAIL || action == INTERRUPT) && result == 0) {
        errno = error; /* Linux frees the descriptor even when it reports a failure */
        result = -1;
    }
    note("close %d = %d%s", fd, result, result < 0 ? " (failed)" : "");
    return result;
}

static int fcntl_with(int fd, int command, void* argument) {
    const int locks = command == F_SETLK || command == F_SETLKW || command == F_OFD_SETLK ||
                      command == F_OFD_SETLKW;
    if (!locks) {
        return NEXT(fcntl)(fd, command, argument);
    }
    INT_CALL("lock %d %d", 0, NEXT(fcntl)(fd, command, argument), fd,
             ((struct flock*)argument)->l_type);
}

int fcntl(int fd, int command, ...) {
    va_list args;
    va_start(args, command);
    void* argument = va_arg(args, void*);
    va_end(args);
    return fcntl_with(fd, command, argument);
}

int fcntl64(int fd, int command, ...) {
    va_list args;
    va_start(args, command);
    void* argument = va_arg(args, void*);
    va_end(args);
    return fcntl_with(fd, command, argument);
}
