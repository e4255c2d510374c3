// A project with real files in a temporary folder, for the kit tests.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "builder/model/doc.h"
#include "support/testutil.h"

namespace kittest {

// Writes `size` bytes (a repeating pattern) to `path`, making its folders.
void MakeFile(const std::string& path, std::size_t size, char fill = 'x');

// The member names of the zip archive at `path` (empty when it cannot be read).
std::vector<std::string> ZipMembers(const std::string& path);
// The data of one member ("" when missing).
std::string ZipMember(const std::string& path, const std::string& member);

// Files of `names` (relative to `dir`) that exist.
std::vector<std::string> ExistingFiles(const std::string& dir);

// A project in dir/proj.qpk (path set, not saved): group "Program" with app.exe (3000 bytes)
// and bin\tool.dll (1023 bytes); group "Docs" with app.exe (a second file of the same name,
// 2048 bytes). Every file lies below dir/src.
std::unique_ptr<qp::CDazDoc> SmallProject(const qptest::TempDir& dir);

// SmallProject saved to dir/proj.qpk; its path.
std::string SaveSmallProject(const qptest::TempDir& dir);

// Saves `doc` as a project file at `path` (a test failure when that fails).
void SaveProjectTo(qp::CDazDoc& doc, const std::string& path);

// A runtime stand-in to copy as setup.exe.
std::string FakeRuntime(const qptest::TempDir& dir);

// A minimal Windows program (i386, one section that returns at once), for signers and for
// one-file kits, which need a PE image as their runtime. With `x64`, a PE32+ for x86-64.
std::vector<std::uint8_t> MinimalPe(bool x64 = false);

}  // namespace kittest
