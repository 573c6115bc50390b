// The main of every test program: a headless environment unless the caller set one, then GoogleTest.
// Qt's offscreen platform (no display needed), an opener that opens nothing, message boxes to stderr.
#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  setenv("PPR_OPEN_COMMAND", "true", 0);
  setenv("PPR_MESSAGES", "stderr", 0);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
