// Copy failures asked about once per run, and the folders a run has created.
#include "setup/engine/copyfailure.h"

#include <algorithm>

#include "common/pathutil.h"
#include "common/strutil.h"
#include "setup/engine/filerules.h"
#include "setup/engine/questions.h"

namespace qp {

CopyFailures::Next CopyFailures::OnFailure(Questions& questions, const std::string& text) {
    if (ignore_rest_) return kGoOn;
    switch (questions.CopyFailed(text)) {
    case Questions::kRetry: return kRetry;
    case Questions::kIgnore: ignore_rest_ = true; return kGoOn;
    default: return kStop;  // Abort, or the box closed without an answer
    }
}

void NoteMissingFolders(FileEffects& fx, const std::string& folder, std::vector<std::string>& created) {
    NoteMissingFolders([&fx](const std::string& p) { return fx.Exists(p); }, folder, created);
}

void NoteMissingFolders(const std::function<bool(const std::string&)>& exists, const std::string& folder,
                        std::vector<std::string>& created) {
    for (const std::string& path : MissingFolders(folder, exists)) {
        bool known = false;
        for (const auto& c : created) known = known || EqualNoCase(c, path);
        if (!known) created.push_back(path);
    }
}

void RemoveCreatedFolders(FileEffects& fx, std::vector<std::string>& created) {
    // A longer path lies deeper, or beside: either way its removal never needs a shorter one gone.
    std::stable_sort(created.begin(), created.end(),
                     [](const std::string& a, const std::string& b) { return a.size() > b.size(); });
    for (const auto& folder : created) fx.RemoveFolder(folder);
    created.clear();
}

}  // namespace qp
