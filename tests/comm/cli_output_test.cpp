#include "cli/poll_rounds.h"
#include "cli/printable_text.h"

#include <gtest/gtest.h>

namespace getkelo::cli {
namespace {

TEST(CliOutput, DeviceTextsStayOnOneLine) {
    const struct {
        std::string text;
        std::string shown;
    } cases[] = {
        {"ln/min", "ln/min"},
        {"N2\n1\t24010009", "N2\\n1\\t24010009"}, // would forge a second device line
        {"a\rb\x1b[2Jc\x7f", "a\\rb\\x1B[2Jc\\x7F"},
        {"C:\\x0A", "C:\\\\x0A"},                        // a backslash cannot fake an escape
        {"\xE2\x80\xB0 \xC2\x81", "\xE2\x80\xB0 \\x81"}, // per mille stays, C1 control is escaped
    };
    for (const auto& c : cases)
        EXPECT_EQ(printableText(c.text), c.shown) << c.shown;
}

TEST(CliOutput, PollSkipsTheRoundsItMissed) {
    const struct {
        int64_t previous, interval, now, next;
    } cases[] = {
        {0, 1000, 400, 1000},  // ahead: wait for it
        {0, 1000, 1000, 1000}, // on time
        {0, 1000, 1300, 1000}, // a little late: at once, on the grid
        {0, 1000, 5300, 5000}, // an outage: rounds 1000..4000 are skipped
        {0, 0, 5300, 5300},    // no interval: back to back
    };
    for (const auto& c : cases)
        EXPECT_EQ(nextRoundStart(c.previous, c.interval, c.now), c.next) << c.now;
}

} // namespace
} // namespace getkelo::cli
