#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace getkelo {

// The file the factory EEPROM dialog keeps first-generation images in: INI syntax, so a
// person can read it and a diff shows what changed.
//
//   [EEPROM]
//   Format=GetKelo EEPROM image 1
//   Bytes=4881
//   Serial=21010005                (informative: the device and time of the reading)
//   Date=07.03.05
//   Time=14:07:09
//   Gain=12                        the named values of the image ...
//   Gas=N2
//   FlowTicksTemp0=-400;-280;...   ... and its eight tick tables (256 values each)
//   [Image]
//   0000=4F 0A 11 ...              every byte, 16 per line, the line's address in hex
//
// Loading takes the bytes and then the named values and tick tables, so an edit of a named
// value by hand counts; anything that does not fit (missing or extra lines, a wrong byte
// count, a value out of range) is a wrong file format.
struct ImageFileHeader {
    std::string serial, date, time;
};

inline constexpr const char* kImageFileFormat = "GetKelo EEPROM image 1";

// Replaces the file (one atomic write); false with the reason.
bool saveImageFile(const std::string& path, std::span<const uint8_t> image,
                   const ImageFileHeader& header, std::string& error);
// The image (kServiceImageSize bytes); false when the file is missing or not of this format
// (error then tells what did not fit).
bool loadImageFile(const std::string& path, std::vector<uint8_t>& image, std::string& error,
                   ImageFileHeader* header = nullptr);

} // namespace getkelo
