// Constructors (those that make more than one block, and the one-block SAM
// and SAMDRAW records), parsers and copies under a failing allocator (tests/failalloc,
// linked into this program): for every k, the k-th allocation of the call is
// made to fail. The call must then give its neutral value (null) and leave
// no memory behind; once k passes the call's last allocation it succeeds.
// Sanitized builds go without the shim (their allocator would hide it): skipped.
#include <gtest/gtest.h>

#include <unistd.h>

#include <functional>
#include <string>
#include <tuple>

#include "audio/music.h"
#include "audio/sam.h"
#include "audio/samdraw.h"
#include "audio/sample.h"
#include "effects/archpath.h"
#include "effects/lrain.h"
#include "effects/lstar.h"
#include "effects/raster.h"
#include "demo/demo.h"
#include "platform/backend.h"
#include "app/cli.h"
#include "imaging/bytemap.h"
#include "imaging/img.h"
#include "text/lscrlxyz.h"
#include "text/lscroll.h"
#include "text/scroll.h"
#include "text/sineline.h"
#include "text/sinescan.h"
#include "vector/array.h"
#include "vector/lfont.h"
#include "vector/lframe.h"
#include "vector/list.h"
#include "vector/obj2d.h"
#include "tests/test_support.h"

extern "C" void failalloc_arm(unsigned long k, int sticky) __attribute__((weak));
extern "C" unsigned long failalloc_failures(void) __attribute__((weak));
extern "C" long failalloc_live_bytes(void) __attribute__((weak));
extern "C" unsigned long failalloc_count(void) __attribute__((weak));
extern "C" size_t failalloc_largest(void) __attribute__((weak));

struct Maker {
    const char *name;
    void *(*make)();
    void (*destroy)(void *);
};

// One table row: the call as its name, the call, and its destroy call.
#define MAKER(T, call, del) \
    Maker { #call, []() -> void * { return (void *)(call); }, [](void *p) { T *h = (T *)p; del(&h); } }

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
    MAKER(LFONT, lfont_new(), lfont_del),
    MAKER(LFRAME, lframe_new(), lframe_del),
    MAKER(SCROLL, scroll_new(), scroll_del),
    MAKER(LSCROLL, lscroll_new(), lscroll_del),
    MAKER(LSCRLXYZ, lscrlxyz_new(), lscrlxyz_del),
    MAKER(SINELINE, sineline_new(), sineline_del),
    MAKER(SINESCAN, sinescan_new(), sinescan_del),
    MAKER(RASTER, raster_new(), raster_del),
    MAKER(LSTAR, lstar_new(), lstar_del),
    MAKER(LRAIN, lrain_new(), lrain_del),
    MAKER(ARCHPATH, archpath_new(), archpath_del),
    MAKER(MUSIC, music_new(), music_del),
    MAKER(SAM, sam_new(), sam_del),
    MAKER(SAMDRAW, samdraw_new(), samdraw_del),
};

// Skips without the shim; fails when it is linked but does not fail the call it is armed for.
class AllocFail : public testing::Test {
protected:
    void SetUp() override {
        if (!failalloc_arm) GTEST_SKIP() << "built without the failing allocator";
        failalloc_arm(1, 0);
        void *p = malloc(16);
        failalloc_arm(0, 0);
        free(p);
        ASSERT_EQ(p, nullptr) << "the failing allocator is linked but not in effect";
        ASSERT_NE(picture(), nullptr);
    }
};

TEST_F(AllocFail, EveryFailedAllocationGivesNullAndLeavesNothingBehind) {
    for (const Maker &m : makers) {
        // Once made in full first, so that lazily built tables exist already.
        m.destroy(m.make());
        unsigned long k = 1;
        for (; k < 10000; k++) {
            long before = failalloc_live_bytes();
            failalloc_arm(k, 0);
            void *made = m.make();
            unsigned long failed = failalloc_failures();
            failalloc_arm(0, 0);
            if (made) m.destroy(made);
            if (!failed) {
                EXPECT_NE(made, nullptr) << m.name;
                break;
            }
            EXPECT_EQ(made, nullptr) << m.name << " with allocation " << k << " failing";
            EXPECT_EQ(failalloc_live_bytes(), before) << m.name << " leaks when allocation " << k << " fails";
        }
        EXPECT_LT(k, 10000u) << m.name;
    }
}

// With every allocation failing, copies, texts and growth give their neutral
// values and leave the records as they were.
TEST_F(AllocFail, OperationsThatAllocateGiveNeutralValuesWhenAllocationFails) {
    Own<sample_del> s(sample_new());
    Own<array_del> a(array_new());
    Own<list_del> l(list_new());
    int32_t v = 7;
    for (int i = 0; i < 40; i++) sample_push(s, i);
    for (int i = 0; i < 2; i++) array_push(a, &v), list_push(l, &v);
    failalloc_arm(1, 1);
    const void *made[] = {sample_dup(s), sample_to_text(s), img_rotate(picture(), 3), img_to_text(picture())};
    sample_push(s, 1);  // 40 of 64 in use: no allocation
    sample_resample(s, 80);
    sample_rotate_left(s, 3);
    array_push(a, &v);  // full: needs to grow
    const void *popped = array_pop(a);
    list_push(l, &v);  // full: needs to grow
    failalloc_arm(0, 0);
    for (const void *p : made) EXPECT_EQ(p, nullptr);
    EXPECT_EQ(popped, nullptr);
    EXPECT_EQ(std::make_tuple(s->count, sample_get(s, 3), a->count, l->count), std::make_tuple(41, 3, 2, 2));
}

// Inputs that announce far more values than they carry: no decoder asks for
// more memory than the input could fill (a few kilobytes here), whatever it
// gives back.
TEST_F(AllocFail, DecodersNeverAllocateForSizesTheirInputCannotHold) {
    TempDir dir("test_alloc_fail");
    auto le32 = [](uint32_t v) { return std::string{(char)v, (char)(v >> 8), (char)(v >> 16), (char)(v >> 24)}; };
    write_file(dir.file("big.wav"), "RIFF" + le32(0xFFFFFFF0u) + "WAVEfmt " + le32(16) +
                                        std::string("\x01\x00\x01\x00\x44\xAC\x00\x00\x88\x58\x01\x00\x02\x00\x10\x00", 16) +
                                        "data" + le32(0xFFFFFFF0u) + std::string(8, '\x11'));
    write_file(dir.file("big.sam"), "SAM\nbinary\n2000000000\n16\n\x01\x02");
    static const char pnm[] = "P6\n60000 30000\n255\nabcdef";
    auto load = [](const std::string &path) {
        Own<sam_del> s(sam_new());
        sam_set_name(s, path.c_str());
        sam_load(s);
    };
    const std::pair<const char *, std::function<void()>> calls[] = {
        {"img_from_pnm", [] { Own<img_del> i(img_from_pnm(pnm, sizeof pnm - 1)); }},
        {"bytemap_from_pnm", [] { Own<bytemap_del> m(bytemap_from_pnm(pnm, sizeof pnm - 1)); }},
        {"img_from_text", [] { Own<img_del> i(img_from_text("IMG{\nP3\n40000 40000\n255\n1 2 3\n}\n")); }},
        {"sample_from_text", [] { Own<sample_del> s(sample_from_text("SAMPLE { 2000000000\n1\n2\n}\n")); }},
        {"sam_load wav", [&] { load(dir.file("big.wav")); }},
        {"sam_load sam", [&] { load(dir.file("big.sam")); }},
    };
    for (auto &[name, call] : calls) {
        failalloc_arm(1UL << 60, 0);  // counts without failing
        call();
        EXPECT_LT(failalloc_largest(), 65536u) << name;
    }
    failalloc_arm(0, 0);
}

// The frame timer is the last thing demo_start makes (its allocation calls are
// counted in a first child, as the start-up builds process-wide globals once);
// without it `--frames` would never end a run, so its failure stops the
// program with status 6.
using AllocFailDeathTest = AllocFail;

TEST_F(AllocFailDeathTest, AFailedFrameTimerEndsTheRunWithStatusSix) {
    auto start = [](unsigned long fail) {
        RUN_OPTIONS cli{};
        cli.headless = 1;
        backend_start(&cli);
        failalloc_arm(fail, 0);
        unsigned long before = failalloc_count();
        demo_start();
        return failalloc_count() - before;
    };
    TempDir dir("test_alloc_fail");
    EXPECT_EXIT({ write_file(dir.file("n"), std::to_string(start(1UL << 60))); _exit(0); }, testing::ExitedWithCode(0), "");
    unsigned long n = std::stoul("0" + read_file(dir.file("n")));
    ASSERT_GT(n, 100u);
    EXPECT_EXIT({ start(n); _exit(0); }, testing::ExitedWithCode(6), "rivo7315: cannot make the frame timer \\(out of memory\\)");
}
