// How the engine asks the user and tells what it does, without showing a window itself: the
// wizard answers with message boxes and its install page, an unattended run with fixed answers.
#pragma once
#include <string>

namespace qp {

class Questions {
public:
    enum Answer { kAbort = 3, kRetry = 4, kIgnore = 5 };  // the message-box answer ids
    enum Icon { kNoIcon, kErrorIcon, kQuestionIcon };

    virtual ~Questions() = default;
    // A locked file: Abort, Retry or Ignore.
    virtual int AbortRetryIgnore(const std::string& text, const std::string& caption) = 0;
    // A file could not be copied (`text` is its report line): Abort, Retry or Ignore, asked as
    // the locked file is. An unattended run answers Ignore and logs the text.
    virtual int CopyFailed(const std::string& text) { return AbortRetryIgnore(text, "Failed to copy file"); }
    // A message with an OK button.
    virtual void Message(const std::string& text, const std::string& caption, Icon icon) = 0;
    // The kit archive is missing: let the user pick the folder that holds it, or a one-file kit
    // (the path of the program then comes back). False = cancelled.
    virtual bool PickFolder(const std::string& title, std::string& folder) = 0;
};

// What the install page shows while the engine works.
class EngineEvents {
public:
    virtual ~EngineEvents() = default;
    virtual void Status(const std::string& text) { (void)text; }  // the component's status line
    virtual void ProgressRange(int files) { (void)files; }
    virtual void ProgressPos(int pos) { (void)pos; }
    virtual void FileText(const std::string& path) { (void)path; }
    // A report line was added (index == size-1) or changed.
    virtual void ReportChanged(std::size_t index, const std::string& text) { (void)index; (void)text; }
    // Between files: let the window handle its messages (Cancel may set the abort flag).
    virtual void Pump() {}
};

}  // namespace qp
