#include "calib/certificate.h"

#include "base/date_time.h"
#include "base/ini_file.h"
#include "base/number_format.h"
#include "calib/calibration_run.h"
#include "calib/data_set_chooser.h"
#include "calib/list_helpers.h"
#include "calib/lut_correction.h"
#include "calib/section_names.h"
#include "comm/register_catalogue.h"

#include <algorithm>
#include <cctype>

namespace getkelo {
namespace {

std::string escape(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '<')
            out += "&lt;";
        else if (c == '>')
            out += "&gt;";
        else if (c == '&')
            out += "&amp;";
        else
            out += c;
    }
    return out;
}

// One tab-separated line as a table row.
std::string row(const std::string& line, bool header = false) {
    std::string out = "<tr>";
    size_t start = 0;
    for (;;) {
        const size_t tab = line.find('\t', start);
        const std::string cell = line.substr(start, tab == std::string::npos ? tab : tab - start);
        out += header ? "<th align=left>" : "<td>";
        out += escape(cell) + (header ? "</th>" : "</td>");
        if (tab == std::string::npos) break;
        start = tab + 1;
    }
    return out + "</tr>\n";
}

std::string block(const std::string& title, const std::vector<std::string>& lines,
                  int headerLines = 0) {
    std::string out = "<h3>" + escape(title) + "</h3>\n<table cellspacing=0 cellpadding=3>\n";
    for (size_t i = 0; i < lines.size(); ++i)
        out += row(lines[i], static_cast<int>(i) < headerLines);
    return out + "</table>\n";
}

std::string percentList(int points) {
    std::string out = "0";
    for (double p : nominalPercents(points))
        out += ";" + formatGeneral(p, 4);
    return out;
}

} // namespace

Certificate::Certificate(std::string dataFile, std::string referenceIni)
    : dataFile_(std::move(dataFile)), referenceIni_(std::move(referenceIni)) {}

std::vector<std::string> Certificate::dataSets() const {
    return dataSetEntries(
        DataSetQuery::fromList({dataFile_, "DATA", "Mode", "Flow", "Date", "Gas", "SetTemp"}));
}

std::vector<std::string> Certificate::storedCertificates() const {
    return dataSetEntries(DataSetQuery::fromList(
        {dataFile_, "CERTIFICATE", "NOP", "NOP", "Date", "FlowRange", "FlowUnit"}));
}

bool Certificate::LadenClick(const std::string& section, CertificateInput& in) const {
    const IniFile f(dataFile_);
    if (section.rfind("CERTIFICATE", 0) != 0 || !f.sectionExists(section)) return false;
    auto keep = [&](const char* key, std::string& into) {
        if (f.valueExists(section, key)) into = f.readString(section, key);
    };
    keep("TypeCode", in.typeCode);
    keep("FlowUnit", in.flowUnit);
    keep("Gas", in.gas);
    keep("Temperature", in.customerTemperature);
    keep("Pressure", in.pressureCustomer);
    keep("DataSource", in.dataSection);
    keep("OperatorName", in.operatorName);
    keep("ABNo", in.orderNo);
    keep("Function", in.function);
    double range = 0;
    if (parseNumber(f.readString(section, "FlowRange"), range)) in.fullScale = range;
    const std::vector<double> points = ParseFloatList(f.readString(section, "NominalPoints"));
    if (points.size() > 1) in.points = static_cast<int>(points.size()) - 1;
    return true;
}

std::string Certificate::ErzeugenBtnClick(const CertificateInput& in, const DateTime& today) {
    last_ = in;
    made_ = true;
    references_ = readReferenceInstruments(referenceIni_);
    CertificatePoints points =
        readCertificatePoints(dataFile_, in.dataSection, in.flowUnit, in.mlnLists);
    points.fullScale = in.fullScale;
    lines_ = {kZeroResultLine};
    for (double p : nominalPercents(in.points))
        lines_.push_back(ResultLine(points, p / 100));

    const IniFile f(dataFile_);
    auto value = [&](const char* key, const char* missing = "") {
        return f.valueExists(in.dataSection, key) ? f.readString(in.dataSection, key)
                                                  : std::string(missing);
    };
    setTemp_ = value("SetTemp");
    const std::string ambient = ParseFloatList(value("PressureAmb", "0")).front() != 0
                                    ? formatGeneral(ParseFloatList(value("PressureAmb")).front())
                                    : "0";
    const std::vector<std::string> refUsed = points.refUsed;
    std::string used;
    for (const std::string& u : refUsed)
        if (!u.empty() && used.find(u) == std::string::npos) used += (used.empty() ? "" : ", ") + u;

    std::string html =
        "<html><body style=\"font-family:Arial\">\n<h2>" +
        escape("Calibration report\t" + in.typeText + " - " + in.serial + " - " + in.typeCode) +
        "</h2>\n";
    std::vector<std::string> ident = {"Tested device\t\tUsed reference", in.function + "\t\t"};
    const ReferenceInstrument none;
    auto ref = [&](size_t i) -> const ReferenceInstrument& {
        return i < references_.size() ? references_[i] : none;
    };
    ident.push_back("Type:\t" + in.typeText + "\tType:\t" + ref(0).type);
    ident.push_back("Serial No:\t" + in.serial + "\tSerial No:\t" + ref(0).serial);
    ident.push_back("Code:\t" + in.typeCode + "\tCode:\t" + ref(0).code);
    ident.push_back("Certificate:\t" + last_.orderNo + "\tCertificate:\t" + ref(0).certificate);
    ident.push_back("Used Ref:\t" + used + "\t\t");
    for (size_t i = 1; i < references_.size(); ++i)
        if (!ref(i).empty())
            ident.push_back("\t\tU" + std::to_string(ref(i).number) + ":\t" + ref(i).type + " " +
                            ref(i).serial + " " + ref(i).certificate);
    html += block("Identifications", ident, 1);
    html += "<p>Data source: " + escape(in.dataSection + " " + value("Date")) + "</p>\n";
    html += block(
        "Conditions",
        {"Customer\t\tCalibration\t", "Fluid:\t" + in.gas + "\tFluid:\t" + value("Gas", "-"),
         "Pressure:\t" + in.pressureCustomer + " bar a\tPressure:\t" + in.pressureCalib + " bar a",
         "Temperature:\t" + in.customerTemperature + " °C\tTemperature:\t" + setTemp_ + " °C",
         "\t\tAtmospheric pressure: " + ambient + " mbar a\t",
         "Range:\t" + formatPattern(in.fullScale, "0.###") + " " + in.flowUnit +
             "\tReference conditions:\t20°C / 1.013 bar a",
         "Turn-down:\t1:" + in.turnDown + "\t\t",
         "Unit:\t[" + in.flowUnit + "]\tUnit Ref.:\t" + in.flowUnit},
        1);
    std::vector<std::string> result = {"Nominal\tReference\tDUT\tDeviation\tDeviation\tUsed Ref.",
                                       "Point\tFlow [" + in.flowUnit + "]\tFlow [" + in.flowUnit +
                                           "]\t[%MV]\t[%FS]\t"};
    result.insert(result.end(), lines_.begin(), lines_.end());
    html += block("Result flow", result, 2);
    html += block("Additional information",
                  {"Calibrator:\t" + in.operatorName, "Calibration date:\t" + value("Date"),
                   "Printing date:\t" + formatShortDate(today), "Comment:\t" + in.comment});
    return html + "</body></html>\n";
}

CertificateInput certificateDefaults(const CalibrationRun& run) {
    const CalibrationDevice& d = run.device();
    const RunSettings& s = run.settings();
    CertificateInput in;
    in.typeText = d.typeText;
    in.typeCode = d.typeCode;
    in.serial = d.serial;
    in.gas = s.gas.empty() ? d.gas : s.gas;
    in.function = d.functions & reg::kFnController ? "Flow Controller" : "Flow Meter";
    const std::string& unit = run.flowUnit(); // "Fehler" when the run could not read it
    in.flowUnit = !unit.empty() && unit != "Fehler" ? unit
                  : !d.flowUnit.empty()             ? d.flowUnit
                                                    : in.flowUnit;
    if (!parseNumber(run.fullScaleText(), in.fullScale)) parseNumber(d.range, in.fullScale);
    in.operatorName = s.operatorName;
    in.comment = s.remark;
    double gauge = 0, ambient = 0;
    parseNumber(s.calibPressure, gauge);
    parseNumber(s.ambientPressure, ambient);
    in.pressureCalib = in.pressureCustomer = formatPattern(gauge + ambient * 0.001, "0.###");
    return in;
}

std::string Certificate::choosePrinter(const std::vector<std::string>& names,
                                       const std::string& current) {
    for (const std::string& name : names)
        if (name.find("2100") != std::string::npos) return name;
    return current;
}

bool Certificate::isDocumentWriter(const std::string& printerName) {
    std::string lower = printerName;
    for (char& c : lower)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower.find("distiller") != std::string::npos || lower.find("pdf") != std::string::npos;
}

std::string Certificate::recordPrinted(const std::string& printerName, bool restoring,
                                       const DateTime& now, std::string* error) {
    if (!made_ || restoring || isDocumentWriter(printerName)) return "";
    IniFile f(dataFile_);
    const std::string section = nextSectionName(f, "CERTIFICATE");
    const std::vector<std::pair<std::string, std::string>> pairs = {
        {"Date", formatShortDate(now)},
        {"Time", formatLongTime(now)},
        {"OperatorName", last_.operatorName},
        {"DataSource", last_.dataSection},
        {"CertificateIdent", std::to_string(lutIdentity(now))},
        {"ABNo", last_.orderNo},
        {"Function", last_.function},
        {"TypeCode", last_.typeCode},
        {"Gas", last_.gas},
        {"Pressure", last_.pressureCustomer},
        {"PressureUnit", "bar a"},
        {"Temperature", last_.customerTemperature},
        {"TemperatureUnit", "°C"},
        {"FlowRange", formatGeneral(last_.fullScale)},
        {"FlowUnit", last_.flowUnit},
        {"NominalPoints", percentList(last_.points)},
        {"Reference_1", references_.size() > 0 ? references_[0].line : ""},
        {"Reference_2", references_.size() > 1 ? references_[1].line : ""},
        {"Reference_3", references_.size() > 2 ? references_[2].line : ""},
    };
    {
        IniFile::Batch batch(f);
        for (const auto& [k, v] : pairs)
            f.writeString(section, k, v);
    }
    if (!f.lastError().empty()) {
        if (error) *error = f.lastError();
        return "";
    }
    return section;
}

} // namespace getkelo
