// How portable code talks to the user without showing a window: the GUI implements these with
// message boxes and a progress bar, qpbc with stderr and a progress line, tests with a recorder.
#pragma once
#include <cstdint>
#include <string>

namespace qp {

enum class Severity { Info, Warning, Error };

class Reporter {
public:
    virtual ~Reporter() = default;
    // `text` is the message exactly as the user sees it.
    virtual void Report(Severity severity, const std::string& text) = 0;
    // A message that has a caption of its own (the title of its message box). Reporters that
    // show no captions keep the default, which passes the text on alone.
    virtual void Report(Severity severity, const std::string& text, const std::string& caption) {
        (void)caption;
        Report(severity, text);
    }
};

// Long work reports how far it got; a false return asks the work to stop.
class Progress {
public:
    virtual ~Progress() = default;
    virtual void Status(const std::string& text) { (void)text; }
    virtual bool Step(std::uint64_t done, std::uint64_t total) = 0;
};

// A reporter that drops everything, for callers that do not care.
class NullReporter : public Reporter {
public:
    using Reporter::Report;
    void Report(Severity, const std::string&) override {}
};

}  // namespace qp
