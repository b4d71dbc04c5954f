#pragma once
#include "comm/service_image.h"

#include <cstdint>
#include <string>
#include <vector>

namespace getkelo {

class TTesra;
class TextSource;
class UiAdapter;

// The logic of the factory EEPROM dialog TKonfig1 for first-generation devices (software
// major version below 2): the device's EEPROM image, read and written whole through the
// service protocol, its named values for editing with checks, and image files
// (eeprom_image_file.h). Bytes nobody edits go back exactly as they came.
class Konfig1 {
  public:
    Konfig1(UiAdapter& ui, const TextSource& texts);

    // The connection the device is reached through (the console renews it with the
    // connection settings); the device is the one at its address.
    void setConnection(TTesra* tesra) { tesra_ = tesra; }

    // The values the dialog shows, in order: "Gain", "HeatPower", "Std_Norm", "Digits",
    // "Unit", "TheorMaxFlow", "PractMaxFlow", "Zerocut", "Factor", "Divisor", "Step", "Gas".
    static const std::vector<ServiceImageField>& fields() { return serviceImageFields(); }

    bool hasImage() const { return hasImage_; }
    // Where the image came from ("" before any): the device's serial number or the file.
    const std::string& origin() const { return origin_; }
    // The value as the image holds it ("" without an image).
    std::string fieldText(const std::string& key) const;
    // Takes an edit after checking it; otherwise tells the operator and keeps the value.
    bool setField(const std::string& key, const std::string& text);
    bool changed(const std::string& key) const;
    bool anyChanged() const;
    // Factor / Divisor / 10^Digits of the image.
    double flowScale() const;
    const std::vector<uint8_t>& image() const { return image_; }

    // Reads the image of the device at the connection's address; a failed read keeps the
    // image shown before and says so.
    bool readFromDevice();
    // Writes the image (after the operator confirms); the edits then count as stored.
    bool writeToDevice();
    // "Wrong file format" for any file that is not an image file of this program.
    bool loadFile(const std::string& path);
    bool saveFile(const std::string& path);

    // A transfer is running (the dialog keeps its buttons off meanwhile).
    bool busy() const { return busy_; }

  private:
    std::string message(const char* key, const char* fallback) const;
    void markStored();

    TTesra* tesra_ = nullptr;
    UiAdapter& ui_;
    const TextSource& texts_;
    std::vector<uint8_t> image_;
    std::vector<uint8_t> stored_; // the image as last read, loaded or written
    bool hasImage_ = false;
    bool busy_ = false;
    std::string origin_;
    std::string serial_;
};

} // namespace getkelo
