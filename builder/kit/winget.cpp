// The package manager's manifests: values read back from the one program, written as YAML.
#include "builder/kit/winget.h"

#include <cctype>
#include <cstdio>
#include <memory>

#include "builder/kit/sha256.h"
#include "common/errors.h"
#include "common/fileio.h"
#include "common/kitpayload.h"
#include "common/pathutil.h"
#include "common/report.h"
#include "common/setuplist.h"

namespace qp {
namespace {

// The characters a part of an identifier and a version may not hold, besides control characters.
bool Forbidden(unsigned char c, bool dot_too) {
    if (c < 0x20 || c == 0x7F) return true;
    if (dot_too && (c == '.' || c == ' ' || c == '\t')) return true;
    return std::string("\\/:*?\"<>|").find(static_cast<char>(c)) != std::string::npos;
}

bool ValidIdentifier(const std::string& id) {
    if (id.size() > 128) return false;
    std::size_t parts = 0, len = 0;
    for (std::size_t i = 0; i <= id.size(); ++i) {
        if (i == id.size() || id[i] == '.') {
            if (len == 0 || len > 32) return false;
            ++parts;
            len = 0;
        } else if (Forbidden(static_cast<unsigned char>(id[i]), true) || static_cast<unsigned char>(id[i]) >= 0x80) {
            return false;
        } else {
            ++len;
        }
    }
    return parts >= 2 && parts <= 8;
}

bool ValidLocale(const std::string& l) {
    // ^([a-zA-Z]{2,3}|[iI]-[a-zA-Z]+|[xX]-[a-zA-Z]{1,8})(-[a-zA-Z]{1,8})*$, at most 20 characters
    if (l.empty() || l.size() > 20) return false;
    std::vector<std::string> parts(1);
    for (char c : l) {
        if (c == '-') parts.emplace_back();
        else if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) parts.back() += c;
        else return false;
    }
    for (const auto& p : parts)
        if (p.empty() && &p != &parts[0]) return false;
    std::size_t rest = 1;
    const std::string& first = parts[0];
    if (first.size() == 1 && (first == "i" || first == "I" || first == "x" || first == "X")) {
        if (parts.size() < 2) return false;
        if ((first == "x" || first == "X") && parts[1].size() > 8) return false;
        rest = 2;
    } else if (first.size() < 2 || first.size() > 3) {
        return false;
    }
    for (std::size_t i = rest; i < parts.size(); ++i)
        if (parts[i].size() > 8) return false;
    return true;
}

bool ValidUrl(const std::string& url) {
    auto starts = [&](const std::string& scheme) {
        if (url.size() <= scheme.size()) return false;
        for (std::size_t i = 0; i < scheme.size(); ++i)
            if (std::tolower(static_cast<unsigned char>(url[i])) != scheme[i]) return false;
        return true;
    };
    return url.size() <= 2048 && (starts("http://") || starts("https://"));
}

// ANSI text (Windows-1252) as UTF-8.
std::string Utf8(const std::string& ansi) {
    static const unsigned short k80[32] = {0x20AC, 0x81,   0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                           0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x8D,   0x017D, 0x8F,
                                           0x90,   0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                           0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x9D,   0x017E, 0x0178};
    std::string out;
    for (unsigned char c : ansi) {
        unsigned cp = c >= 0x80 && c < 0xA0 ? k80[c - 0x80] : c;
        if (cp < 0x80) {
            out += static_cast<char>(cp);
        } else if (cp < 0x800) {
            out += static_cast<char>(0xC0 | cp >> 6);
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | cp >> 12);
            out += static_cast<char>(0x80 | (cp >> 6 & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        }
    }
    return out;
}

// A YAML double-quoted scalar.
std::string Q(const std::string& ansi) {
    std::string out = "\"";
    for (char c : Utf8(ansi)) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\t') {
            out += "\\t";
        } else if (u < 0x20 || u == 0x7F) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\x%02X", u);
            out += buf;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

std::string Header(const char* type) {
    return std::string("# Made by qpbc from the one-file kit it built.\n# yaml-language-server: $schema=https://aka.ms/winget-manifest.") +
           type + "." + kWingetManifestVersion + ".schema.json\n\n";
}

std::string Footer(const char* type) {
    return std::string("ManifestType: ") + type + "\nManifestVersion: " + kWingetManifestVersion + "\n";
}

// The level the runtime's manifest asks for, as the package manager names the requirement: a
// program that asks for administrator rights gets them from Windows itself at start.
std::string ElevationOf(const std::vector<std::uint8_t>& runtime) {
    const std::string image(runtime.begin(), runtime.end());
    const std::size_t at = image.find("requestedExecutionLevel");
    if (at != std::string::npos) {
        const std::size_t end = image.find('>', at);
        const std::string element = image.substr(at, end == std::string::npos ? 200 : end - at);
        if (element.find("requireAdministrator") != std::string::npos || element.find("highestAvailable") != std::string::npos)
            return "elevatesSelf";
    }
    // Run as invoked, a machine-wide installation needs an elevated caller.
    return "elevationRequired";
}

std::string Need(const std::string& value, std::size_t min, std::size_t max, const std::string& what) {
    if (value.size() < min || value.size() > max)
        throw FormatError(what + " must have " + std::to_string(min) + " to " + std::to_string(max) +
                          " characters for the package manager, not \"" + value + "\"");
    return value;
}

}  // namespace

std::string WingetOptionsProblem(const WingetOptions& o) {
    if (o.installer_url.empty()) return "--winget-manifest needs --installer-url URL (where the program will be downloaded from)";
    if (!ValidUrl(o.installer_url)) return "--installer-url must start with http:// or https://, not \"" + o.installer_url + "\"";
    if (o.license.empty()) return "--winget-manifest needs --license TEXT (the manifest's License, which the package manager requires)";
    if (o.license.size() < 3 || o.license.size() > 512) return "--license must have 3 to 512 characters";
    if (!ValidLocale(o.locale)) return "--locale must be a language tag such as en-US, not \"" + o.locale + "\"";
    if (!o.package_identifier.empty() && !ValidIdentifier(o.package_identifier))
        return "--package-identifier must be 2 to 8 parts of 1 to 32 characters joined by '.', without blanks or \\/:*?\"<>|, not \"" +
               o.package_identifier + "\"";
    return std::string();
}

std::string DerivedPackageIdentifier(const std::string& publisher, const std::string& product) {
    std::string id;
    for (const std::string* name : {&publisher, &product}) {
        std::string part;
        for (unsigned char c : *name)
            if (!Forbidden(c, true) && c < 0x80 && part.size() < 32) part += static_cast<char>(c);
        if (part.empty()) return std::string();
        id += (id.empty() ? "" : ".") + part;
    }
    return id;
}

std::string ProductVersionOf(const SetupList& list) {
    const std::string product = LookupText(list, "PRODUCT_NAME", 0, std::string());
    std::string v = LookupText(list, "DisplayVersion", 0, product);
    return v.empty() ? LookupText(list, "PRODUCT_VERSION", 0, product) : v;
}

WingetManifests MakeWingetManifests(const std::string& program, const WingetOptions& o) {
    const std::string problem = WingetOptionsProblem(o);
    if (!problem.empty()) throw FormatError(problem);
    std::unique_ptr<ByteSource> src = OpenByteSource(HostPath(program));
    KitPayload payload;
    std::string why;
    if (FindKitPayload(*src, payload, &why) != KitPayloadFound::kFound)
        throw FormatError(program + " is no intact one-file kit" + (why.empty() ? std::string() : ": " + why));
    const KitPayloadFile* lst = payload.Find("setup.lst");
    if (!lst) throw FormatError(program + " carries no setup.lst");
    const SetupList list = ReadSetupList(ReadPayloadFile(*src, *lst));
    const PeLayout pe = ReadPeLayout(*src);
    const std::vector<std::uint8_t> runtime = PlainRuntime(*src, payload);
    src.reset();

    const std::string product = LookupText(list, "PRODUCT_NAME", 0, std::string());
    auto text = [&](const char* key) { return LookupText(list, key, 0, product); };
    WingetManifests m;
    const std::string registered_publisher = text("Publisher");
    const std::string publisher = registered_publisher.empty() ? text("COMPANY_NAME") : registered_publisher;
    m.version = ProductVersionOf(list);
    if (m.version.empty())
        throw FormatError("the product has no version for the manifests: set DisplayVersion or PRODUCT_VERSION (--set DisplayVersion=1.0)");
    for (unsigned char c : m.version)
        if (Forbidden(c, false)) throw FormatError("the product version \"" + m.version + "\" holds a character the package manager refuses");
    Need(m.version, 1, 128, "the product version");
    m.identifier = o.package_identifier.empty() ? DerivedPackageIdentifier(publisher, product) : o.package_identifier;
    if (!ValidIdentifier(m.identifier))
        throw FormatError("no package identifier can be made from the publisher \"" + publisher + "\" and the product \"" +
                          product + "\"; give one with --package-identifier Publisher.Product");
    const std::string comments = text("Comments");
    const std::string short_description = comments.size() >= 3 ? comments : product;
    const std::string guid = list.settings.product_guid();
    const std::string arch = pe.machine == 0x8664 ? "x64" : pe.machine == 0x14C ? "x86" : std::string();
    if (arch.empty()) throw FormatError(program + " is for a machine the package manager does not list");
    const std::string sha = FileSha256(program);
    if (sha.empty()) throw FormatError("cannot read " + program);

    const std::string head = "PackageIdentifier: " + Q(m.identifier) + "\nPackageVersion: " + Q(m.version) + "\n";
    std::string version = Header("version") + head + "DefaultLocale: " + o.locale + "\n" + Footer("version");

    std::string installer = Header("installer") + head;
    installer += "InstallerType: exe\nScope: machine\nInstallModes:\n- interactive\n- silent\n- silentWithProgress\n";
    installer += "InstallerSwitches:\n  Silent: \"-s\"\n  SilentWithProgress: \"-s\"\n  Log: \"-log \\\"<LOGPATH>\\\"\"\n";
    installer += "UpgradeBehavior: install\nElevationRequirement: " + ElevationOf(runtime) + "\n";
    installer += "ProductCode: " + Q(guid) + "\n";
    installer += "AppsAndFeaturesEntries:\n- ProductCode: " + Q(guid) + "\n";
    const std::string display_name = text("UNINST_DISPLAY_NAME"), display_version = text("DisplayVersion");
    if (!display_name.empty()) installer += "  DisplayName: " + Q(Need(display_name, 1, 256, "UNINST_DISPLAY_NAME")) + "\n";
    if (!display_version.empty()) installer += "  DisplayVersion: " + Q(Need(display_version, 1, 128, "DisplayVersion")) + "\n";
    if (!registered_publisher.empty()) installer += "  Publisher: " + Q(Need(registered_publisher, 1, 256, "Publisher")) + "\n";
    installer += "  InstallerType: exe\n";
    // What setup.exe's exit statuses mean (README: exit status of setup.exe).
    installer += "ExpectedReturnCodes:\n";
    const std::pair<int, const char*> codes[] = {{1602, "cancelledByUser"},
                                                 {1603, "contactSupport"},
                                                 {1618, "installInProgress"},
                                                 {1638, "downgrade"},
                                                 {3010, "rebootRequiredToFinish"},
                                                 {1, "contactSupport"}};
    for (const auto& [code, response] : codes)
        installer += "- InstallerReturnCode: " + std::to_string(code) + "\n  ReturnResponse: " + response + "\n";
    installer += "Installers:\n- Architecture: " + arch + "\n  InstallerUrl: " + Q(o.installer_url) + "\n  InstallerSha256: " + Q(sha) + "\n";
    installer += Footer("installer");

    std::string locale = Header("defaultLocale") + head + "PackageLocale: " + o.locale + "\n";
    locale += "Publisher: " + Q(Need(publisher, 2, 256, "the publisher (Publisher, else COMPANY_NAME)")) + "\n";
    locale += "PackageName: " + Q(Need(product, 2, 256, "the product name (PRODUCT_NAME)")) + "\n";
    locale += "License: " + Q(o.license) + "\n";
    locale += "ShortDescription: " + Q(Need(short_description, 3, 256, "the short description (Comments, else PRODUCT_NAME)")) + "\n";
    locale += Footer("defaultLocale");

    m.files = {{m.identifier + ".yaml", version},
               {m.identifier + ".installer.yaml", installer},
               {m.identifier + ".locale." + o.locale + ".yaml", locale}};
    return m;
}

std::vector<std::string> WriteWingetManifests(const std::string& dir, const WingetManifests& m) {
    NullReporter quiet;
    if (!CreateDirectoryPath(dir, quiet)) throw IoError("cannot create the folder " + dir);
    std::vector<std::string> written;
    for (const auto& [name, text] : m.files) {
        const std::string path = JoinPath(dir, name);
        if (WriteFileReplacing(HostPath(path), text.data(), text.size()) != FileResult::kOk)
            throw IoError("cannot write " + path);
        written.push_back(path);
    }
    return written;
}

}  // namespace qp
