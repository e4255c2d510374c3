// Builds a small kit for the end-to-end runs: a setup list with two components, two setup
// types, a registry value and a shortcut, the archive, and the real setup.exe beside them.
#pragma once
#include <map>
#include <string>

#include "common/setuplist.h"

namespace qpe2e {

// The sample product's GUID: one of this run's own, renewed by NewSampleGuid() (each test that
// installs takes a new one, so that what a failed test left installed is not the next one's).
const std::string& SampleGuid();
void NewSampleGuid();
constexpr char kCompany[] = "E2E Vendor";
constexpr char kProduct[] = "Gizmo";

// The setup list of the sample product (the caller may change it before writing).
qp::SetupList SampleList();
// Writes setup.lst, setup.cab, readme.txt, license.txt and setup.exe into `kit`.
void WriteKit(const std::string& kit, const qp::SetupList& list);
// The same with an archive of `members` (member name -> content) in place of the sample's files.
void WriteKitWith(const std::string& kit, const qp::SetupList& list, const std::map<std::string, std::string>& members);

}  // namespace qpe2e
