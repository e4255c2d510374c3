// The Windows Package Manager's manifests for a one-file kit: the version, installer and
// default-locale manifests (ManifestVersion 1.10.0), made from what the program carries (its
// setup list, its architecture, its manifest's execution level) and from the program's SHA-256
// as written, after signing.
#pragma once
#include <string>
#include <vector>

namespace qp {

struct SetupList;

constexpr char kWingetManifestVersion[] = "1.10.0";

struct WingetOptions {
    std::string installer_url;       // required: http:// or https://
    std::string package_identifier;  // empty: derived from the publisher and product names
    std::string locale = "en-US";
    std::string license;             // required by the schema
};

// The texts of the three manifests, and the file names the package manager's repository
// gives them: ID.yaml, ID.installer.yaml, ID.locale.LOCALE.yaml.
struct WingetManifests {
    std::string identifier, version;
    std::vector<std::pair<std::string, std::string>> files;  // file name, UTF-8 YAML text
};

// A problem with the options alone (bad URL, locale or identifier, licence missing): the text
// for a usage error, empty when none.
std::string WingetOptionsProblem(const WingetOptions& options);

// "Publisher.Product" from the two names, keeping only the characters the identifier allows,
// each part at most 32 of them; empty when a part has none left.
std::string DerivedPackageIdentifier(const std::string& publisher, const std::string& product);

// What the runtime registers for a setup list (language 0): the product version
// ("DisplayVersion", else "PRODUCT_VERSION"), the publisher and so on.
std::string ProductVersionOf(const SetupList& list);

// The manifests of the one program at `program`. Throws FormatError naming what is missing
// (no version, a publisher too short, ...) or why the program cannot be read.
WingetManifests MakeWingetManifests(const std::string& program, const WingetOptions& options);

// Writes the manifests into `dir` (created when missing). Returns the paths written; throws
// IoError.
std::vector<std::string> WriteWingetManifests(const std::string& dir, const WingetManifests& manifests);

}  // namespace qp
