#include "shell/daily_access_code.h"

namespace getkelo {

std::string dailyAccessCode(const DateTime& date) {
    const int d = date.day, m = date.month, y = date.year;
    std::string code(5, ' ');
    code[0] = static_cast<char>('A' + (d * 3) % 26);          // day
    code[1] = static_cast<char>('0' + (y % 10));              // last digit of the year
    code[2] = static_cast<char>('K' + m);                     // month: L..W
    code[3] = static_cast<char>('A' + (d + m) % 26);          // day and month together
    code[4] = static_cast<char>('2' + (y / 10 % 10 + 3) % 8); // tens of the year: 2..9
    return code;
}

bool checkDailyAccessCode(const std::string& entry, const DateTime& date) {
    return entry == dailyAccessCode(date);
}

} // namespace getkelo
