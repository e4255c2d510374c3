// The kit-build policy (see kitprepare.h).
#include "builder/kit/kitprepare.h"

#include "builder/model/productcode.h"
#include "common/pathutil.h"
#include "common/strutil.h"

namespace qp {

namespace {

bool EndsWithIpr(const std::string& path) {
    return path.size() >= 4 && EqualNoCase(path.substr(path.size() - 4), ".ipr");
}

// The refusal of one --set value, or empty when the string was set.
std::string SetString(CDazDoc& doc, const std::string& key, const std::string& value, Reporter& reporter) {
    switch (SetBuildString(doc, key, value)) {
    case BuildStringResult::kChanged: return "";
    case BuildStringResult::kAdded:
        reporter.Report(Severity::Info, key + " is not a string of the project; it is added for this build");
        return "";
    case BuildStringResult::kWizardText: return "--set " + key + ": " + key + " is a wizard text, not a product string";
    case BuildStringResult::kBadKey:
        return "--set " + key + ": \"" + key + "\" is not a valid key (letters, digits and _, not starting with a digit)";
    case BuildStringResult::kTooLong:
        return "--set " + key + ": the key or the value is longer than " + std::to_string(kBuildStringMax) +
               " characters";
    }
    return "";
}

}  // namespace

bool IsAbsolutePath(const std::string& p) {
    if (p.empty()) return false;
    if (IsPathSeparator(p[0])) return true;
    return p.size() >= 2 && p[1] == ':';
}

KitPreparation PrepareKitBuild(CDazDoc& doc, const KitPrepareOptions& options, KitBuildParams& params,
                               Reporter& reporter) {
    KitPreparation out;
    for (const auto& [key, value] : options.sets) {
        out.refusal = SetString(doc, key, value, reporter);
        if (!out.refusal.empty()) {
            out.status = KitPrepareStatus::kRefused;
            return out;
        }
    }
    const std::string advice = options.guid_advice.empty() ? std::string() : "; " + options.guid_advice;
    auto fail = [&](const std::string& text) {
        reporter.Report(Severity::Error, text + advice);
        out.status = KitPrepareStatus::kFailed;
        return out;
    };

    // One product code for every kit of the project: given, derived for an imported tree, or
    // made once and kept in the project file.
    const std::string& path = options.project_path;
    const std::string stored = doc.settings_block.product_guid();
    if (!options.product_code.empty()) {
        if (!stored.empty() && stored != options.product_code)
            reporter.Report(Severity::Info, "product GUID " + options.product_code + " from the command line; the project's own, " +
                                                stored + ", is not used for this kit");
        doc.settings_block.set_product_guid(options.product_code);
    } else if (stored.empty() && EndsWithIpr(path)) {
        doc.settings_block.set_product_guid(ImportedProductGuid(doc, path));
        doc.SetModifiedFlag();  // a save keeps it
        reporter.Report(Severity::Info, "product GUID " + doc.settings_block.product_guid() +
                                            " derived from the project's file name, company and product names");
    } else if (stored.empty()) {
        if (!doc.EnsureProductGuid()) return fail("no product GUID could be made");
        const std::string guid = doc.settings_block.product_guid();
        if (!path.empty()) {
            if (!StoreProductGuid(path, guid, reporter))
                return fail("the project has no product GUID and the new one could not be kept");
            std::string keep = " (keep the changed project";
            if (!options.guid_advice.empty()) keep += ", or build with --product-code " + guid;
            reporter.Report(Severity::Info, "the project had no product GUID; " + guid + " is stored in " + path + keep +
                                                ", so that every kit is the same product)");
        }
    }
    out.product_code = doc.settings_block.product_guid();

    // Side files named without a folder are taken from the project's folder, so that a project
    // builds the same from any working directory (its data files are found there too).
    const std::string project_dir = FolderOf(path.empty() ? doc.PathName() : path);
    params.side_files.assign(doc.side_file_paths.begin(), doc.side_file_paths.begin() + 3);
    for (std::string& p : params.side_files)
        if (!p.empty() && !IsAbsolutePath(p) && !project_dir.empty()) p = JoinPath(project_dir, p);
    return out;
}

}  // namespace qp
