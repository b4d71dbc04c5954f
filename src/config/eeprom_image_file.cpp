#include "config/eeprom_image_file.h"

#include "base/ini_file.h"
#include "base/number_format.h"
#include "comm/service_image.h"

#include <cstdio>
#include <sys/stat.h>

namespace getkelo {
namespace {

constexpr const char* kHead = "EEPROM";
constexpr const char* kBytes = "Image";
constexpr int kPerLine = 16;

std::string lineKey(int address) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "%04X", address);
    return buf;
}

std::string hexLine(std::span<const uint8_t> image, int address) {
    std::string out;
    char buf[4];
    for (int i = address; i < address + kPerLine && i < kServiceImageSize; ++i) {
        std::snprintf(buf, sizeof buf, i == address ? "%02X" : " %02X", image[i]);
        out += buf;
    }
    return out;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// "4F 0A 11": exactly `count` bytes of two hex digits, single blanks between.
bool parseHexLine(const std::string& text, int count, uint8_t* out) {
    if (text.size() != static_cast<size_t>(3 * count - 1)) return false;
    for (int i = 0; i < count; ++i) {
        int hi = hexDigit(text[3 * i]), lo = hexDigit(text[3 * i + 1]);
        if (hi < 0 || lo < 0 || (i + 1 < count && text[3 * i + 2] != ' ')) return false;
        out[i] = static_cast<uint8_t>(hi << 4 | lo);
    }
    return true;
}

// A value as a settings line keeps it: line breaks as blanks, no blanks at the ends.
std::string asLineValue(std::string v) {
    for (char& c : v)
        if (c == '\r' || c == '\n') c = ' ';
    const size_t a = v.find_first_not_of(" \t"), b = v.find_last_not_of(" \t");
    return a == std::string::npos ? std::string() : v.substr(a, b - a + 1);
}

std::string tickList(std::span<const uint8_t> image, int list) {
    std::string out;
    for (int v : imageFlowTicks(image, list))
        out += (out.empty() ? "" : ";") + std::to_string(v);
    return out;
}

} // namespace

bool saveImageFile(const std::string& path, std::span<const uint8_t> image,
                   const ImageFileHeader& header, std::string& error) {
    if (image.size() < static_cast<size_t>(kServiceImageSize)) {
        error = "no image";
        return false;
    }
    IniFile file(path);
    {
        IniFile::Batch batch(file);
        // The file becomes this image alone.
        for (const std::string& section : file.sectionNames())
            file.eraseSection(section);
        file.writeString(kHead, "Format", kImageFileFormat);
        file.writeInteger(kHead, "Bytes", kServiceImageSize);
        file.writeString(kHead, "Serial", header.serial);
        file.writeString(kHead, "Date", header.date);
        file.writeString(kHead, "Time", header.time);
        for (const ServiceImageField& f : serviceImageFields())
            file.writeString(kHead, f.key, imageFieldText(image, f));
        for (int list = 0; list < kFlowTickLists; ++list)
            file.writeString(kHead, flowTicksKey(list), tickList(image, list));
        for (int address = 0; address < kServiceImageSize; address += kPerLine)
            file.writeString(kBytes, lineKey(address), hexLine(image, address));
    }
    error = file.lastError();
    return error.empty();
}

bool loadImageFile(const std::string& path, std::vector<uint8_t>& image, std::string& error,
                   ImageFileHeader* header) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
        error = "\"" + path + "\" is not a file";
        return false;
    }
    IniFile file(path);
    auto wrong = [&](const std::string& what) {
        error = what;
        return false;
    };
    if (file.readString(kHead, "Format") != kImageFileFormat) return wrong("Format");
    if (file.readInteger(kHead, "Bytes", -1) != kServiceImageSize) return wrong("Bytes");
    const auto lines = file.sectionPairs(kBytes);
    const size_t expected = (kServiceImageSize + kPerLine - 1) / kPerLine;
    if (lines.size() != expected)
        return wrong("[Image]: " + std::to_string(lines.size()) + " lines");
    std::vector<uint8_t> bytes(kServiceImageBufferSize);
    for (size_t n = 0; n < expected; ++n) {
        const int address = static_cast<int>(n) * kPerLine;
        const int count = std::min(kPerLine, kServiceImageSize - address);
        if (lines[n].first != lineKey(address) ||
            !parseHexLine(lines[n].second, count, bytes.data() + address))
            return wrong("[Image] " + lines[n].first);
    }
    // A named value counts where it differs from the bytes, so bytes nobody edited (a text's
    // bytes after its end) come back exactly.
    for (const ServiceImageField& f : serviceImageFields()) {
        if (!file.valueExists(kHead, f.key)) continue;
        const std::string value = file.readString(kHead, f.key);
        if (value == asLineValue(imageFieldText(bytes, f))) continue;
        if (!setImageField(bytes, f, value)) return wrong(f.key);
    }
    for (int list = 0; list < kFlowTickLists; ++list) {
        const std::string key = flowTicksKey(list);
        if (!file.valueExists(kHead, key)) continue;
        std::vector<long long> values;
        const std::string text = file.readString(kHead, key);
        size_t start = 0;
        while (true) {
            size_t semi = text.find(';', start);
            long long v;
            if (!parseInteger(text.substr(start, semi == std::string::npos ? semi : semi - start),
                              v))
                return wrong(key);
            values.push_back(v);
            if (semi == std::string::npos) break;
            start = semi + 1;
        }
        if (values.size() != static_cast<size_t>(kFlowTicksPerList)) return wrong(key);
        if (text != tickList(bytes, list) && !setImageFlowTicks(bytes, list, values))
            return wrong(key);
    }
    image = std::move(bytes);
    if (header)
        *header = {file.readString(kHead, "Serial"), file.readString(kHead, "Date"),
                   file.readString(kHead, "Time")};
    return true;
}

} // namespace getkelo
