// The display's own logic: blur, message text and timing, full-screen
// placement, the staging image without a window, and message boxes.
#include <gtest/gtest.h>
#include <cstring>
#include <string>
#include <vector>
#include "host/video/display.h"
#include "host/settings/options.h"

namespace {

uint32_t fake_now;
uint32_t fake_ticks() { return fake_now; }

constexpr uint16_t white565 = 0xFFFF;
constexpr uint16_t half_white565 = 0x7BEF;  // 15, 31, 15

struct DisplayTest : ::testing::Test {
    void SetUp() override {
        headless = 1;
        display_ticks = fake_ticks;
        fake_now = 1000;
        msg_visible = 0;
        msg_text[0] = 0;
        src_rect = {0, 0, 320, 224};
    }
    void TearDown() override {
        release_video();
        headless = 0;
    }
};

TEST_F(DisplayTest, BlurAveragesEachPixelWithItsLeftNeighbourPerChannel) {
    // A white first pixel is averaged with black; a lone white pixel spreads
    // right; red next to blue mixes without carrying into the other field.
    uint16_t row[6] = {white565, 0, white565, 0, 0xF800, 0x001F};
    blur_filter(row, 6, 1, 0);
    EXPECT_EQ(row[0], half_white565);
    EXPECT_EQ(row[1], half_white565);
    EXPECT_EQ(row[2], half_white565);
    EXPECT_EQ(row[3], half_white565);
    EXPECT_EQ(row[4], 0x7800);           // red 31 over black: 15
    EXPECT_EQ(row[5], 0x7800 | 0x000F);  // red 15, blue 15

    uint16_t green[3] = {0x07E0, 0x07E0, 0x07E0};
    blur_filter(green, 3, 1, 0);
    EXPECT_EQ(green[0], 0x03E0);  // green 31 of 63
    EXPECT_EQ(green[1], 0x07E0);
    EXPECT_EQ(green[2], 0x07E0);
}

TEST_F(DisplayTest, BlurStepsOverTheSkipAndStartsEachRowFromBlack) {
    // Two rows of four pixels, four pixels of gap after each (8 bytes).
    std::vector<uint16_t> img(16, 0x1234);
    for (int x = 0; x < 4; x++) img[x] = img[8 + x] = white565;
    blur_filter(img.data(), 4, 2, 8);
    EXPECT_EQ(img[0], half_white565);
    EXPECT_EQ(img[3], white565);
    for (int x = 4; x < 8; x++) EXPECT_EQ(img[x], 0x1234) << x;
    EXPECT_EQ(img[8], half_white565) << "second row must not take the first row's last pixel";
    EXPECT_EQ(img[11], white565);
    for (int x = 12; x < 16; x++) EXPECT_EQ(img[x], 0x1234) << x;
}

// Bounding box of the pixels of one colour in a picture.
struct box {
    int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1, count = 0;
};
box find(const std::vector<uint16_t>& pic, int width, uint16_t colour) {
    box b;
    for (size_t i = 0; i < pic.size(); i++) {
        if (pic[i] != colour) continue;
        int x = int(i) % width, y = int(i) / width;
        b.left = std::min(b.left, x);
        b.top = std::min(b.top, y);
        b.right = std::max(b.right, x);
        b.bottom = std::max(b.bottom, y);
        b.count++;
    }
    return b;
}

TEST_F(DisplayTest, MessageSitsOnADarkBandOverABrightPicture) {
    const int w = 320, h = 224;
    std::vector<uint16_t> pic(size_t(w) * h, white565);
    paint_msg_video("Reset");
    update_msg_video(pic.data(), w * 2, w, h);
    // A quarter of white around the text; the text itself white; the rest
    // of the picture as it was.
    const box band = find(pic, w, 0x39E7);
    ASSERT_GT(band.count, 100);
    EXPECT_EQ(band.left, 32);
    EXPECT_EQ(band.top, 204);
    EXPECT_LE(band.bottom, 219);
    EXPECT_LT(band.right, 35 + 5 * 9 + 3);
    int white_inside = 0, changed_outside = 0;
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++) {
            const bool inside = x >= band.left && x <= band.right && y >= band.top && y <= band.bottom;
            const uint16_t p = pic[size_t(y) * w + x];
            if (inside) white_inside += p == white565;
            else changed_outside += p != white565;
        }
    EXPECT_GT(white_inside, 20) << "the text";
    EXPECT_EQ(changed_outside, 0);
}

// The window's picture area and the full screen alike.
TEST_F(DisplayTest, PictureIsPlacedAsTheStretchSays) {
    const struct {
        int mode, w, h;
        rect expected;
    } cases[] = {
        {stretch_integer, 320, 224, {0, 0, 320, 224}},
        {stretch_integer, 640, 448, {0, 0, 640, 448}},
        {stretch_integer, 700, 501, {30, 26, 670, 474}},
        {stretch_integer, 1000, 500, {180, 26, 820, 474}},  // the height decides
        {stretch_integer, 300, 200, {7, 0, 292, 200}},      // less than one: shrunk in shape
        {stretch_integer, 1280, 1024, {0, 64, 1280, 960}},
        // 4:3 keeps the monitor's shape: 1280 x 1024 gives 1280 x 960.
        {stretch_aspect, 1280, 1024, {0, 32, 1280, 992}},
        {stretch_aspect, 1920, 1080, {240, 0, 1680, 1080}},
        {stretch_aspect, 320, 224, {11, 0, 309, 224}},
        {stretch_fill, 700, 501, {0, 0, 700, 501}},
    };
    for (const auto& c : cases) {
        set_stretch(c.mode);
        const rect r = picture_rect(c.w, c.h);
        EXPECT_EQ(r.left, c.expected.left) << c.mode << ": " << c.w << "x" << c.h;
        EXPECT_EQ(r.top, c.expected.top) << c.mode << ": " << c.w << "x" << c.h;
        EXPECT_EQ(r.right, c.expected.right) << c.mode << ": " << c.w << "x" << c.h;
        EXPECT_EQ(r.bottom, c.expected.bottom) << c.mode << ": " << c.w << "x" << c.h;
    }
    set_stretch(stretch_integer);
}

TEST_F(DisplayTest, MessageIsDrawnWhiteNearTheBottomLeftForAboutOneSecond) {
    const int w = 512, h = 224;
    std::vector<uint16_t> pic(size_t(w) * h, 0);
    message_printf("Sound rate set to %d", 22050);
    EXPECT_STREQ(msg_text, "Sound rate set to 22050");
    EXPECT_EQ(msg_visible, 1);

    fake_now += 500;
    update_msg_video(pic.data(), w * 2, w, h);
    box b = find(pic, w, white565);
    ASSERT_GT(b.count, 50);
    EXPECT_GE(b.left, 35);
    EXPECT_LT(b.left, 40);
    EXPECT_GE(b.top, 205);
    EXPECT_LT(b.bottom, 224);
    EXPECT_LT(b.right, 35 + 23 * 9) << "23 characters of a narrow font";
    // Over black the band stays black: nothing but white and black.
    EXPECT_EQ(find(pic, w, 0).count + b.count, w * h);
    EXPECT_EQ(msg_visible, 1);

    fake_now += 500;  // exactly 1000 ms: not yet gone
    update_msg_video(pic.data(), w * 2, w, h);
    EXPECT_EQ(msg_visible, 1);

    std::fill(pic.begin(), pic.end(), 0);
    fake_now += 1;  // the first frame past the second still shows it
    update_msg_video(pic.data(), w * 2, w, h);
    EXPECT_EQ(find(pic, w, white565).count, b.count);
    EXPECT_EQ(msg_visible, 0);

    std::fill(pic.begin(), pic.end(), 0);
    update_msg_video(pic.data(), w * 2, w, h);
    EXPECT_EQ(find(pic, w, white565).count, 0);
}

TEST_F(DisplayTest, MessageWithoutAPictureStillTimesOutAndWaitsForAFrame) {
    paint_msg_video("Reset");
    fake_now += 5000;  // nothing presented: it does not expire by itself
    EXPECT_EQ(msg_visible, 1);
    update_msg_video(nullptr, 0, 0, 0);
    EXPECT_EQ(msg_visible, 0);
}

TEST_F(DisplayTest, LongMessagesAreCutAndTextIsClippedToThePicture) {
    std::string long_text(400, 'W');
    message_printf("%s", long_text.c_str());
    EXPECT_EQ(std::strlen(msg_text), 255u);

    // A small picture with guard lines above and below: the text runs past
    // its right and bottom edges and must not touch the guards.
    const int w = 40, h = 12, guard = 4;
    std::vector<uint16_t> mem(size_t(w) * (h + 2 * guard), 0x5555);
    uint16_t* pic = mem.data() + w * guard;
    for (int i = 0; i < w * h; i++) pic[i] = 0;
    draw_text(pic, w * 2, w, h, 30, 4, "WWWWWWWW", white565);
    for (int i = 0; i < w * guard; i++) {
        ASSERT_EQ(mem[i], 0x5555);
        ASSERT_EQ(mem[size_t(w) * (h + guard) + i], 0x5555);
    }
    int drawn = 0;
    for (int i = 0; i < w * h; i++) drawn += pic[i] == white565;
    EXPECT_GT(drawn, 0);
    draw_text(pic, w * 2, w, h, -500, -500, "far away", white565);
    draw_text(nullptr, 0, 0, 0, 0, 0, "no picture", white565);
}

TEST_F(DisplayTest, WithoutAWindowTheStagingImageIsStillFilledAndBlurred) {
    ASSERT_EQ(init_video(0), 1);
    ASSERT_NE(staged_picture, nullptr);
    EXPECT_EQ(surface_pitch, 1024);
    EXPECT_EQ(host_format_555, 0);

    std::vector<uint16_t> pixels(320 * 224, 0);
    for (int y = 0; y < 224; y++) pixels[size_t(y) * 320 + 10] = white565;
    const core_frame frame = {pixels.data(), 320, 256, 224, nullptr, 0};
    blur = 0;
    present_frame(frame);
    EXPECT_EQ(staged_picture[10], white565);
    EXPECT_EQ(staged_picture[11], 0);
    EXPECT_EQ(staged_picture[223 * 512 + 10], white565);
    EXPECT_EQ(src_rect.right, 256) << "the frame's own width";

    blur = 1;
    present_frame(frame);
    EXPECT_EQ(staged_picture[10], half_white565);
    EXPECT_EQ(staged_picture[11], half_white565);
    blur = 0;

    release_video();
    EXPECT_EQ(staged_picture, nullptr);
    show_last_frame();  // no staging image: nothing to convert into
}

TEST_F(DisplayTest, MessageBoxesWithoutAWindowGoToStandardError) {
    int before = box_count;
    ::testing::internal::CaptureStderr();
    msg_box("Error loading driver", "Error loading");
    std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(err, "Error loading: Error loading driver\n");
    EXPECT_EQ(box_count, before + 1);

    ASSERT_EQ(init_video(0), 1);
    ::testing::internal::CaptureStderr();
    video_error("no renderer");
    err = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("SC video error: "), std::string::npos) << err;
    EXPECT_NE(err.find("no renderer"), std::string::npos) << err;
    EXPECT_EQ(staged_picture, nullptr) << "a display error releases the display";
}

}  // namespace
