#include "base/number_format.h"
#include "calib/calibration_run.h"
#include "calib/certificate.h"
#include "calib/verification.h"
#include "calib_files_fixture.h"

namespace getkelo::sim::test {
namespace {

using Verify = CalibFiles;

TEST_F(Verify, DeviationsAgainstTheSetPointsAndTemperatureRanges) {
    const std::string file = path("1t03.dat");
    write(file, "[DATA0]\r\nMode=Flow\r\nGas=N2\r\nPressureIn=1\r\nPressureOut=1\r\n"
                "PressureAmb=1013;1013;1013\r\nTempIn=23;21.5;24.25\r\nTempOut=22;22;19.5\r\n"
                "SetFlow=20;10;0\r\nFlowRef=20;10;0.5\r\nFlowDevice=20.2;9.9;0.6\r\n"
                "SigmaFlowDevice=0.01;0.02\r\n");
    const Verification v = readVerification(file, "DATA0");
    EXPECT_TRUE(v.setFlowStored && v.sigmaStored);
    EXPECT_EQ(v.gas, "N2");
    EXPECT_EQ(v.pressure, "2.01 bar a");
    ASSERT_EQ(v.deviationFS.size(), 3u);
    struct Row {
        double x, fs, sp, sigma;
    };
    // The last set point is 0: its %SP plots 0, its missing sigma counts 0.
    const Row rows[] = {{20, 1, 1, 0.01}, {10, -0.5, -1, 0.02}, {0, 0.5, 0, 0}};
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_DOUBLE_EQ(v.deviationFS[i].x, rows[i].x);
        EXPECT_NEAR(v.deviationFS[i].y, rows[i].fs, 1e-9) << i;
        EXPECT_NEAR(v.deviationSP[i].y, rows[i].sp, 1e-9) << i;
        EXPECT_DOUBLE_EQ(v.sigmaPoints[i].y, rows[i].sigma);
    }
    EXPECT_EQ(verificationPrintLines(v, "tesra Typ03", "1", "1t03.dat, DATA0"),
              (std::vector<std::string>{
                  "Typ: tesra Typ03", "Serial No: 1", "Source: 1t03.dat, DATA0", "Gas: N2",
                  "Pressure: 2.01 bar a", "Temperatur IN min: 21.5°C", "Temperatur IN max: 24.25°C",
                  "Temperatur OUT min: 19.5°C", "Temperatur OUT max: 22°C"}));
}

TEST_F(Verify, RunWithoutSetPointsPlotsAgainstTheReferenceAndZeroFullScaleDividesToZero) {
    const std::string file = path("2t03.dat");
    write(file, "[DATA0]\r\nFlowRef=20;5\r\nFlowDevice=20.4;5.1\r\n"
                "[DATA1]\r\nFlowRef=0;5\r\nFlowDevice=0.1;5.1\r\n[DATA2]\r\nGas=N2\r\n");
    Verification v = readVerification(file, "DATA0");
    EXPECT_FALSE(v.setFlowStored || v.sigmaStored);
    ASSERT_EQ(v.deviationSP.size(), 2u);
    EXPECT_EQ(v.deviationSP[1].x, 5);
    EXPECT_NEAR(v.deviationSP[1].y, 2, 1e-9);
    EXPECT_NEAR(v.deviationFS[1].y, 0.5, 1e-9);
    EXPECT_EQ(v.sigmaPoints[1].y, 0);
    v = readVerification(file, "DATA1"); // the top set point is 0: %FS divides by 0
    EXPECT_EQ(v.deviationFS[0].y, 0);
    EXPECT_EQ(v.deviationFS[1].y, 0);
    EXPECT_TRUE(readVerification(file, "DATA2").deviationFS.empty());
}

TEST_F(Verify, DataFileFollowsTheRunForItsOwnDevice) {
    CalibrationDevice dut;
    dut.serial = "23010003";
    const DataFileRoot root{"/data/", false};
    EXPECT_EQ(verificationDataFile(root, "/moved/23010003t03.dat", dut, "tesra Typ03", "23010003"),
              "/moved/23010003t03.dat");
    EXPECT_EQ(verificationDataFile(root, "/moved/23010003t03.dat", dut, "varon Typ02", "23010003"),
              "/data/varon Typ02/23010003v02.dat");
    EXPECT_EQ(verificationDataFile(root, "/moved/23010003t03.dat", dut, "tesra Typ03", "7"),
              "/data/tesra Typ03/7t03.dat");
}

TEST(CertificatePrinter, TheFirst2100IsPreselectedElseTheCurrentOne) {
    EXPECT_EQ(Certificate::choosePrinter({"Office", "HP LaserJet 2100", "HP 2100 b"}, "Office"),
              "HP LaserJet 2100");
    EXPECT_EQ(Certificate::choosePrinter({"Office", "Lab"}, "Lab"), "Lab");
    EXPECT_EQ(Certificate::choosePrinter({}, ""), "");
}

} // namespace
} // namespace getkelo::sim::test
