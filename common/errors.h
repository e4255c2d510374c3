// Typed errors of the portable code. The caller at the edge (a window, qpbc, setup.exe)
// turns them into the message the user sees.
#pragma once
#include <stdexcept>
#include <string>

namespace qp {

// The input is not what the format allows (bad magic, a count past the end, ...).
class FormatError : public std::runtime_error {
public:
    explicit FormatError(const std::string& what) : std::runtime_error(what) {}
};

// A file could not be opened, read, written or renamed.
class IoError : public std::runtime_error {
public:
    explicit IoError(const std::string& what) : std::runtime_error(what) {}
};

}  // namespace qp
