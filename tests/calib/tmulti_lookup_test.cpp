#include "calib/forms/tdatei.h"
#include "calib/forms/tmulti_lookup.h"
#include "calib/lut_slot_manager.h"
#include "calib_files_fixture.h"

#include <QListWidget>
#include <QPushButton>

namespace getkelo::sim::test {
namespace {

struct MultiLookupForm : CalibFiles {
    LutSlotManager logic{*link.tesra, link.ui, texts, files};
    void SetUp() override {
        CalibFiles::SetUp();
        link.tesra->Address = 3;
        link.tesra->DelayMs = 0;
        logic.chooseFolder(dir.string(), "23010003");
    }
};

TEST_F(MultiLookupForm, SlotsChecksButtonsAndStoredSections) {
    TMultiLookup form(logic, link.ui);
    form.FormShow("23010003");
    ASSERT_EQ(form.LuTBox->count(), 5);
    EXPECT_EQ(form.LuTBox->item(0)->checkState(), Qt::Checked);
    EXPECT_EQ(form.LuTBox->item(3)->text(), "Nr.3: <leer>");
    form.LuTBox->setCurrentRow(3);
    EXPECT_FALSE(form.LuTBtn->isEnabled()) << "an empty slot";
    form.LuTBox->setCurrentRow(1);
    EXPECT_TRUE(form.LuTBtn->isEnabled());
    form.BitBtn4->click();
    EXPECT_EQ(form.Datei3->ComboBox->count(), 1);
    form.LuTBtn->click();
    EXPECT_EQ(form.LuTBox->item(1)->checkState(), Qt::Checked);
    EXPECT_EQ(form.LuTBox->item(0)->checkState(), Qt::Unchecked);
    form.resize(form.sizeHint());
    form.show();
    const std::string png = std::string(GETKELO_BUILD_DIR) + "/lookup_table_manager.png";
    EXPECT_TRUE(form.grab().save(QString::fromStdString(png)));
}

} // namespace
} // namespace getkelo::sim::test
