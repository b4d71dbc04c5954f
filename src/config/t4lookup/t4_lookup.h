#pragma once
#include "calib/data_file_path.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace getkelo {

class TTesra;
class TextSource;
class UiAdapter;

// Tick tables of a series-4 lookup-table slot: three tables of 256 signed 16-bit values at
// 0x6400, 0x6500 and 0x6600, sent four registers per request.
inline constexpr int kTickTables = 3;
inline constexpr int kTicksPerTable = 256;
inline constexpr int kTicksPerRequest = 4;
inline constexpr int kTickRequests = kTickTables * kTicksPerTable / kTicksPerRequest; // 192
inline constexpr std::array<uint16_t, kTickTables> kTickTableBase = {0x6400, 0x6500, 0x6600};
inline constexpr std::array<const char*, kTickTables> kTickListKeys = {
    "FlowTicks_0x4000", "FlowTicks_0xC000", "LookupTicks"};
// A table request that fails this often in a row ends the upload.
inline constexpr int kTickRequestAttempts = 10;
inline constexpr int kSlotParameterCount = 27;

// The data file of a series-4 device: with the new layout data dir + "tesra Typ04/" + the
// data-file name of that type (in its thousands folder), otherwise data dir + serial +
// "t04.dat". Empty when the serial text is no number.
std::string series4DataFilePath(const DataFileRoot& root, const std::string& serialText);

// One table-write request (19 bytes, the CRC goes after them): address, function 16, the
// register, four registers, 8 bytes, the four values big-endian, four filler bytes.
void tickRequest(uint8_t address, uint16_t reg, const int16_t values[kTicksPerRequest],
                 uint8_t frame[19]);

// A file section's tick lists as three full tables. Missing values (a short list, a missing
// key) are 0, values past 256 are ignored. False when a value does not fit 16 bits signed
// (`bad` then names the key).
bool tickTables(const std::string& filePath, const std::string& section,
                std::array<std::array<int16_t, kTicksPerTable>, kTickTables>& tables,
                std::string& bad);

// The logic of TT4Lookup ("Kalibrierungen"): the slots of the selected device next to the
// LOOKUP sections of its data file.
class T4Lookup {
  public:
    T4Lookup(TTesra& tesra, UiAdapter& ui, const TextSource& texts);

    const std::vector<std::string>& slotEntries() const { return slots_; }
    // Index of the checked (active) slot entry, -1 for none.
    int checkedSlot() const { return checked_; }
    const std::vector<std::string>& fileEntries() const { return fileEntries_; }
    const std::vector<std::string>& fileSections() const { return sections_; }
    // The entry selected after an activation: the last file entry (-1 when none).
    int selectedFileEntry() const {
        return fileEntries_.empty() ? -1 : int(fileEntries_.size()) - 1;
    }
    const std::string& dataFilePath() const { return path_; }

    // Reads the slots and the data file's LOOKUP sections.
    void FormActivate(const std::string& dataFilePath);
    // The clicked entry now carries a check mark or not; at most one entry carries one.
    void clbCalibClick(int entry, bool checked);
    void btnActivateLutClick(int entry);
    void btnDeleteLutClick(int entry);
    // Writes file entry `fileEntry` into the slot of entry `slotEntry`. 0 done, 1 nothing
    // written (nothing selected, a table value unusable), 2 the device stopped taking the
    // table (the operator has been told; the slot holds an incomplete table).
    int btnUploadClick(int slotEntry, int fileEntry);

  private:
    void readSlots();
    void readFile();
    void sleepMs(int ms);
    std::string text(const char* key) const;

    TTesra& tesra_;
    UiAdapter& ui_;
    const TextSource& texts_;
    std::string path_;
    std::vector<std::string> slots_;
    int checked_ = -1;
    std::vector<std::string> fileEntries_;
    std::vector<std::string> sections_;
};

} // namespace getkelo
