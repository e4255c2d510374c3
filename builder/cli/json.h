// The little JSON that qpbc prints for scripts: one flat object of strings, numbers, booleans,
// nulls and lists of strings.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace qp {
namespace cli {

// `text` as a JSON string with its quotes. Texts are ANSI bytes: bytes from 0x80 up are written
// as the code points of the same number (\u0080 to \u00FF), so the output is plain ASCII and
// valid whatever the code page.
std::string JsonString(const std::string& text);

class JsonObject {
public:
    JsonObject& Add(const std::string& name, const std::string& value);
    JsonObject& Add(const std::string& name, const char* value) { return Add(name, std::string(value)); }
    JsonObject& Add(const std::string& name, bool value);
    JsonObject& Add(const std::string& name, std::uint64_t value);
    JsonObject& AddNull(const std::string& name);
    JsonObject& Add(const std::string& name, const std::vector<std::string>& values);
    // The object on one line, without a line end.
    std::string Text() const { return "{" + body_ + "}"; }

private:
    JsonObject& Raw(const std::string& name, const std::string& json);
    std::string body_;
};

}  // namespace cli
}  // namespace qp
