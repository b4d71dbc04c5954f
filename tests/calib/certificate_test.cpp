#include "base/date_time.h"
#include "base/ini_file.h"
#include "calib/certificate.h"
#include "calib/measured_steps.h"

#include <cmath>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <unistd.h>

namespace getkelo {
namespace {

CertificatePoints points() { // device 0.5 % high near the top, 1 % at the bottom
    CertificatePoints p;
    p.reference = {20, 10, 5};
    p.device = {20.1, 10.05, 5.05};
    p.refUsed = {"U1", "U2", "U2"};
    p.fullScale = 20;
    return p;
}

TEST(CertificateResult, NominalPointsSplitTheRangeEvenly) {
    EXPECT_EQ(nominalPercents(4), (std::vector<double>{25, 50, 75, 100}));
    EXPECT_EQ(nominalPercents(5), (std::vector<double>{20, 40, 60, 80, 100}));
    EXPECT_EQ(nominalPercents(0), (std::vector<double>{100}));
}

TEST(CertificateResult, InterpolatesBetweenPointsAndExtrapolatesAtBothEnds) {
    const CertificatePoints p = points();
    // Halfway between the device readings 10.05 and 20.1: halfway between the references.
    CertificateRow r = certificateRow(p, 15.075 / 20);
    EXPECT_NEAR(r.reference, 15, 1e-9);
    EXPECT_EQ(r.refUsed, "U1");
    // Above the top point: a range beyond the highest measured flow.
    CertificatePoints wide = p;
    wide.fullScale = 25;
    r = certificateRow(wide, 1.0);
    EXPECT_NEAR(r.reference, 25 - 0.1, 1e-9) << "the top point's offset";
    EXPECT_NEAR(r.deviationMV, 0.1 * 100 / 25, 1e-9);
    EXPECT_NEAR(r.deviationFS, 0.1 * 100 / 25, 1e-9);
    // Below the lowest point: the line through the two lowest points.
    r = certificateRow(p, 2.0 / 20);
    const double slope = (10 - 5) / (10.05 - 5.05);
    EXPECT_NEAR(r.reference, 5 - (5.05 - 2) * slope, 1e-9);
    EXPECT_TRUE(std::isfinite(r.deviationMV));
    // No points at all: the device counts as right.
    CertificatePoints none;
    none.fullScale = 20;
    EXPECT_EQ(certificateRow(none, 0.5).reference, 10);
}

TEST(CertificateResult, LineFormat) {
    EXPECT_EQ(ResultLine(points(), 0.5), "   50%\t9.95\t10\t 0.50%\t 0.25%\t       U2");
}

struct CertificateFile : ::testing::Test {
    std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("getkelo_cert_" + std::to_string(::getpid()));
    std::string file = (dir / "23010003t03.dat").string();
    std::string refs = (dir / "KalibRef.ini").string();
    CertificateInput in;
    void SetUp() override {
        std::filesystem::create_directories(dir);
        std::ofstream(file, std::ios::binary)
            << "[DATA0]\r\nDate=06.12.26\r\nMode=Flow\r\nGas=N2\r\nSetTemp=23\r\n"
               "PressureAmb=1013;1013\r\nRefUsed=U1;U1\r\nFlowRef=20;5\r\nFlowDevice=20.1;5.05\r\n";
        std::ofstream(refs, std::ios::binary)
            << "[Reference_U1]\r\nCERTIFICATE=Molbloc;4711;MB-1;DKD 123\r\n";
        in.serial = "23010003";
        in.typeCode = "GKC3N2A";
        in.gas = "N2";
        in.fullScale = 20;
        in.dataSection = "DATA0";
        in.operatorName = "Prüfer";
    }
    void TearDown() override { std::filesystem::remove_all(dir); }
    std::string contents() {
        std::stringstream ss;
        ss << std::ifstream(file, std::ios::binary).rdbuf();
        return ss.str();
    }
};

TEST_F(CertificateFile, DocumentShowsTheResultTableAndTheReference) {
    Certificate c(file, refs);
    ASSERT_EQ(c.dataSets().size(), 1u);
    const std::string html = c.ErzeugenBtnClick(in, DateTime{2026, 12, 6});
    for (const char* part : {"Calibration report", "Result flow", "<td>   25%</td>",
                             "<td>  100%</td>", "Molbloc", "DKD 123", "Prüfer", "06.12.26"})
        EXPECT_NE(html.find(part), std::string::npos) << part;
    EXPECT_EQ(c.resultLines().size(), 5u);
}

TEST_F(CertificateFile, DocumentWriterAndRestoredCertificatesAreNotRecorded) {
    Certificate c(file, refs);
    c.ErzeugenBtnClick(in, DateTime{2026, 12, 6});
    const std::string before = contents();
    EXPECT_EQ(c.recordPrinted("Acrobat Distiller", false, DateTime{2026, 12, 6}), "");
    EXPECT_EQ(c.recordPrinted("PDF", false, DateTime{2026, 12, 6}), "");
    EXPECT_EQ(c.recordPrinted("HP 2100", true, DateTime{2026, 12, 6}), "");
    EXPECT_EQ(contents(), before);
    ASSERT_EQ(c.recordPrinted("HP 2100", false, DateTime{2026, 12, 6, 10, 0, 0}), "CERTIFICATE0");
    IniFile f(file);
    EXPECT_EQ(f.readString("CERTIFICATE0", "NominalPoints"), "0;25;50;75;100");
    EXPECT_EQ(f.readString("CERTIFICATE0", "Reference_1"), "Molbloc;4711;MB-1;DKD 123");
    CertificateInput back;
    ASSERT_TRUE(c.LadenClick("CERTIFICATE0", back));
    EXPECT_EQ(back.dataSection, "DATA0");
    EXPECT_EQ(back.operatorName, "Prüfer");
    EXPECT_EQ(back.fullScale, 20);
    EXPECT_EQ(back.points, 4);
    EXPECT_EQ(c.storedCertificates().size(), 1u);
}

} // namespace
} // namespace getkelo
