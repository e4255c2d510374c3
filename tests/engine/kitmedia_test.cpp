// A one-file kit as the runtime opens it: the small files read from inside the program, the
// archive's window, the plain runtime for the information folder; plain and damaged programs.
#include <gtest/gtest.h>

#include "common/kitpayload.h"
#include "common/peimage.h"
#include "common/textload.h"
#include "setup/engine/kitmedia.h"
#include "support/testutil.h"

namespace {

using qptest::Bytes;

using qptest::KitProgram;

TEST(KitMedia, OneFileKitGivesItsFilesAndTheArchivesPlace) {
    qptest::TempDir dir;
    const Bytes runtime = peimage::MakeImage().bytes;
    const std::string long_readme(qp::kViewerTextLimit + 100, 'r');
    const Bytes program = KitProgram(runtime, {{"setup.lst", qptest::Str("LIST")},
                                            {"setup.cab", qptest::Str("CABINET")},
                                            {"setup.bmp", qptest::Str("BM...")},
                                            {"readme.txt", qptest::Str(long_readme)}});
    const std::string path = dir / "Kit.exe";
    qptest::WriteBytes(path, program);
    qp::OneFileKit kit;
    std::string why;
    ASSERT_EQ(qp::KitKind::kOneFile, qp::OpenKitProgram(path, kit, &why)) << why;
    EXPECT_EQ(path, kit.program);
    EXPECT_EQ(qptest::Str("LIST"), kit.list);
    EXPECT_EQ(runtime.size() + 4, kit.archive_offset);
    EXPECT_EQ(7u, kit.archive_size);
    EXPECT_EQ("CABINET", std::string(program.begin() + static_cast<long>(kit.archive_offset),
                                     program.begin() + static_cast<long>(kit.archive_offset + kit.archive_size)));
    EXPECT_EQ(qptest::Str("BM..."), kit.bitmap);
    EXPECT_EQ(qp::kViewerTextLimit, kit.readme.size()) << "no more than a viewer shows";
    EXPECT_TRUE(kit.license.empty());
    EXPECT_EQ(runtime, kit.plain_runtime);
}

TEST(KitMedia, PlainMissingCutAndIncompletePrograms) {
    qptest::TempDir dir;
    const Bytes runtime = peimage::MakeImage().bytes;
    qptest::WriteBytes(dir / "plain.exe", runtime);
    const Bytes whole = KitProgram(runtime, {{"setup.lst", qptest::Str("LIST")}, {"setup.cab", qptest::Str("CAB")}});
    qptest::WriteBytes(dir / "cut.exe", Bytes(whole.begin(), whole.end() - 1));
    qptest::WriteBytes(dir / "nocab.exe", KitProgram(runtime, {{"setup.lst", qptest::Str("LIST")}}));
    qp::OneFileKit kit;
    std::string why;
    EXPECT_EQ(qp::KitKind::kFolder, qp::OpenKitProgram(dir / "plain.exe", kit, &why)) << why;
    for (const char* name : {"cut.exe", "nocab.exe", "missing.exe"}) {
        why.clear();
        EXPECT_EQ(qp::KitKind::kDamaged, qp::OpenKitProgram(dir / name, kit, &why)) << name;
        EXPECT_FALSE(why.empty()) << name;
    }
}

}  // namespace
