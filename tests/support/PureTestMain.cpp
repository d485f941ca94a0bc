// Test main for code that needs no toolkit (pixels, colours, generators,
// effects): the developer log is captured, nothing else is set up.
#include <gtest/gtest.h>

#include "framework/TestSeams.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  TestSeams::CaptureLog(true);
  return RUN_ALL_TESTS();
}
