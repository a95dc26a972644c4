// A failing allocator, preloaded (LD_PRELOAD) or linked into a test: the N-th
// allocation call fails, counted from the start of the process. malloc,
// calloc, realloc and the aligned forms are counted (operator new goes
// through malloc); free only keeps the tally of bytes still in use. Environment:
//   RIVO_FAIL_ALLOC=N        the N-th call (1 is the first) returns null
//   RIVO_FAIL_ALLOC_AFTER=1  every call from the N-th on fails, not just one
//   RIVO_ALLOC_COUNT=FILE    at exit, write the number of calls made to FILE
// A test that links the library may instead arm it with failalloc_arm().
// Preloaded with RIVO_FAIL_ALLOC set, it also says where a run crashed: on a
// fatal signal it prints "failalloc: signal S in OBJECT" on standard error,
// OBJECT being the first file on the stack, from the innermost frame out,
// that is neither the C library, the loader nor this shim (the program
// itself or one of its libraries), and dies of the signal as before.
#include <dlfcn.h>
#include <errno.h>
#include <execinfo.h>
#include <fcntl.h>
#include <malloc.h>
#include <signal.h>
#include <string.h>
#include <stdint.h>
#include <stdlib.h>
#include <unistd.h>

#include <atomic>

extern "C" {
void *__libc_malloc(size_t size);
void *__libc_calloc(size_t n, size_t size);
void *__libc_realloc(void *p, size_t size);
void *__libc_memalign(size_t alignment, size_t size);
void __libc_free(void *p);
}

static std::atomic<unsigned long> failalloc_calls;
static unsigned long failalloc_target;               // 0: nothing fails
static int failalloc_sticky;                         // every call from the target on fails
static std::atomic<unsigned long> failalloc_failed;  // calls made to fail so far
static std::atomic<long> failalloc_live;             // usable bytes not yet freed
static std::atomic<size_t> failalloc_peak;           // largest request since the last arming

// The C library, the loader and this shim: frames in them say nothing about who crashed.
static int failalloc_plumbing(const char *file) {
    const char *base = strrchr(file, '/');
    base = base ? base + 1 : file;
    return !strncmp(base, "libc.so", 7) || !strncmp(base, "ld-linux", 8) || !strncmp(base, "libfailalloc", 12) ||
           !strncmp(base, "libgcc_s", 8) || !strncmp(base, "libstdc++", 9);
}

static void failalloc_say(const char *text) {
    ssize_t done = write(2, text, strlen(text));  // dying anyway: nothing to do if it fails
    (void)done;
}

static void failalloc_crashed(int sig) {
    void *frames[64];
    int n = backtrace(frames, 64);
    const char *where = "an unknown place";
    for (int i = 1; i < n; i++) {
        Dl_info info;
        if (dladdr(frames[i], &info) && info.dli_fname && !failalloc_plumbing(info.dli_fname)) {
            where = info.dli_fname;
            break;
        }
    }
    char number[4] = {(char)('0' + sig / 10), (char)('0' + sig % 10), 0, 0};
    failalloc_say("failalloc: signal ");
    failalloc_say(sig >= 10 ? number : number + 1);
    failalloc_say(" in ");
    failalloc_say(where);
    failalloc_say("\n");
    signal(sig, SIG_DFL);
    raise(sig);
}

__attribute__((constructor)) static void failalloc_start(void) {
    const char *n = getenv("RIVO_FAIL_ALLOC"), *after = getenv("RIVO_FAIL_ALLOC_AFTER");
    if (!n || !strtoul(n, nullptr, 10)) return;
    // The unwinder loads on its first use, which allocates: done now, not in
    // the handler, and not counted, so that N means the same with or without it.
    void *warm[1];
    backtrace(warm, 1);
    failalloc_calls.store(0);
    for (int sig : {SIGSEGV, SIGBUS, SIGABRT, SIGFPE, SIGILL, SIGTRAP}) signal(sig, failalloc_crashed);
    failalloc_target = strtoul(n, nullptr, 10);
    failalloc_sticky = after && strtoul(after, nullptr, 10) != 0;
}

// The call count written without allocating (no stdio).
__attribute__((destructor)) static void failalloc_stop(void) {
    const char *path = getenv("RIVO_ALLOC_COUNT");
    int fd = path ? open(path, O_WRONLY | O_CREAT | O_TRUNC, 0644) : -1;
    if (fd < 0) return;
    char line[32], *p = line + sizeof line;
    *--p = '\n';
    unsigned long v = failalloc_calls.load();
    do *--p = (char)('0' + v % 10);
    while ((v /= 10) != 0);
    ssize_t done = write(fd, p, (size_t)(line + sizeof line - p));  // nothing more to do at exit if it fails
    (void)done;
    close(fd);
}

// Notes the size of a request (counted whether or not it is granted); true
// when this call is to fail.
static int failalloc_now(size_t size) {
    for (size_t seen = failalloc_peak.load(); size > seen && !failalloc_peak.compare_exchange_weak(seen, size);) {
    }
    unsigned long k = failalloc_calls.fetch_add(1) + 1;
    if (!failalloc_target || (k != failalloc_target && !(failalloc_sticky && k > failalloc_target))) return 0;
    failalloc_failed.fetch_add(1);
    errno = ENOMEM;
    return 1;
}

// Counts a block that the allocator handed out (null passes through).
static void *failalloc_took(void *p) {
    if (p) failalloc_live.fetch_add((long)malloc_usable_size(p));
    return p;
}

extern "C" {

// Arms the shim: the k-th allocation call from now fails (0 disarms);
// `sticky` makes every later one fail too.
void failalloc_arm(unsigned long k, int sticky) {
    failalloc_target = k ? failalloc_calls.load() + k : 0;
    failalloc_sticky = sticky;
    failalloc_failed.store(0);
    failalloc_peak.store(0);
}

// Calls made to fail since the last arming; the largest request since then
// (bytes); calls made since the process started; bytes handed out and not
// freed (equal before and after a call that leaks nothing).
unsigned long failalloc_failures(void) { return failalloc_failed.load(); }
size_t failalloc_largest(void) { return failalloc_peak.load(); }
unsigned long failalloc_count(void) { return failalloc_calls.load(); }
long failalloc_live_bytes(void) { return failalloc_live.load(); }

void *malloc(size_t size) { return failalloc_now(size) ? nullptr : failalloc_took(__libc_malloc(size)); }

void *calloc(size_t n, size_t size) {
    size_t total = size && n > SIZE_MAX / size ? SIZE_MAX : n * size;
    return failalloc_now(total) ? nullptr : failalloc_took(__libc_calloc(n, size));
}

void free(void *p) {
    if (p) failalloc_live.fetch_sub((long)malloc_usable_size(p));
    __libc_free(p);
}

void *realloc(void *p, size_t size) {
    if (!p) return malloc(size);
    if (size == 0) return free(p), nullptr;
    if (failalloc_now(size)) return nullptr;
    long old = (long)malloc_usable_size(p);
    void *q = __libc_realloc(p, size);
    if (q) failalloc_live.fetch_add((long)malloc_usable_size(q) - old);
    return q;
}

void *memalign(size_t alignment, size_t size) {
    return failalloc_now(size) ? nullptr : failalloc_took(__libc_memalign(alignment, size));
}

void *aligned_alloc(size_t alignment, size_t size) { return memalign(alignment, size); }

int posix_memalign(void **out, size_t alignment, size_t size) {
    void *p = memalign(alignment, size);
    if (!p) return ENOMEM;
    *out = p;
    return 0;
}

}  // extern "C"
