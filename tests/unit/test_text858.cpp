#include "text858.h"

#include <gtest/gtest.h>

#include <string_view>

namespace {

using namespace rt::literals;

// Converted when compiled: these hold before any test runs.
static_assert(std::string_view("Grüße, 5 €"_cp858) == "Gr\x81\xe1" "e, 5 \xd5");
static_assert(std::string_view("ÄÖÜäöüß"_cp858) == "\x8e\x99\x9a\x84\x94\x81\xe1");
static_assert(std::string_view("plain ASCII ~"_cp858) == "plain ASCII ~");
static_assert(std::string_view(""_cp858).empty());

TEST(Text858, EveryCharacterOfTheCodePageRoundTrips) {
  // The literal's table is the one the runtime converts with at run time.
  EXPECT_EQ(rt::Cp858ToWide("Schließen: ½ °C ▒"_cp858), L"Schließen: ½ °C ▒");
}

}  // namespace
