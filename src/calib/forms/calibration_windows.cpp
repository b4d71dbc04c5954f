#include "calib/forms/calibration_windows.h"

#include "calib/analog_check.h"
#include "calib/calib_data_files.h"
#include "calib/calibration_run.h"
#include "calib/forms/tkalibration.h"
#include "calib/forms/tmulti_lookup.h"
#include "calib/lut_adjustment.h"
#include "calib/lut_slot_manager.h"
#include "comm/ttesra.h"
#include "console/console.h"
#include "console/device_list.h"

#include <QWidget>

namespace getkelo {

CalibrationWindows::CalibrationWindows(Console& console, UiAdapter& ui, const TextSource& texts,
                                       QWidget* parent)
    : QObject(parent), console_(console), ui_(ui), texts_(texts), parent_(parent) {}

CalibrationWindows::~CalibrationWindows() = default;

bool CalibrationWindows::prepare() {
    TTesra* tesra = console_.connection();
    const int row = console_.currentRow();
    if (!tesra || row < 1 || row > console_.devices().count()) return false;
    tesra->Address = console_.devices().record(row).address;
    files_ = std::make_unique<CalibDataFiles>(*tesra, ui_, texts_);
    run_ = std::make_unique<CalibrationRun>(*tesra, ui_, texts_, *files_);
    adjust_ = std::make_unique<LutAdjustment>(*tesra, ui_, texts_, *files_);
    slots_ = std::make_unique<LutSlotManager>(*tesra, ui_, texts_, *files_);
    analog_ = std::make_unique<AnalogCheck>(*tesra, ui_, texts_, *files_);
    return true;
}

void CalibrationWindows::JustierenClick() {
    if (!prepare()) return;
    const int row = console_.currentRow();
    const DeviceList& list = console_.devices();
    CalibrationDevice device;
    device.address = list.record(row).address;
    device.serial = list.cell(row, kColSerial);
    device.typeCode = list.cell(row, kColTypeCode);
    device.gas = list.cell(row, kColGas);
    device.functions = list.record(row).functions;
    device.range = list.cell(row, kColRange);
    device.flowUnit = list.cell(row, kColUnit);
    const DataFileRoot root = dataFileRoot(console_.settings());
    TKalibration form(*run_, *adjust_, ui_, parent_);
    form.setReferenceFile(root.baseDir + "KalibRef.ini");
    form.setAnalogCheck(*analog_);
    form.FormShow(device, root);
    form.exec();
}

void CalibrationWindows::DatensaetzeClick() {
    if (!prepare()) return;
    const int row = console_.currentRow();
    const std::string serial = console_.devices().cell(row, kColSerial);
    const DataFileRoot root = dataFileRoot(console_.settings());
    slots_->setDataFile(MakeDataFilePath(root, "tesra Typ03", serial));
    TMultiLookup form(*slots_, ui_, parent_);
    form.FormShow(serial);
    form.exec();
}

} // namespace getkelo
