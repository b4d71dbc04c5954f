#include "comm/descriptor_text.h"
#include "comm/register_catalogue.h"

#include <gtest/gtest.h>

namespace getkelo {
namespace {

TEST(DescriptorText, RegisterNamesAnyCase) {
    struct Case {
        const char* text;
        RegisterDescriptor want;
    };
    const Case cases[] = {
        {"Setpoint", reg::kSetpoint},
        {"controlmode", reg::kControlMode},
        {"SERIALNUMBER", reg::kSerialNumber},
        {"TagName", reg::kTagName},
        {"Messwerteinheit", reg::kSlotFlowUnit},
        {"Typen Code Teil 2", reg::kTypeCode2},
        {"0x0006:float", reg::kSetpoint},
        {"0x00060213", reg::kSetpoint},
    };
    for (const Case& c : cases) {
        RegisterDescriptor d = 0;
        std::string error;
        EXPECT_TRUE(parseDescriptor(c.text, d, error)) << c.text;
        EXPECT_EQ(d, c.want) << c.text;
    }
    RegisterDescriptor d = 0;
    std::string error;
    EXPECT_FALSE(parseDescriptor("Setpoint2", d, error));
    EXPECT_NE(error.find("register name"), std::string::npos) << error;
}

} // namespace
} // namespace getkelo
