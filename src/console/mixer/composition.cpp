#include "console/mixer/composition.h"

#include "base/number_format.h"

#include <algorithm>

namespace getkelo {

std::vector<CompositionRow> compositionRows(const MixerDefinition& d, ShareUnit unit) {
    std::vector<CompositionRow> rows;
    for (size_t i = 0; i < d.shares.size(); ++i) {
        CompositionRow r;
        r.label = d.shares[i].gasName;
        r.share = d.shares[i].master ? kMasterShare
                                     : formatGeneral(d.shares[i].fraction * shareDivisor(unit));
        r.address = i < d.addresses.size() ? d.addresses[i] : 0;
        rows.push_back(std::move(r));
    }
    return rows;
}

std::vector<StoredShare> applyComposition(std::vector<CompositionRow>& rows, MixerType type,
                                          ShareUnit unit) {
    const double divisor = shareDivisor(unit);
    if (!rows.empty()) {
        if (type == MixerType::MasterSlave) {
            rows[0].share = kMasterShare;
        } else {
            double rest = divisor;
            for (size_t i = 1; i < rows.size(); ++i)
                rest -= textToDouble(rows[i].share);
            rows[0].share = formatGeneral(rest);
        }
    }
    std::vector<StoredShare> out;
    for (const CompositionRow& r : rows) {
        StoredShare s;
        s.gasName = r.label;
        if (r.share == kMasterShare)
            s.master = true;
        else
            s.fraction = textToDouble(r.share) / divisor;
        out.push_back(std::move(s));
    }
    return out;
}

void alignWithMarks(std::vector<CompositionRow>& rows, const std::vector<MarkedDevice>& marked) {
    std::vector<bool> taken(marked.size(), false);
    auto rowDevice = [&](const CompositionRow& r) -> int {
        for (size_t i = 0; i < marked.size(); ++i) {
            if (taken[i]) continue;
            if (r.address != 0 ? marked[i].address == r.address : marked[i].gasName == r.label)
                return static_cast<int>(i);
        }
        return -1;
    };
    std::vector<CompositionRow> kept;
    for (CompositionRow& r : rows) {
        int i = rowDevice(r);
        if (i < 0) continue;
        taken[i] = true;
        r.address = marked[i].address;
        kept.push_back(std::move(r));
    }
    for (size_t i = 0; i < marked.size(); ++i)
        if (!taken[i]) kept.push_back({marked[i].gasName, "0", marked[i].address});
    rows = std::move(kept);
}

} // namespace getkelo
