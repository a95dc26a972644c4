// Constructors, parsers and copies under a failing allocator (tests/failalloc,
// linked into this program): for every k, the k-th allocation of the call is
// made to fail. The call must then give its neutral value (null) and leave
// no memory behind; once k passes the call's last allocation it succeeds.
// Sanitized builds go without the shim (their allocator would hide it): skipped.
// SAM and SAMDRAW are not here: a failed record allocation ends the process
// (exit status -1), as those modules promise.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <string>
#include <vector>

#include "audio/music.h"
#include "audio/sam.h"
#include "audio/sample.h"
#include "effects/archpath.h"
#include "effects/backmove.h"
#include "effects/helix.h"
#include "effects/lradial.h"
#include "effects/lrain.h"
#include "effects/lstar.h"
#include "effects/raster.h"
#include "demo/demo.h"
#include "host/backend.h"
#include "host/cli.h"
#include "host/fps.h"
#include "imaging/bytemap.h"
#include "imaging/fill.h"
#include "imaging/flashpix.h"
#include "imaging/img.h"
#include "text/cursor.h"
#include "text/font.h"
#include "text/lscrlxyz.h"
#include "text/lscroll.h"
#include "text/scroll.h"
#include "text/sineline.h"
#include "text/sinescan.h"
#include "text/wordzoom.h"
#include "vector/array.h"
#include "vector/lfont.h"
#include "vector/lframe.h"
#include "vector/list.h"
#include "vector/obj2d.h"
#include "vector/vec2d.h"
#include "tests/test_owned.h"

extern "C" void failalloc_arm(unsigned long k, int sticky) __attribute__((weak));
extern "C" unsigned long failalloc_failures(void) __attribute__((weak));
extern "C" long failalloc_live_bytes(void) __attribute__((weak));
extern "C" unsigned long failalloc_count(void) __attribute__((weak));
extern "C" size_t failalloc_largest(void) __attribute__((weak));

struct Maker {
    const char *name;
    std::function<void *()> make;
    std::function<void(void *)> destroy;
};

// One table row: the call as its name, the call, and its destroy call.
// clang-format off
#define MAKER(T, call, del)                                             \
    Maker {                                                             \
        #call, []() -> void * { return (void *)(call); }, [](void *p) { \
            T *h = (T *)p;                                              \
            del(&h);                                                    \
        }                                                               \
    }
// clang-format on

static void parsed_del(LIST **list) {
    for (int32_t i = 0; i < (*list)->count; i++) {
        OBJ2D *o = (OBJ2D *)(*list)->items[i];
        if (o) obj2d_del(&o);
    }
    list_del(list);
}

static const unsigned char pgm[] = "P5\n# grey\n3 2\n255\n\x01\x02\x03\x04\x05\x06";
static const char object[] = "{ 0 0 10 10 FFFFFF }\n{ 1 2 3 4 FF0000 5 6 7 8 00FF00 }\n";

static IMG *picture() {
    static IMG *image = img_from_pnm(pgm, sizeof pgm - 1);
    return image;
}

static const std::vector<Maker> makers = {
    MAKER(SAMPLE, sample_new(), sample_del),
    MAKER(SAMPLE, sample_from_text("SAMPLE { 3\n1\n-2\n3\n}\n"), sample_del),
    MAKER(IMG, img_new(), img_del),
    MAKER(IMG, img_from_pnm(pgm, sizeof pgm - 1), img_del),
    MAKER(IMG, img_from_text("IMG{\nP3\n2 1\n255\n1 2 3 4 5 6\n}\n"), img_del),
    MAKER(IMG, img_dup(picture()), img_del),
    MAKER(IMG, img_rotate(picture(), 100), img_del),
    MAKER(BYTEMAP, bytemap_new(), bytemap_del),
    MAKER(BYTEMAP, bytemap_from_pnm(pgm, sizeof pgm - 1), bytemap_del),
    MAKER(BYTEMAP, bytemap_from_text("BYTEMAP{\nP3\n1 1\n255\n200 200 200\n}\n"), bytemap_del),
    MAKER(ARRAY, array_new(), array_del),
    MAKER(LIST, list_new(), list_del),
    MAKER(LIST, obj2d_parse(object), parsed_del),
    MAKER(VEC2D, vec2d_new(), vec2d_del),
    MAKER(LFONT, lfont_new(), lfont_del),
    MAKER(LFRAME, lframe_new(), lframe_del),
    MAKER(FONT, font_new(), font_del),
    MAKER(CURSOR, cursor_new(), cursor_del),
    MAKER(CURSORX, cursorx_new(), cursorx_del),
    MAKER(SCROLL, scroll_new(), scroll_del),
    MAKER(LSCROLL, lscroll_new(), lscroll_del),
    MAKER(LSCRLXYZ, lscrlxyz_new(), lscrlxyz_del),
    MAKER(SINELINE, sineline_new(), sineline_del),
    MAKER(SINESCAN, sinescan_new(), sinescan_del),
    MAKER(WORDZOOM, wordzoom_new(), wordzoom_del),
    MAKER(FILL, fill_new(), fill_del),
    MAKER(FLASHPIX, flashpix_new(), flashpix_del),
    MAKER(RASTER, raster_new(), raster_del),
    MAKER(LRADIAL, lradial_new(), lradial_del),
    MAKER(LSTAR, lstar_new(), lstar_del),
    MAKER(LRAIN, lrain_new(), lrain_del),
    MAKER(HELIX, helix_new(), helix_del),
    MAKER(BACKMOVE, backmove_new(), backmove_del),
    MAKER(ARCHPATH, archpath_new(), archpath_del),
    MAKER(FPS, fps_new(), fps_del),
    MAKER(MUSIC, music_new(), music_del),
};

static long in_use() { return failalloc_live_bytes(); }

// True when the shim is in this program and does fail the call it is armed for.
static bool shim_works() {
    if (!failalloc_arm) return false;
    failalloc_arm(1, 0);
    void *p = malloc(16);
    failalloc_arm(0, 0);
    EXPECT_EQ(p, nullptr) << "the failing allocator is linked but not in effect";
    free(p);
    return p == nullptr;
}

TEST(AllocFail, EveryFailedAllocationGivesNullAndLeavesNothingBehind) {
    if (!failalloc_arm) GTEST_SKIP() << "built without the failing allocator";
    ASSERT_TRUE(shim_works());
    ASSERT_NE(picture(), nullptr);
    for (const Maker &m : makers) {
        // Once made in full first, so that lazily built tables exist already.
        m.destroy(m.make());
        unsigned long k = 1;
        for (; k < 10000; k++) {
            long before = in_use();
            failalloc_arm(k, 0);
            void *made = m.make();
            unsigned long failed = failalloc_failures();
            failalloc_arm(0, 0);
            if (!failed) {
                EXPECT_NE(made, nullptr) << m.name;
                if (made) m.destroy(made);
                break;
            }
            EXPECT_EQ(made, nullptr) << m.name << " with allocation " << k << " failing";
            if (made) m.destroy(made);
            EXPECT_EQ(in_use(), before) << m.name << " leaks when allocation " << k << " fails";
        }
        EXPECT_LT(k, 10000u) << m.name;
    }
}

// With every allocation failing, copies, texts and growth give their neutral
// values and leave the records as they were.
TEST(AllocFail, OperationsThatAllocateGiveNeutralValuesWhenAllocationFails) {
    if (!failalloc_arm) GTEST_SKIP() << "built without the failing allocator";
    ASSERT_TRUE(shim_works());
    SAMPLE *s = sample_new();
    for (int i = 0; i < 40; i++) sample_push(s, i);
    ARRAY *a = array_new();
    LIST *l = list_new();
    int32_t v = 7;
    array_push(a, &v);
    array_push(a, &v);
    list_push(l, &v);
    list_push(l, &v);
    failalloc_arm(1, 1);
    SAMPLE *copy = sample_dup(s);
    char *text = sample_to_text(s);
    sample_push(s, 1);  // 40 of 64 in use: no allocation
    sample_resample(s, 80);
    sample_rotate_left(s, 3);
    array_push(a, &v);  // full: needs to grow
    void *popped = array_pop(a);
    list_push(l, &v);  // full: needs to grow
    IMG *turned = img_rotate(picture(), 3);
    char *img_text = img_to_text(picture());
    failalloc_arm(0, 0);
    EXPECT_EQ(copy, nullptr);
    EXPECT_EQ(text, nullptr);
    EXPECT_EQ(s->count, 41);
    EXPECT_EQ(sample_get(s, 3), 3);
    EXPECT_EQ(a->count, 2);
    EXPECT_EQ(popped, nullptr);
    EXPECT_EQ(l->count, 2);
    EXPECT_EQ(turned, nullptr);
    EXPECT_EQ(img_text, nullptr);
    sample_del(&s);
    array_del(&a);
    list_del(&l);
}

// ---- Decoders --------------------------------------------------------------------

static std::string temp_file(const std::string &bytes) {
    char path[] = "/tmp/test_alloc_fail_XXXXXX";
    int fd = mkstemp(path);
    if (fd >= 0) {
        if (write(fd, bytes.data(), bytes.size()) != (ssize_t)bytes.size()) path[0] = 0;
        close(fd);
    }
    return path;
}

static std::string le32(uint32_t v) {
    return std::string{(char)v, (char)(v >> 8), (char)(v >> 16), (char)(v >> 24)};
}

// Inputs that announce far more values than they carry: no decoder asks for
// more memory than the input could fill (a few kilobytes here), whatever it
// gives back.
TEST(AllocFail, DecodersNeverAllocateForSizesTheirInputCannotHold) {
    if (!failalloc_arm) GTEST_SKIP() << "built without the failing allocator";
    ASSERT_TRUE(shim_works());
    std::string wav =
        "RIFF" + le32(0xFFFFFFF0u) + "WAVEfmt " + le32(16) +
        std::string("\x01\x00\x01\x00\x44\xAC\x00\x00\x88\x58\x01\x00\x02\x00\x10\x00", 16) +
        "data" + le32(0xFFFFFFF0u) + std::string(8, '\x11');
    std::string wav_path = temp_file(wav),
                sam_path = temp_file("SAM\nbinary\n2000000000\n16\n\x01\x02");
    std::string wav_name = wav_path + ".wav", sam_name = sam_path + ".sam";
    ASSERT_EQ(rename(wav_path.c_str(), wav_name.c_str()), 0);
    ASSERT_EQ(rename(sam_path.c_str(), sam_name.c_str()), 0);
    static const char pnm[] = "P6\n60000 30000\n255\nabcdef";
    std::vector<std::pair<const char *, std::function<void()>>> calls = {
        {"img_from_pnm", [] { Own<img_del> i(img_from_pnm(pnm, sizeof pnm - 1)); }},
        {"bytemap_from_pnm", [] { Own<bytemap_del> m(bytemap_from_pnm(pnm, sizeof pnm - 1)); }},
        {"img_from_text",
         [] { Own<img_del> i(img_from_text("IMG{\nP3\n40000 40000\n255\n1 2 3\n}\n")); }},
        {"sample_from_text",
         [] { Own<sample_del> s(sample_from_text("SAMPLE { 2000000000\n1\n2\n}\n")); }},
        {"sam_load wav",
         [&] {
             SAM *s = sam_new();
             sam_set_name(s, wav_name.c_str());
             sam_load(s);
             sam_del(&s);
         }},
        {"sam_load sam",
         [&] {
             SAM *s = sam_new();
             sam_set_name(s, sam_name.c_str());
             sam_load(s);
             sam_del(&s);
         }},
    };
    for (auto &[name, call] : calls) {
        failalloc_arm(1UL << 60, 0);  // counts without failing
        call();
        EXPECT_LT(failalloc_largest(), 65536u) << name;
    }
    failalloc_arm(0, 0);
    remove(wav_name.c_str());
    remove(sam_name.c_str());
}

// ---- The demo's start-up ----------------------------------------------------------

// Allocation calls demo_start makes in a headless run, counted in a child
// process (the start-up builds process-wide globals only once).
static unsigned long start_up_allocations() {
    int fds[2];
    if (pipe(fds) != 0) return 0;
    pid_t child = fork();
    if (child == 0) {
        CLI cli{};
        cli.headless = 1;
        backend_start(&cli);
        failalloc_arm(1UL << 60, 0);  // counts from here without failing
        unsigned long before = failalloc_count();
        demo_start();
        unsigned long made = failalloc_count() - before;
        if (write(fds[1], &made, sizeof made) != (ssize_t)sizeof made) _exit(1);
        _exit(0);
    }
    unsigned long made = 0;
    if (read(fds[0], &made, sizeof made) != (ssize_t)sizeof made) made = 0;
    close(fds[0]);
    close(fds[1]);
    waitpid(child, nullptr, 0);
    return made;
}

// The frame timer is the last thing demo_start makes; without it `--frames`
// would never end a run, so its failure stops the program with status 6.
TEST(AllocFailDeathTest, AFailedFrameTimerEndsTheRunWithStatusFive) {
    if (!failalloc_arm) GTEST_SKIP() << "built without the failing allocator";
    ASSERT_TRUE(shim_works());
    unsigned long n = start_up_allocations();
    ASSERT_GT(n, 100u);
    EXPECT_EXIT(
        {
            CLI cli{};
            cli.headless = 1;
            backend_start(&cli);
            failalloc_arm(n, 0);
            demo_start();
            _exit(0);
        },
        testing::ExitedWithCode(6), "rivo7315: cannot make the frame timer \\(out of memory\\)");
}
