// Every GoogleTest binary starts here: local time is UTC so date tests do not depend on the
// machine, and the build folder is known to tests that start the programs.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

int main(int argc, char** argv) {
    setenv("TZ", "UTC", 1);
    tzset();
#ifdef GETKELO_BUILD_DIR
    setenv("GETKELO_BUILD_DIR", GETKELO_BUILD_DIR, 0);
#endif
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
