#include "base/date_time.h"
#include "base/ini_file.h"
#include "calib/forms/tdatei.h"
#include "calib/forms/tprotokoll.h"
#include "calib_files_fixture.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTextEdit>

namespace getkelo::sim::test {
namespace {

struct ProtokollForm : CalibFiles {
    std::string file, refs;
    CertificateInput in;
    std::vector<QString> printedOn;
    std::optional<QString> printerAnswer; // what the printing step returns; unset: the printer

    void SetUp() override {
        CalibFiles::SetUp();
        link.demo.clock.setMs(toEpochMs({2026, 12, 6, 10, 0, 0, 0}));
        file = path("23010003t03.dat");
        refs = path("KalibRef.ini");
        write(file, "[DATA0]\r\nDate=06.12.26\r\nMode=Flow\r\nGas=N2\r\nSetTemp=23\r\n"
                    "RefUsed=U1;U1\r\nFlowRef=20;5\r\nFlowDevice=20.1;5.05\r\n");
        write(refs, "[Reference_U1]\r\nCERTIFICATE=Molbloc;4711;MB-1;DKD 123\r\n");
        in.serial = "23010003";
        in.fullScale = 20;
        in.operatorName = "Prüfer";
        in.orderNo = "A-118";
    }
    std::unique_ptr<TProtokoll> form(Certificate& c) {
        auto f = std::make_unique<TProtokoll>(c, link.ui, texts, link.demo.clock);
        f->fillPrinters({"Office", "HP LaserJet 2100"}, "Office");
        f->setPrinter([this](const QString&, const QString& printer) -> std::optional<QString> {
            printedOn.push_back(printer);
            return printerAnswer ? printerAnswer : printer;
        });
        f->FormShow(in);
        return f;
    }
};

TEST_F(ProtokollForm, PdfOutputWritesTheFileAndRecordsNothing) {
    Certificate c(file, refs);
    auto f = form(c);
    EXPECT_EQ(f->Datei1->chosenSection(), "DATA0");
    f->ErzeugenBtn->click();
    EXPECT_TRUE(f->pRich->toPlainText().contains("Result flow"));
    const std::string before = contents(file);
    f->DruckerBox->setCurrentText("PDF");
    link.ui.chooserAnswers.push_back(path("report"));
    f->DruckenBtn->click();
    EXPECT_EQ(contents(path("report.pdf")).substr(0, 4), "%PDF");
    EXPECT_TRUE(printedOn.empty());
    EXPECT_EQ(contents(file), before);
}

TEST_F(ProtokollForm, PrinterRecordsTheCertificateAndRestoreFillsTheInputs) {
    Certificate c(file, refs);
    auto f = form(c);
    EXPECT_EQ(f->DruckerBox->currentText(), "HP LaserJet 2100");
    printerAnswer.emplace(); // printing failed: said, nothing recorded
    f->DruckenBtn->click();
    EXPECT_EQ(link.ui.messages.back().text, "Das Protokoll konnte nicht gedruckt werden.");
    EXPECT_FALSE(IniFile(file).sectionExists("CERTIFICATE0"));
    printerAnswer.reset();
    f->PunkteEdit->setValue(5);
    f->DruckenBtn->click(); // made again with the points changed
    ASSERT_EQ(printedOn.size(), 2u);
    IniFile data(file);
    EXPECT_EQ(data.readString("CERTIFICATE0", "NominalPoints"), "0;20;40;60;80;100");
    EXPECT_EQ(data.readString("CERTIFICATE0", "ABNo"), "A-118");

    Certificate again(file, refs);
    in = CertificateInput{};
    auto g = form(again);
    g->RestoreButton->setChecked(true);
    ASSERT_TRUE(g->LadenBtn->isEnabled());
    EXPECT_EQ(g->Datei2->chosenSection(), "CERTIFICATE0");
    g->LadenBtn->click();
    EXPECT_EQ(g->ANrEdit->text(), "A-118");
    EXPECT_EQ(g->UserEdit->text(), "Prüfer");
    EXPECT_EQ(g->RangeEdit->text(), "20");
    EXPECT_EQ(g->PunkteEdit->value(), 5);
    EXPECT_TRUE(g->pRich->toPlainText().contains("Molbloc"));
    g->DruckenBtn->click(); // a restored certificate is printed again, not recorded again
    EXPECT_EQ(printedOn.size(), 3u);
    EXPECT_FALSE(IniFile(file).sectionExists("CERTIFICATE1"));
}

} // namespace
} // namespace getkelo::sim::test
