// The framework pieces: reporters print exactly their module's message when
// the built-in switch is on, and the program carries every identity record.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "audio/music.h"
#include "host/fps.h"
#include "host/int.h"
#include "imaging/img.h"
#include "tests/test_support.h"
#include "text/cursor.h"
#include "vector/list.h"
#include "vector/vec2d.h"

TEST(Framework, OnlyListVec2dAndIntPrint) {
    EXPECT_EQ(printed(list_error), "LIST error\n");
    EXPECT_EQ(printed(vec2d_error), "VEC2D error\n");
    EXPECT_EQ(printed(int_error), "INT: ERROR.\n");
    EXPECT_EQ(printed(img_error), "");
    EXPECT_EQ(printed(music_error), "");
    EXPECT_EQ(printed(cursorx_error), "");
    EXPECT_EQ(printed(fps_error), "");
}

static std::string program_bytes() {
    std::ifstream in(RIVO_PROGRAM, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Each identity field is its own NUL-terminated string inside the program (what
// precedes it may be any other data the linker placed there).
static bool has_string(const std::string &bytes, const std::string &s) {
    std::string needle = s;
    needle.push_back('\0');
    return bytes.find(needle) != std::string::npos;
}

TEST(Framework, ProgramCarriesEveryIdentityRecord) {
    std::string bytes = program_bytes();
    ASSERT_FALSE(bytes.empty());
    const char *names[] = {
        "ARCHPATH", "ARRAY   ", "BACKMOVE", "RIVO7315", "BYTEMAP ", "CURSOR  ", "FILL    ",
        "FLASHPIX", "FONT    ", "FPS     ", "HELIX   ", "IMG     ", "IMGFX   ", "INT     ",
        "KBD     ", "LFONT   ", "LFRAME  ", "LIST    ", "LRADIAL ", "LRAIN  ", "LSCRLXYZ ",
        "LSCROLL ", "LSTAR   ", "MUSIC   ", "OBJ2D   ", "RANDOM  ", "RASTER  ", "RGB888  ",
        "SAM     ", "SAMDRAW ", "SAMPLE  ", "SCROLL  ", "SEG2D   ", "SINELINE", "SINESCAN",
        "SOUND   ", "VEC2D   ", "WINDPY  ", "WINKBD  ", "WINMAIN ", "WINPTR  ", "WINSND  ",
        "WORDZOOM", "CURSORX", "20090805", "OVK", "Ostrevik", "C       ", "WINDOWS ",
        "CODE    ", "PROGRAM ", "20131015", "20140515", "20140823",
    };
    for (const char *n : names) EXPECT_TRUE(has_string(bytes, n)) << "missing \"" << n << "\"";
}
