#include "config/konfig1.h"

#include "base/clock.h"
#include "base/date_time.h"
#include "comm/register_catalogue.h"
#include "comm/ttesra.h"
#include "config/eeprom_image_file.h"
#include "console/text_source.h"
#include "ui/ui_adapter.h"

namespace getkelo {
namespace {

constexpr const char* kCaption = "EEPROM";

// Marks a transfer as running for the length of a scope.
struct BusyScope {
    bool& flag;
    explicit BusyScope(bool& f) : flag(f) { flag = true; }
    ~BusyScope() { flag = false; }
};

} // namespace

Konfig1::Konfig1(UiAdapter& ui, const TextSource& texts)
    : ui_(ui), texts_(texts), image_(kServiceImageBufferSize) {}

std::string Konfig1::message(const char* key, const char* fallback) const {
    std::string t = texts_.text(key);
    return t.empty() ? fallback : t;
}

std::string Konfig1::fieldText(const std::string& key) const {
    const ServiceImageField* f = findServiceImageField(key);
    return hasImage_ && f ? imageFieldText(image_, *f) : std::string();
}

bool Konfig1::setField(const std::string& key, const std::string& text) {
    const ServiceImageField* f = findServiceImageField(key);
    if (!hasImage_ || !f) return false;
    std::string error;
    if (setImageField(image_, *f, text, &error)) return true;
    ui_.messageBox(message("infoKonfig1BadValue", "Ungültiger Wert:") + "\n" + error, kCaption,
                   MsgIcon::Warning, MsgButtons::Ok);
    return false;
}

bool Konfig1::changed(const std::string& key) const {
    const ServiceImageField* f = findServiceImageField(key);
    return hasImage_ && f && imageFieldText(image_, *f) != imageFieldText(stored_, *f);
}

bool Konfig1::anyChanged() const {
    return hasImage_ && image_ != stored_;
}

double Konfig1::flowScale() const {
    return hasImage_ ? imageFlowScale(image_) : 0;
}

void Konfig1::markStored() {
    stored_ = image_;
    hasImage_ = true;
}

bool Konfig1::readFromDevice() {
    if (busy_ || !tesra_) return false;
    BusyScope busy(busy_);
    const std::string serial = tesra_->ReadValue(reg::kSerialNumber);
    std::vector<uint8_t> buffer(kServiceImageBufferSize);
    if (tesra_->ReadServiceImage(buffer, ui_) != 0) {
        ui_.progressFinish("Fehler beim EEPROM lesen!");
        ui_.messageBox("Fehler beim EEPROM lesen!", kCaption, MsgIcon::Error, MsgButtons::Ok);
        return false;
    }
    // The two bytes after the image are the device's, not part of what goes back.
    std::fill(buffer.begin() + kServiceImageSize, buffer.end(), 0);
    image_ = std::move(buffer);
    serial_ = serial == "Fehler" ? std::string() : serial;
    origin_ = serial_;
    markStored();
    return true;
}

bool Konfig1::writeToDevice() {
    if (busy_ || !hasImage_ || !tesra_) return false;
    if (ui_.messageBox(message("infoKonfig1WriteConfirm",
                               "Das EEPROM des Geräts wird mit diesem Abbild überschrieben. "
                               "Fortfahren?"),
                       kCaption, MsgIcon::Question, MsgButtons::YesNo) != MsgAnswer::Yes)
        return false;
    BusyScope busy(busy_);
    if (tesra_->WriteServiceImage(image_, ui_) != 0) {
        ui_.progressFinish("Fehler beim EEPROM schreiben!");
        ui_.messageBox("Fehler beim EEPROM schreiben!", kCaption, MsgIcon::Error, MsgButtons::Ok);
        return false;
    }
    markStored();
    return true;
}

bool Konfig1::loadFile(const std::string& path) {
    if (busy_) return false;
    std::vector<uint8_t> loaded;
    ImageFileHeader header;
    std::string error;
    if (!loadImageFile(path, loaded, error, &header)) {
        // The detail says which part of the file did not fit.
        ui_.messageBox("Wrong file format\n" + error, kCaption, MsgIcon::Error, MsgButtons::Ok);
        return false;
    }
    image_ = std::move(loaded);
    serial_ = header.serial;
    origin_ = path;
    markStored();
    return true;
}

bool Konfig1::saveFile(const std::string& path) {
    if (!hasImage_) return false;
    Clock& clock = tesra_ ? tesra_->comm().clock() : systemClock();
    const DateTime now = localDateTime(clock.nowMs());
    std::string error;
    if (!saveImageFile(path, image_, {serial_, formatShortDate(now), formatLongTime(now)}, error)) {
        ui_.messageBox(
            message("infoKonfig1SaveError", "Die Datei konnte nicht geschrieben werden:") + "\n" +
                error,
            kCaption, MsgIcon::Error, MsgButtons::Ok);
        return false;
    }
    return true;
}

} // namespace getkelo
