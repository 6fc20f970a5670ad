// Colours of the converter window as they reach the screen.
#include "valumat_app.h"

#include <gtest/gtest.h>

namespace e2e {
namespace {

constexpr Rgb kPaleGrey{192, 192, 192}, kPink{255, 0, 255}, kGreen{0, 255, 0};
// Text is drawn unsmoothed in exactly its colour; "100" alone gives some 50
// such pixels, so a handful of stray ones cannot pass for text.
constexpr int kTextTolerance = 0;
constexpr long kMinTextPixels = 20;

std::string describe(const ColourHits& h) {
    return std::to_string(h.count) + " pixels";
}

class Look : public testing::Test {
protected:
    void SetUp() override { app = std::make_unique<Valumat>(probe); }
    Probe probe;
    std::unique_ptr<Valumat> app;
};

TEST_F(Look, DrawingAreaIsPaleGreyAroundTheControls) {
    const Rect& da = app->drawingArea.rect;
    auto covered = [&](int x, int y) {
        for (const auto& c : app->controls)
            if (c.hwnd != app->drawingArea.hwnd && c.visible &&
                Rect{c.rect.left - 2, c.rect.top - 2, c.rect.right + 2, c.rect.bottom + 2}.contains(x, y))
                return true;
        return false;
    };
    int sampled = 0;
    std::string mismatch;
    // Polled: the window may still be painting right after it appeared.
    bool grey = waitUntil([&] {
        sampled = 0;
        for (int y = da.top + 3; y < da.bottom - 3; y += 9)
            for (int x = da.left + 3; x < da.right - 3; x += 13) {
                if (covered(x, y)) continue;
                ++sampled;
                Rgb c = probe.pixel(x, y);
                if (!(c == kPaleGrey)) {
                    mismatch = "(" + std::to_string(x) + ", " + std::to_string(y) + ") is " + std::to_string(c.r) +
                               "," + std::to_string(c.g) + "," + std::to_string(c.b);
                    return false;
                }
            }
        return true;
    }, 3s, 300ms);
    EXPECT_TRUE(grey) << mismatch;
    EXPECT_GT(sampled, 20) << "too few free points in the drawing area";
}

TEST_F(Look, RateLabelIsPink) {
    ColourHits hits;
    EXPECT_TRUE(waitUntil([&] {
        return (hits = probe.count(app->rateLabel.rect, kPink, kTextTolerance)).count >= kMinTextPixels;
    })) << describe(hits);
}

TEST_F(Look, DmAmountIsPinkAndEuroAmountGreen) {
    ASSERT_TRUE(app->waitFocus(app->euroField.hwnd));
    ASSERT_TRUE(input::type("100"));
    ASSERT_TRUE(app->waitFields("195,58", "100"));
    ColourHits dm, euro;
    EXPECT_TRUE(waitUntil([&] {
        return (dm = probe.count(app->dmField.rect, kPink, kTextTolerance)).count >= kMinTextPixels;
    })) << describe(dm);
    EXPECT_TRUE(waitUntil([&] {
        return (euro = probe.count(app->euroField.rect, kGreen, kTextTolerance)).count >= kMinTextPixels;
    })) << describe(euro);
}

}  // namespace
}  // namespace e2e
