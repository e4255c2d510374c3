// Warnings about setup types without components: the rule, and "qpbc build" saying them on
// stderr and in --json while it still builds the kit.
#include <gtest/gtest.h>

#include "builder/kit/kitbuild.h"
#include "builder/kit/typecheck.h"
#include "kit_fixture.h"
#include "support/run_process.h"

namespace {

using qp::CDazDoc;

TEST(SetupTypeWarnings, NameEachTypeWithoutComponents) {
    CDazDoc fresh;
    fresh.NewProject();  // three types, none with components
    EXPECT_EQ((std::vector<std::string>{
                  "setup type \"Compact\" has no components: the component page starts with none selected",
                  "setup type \"Typical\" has no components: the component page starts with none selected",
                  "setup type \"Custom\" has no components: the component page starts with none selected",
                  "no setup type has components: an unattended install (setup.exe -s) installs every component"}),
              SetupTypeWarnings(fresh));

    CDazDoc some;
    some.NewProject();
    some.setup_type_list.items[1]->components.push_back(some.root_component.children[0].get());
    some.setup_type_list.items[2]->require_component_step = 0;
    EXPECT_EQ((std::vector<std::string>{
                  "setup type \"Compact\" has no components: the component page starts with none selected",
                  "setup type \"Custom\" has no components: choosing it installs nothing"}),
              SetupTypeWarnings(some));

    CDazDoc all;
    all.NewProject();
    for (auto& t : all.setup_type_list.items) t->components.push_back(all.root_component.children[0].get());
    EXPECT_TRUE(SetupTypeWarnings(all).empty());

    CDazDoc bare;  // no components at all: nothing a type could hold
    bare.setup_type_list.Add("Only");
    EXPECT_TRUE(SetupTypeWarnings(bare).empty());
}

TEST(SetupTypeWarnings, QpbcSaysThemAndStillBuilds) {
    qptest::TempDir dir;
    auto doc = kittest::SmallProject(dir);
    doc->setup_type_list.Add("Compact")->components.push_back(doc->root_component.children[0].get());
    doc->setup_type_list.Add("Typical");
    doc->setup_type_list.Add("Custom")->require_component_step = 0;
    const std::string project = dir / "proj.qpk";
    kittest::SaveProjectTo(*doc, project);
    const qptest::ProcessResult r = qptest::RunProcess(
        QPBC_EXE, {"build", project, "--name", "K1", "--runtime", kittest::FakeRuntime(dir), "--json"}, dir.Str());
    ASSERT_EQ(0, r.status) << r.err;
    EXPECT_TRUE(std::filesystem::exists(qp::KitPath(qp::KitPath(dir / "KITS", "K1"), "setup.cab")));
    EXPECT_NE(std::string::npos,
              r.err.find("qpbc: warning: setup type \"Typical\" has no components: the component page starts with none selected"))
        << r.err;
    EXPECT_NE(std::string::npos,
              r.out.find("\"warnings\": [\"setup type \\\"Typical\\\" has no components: the component page starts with none "
                         "selected\", \"setup type \\\"Custom\\\" has no components: choosing it installs nothing\"]"))
        << r.out;
}

}  // namespace
