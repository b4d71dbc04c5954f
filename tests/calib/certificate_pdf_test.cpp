// The certificate of an adjusted device as a PDF: device 3 of the demo bus is adjusted against
// the reference meter, checked in a second run, and its certificate written as a PDF.
#include "base/date_time.h"
#include "calib/calibration_run.h"
#include "calib/certificate.h"
#include "calib/forms/certificate_pdf.h"
#include "calib/lut_adjustment.h"
#include "calib_files_fixture.h"
#include "sim/calibration_model.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFile>
#include <cmath>

namespace getkelo::sim::test {
namespace {

struct CertificatePdf : CalibFiles {
    CalibrationRun run{*link.tesra, link.ui, texts, files};
    LutAdjustment adjust{*link.tesra, link.ui, texts, files};
    RunSettings settings;

    void SetUp() override {
        CalibFiles::SetUp();
        link.demo.clock.setMs(toEpochMs({2026, 12, 6, 10, 0, 0, 0}));
        link.demo.bus.addDevice(referenceMeter(6, 3));
        link.tesra->Address = 3;
        link.tesra->DelayMs = 0;
        CalibrationDevice dut;
        dut.address = 3;
        dut.serial = "23010003";
        run.FormShow(dut, DataFileRoot{dir.string() + "/", false});
        settings.gas = "N2";
        settings.useController = true;
        settings.controllerAddress = 3;
        settings.referenceAddress = 6;
        settings.ambientPressure = "1013";
        settings.operatorName = "Prüfer";
    }
    std::string measureRun(int mode, const std::vector<double>& setpoints) {
        settings.mode = mode;
        EXPECT_TRUE(run.StartBtnClick(settings));
        for (double sp : setpoints) {
            run.SollOKBtnClick(std::to_string(sp));
            link.demo.clock.advanceMs(20000);
            run.RstGraphClick();
            for (int i = 0; i < 8; ++i) {
                run.TimerTimer();
                link.demo.clock.advanceMs(2000);
            }
            run.MessenBtnClick(1);
        }
        return run.DataSaveBtnClick();
    }
};

TEST_F(CertificatePdf, AdjustedDeviceCertificateShowsItsResultTable) {
    const std::string adjustment = measureRun(1, {20, 15, 10, 5, 2});
    ASSERT_EQ(adjustment, "DATA0");
    ASSERT_TRUE(adjust.LookupBtnClick({run.dataFile(), adjustment}).written);
    const std::string check = measureRun(0, {20, 15, 10, 5, 2});
    ASSERT_EQ(check, "DATA1");

    const std::string refs = path("KalibRef.ini");
    write(refs, "[Reference_U1]\r\nCERTIFICATE=Reference meter;22010006;GKM2N2A;DKD-K-12345\r\n");
    Certificate cert(run.dataFile(), refs);
    CertificateInput in;
    in.serial = "23010003";
    in.typeCode = "GKC3N2A";
    in.gas = "N2";
    in.fullScale = 20;
    in.dataSection = check;
    in.operatorName = "Prüfer";
    in.orderNo = "A-2026-118";
    in.pressureCalib = in.pressureCustomer = "1.013";
    const std::string html = cert.ErzeugenBtnClick(in, localDateTime(link.demo.clock.nowMs()));
    ASSERT_EQ(cert.resultLines().size(), 5u);
    for (size_t i = 1; i < cert.resultLines().size(); ++i) {
        const std::string& line = cert.resultLines()[i];
        size_t at = 0; // the fourth column: deviation of the measured value
        for (int tab = 0; tab < 3; ++tab)
            at = line.find('\t', at) + 1;
        EXPECT_LT(std::fabs(std::stod(line.substr(at))), 0.2) << line;
    }
    const std::string pdf = std::string(GETKELO_BUILD_DIR) + "/calibration_certificate.pdf";
    ASSERT_TRUE(saveCertificatePdf(QString::fromStdString(html), QString::fromStdString(pdf),
                                   "Calibration report"));
    QFile f(QString::fromStdString(pdf));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.read(4) == "%PDF");
    EXPECT_EQ(cert.recordPrinted("PDF", false, DateTime{2026, 12, 6}), "")
        << "the document writer records nothing";
}

} // namespace
} // namespace getkelo::sim::test

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("TZ", "UTC");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
