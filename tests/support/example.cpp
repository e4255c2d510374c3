// The example product copied for a test run.
#include "support/example.h"

#include <gtest/gtest.h>

#include <memory>

#include "builder/model/projectfile.h"
#include "common/report.h"
#include "support/run_process.h"
#include "support/testutil.h"

namespace fs = std::filesystem;

namespace qptest {

std::string CopyExample(const fs::path& example_dir, const fs::path& work, const std::string& guid_family) {
    if (!RemoveTree(work)) ADD_FAILURE() << "cannot empty " << work.string();
    std::error_code ec;
    fs::create_directories(work.parent_path(), ec);
    fs::copy(example_dir, work, fs::copy_options::recursive, ec);
    if (ec) {
        ADD_FAILURE() << "cannot copy " << example_dir.string() << " to " << work.string() << ": " << ec.message();
        return "";
    }
    const std::string project = (work / "notepadish.qpk").make_preferred().string();
    qp::NullReporter quiet;
    std::unique_ptr<qp::CDazDoc> doc = qp::OpenProject(project, quiet);
    if (!doc) {
        ADD_FAILURE() << "cannot open the copy " << project;
        return "";
    }
    doc->settings_block.set_product_guid(RunGuid(guid_family));
    if (!qp::SaveProject(*doc, project, quiet)) {
        ADD_FAILURE() << "cannot save the copy " << project;
        return "";
    }
    return project;
}

std::string DumpBody(const std::string& qpbc, const std::string& file, const std::string& work_dir) {
    const ProcessResult r = RunProcess(qpbc, {"dump", file}, work_dir);
    EXPECT_EQ(r.status, 0) << Describe(r);
    return r.out.substr(std::min(r.out.size(), r.out.find('\n')));
}

}  // namespace qptest
