// The logger, alarm and signal tabs render their logic's state and drive it (offscreen).
#include "console/forms/alarm_page.h"
#include "console/forms/logger_page.h"
#include "console/forms/signal_page.h"
#include "console/logging/data_logger.h"
#include "console/text_source.h"
#include "page_fixture.h"
#include "ui/scripted_ui.h"

#include <QApplication>
#include <QSignalSpy>
#include <QValidator>

#include <cstdlib>
#include <filesystem>

namespace getkelo::test {
namespace {

QApplication& app() {
    static int argc = 1;
    static char name[] = "pages_form_test";
    static char* argv[] = {name, nullptr};
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static QApplication a(argc, argv);
    return a;
}

class PagesFormTest : public PageTest {
  protected:
    void SetUp() override { app(); }
};

TEST_F(PagesFormTest, RecordButtonTakesThePageSettingsAndLocksThemWhileLogging) {
    device(kFnController);
    list.setCell(1, kColLogMark, " x");
    list.setCell(1, kColSerial, "42");
    const std::string dir = ::testing::TempDir() + "pages_form_logs";
    ScriptedUi ui;
    DataLogger logger(list, clock, ui);
    logger.setWorkDir([&] { return dir; });
    LoggerPage page;
    page.attach(&logger);
    QSignalSpy running(&page, &LoggerPage::runningChanged);
    page.SollCheck->setChecked(true);
    page.LogGroup[1]->setChecked(true);
    page.ZeilenEdit->setText("5");
    page.StartCheck->setChecked(true);
    // Typing refuses what a setting could not keep: a fraction of lines, an interval text.
    auto accepts = [](QLineEdit* e, QString text) {
        int pos = 0;
        return e->validator()->validate(text, pos) != QValidator::Invalid;
    };
    EXPECT_FALSE(accepts(page.ZeilenEdit, "100.5"));
    EXPECT_TRUE(accepts(page.ZeilenEdit, "100"));
    EXPECT_TRUE(accepts(page.dZeitEdit, "1,5"));
    EXPECT_FALSE(accepts(page.dZeitEdit, "abc"));

    page.LogBtn->click();
    EXPECT_TRUE(logger.running());
    EXPECT_TRUE(logger.settings().stored.sollCheck);
    EXPECT_EQ(logger.settings().linesPerFile(), 5);
    EXPECT_TRUE(logger.settings().start.enabled);
    EXPECT_FALSE(page.ZeilenEdit->isEnabled());
    EXPECT_TRUE(page.LogBtn->isChecked());
    EXPECT_TRUE(page.settings().log);
    ASSERT_EQ(running.count(), 1);

    page.StopBtn->click();
    EXPECT_FALSE(logger.running());
    EXPECT_TRUE(page.ZeilenEdit->isEnabled());
    EXPECT_FALSE(page.LogBtn->isChecked());
    EXPECT_EQ(running.count(), 2);
    std::filesystem::remove_all(dir);
}

TEST_F(PagesFormTest, AlarmTabShowsGroupsLampsMarksAndHighlight) {
    device(kFnTotalizer); // a meter
    AlarmPage logic(list, view, connection);
    AlarmSheet sheet;
    sheet.attach(&logic);
    QSignalSpy highlight(&sheet, &AlarmSheet::highlightChanged);
    logic.AlarmSheetShow();
    EXPECT_TRUE(sheet.ReglerAlarm->isHidden());
    EXPECT_TRUE(sheet.ReverseFlow->isHidden());
    EXPECT_FALSE(sheet.SensorAlarm->isHidden());

    peer->regs[0x000D] = 0x0020;
    view.front = ConsolePage::Alarm;
    logic.refresh(1);
    ASSERT_EQ(highlight.count(), 1);
    EXPECT_TRUE(highlight[0][0].toBool());

    logic.delayChange("4");
    EXPECT_NE(sheet.VerzugEdit->styleSheet().indexOf("ffffc0"), -1);
    EXPECT_EQ(sheet.VerzugEdit->text(), "4");
}

TEST_F(PagesFormTest, SignalTabFillsChoicesAndShowsTheNote) {
    device(kFnController | kFnReverseFlow, "2.3.01");
    peer->setText(0x1004, "F1S0000", 4);
    SignalPage logic(list, view, connection);
    SignalSheet sheet;
    sheet.attach(&logic);
    logic.tbsSignaleShow();
    ASSERT_EQ(sheet.AusgabeBox->count(), 2);
    EXPECT_EQ(sheet.AusgabeBox->itemText(1), "2..10 V");
    EXPECT_FALSE(sheet.Achtung->isHidden());
    logic.outputChange(1);
    EXPECT_TRUE(sheet.Achtung->isHidden());
    EXPECT_EQ(sheet.AusgabeBox->currentIndex(), 1);
    EXPECT_NE(sheet.AusgabeBox->styleSheet().indexOf("#101010"), -1);
}

TEST_F(PagesFormTest, Series4FieldsThePageDoesNotWriteAreReadOnlyWithATip) {
    device(kFnController, "4.3.15");
    SignalPage logic(list, view, connection);
    SignalSheet sheet;
    sheet.attach(&logic);
    MapTextSource texts;
    texts.set("tipSignalNotWritten", "shown only");
    sheet.applyLanguage(texts);
    logic.tbsSignaleShow();
    for (QWidget* w : std::initializer_list<QWidget*>{sheet.SollwertBox, sheet.PowerUpSet})
        EXPECT_FALSE(w->isEnabled());
    for (QLineEdit* e : {sheet.PowerUpEdit, sheet.CutOffEdit})
        EXPECT_TRUE(e->isReadOnly());
    EXPECT_EQ(sheet.CutOffEdit->toolTip(), "shown only");
    EXPECT_TRUE(sheet.AusgabeBox->isEnabled());
    EXPECT_TRUE(sheet.ModusBox->isEnabled());
    logic.cutOffChange("9"); // nothing an edit could mark
    EXPECT_FALSE(logic.state().cutOffChanged);

    device(kFnController, "2.3.01"); // an older device writes them all
    logic.tbsSignaleShow();
    EXPECT_FALSE(sheet.CutOffEdit->isReadOnly());
    EXPECT_TRUE(sheet.CutOffEdit->toolTip().isEmpty());
}

} // namespace
} // namespace getkelo::test
