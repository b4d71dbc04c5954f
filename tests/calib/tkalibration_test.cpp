#include "base/date_time.h"
#include "base/ini_file.h"
#include "calib/forms/tdatei.h"
#include "calib/forms/tkalibration.h"
#include "calib/forms/tprotokoll.h"
#include "calib/forms/verification_page.h"
#include "calib/lut_adjustment.h"
#include "calib_files_fixture.h"
#include "sim/calibration_model.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QLineSeries>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QTextEdit>

namespace getkelo::sim::test {
namespace {

struct KalibrationForm : CalibFiles {
    CalibrationRun run{*link.tesra, link.ui, texts, files};
    LutAdjustment adjust{*link.tesra, link.ui, texts, files};
    void SetUp() override {
        CalibFiles::SetUp();
        link.demo.clock.setMs(toEpochMs({2026, 12, 6, 10, 0, 0, 0}));
        link.demo.bus.addDevice(referenceMeter(6, 3));
        link.tesra->Address = 3;
        link.tesra->DelayMs = 0;
    }
    void shoot(TKalibration& form, int page, const char* name) {
        form.Pages->setCurrentIndex(page);
        QCoreApplication::processEvents(); // the layout as the operator sees it
        const std::string png = std::string(GETKELO_BUILD_DIR) + "/" + name + ".png";
        EXPECT_TRUE(form.grab().save(QString::fromStdString(png)));
    }
};

TEST_F(KalibrationForm, AdjustmentThroughThePages) {
    TKalibration form(run, adjust, link.ui);
    CalibrationDevice dut;
    dut.address = 3;
    dut.serial = "23010003";
    dut.gas = "N2";
    form.FormShow(dut, DataFileRoot{dir.string() + "/", false});
    form.UserEdit->setText("Prüfer");
    form.resize(900, 560);
    form.show();
    shoot(form, 0, "calibration_settings");
    form.KeloCheck->setChecked(true);
    form.RefAddressBox->setValue(6);
    form.ModusAdjust->setChecked(true);
    write(path("KalibRef.ini"),
          "[Reference_U1]\r\nCERTIFICATE=Referenzmeter;22010006;GKM2N2A;DKD-K-12345\r\n");
    form.setReferenceFile(path("KalibRef.ini"));
    form.findChild<QPushButton*>("Button2")->click();
    EXPECT_EQ(form.RefList->item(0, 3)->text(), "DKD-K-12345");
    shoot(form, 1, "calibration_flow_settings");
    form.StartBtn->click();
    EXPECT_EQ(form.Pages->currentIndex(), 2);
    EXPECT_EQ(form.LabeledEdit4->text(), "20");
    for (const char* sp : {"20", "15", "10", "5", "2"}) {
        form.SollwertEdit->setText(sp);
        form.SollOKBtn->click();
        link.demo.clock.advanceMs(20000);
        form.RstGraph->click();
        for (int i = 0; i < 6; ++i) {
            form.TimerTimer();
            link.demo.clock.advanceMs(2000);
        }
        form.MessenBtn->click();
    }
    EXPECT_FALSE(form.WerteGrid->item(4, 2)->text().isEmpty());
    shoot(form, 2, "calibration_measuring");
    form.DataSaveBtn->click();
    EXPECT_EQ(form.Pages->currentIndex(), 3) << "an adjustment goes on to the table";
    EXPECT_EQ(form.Datei1->chosenSection(), "DATA0");
    form.LookupBtn->click();
    EXPECT_EQ(link.ui.messages.back().text, "Justierter Datensatz gespeichert!");
    shoot(form, 3, "calibration_lookup_table");
    form.close();
    EXPECT_TRUE(IniFile(run.dataFile()).sectionExists("LOOKUP1"));
}

TEST_F(KalibrationForm, CheckRunShowsItsDeviationsAndCertificate) {
    TKalibration form(run, adjust, link.ui);
    CalibrationDevice dut;
    dut.address = 3;
    dut.serial = "23010003";
    dut.gas = "N2";
    dut.typeCode = "GKC3N2A";
    dut.functions = 1; // a controller
    write(path("KalibRef.ini"),
          "[Reference_U1]\r\nCERTIFICATE=Referenzmeter;22010006;GKM2N2A;DKD-K-12345\r\n");
    form.setReferenceFile(path("KalibRef.ini"));
    form.FormShow(dut, DataFileRoot{dir.string() + "/", false});
    form.UserEdit->setText("Prüfer");
    form.resize(900, 560);
    form.show();
    form.KeloCheck->setChecked(true);
    form.RefAddressBox->setValue(6);
    form.StartBtn->click();
    for (const char* sp : {"20", "10", "5"}) {
        form.SollwertEdit->setText(sp);
        form.SollOKBtn->click();
        link.demo.clock.advanceMs(20000);
        form.RstGraph->click();
        for (int i = 0; i < 4; ++i) {
            form.TimerTimer();
            link.demo.clock.advanceMs(2000);
        }
        form.MessenBtn->click();
    }
    form.DataSaveBtn->click();
    VerificationPage* page = form.ProtokollSheet;
    ASSERT_EQ(form.Pages->currentWidget(), page) << "a check run goes on to its charts";
    EXPECT_EQ(page->Datei4->chosenSection(), "DATA0");
    page->VerifyBtn->click();
    EXPECT_EQ(page->GasEdit->text(), "N2");
    EXPECT_EQ(page->PressEdit->text(), "1.01 bar a");
    ASSERT_EQ(page->deviationSP->count(), 3);
    for (const QPointF& p : page->deviationSP->points()) // the demo device reads 2 % off
        EXPECT_NEAR(std::fabs(p.y()), 2, 0.6) << p.x();
    shoot(form, form.Pages->indexOf(page), "calibration_verification");
    page->DruckerBox->setCurrentText("PDF");
    const std::string pdf = std::string(GETKELO_BUILD_DIR) + "/calibration_verification_page";
    link.ui.chooserAnswers.push_back(pdf);
    page->DruckenBtn->click();
    EXPECT_EQ(contents(pdf + ".pdf").substr(0, 4), "%PDF");

    page->ProtokollBtn->click();
    TProtokoll* cert = page->protokoll();
    ASSERT_NE(cert, nullptr);
    EXPECT_EQ(cert->SNrEdit->text(), "23010003");
    EXPECT_EQ(cert->RangeEdit->text(), "20");
    EXPECT_EQ(cert->FunktionBox->currentText(), "Flow Controller");
    cert->ANrEdit->setText("A-2026-118");
    cert->ErzeugenBtn->click();
    EXPECT_TRUE(cert->pRich->toPlainText().contains("Result flow"));
    cert->resize(1000, 720);
    EXPECT_TRUE(
        cert->grab().save(QString(GETKELO_BUILD_DIR) + "/calibration_certificate_window.png"));
}

} // namespace
} // namespace getkelo::sim::test
