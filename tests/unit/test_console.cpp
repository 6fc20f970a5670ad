#include <gtest/gtest.h>

#include "../threads/console_stress.h"

TEST(Console, OutputFromManyThreadsTouchesCellsOnlyOnTheirThread) {
  const consolestress::Result r = consolestress::Run(10, 3);
  EXPECT_EQ(r.strays, 0);
  EXPECT_GT(r.arrived, 0u);
}
