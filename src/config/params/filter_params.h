#pragma once
#include "config/params/page_session.h"

#include <array>
#include <string>

namespace getkelo {

// The eight fields of page "Filter", in register order from 0x5C08.
inline constexpr int kFilterFields = 8;
struct FilterField {
    const char* name;    // register name
    const char* caption; // field caption
    uint8_t offset;      // from 0x5C08
    uint8_t type;
};
extern const std::array<FilterField, kFilterFields> kFilterFieldTable;

using FilterValues = std::array<std::string, kFilterFields>;

// Page "Filter": the filter block read in one request and written in one raw request.
class FilterParams {
  public:
    explicit FilterParams(PageContext context) : context_(std::move(context)) {}
    const FilterValues& values() const { return values_; }

    void tbsFilterT4Show();
    // Writes the fields as one block (up to 10 attempts), then shows the page again. A field
    // that holds no value of its register's type refuses the write with a message.
    void btnSaveFilterClick(const FilterValues& fields);

  private:
    PageContext context_;
    FilterValues values_;
};

} // namespace getkelo
