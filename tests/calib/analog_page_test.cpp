#include "analog_bench_ui.h"
#include "base/date_time.h"
#include "calib/analog_check.h"
#include "calib/forms/analog_page.h"
#include "calib/forms/tkalibration.h"
#include "calib/lut_adjustment.h"
#include "calib_files_fixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableWidget>

namespace getkelo::sim::test {
namespace {

struct AnalogForm : CalibFiles {
    BenchUi bench;
    CalibrationRun run{*link.tesra, bench, texts, files};
    LutAdjustment adjust{*link.tesra, bench, texts, files};
    AnalogCheck check{*link.tesra, bench, texts, files};
    void SetUp() override {
        CalibFiles::SetUp();
        link.demo.clock.setMs(toEpochMs({2026, 12, 7, 9, 30, 0, 0}));
        bench.link = &link;
        link.tesra->Address = 3;
        link.tesra->DelayMs = 0;
    }
};

bool passShown(QTableWidget* grid, int row) {
    return grid->item(row, 2)->background().color().green() >
           grid->item(row, 2)->background().color().red();
}

TEST_F(AnalogForm, ChecksFromTheSettingsPageFillTheGridsWithTheirMarks) {
    TKalibration form(run, adjust, bench);
    form.setAnalogCheck(check);
    CalibrationDevice dut;
    dut.address = 3;
    dut.serial = "23010003";
    form.FormShow(dut, DataFileRoot{dir.string() + "/", false});
    form.resize(900, 640);
    form.show();
    form.Button4->click();
    AnalogPage* page = form.AnalogSheet;
    ASSERT_EQ(form.Pages->currentWidget(), page);
    EXPECT_TRUE(bench.messages.empty()) << "20 mA suits the device";
    EXPECT_EQ(page->MesswertGrid->item(0, 1)->text(), "Ref. [mA]");

    page->PruefAusBtn->click();
    EXPECT_EQ(page->MesswertGrid->item(6, 0)->text(), "20");
    EXPECT_FALSE(passShown(page->MesswertGrid, 6));
    page->KalibAusBtn->click();
    page->PruefAusBtn->click();
    for (int r = 1; r <= 6; ++r)
        EXPECT_TRUE(passShown(page->MesswertGrid, r)) << r;
    page->CheckBox2->setChecked(true);
    page->PruefEinBtn->click();
    EXPECT_EQ(page->SollwertGrid->item(1, 1)->text(), "4");
    EXPECT_FALSE(passShown(page->SollwertGrid, 6));
    QApplication::processEvents();
    const std::string png = std::string(GETKELO_BUILD_DIR) + "/calibration_analog_io.png";
    EXPECT_TRUE(form.grab().save(QString::fromStdString(png)));

    page->SollVolt10->setChecked(true);
    page->PruefEinBtn->click();
    EXPECT_EQ(bench.messages.back().text, "Ungültiger Typ-Code!");
}

} // namespace
} // namespace getkelo::sim::test
