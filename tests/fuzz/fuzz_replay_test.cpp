// Every harness's seed corpus and every input that ever found a fault, run as plain tests:
// a regression fails here without a fuzzer.
#include "harnesses.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace fs = std::filesystem;
using namespace getkelo::fuzz;

namespace {

using Harness = int (*)(const uint8_t*, size_t);

// Runs the harness on each file of corpus/<name> and findings/<name>; returns the count.
size_t replay(const std::string& name, Harness harness) {
    size_t runs = 0;
    for (const char* kind : {"corpus", "findings"}) {
        const fs::path dir = fs::path(GETKELO_FUZZ_DIR) / kind / name;
        if (!fs::is_directory(dir)) continue;
        for (const auto& entry : fs::directory_iterator(dir)) {
            if (!entry.is_regular_file()) continue;
            std::ifstream in(entry.path(), std::ios::binary);
            const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                             std::istreambuf_iterator<char>());
            SCOPED_TRACE(entry.path().string());
            EXPECT_EQ(harness(bytes.data(), bytes.size()), 0);
            ++runs;
        }
    }
    return runs;
}

TEST(FuzzReplay, RtuAnswerPath) {
    EXPECT_GT(replay("rtu_answer", fuzzRtuAnswer), 0u);
}

TEST(FuzzReplay, SettingsFileAgainstItsModel) {
    EXPECT_GT(replay("ini_file", fuzzIniFile), 0u);
}

TEST(FuzzReplay, SimulatorFramerAndBus) {
    EXPECT_GT(replay("sim_bus", fuzzSimBus), 0u);
}

} // namespace
