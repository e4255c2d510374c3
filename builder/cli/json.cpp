// JSON output of qpbc.
#include "builder/cli/json.h"

#include <cstdio>

namespace qp {
namespace cli {

std::string JsonString(const std::string& text) {
    std::string out = "\"";
    for (char ch : text) {
        const unsigned char c = static_cast<unsigned char>(ch);
        switch (c) {
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            default:
                if (c < 0x20 || c >= 0x7F) {
                    char buf[8];
                    std::snprintf(buf, sizeof buf, "\\u%04X", c);
                    out += buf;
                } else {
                    out += ch;
                }
        }
    }
    return out + "\"";
}

JsonObject& JsonObject::Raw(const std::string& name, const std::string& json) {
    if (!body_.empty()) body_ += ", ";
    body_ += JsonString(name) + ": " + json;
    return *this;
}

JsonObject& JsonObject::Add(const std::string& name, const std::string& value) { return Raw(name, JsonString(value)); }
JsonObject& JsonObject::Add(const std::string& name, bool value) { return Raw(name, value ? "true" : "false"); }
JsonObject& JsonObject::Add(const std::string& name, std::uint64_t value) { return Raw(name, std::to_string(value)); }
JsonObject& JsonObject::AddNull(const std::string& name) { return Raw(name, "null"); }

JsonObject& JsonObject::Add(const std::string& name, const std::vector<std::string>& values) {
    std::string list = "[";
    for (std::size_t i = 0; i < values.size(); ++i) list += (i ? ", " : "") + JsonString(values[i]);
    return Raw(name, list + "]");
}

}  // namespace cli
}  // namespace qp
