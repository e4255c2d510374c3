// Text lookup and the report list of a run.
#include "setup/engine/runstate.h"

#include "setup/engine/questions.h"

namespace qp {

std::string RunState::Text(const std::string& key) const {
    if (!list) return "";
    return LookupText(*list, key, language_position, product_name);
}

std::string RunState::TextOrSelf(const std::string& key) const {
    std::string out;
    if (list && LookupText(*list, key, language_position, product_name, out)) return out;
    return key;
}

std::size_t AddReport(RunState& run, EngineEvents& events, const std::string& text) {
    run.report.push_back(text);
    events.ReportChanged(run.report.size() - 1, text);
    return run.report.size() - 1;
}

void SetReport(RunState& run, EngineEvents& events, std::size_t index, const std::string& text) {
    if (index >= run.report.size()) return;
    run.report[index] = text;
    events.ReportChanged(index, text);
}

}  // namespace qp
