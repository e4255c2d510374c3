// The example product as the tests that build and install it use it: a copy of its own in a work
// folder, under a product GUID of this run's own.
#pragma once
#include <filesystem>
#include <string>

namespace qptest {

// Empties `work` and copies the example project folder `example_dir` into it; the copy's project
// gets the product GUID RunGuid(`guid_family`), so that a run that failed half-way with the
// product installed never turns the next run's first install into a maintenance run. The path of
// the copy's project file, or empty (with a test failure) when that could not be done.
std::string CopyExample(const std::filesystem::path& example_dir, const std::filesystem::path& work,
                        const std::string& guid_family);

// What "qpbc dump" prints for `file` after its first line, which names the file: two projects
// (or setup lists) with the same content dump alike wherever they are.
std::string DumpBody(const std::string& qpbc, const std::string& file, const std::string& work_dir);

}  // namespace qptest
