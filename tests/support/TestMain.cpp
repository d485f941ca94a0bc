// Test main for everything that needs the toolkit: headless, seams on.
#include <gtest/gtest.h>

#include "framework/TestSeams.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  TestSeams::InitHeadless();
  return RUN_ALL_TESTS();
}
