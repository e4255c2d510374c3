// Builds a small kit for the end-to-end runs: a setup list with two components, two setup
// types, a registry value and a shortcut, the archive, and the real setup.exe beside them.
#pragma once
#include <map>
#include <string>

#include "common/setuplist.h"

namespace qpe2e {

constexpr char kGuid[] = "{5E2E0001-0C1D-4A1B-9f00-00000000E2E0}";
constexpr char kCompany[] = "E2E Vendor";
constexpr char kProduct[] = "Gizmo";

// The setup list of the sample product (the caller may change it before writing).
qp::SetupList SampleList();
// Writes setup.lst, setup.cab, readme.txt, license.txt and setup.exe into `kit`.
void WriteKit(const std::string& kit, const qp::SetupList& list);
// The same with an archive of `members` (member name -> content) in place of the sample's files.
void WriteKitWith(const std::string& kit, const qp::SetupList& list, const std::map<std::string, std::string>& members);

}  // namespace qpe2e
