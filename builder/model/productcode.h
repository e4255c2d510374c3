// The product's identity and product strings as release builds set them: the GUID text form,
// GUIDs derived from a name, storing a made GUID back into a project file, and product strings
// given for one build.
#pragma once
#include <string>

#include "builder/model/doc.h"
#include "common/report.h"

namespace qp {

// The longest key or value SetBuildString takes: what one text field of the setup list holds.
constexpr std::size_t kBuildStringMax = 259;

// Reads a GUID written as 8-4-4-4-12 hexadecimal digits (either case, braces optional) and
// gives it in the builder's text form (FormatGuid). False for anything else.
bool ParseGuidText(const std::string& text, std::string& canonical);

// A GUID derived from `name` (name-based, SHA-1, version 5): the same name always gives the
// same GUID, in the builder's text form.
std::string NameBasedGuid(const std::string& name);

// The product GUID of a project imported from the ".ipr" at `ipr_path`: derived from the file's
// name and the project's company and product names, so that building the same tree again,
// wherever it lies, gives the same GUID.
std::string ImportedProductGuid(const CDazDoc& doc, const std::string& ipr_path);

// Writes `guid` into the product GUID field of the project file at `path`, leaving every other
// byte as it is, through a temporary file and a rename. Refuses (false, reported) a file that
// is not a project file or whose GUID field is no longer empty.
bool StoreProductGuid(const std::string& path, const std::string& guid, Reporter& reporter);

// What SetBuildString did.
enum class BuildStringResult {
    kChanged,     // the project's string now has the value in every language
    kAdded,       // the key was new: a product string was added with the value
    kWizardText,  // refused: the key names a wizard text
    kBadKey,      // refused: not a valid key (letters, digits and "_", not starting with a digit)
    kTooLong,     // refused: the key or the value does not fit the setup list
};

// Sets the product string `key` to `value` in every language of the document (language 0 when
// it has none), adding it when the project lacks it; wizard texts and malformed keys are refused
// and leave the document unchanged.
BuildStringResult SetBuildString(CDazDoc& doc, const std::string& key, const std::string& value);

}  // namespace qp
