// "qpbc build" as a careless user or an attacker drives it: a kit is either complete (exit 0,
// every file where the setup list says; in the Windows build setup.exe installs it) or refused
// (exit 1, a message, the previous kit byte for byte). Also the kit lock, planted links, inputs
// that are no files, the kit name and the messages of a project that cannot be read.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <map>
#include <thread>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "builder/kit/kitbuild.h"
#include "common/setuplist.h"
#include "kit_fixture.h"
#include "support/run_process.h"
#include "support/wait.h"

namespace {

namespace fs = std::filesystem;
using qptest::ProcessResult;

// Every file of a folder tree with its bytes (links shown as such, never followed).
std::map<std::string, std::string> Snapshot(const std::string& dir) {
    std::map<std::string, std::string> out;
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(dir, ec); !ec && it != fs::recursive_directory_iterator(); ++it) {
        const std::string rel = fs::relative(it->path(), dir).generic_string();
        if (it->is_symlink()) out[rel] = "link to " + fs::read_symlink(it->path()).string();
        else if (it->is_regular_file()) out[rel] = qptest::ReadText(it->path().string());
        else out[rel + "/"] = "";
    }
    return out;
}

#ifndef _WIN32
// Whether a process other than this one has `path` open.
bool OtherProcessHasOpen(const std::string& path) {
    std::error_code ec;
    const fs::path want = fs::canonical(path, ec);
    if (ec) return false;
    const std::string self = std::to_string(::getpid());
    for (auto p = fs::directory_iterator("/proc", ec); !ec && p != fs::directory_iterator(); p.increment(ec)) {
        const std::string pid = p->path().filename().string();
        if (pid == self || pid.find_first_not_of("0123456789") != std::string::npos) continue;
        std::error_code fd_ec;
        for (auto f = fs::directory_iterator(p->path() / "fd", fd_ec); !fd_ec && f != fs::directory_iterator(); f.increment(fd_ec)) {
            std::error_code link_ec;
            if (fs::read_symlink(f->path(), link_ec) == want) return true;
        }
    }
    return false;
}
#endif

std::string NodeFileName(const std::string& n) { return n.substr(n.find_last_of('\\') + 1); }

class QpbcKit : public ::testing::Test {
protected:
    ProcessResult Build(const std::string& project, const std::vector<std::string>& more = {}) {
        std::vector<std::string> args = {"build", project, "--name", "K", "--kit-root", Root(), "--runtime", runtime};
        args.insert(args.end(), more.begin(), more.end());
        return qptest::RunProcess(QPBC_EXE, args, dir.Str());
    }
    std::string Root() { return dir / "kits"; }
    std::string Kit() { return qp::KitPath(Root(), "K"); }

    // A project of one component with every group, installed by the first setup type into
    // folders below dir/inst.
    std::unique_ptr<qp::CDazDoc> Project() {
        auto doc = std::make_unique<qp::CDazDoc>();
        doc->NewProject();
        doc->group_list.items.clear();
        doc->root_component.children.clear();
        doc->setup_type_list.items.clear();
        return doc;
    }
    qp::CItemGroup* Group(qp::CDazDoc& doc, const std::string& name) {
        qp::CItemGroup* g = doc.group_list.Add(name);
        g->destination = dir / ("inst/" + std::to_string(doc.group_list.size()));
        return g;
    }
    std::string Save(qp::CDazDoc& doc, const std::string& name) {
        qp::CItemComponent* main = doc.root_component.AddChild("Main");
        for (const auto& g : doc.group_list.items) main->file_groups.push_back(g.get());
        doc.setup_type_list.Add("Typical")->components.push_back(main);
        const std::string path = dir / (name + ".qpk");
        kittest::SaveProjectTo(doc, path);
        return path;
    }
    std::string File(const std::string& rel, const std::string& text) {
        const std::string path = dir / rel;
        kittest::MakeFile(path, 0);
        qptest::WriteText(path, text);
        return path;
    }

    // A complete kit: every file node of every group is in the archive under the member name the
    // runtime asks for, with the bytes of its source; in the Windows build setup.exe -s puts
    // each one at its target.
    void ExpectKitInstallsEveryFile(const std::string& what) {
        const qp::SetupList list = qp::LoadSetupList(qp::KitPath(Kit(), "setup.lst"));
        const std::string cab = qp::KitPath(Kit(), "setup.cab");
        std::vector<std::pair<std::string, std::string>> expected;  // target, content
        std::function<void(const qp::FileNode&, const std::string&, const std::string&, const std::string&)> walk =
            [&](const qp::FileNode& n, const std::string& member, const std::string& target, const std::string& dest) {
                for (const auto& c : n.children) {
                    const std::string part = c.IsFile() ? NodeFileName(c.name) : c.name;
                    walk(c, member + "/" + part, target + "\\" + part, dest);
                }
                if (!n.IsFile()) return;
                std::string source = n.name;
#ifndef _WIN32
                for (char& ch : source)
                    if (ch == '\\') ch = '/';
#endif
                // A file below the project's folder is listed relative to it.
                if (!fs::path(source).is_absolute()) source = (dir.Path() / source).string();
                const std::string content = qptest::ReadText(source);
                EXPECT_EQ(content, kittest::ZipMember(cab, member)) << what << ": member " << member;
                expected.emplace_back(dest + target.substr(target.find('\\')), content);
            };
        for (const auto& g : list.groups) walk(g.file_tree, g.name, g.name, g.destination);
#if defined(_WIN32) && defined(QP_SETUP_EXE)
        ProcessResult r = qptest::RunProcess(qp::KitPath(Kit(), "setup.exe"), {"-s"}, dir.Str());
        ASSERT_EQ(0, r.status) << what;
        for (const auto& [target, content] : expected) EXPECT_EQ(content, qptest::ReadText(target)) << what << ": " << target;
        // Removed again through the registered uninstaller, so that a product GUID that is the
        // same in every run (an .ipr's is derived) finds no installation left by the last run.
        const char* program_files = std::getenv("ProgramFiles");
        ASSERT_NE(nullptr, program_files);
        const std::string info = std::string(program_files) + "\\QPBInformation\\" + list.settings.product_guid();
        // Its own folder for the output files: the clean-up process the uninstaller leaves
        // behind may still hold them when the next build starts.
        const std::string removal = dir / ("removal-" + std::to_string(++removals));
        fs::create_directories(removal);
        ProcessResult u = qptest::RunProcess(info + "\\setup.exe", {"-s", "-u", info + "\\uninst.lst"}, removal);
        ASSERT_EQ(0, u.status) << what << ": removal";
        for (const auto& [target, content] : expected) EXPECT_FALSE(fs::exists(target)) << what << ": " << target;
#endif
    }

    qptest::TempDir dir;
    int removals = 0;
#if defined(_WIN32) && defined(QP_SETUP_EXE)
    std::string runtime = QP_SETUP_EXE;
#else
    std::string runtime = kittest::FakeRuntime(dir);
#endif
};

// The rule, for every awkward project: exit 0 and a kit that installs every file, or exit 1
// with a message and the previous kit untouched.
TEST_F(QpbcKit, AwkwardProjectsGiveACompleteKitOrLeaveThePreviousOne) {
    auto good = Project();
    Group(*good, "Program")->file_tree.AddFile(File("src/app.exe", "app"));
    ASSERT_EQ(0, Build(Save(*good, "good")).status);
    auto previous = Snapshot(Kit());

    enum Outcome { kRefused, kBuilt };  // kBuilt: exit 0 and a kit that installs every file
    struct Case {
        std::string name;
        Outcome outcome;
        std::function<std::string()> make;  // the project's path
    };
    const std::string one = File("src/one.txt", "one");
    std::vector<Case> cases = {
        {"10,001 files in one folder", kRefused,
         [&] {
             auto d = Project();
             qp::CItemGroup* g = Group(*d, "Wide");
             for (int i = 0; i <= qp::kMaxFileTreeChildren; ++i) g->file_tree.AddFile(one);
             return Save(*d, "wide");
         }},
        {"199 folders deep", kRefused,  // the file node is the 200th level
         [&] {
             auto d = Project();
             qp::CObListFile* at = &Group(*d, "Deep")->file_tree;
             for (int i = 0; i < 199; ++i) at = at->AddFolder("d");
             at->AddFile(one);
             return Save(*d, "deep");
         }},
        {"a node of kind 7", kRefused,
         [&] {
             auto d = Project();
             qp::CObListFile* odd = Group(*d, "G")->file_tree.AddFolder("odd");
             odd->kind = 7;
             odd->AddFile(one);
             return Save(*d, "kind");
         }},
        {"group \"..\"", kRefused,
         [&] {
             auto d = Project();
             Group(*d, "..")->file_tree.AddFile(one);
             return Save(*d, "dotdot");
         }},
        {"folder \"CON\"", kRefused,
         [&] {
             auto d = Project();
             Group(*d, "G")->file_tree.AddFolder("CON")->AddFile(one);
             return Save(*d, "device");
         }},
        {"folder \"a:b\"", kRefused,
         [&] {
             auto d = Project();
             Group(*d, "G")->file_tree.AddFolder("a:b")->AddFile(one);
             return Save(*d, "colon");
         }},
        {"two files on one member", kRefused,
         [&] {
             auto d = Project();
             qp::CItemGroup* g = Group(*d, "G");
             g->file_tree.AddFile(File("x/a.txt", "first"));
             g->file_tree.AddFile(File("y/A.TXT", "second"));
             return Save(*d, "twice");
         }},
        {"a folder as a file", kRefused,
         [&] {
             auto d = Project();
             fs::create_directories(dir / "adir/inner");
             qptest::WriteText(dir / "adir/inner/f.txt", "f");
             Group(*d, "G")->file_tree.AddFile(dir / "adir");
             return Save(*d, "folderfile");
         }},
        {"a folder as the readme", kRefused,
         [&] {
             auto d = Project();
             Group(*d, "G")->file_tree.AddFile(one);
             d->side_file_paths[1] = dir / "adir";
             return Save(*d, "folderside");
         }},
        {"awkward but valid names", kBuilt,
         [&] {
             auto d = Project();
             qp::CItemGroup* g = Group(*d, "Program Files");
             g->file_tree.AddFile(File("src/a b.txt", "blank"));
             g->file_tree.AddFolder(".hidden")->AddFile(File("src/CONSOLE.log", "console"));
             Group(*d, "Same")->file_tree.AddFile(File("z/a b.txt", "other group, same name"));
             return Save(*d, "names");
         }},
        {"a path with a backslash in it", kBuilt,
         [&] {
             auto d = Project();
             const std::string p = File("bs/file.txt", "backslash");
             Group(*d, "G")->file_tree.AddFile(p.substr(0, p.size() - 9) + "\\file.txt");
             return Save(*d, "backslash");
         }},
        {"an .ipr with SUBDIR split by '/'", kBuilt,
         [&] {
             File("ipr/FILE GROUPS/default.fdf",
                  "[FILEGROUPS]\nGROUP0=G\n[G]\nTARGET=" + (dir / "inst/ipr") + "\n");
             File("ipr/FILE GROUPS/G.fgl", "[TOPDIR]\nSUBDIR0=x/y/bin\n[bin]\nFILE0=" + File("src/tool.dll", "tool") + "\n");
             File("ipr/COMPONENT DEFINITIONS/default.cdf",
                  "[COMPONENTS]\nCOMPONENT0=Main\n[Main]\nFILEGROUP0=G\n[SETUPTYPE]\nSETUPTYPE0=Typical\n"
                  "[SETUPTYPEITEM-Typical]\nITEM0=Main\n");
             return File("ipr/p.ipr", "");
         }},
        {"an .ipr with a definition file too large to read", kRefused,
         [&] {
             File("big/FILE GROUPS/default.fdf", "[FILEGROUPS]\nGROUP0=G\n" + std::string(17 << 20, ';'));
             return File("big/p.ipr", "");
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ProcessResult r = Build(c.make());
        if (c.outcome == kBuilt) {
            EXPECT_EQ(0, r.status) << qptest::Describe(r);
            if (r.status != 0) continue;  // failed above; the other cases still run
            ExpectKitInstallsEveryFile(c.name);
            previous = Snapshot(Kit());  // the next case starts from this kit
        } else {
            EXPECT_EQ(1, r.status) << qptest::Describe(r);
            EXPECT_NE(std::string::npos, r.err.find("error")) << r.err;
            EXPECT_EQ(previous, Snapshot(Kit()));
        }
    }
    // Nothing of the refused builds is left beside the kit.
    for (const auto& e : fs::directory_iterator(Root()))
        EXPECT_EQ(std::string::npos, e.path().filename().string().find("stage")) << e.path();
}

// Sound projects with awkward names build; a refusal says which item broke the setup list.
TEST_F(QpbcKit, RefusalNamesTheItemAndSoundNamesBuild) {
    auto names = Project();
    Group(*names, "Program Files")->file_tree.AddFile(File("src/a b.txt", "blank"));
    EXPECT_EQ(0, Build(Save(*names, "names")).status);
    auto dup = Project();
    qp::CItemGroup* g = Group(*dup, "G");
    g->file_tree.AddFile(File("x/a.txt", "first"));
    g->file_tree.AddFile(File("y/A.TXT", "second"));
    ProcessResult r = Build(Save(*dup, "dup"));
    EXPECT_EQ(1, r.status);
    EXPECT_NE(std::string::npos, r.err.find("Can't create setup list: ")) << r.err;
    EXPECT_NE(std::string::npos, r.err.find("would both be stored as \"G\\A.TXT\"")) << r.err;
}

TEST_F(QpbcKit, ARebuildReplacesTheWholeKitAndAFailedOneNothing) {
    auto doc = Project();
    Group(*doc, "G")->file_tree.AddFile(File("src/a.txt", "a"));
    doc->side_file_paths[1] = File("readme.txt", "read me");
    const std::string with_readme = Save(*doc, "p1");
    ProcessResult first = Build(with_readme);
    ASSERT_EQ(0, first.status) << first.err;
    EXPECT_TRUE(fs::exists(qp::KitPath(Kit(), "readme.txt")));

    doc->side_file_paths[1].clear();
    doc->root_component.children.clear();
    doc->setup_type_list.items.clear();
    ProcessResult second = Build(Save(*doc, "p2"));
    ASSERT_EQ(0, second.status) << second.err;
    EXPECT_FALSE(fs::exists(qp::KitPath(Kit(), "readme.txt")));  // no side file of the last build lingers

    // A failed build (a runtime that is a folder) leaves the kit byte for byte.
    const auto before = Snapshot(Kit());
    ProcessResult r = qptest::RunProcess(QPBC_EXE, {"build", with_readme, "--name", "K", "--kit-root", Root(), "--runtime", dir / "src"},
                                         dir.Str());
    EXPECT_EQ(1, r.status);
    EXPECT_NE(std::string::npos, r.err.find("is not a regular file")) << r.err;
    EXPECT_EQ(before, Snapshot(Kit()));

    // A folder that is not a kit is never replaced.
    fs::create_directories(dir / "kits/Mine");
    qptest::WriteText(dir / "kits/Mine/notes.doc", "mine");
    ProcessResult mine = qptest::RunProcess(QPBC_EXE, {"build", with_readme, "--name", "Mine", "--kit-root", Root(), "--runtime", runtime},
                                            dir.Str());
    EXPECT_EQ(1, mine.status);
    EXPECT_EQ("mine", qptest::ReadText(dir / "kits/Mine/notes.doc"));
}

TEST_F(QpbcKit, TwoBuildsOfOneKitAtOnceBothGiveAWholeKit) {
    auto doc = Project();
    qp::CItemGroup* g = Group(*doc, "G");
    for (int i = 0; i < 40; ++i) g->file_tree.AddFile(File("many/f" + std::to_string(i) + ".bin", std::string(20000 + i, 'a' + i % 26)));
    const std::string project = Save(*doc, "p");
    ProcessResult a, b;
    fs::create_directories(dir / "other");  // each process keeps its output files in its own folder
    std::thread first([&] { a = Build(project); });
    std::thread second([&] { b = qptest::RunProcess(QPBC_EXE, {"build", project, "--name", "K", "--kit-root", Root(), "--runtime", runtime},
                                                    (dir / "other")); });
    first.join();
    second.join();
    EXPECT_EQ(0, a.status) << a.err;
    EXPECT_EQ(0, b.status) << b.err;
    ExpectKitInstallsEveryFile("two builds");
    EXPECT_EQ(40u, kittest::ZipMembers(qp::KitPath(Kit(), "setup.cab")).size());

#ifndef _WIN32
    // While another build holds the kit's lock, a build waits for it.
    const int lock = ::open((dir / "kits/.K.qplock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    ASSERT_EQ(0, ::flock(lock, LOCK_EX));
    fs::remove_all(Kit());
    ProcessResult waited;
    std::atomic<bool> ended{false};
    std::thread third([&] {
        waited = Build(project);
        ended = true;
    });
    // Once the build has the lock file open it is at the lock: from then on it must wait.
    const bool at_lock = qptest::WaitFor([&] { return OtherProcessHasOpen(dir / "kits/.K.qplock"); }, 60000);
    EXPECT_TRUE(at_lock) << "the build never reached the lock";
    EXPECT_FALSE(ended) << qptest::Describe(waited);
    EXPECT_FALSE(fs::exists(Kit()));  // still waiting
    ::close(lock);
    third.join();
    EXPECT_EQ(0, waited.status) << waited.err;
    EXPECT_TRUE(fs::exists(qp::KitPath(Kit(), "setup.cab")));
#endif
}

#ifndef _WIN32
// Links planted where the kit goes are replaced, never written through.
TEST_F(QpbcKit, PlantedLinksAreNotFollowed) {
    auto doc = Project();
    Group(*doc, "G")->file_tree.AddFile(File("src/a.txt", "a"));
    const std::string project = Save(*doc, "p");
    const std::string victim = File("victim/precious.txt", "precious");
    fs::create_directories(Root());
    fs::create_directory_symlink(dir / "victim", Kit());  // the kit itself is a link
    ASSERT_EQ(0, Build(project).status);
    EXPECT_FALSE(fs::is_symlink(Kit()));
    EXPECT_EQ((std::vector<std::string>{"precious.txt"}), kittest::ExistingFiles(dir / "victim"));

    // A kit file that is a link to someone else's file.
    fs::remove(qp::KitPath(Kit(), "setup.cab"));
    fs::create_symlink(victim, qp::KitPath(Kit(), "setup.cab"));
    ASSERT_EQ(0, Build(project).status);
    EXPECT_EQ("precious", qptest::ReadText(victim));
    EXPECT_FALSE(fs::is_symlink(qp::KitPath(Kit(), "setup.cab")));
}

// Inputs that would be read for ever or block: refused at once.
TEST_F(QpbcKit, PipesAndDevicesAreRefusedNotRead) {
    auto doc = Project();
    Group(*doc, "G")->file_tree.AddFile(File("src/a.txt", "a"));
    const std::string project = Save(*doc, "p");
    ASSERT_EQ(0, ::mkfifo((dir / "fifo").c_str(), 0600));
    auto build = [&](const std::string& proj, const std::string& rt) {
        return qptest::RunProcess(QPBC_EXE, {"build", proj, "--name", "K", "--kit-root", Root(), "--runtime", rt}, dir.Str());
    };
    ProcessResult zero = build(project, "/dev/zero");
    EXPECT_EQ(1, zero.status);
    EXPECT_NE(std::string::npos, zero.err.find("/dev/zero is not a regular file")) << zero.err;
    EXPECT_EQ(1, build(project, dir / "fifo").status);
    ProcessResult fifo_texts = qptest::RunProcess(
        QPBC_EXE, {"build", project, "--name", "K", "--kit-root", Root(), "--runtime", runtime, "--language-file", dir / "fifo"},
        dir.Str());
    EXPECT_EQ(1, fifo_texts.status) << fifo_texts.err;
    ProcessResult fifo_project = build(dir / "fifo", runtime);
    EXPECT_EQ(1, fifo_project.status);
    EXPECT_NE(std::string::npos, fifo_project.err.find(dir / "fifo")) << fifo_project.err;
    EXPECT_NE(std::string::npos, fifo_project.err.find("not a regular file")) << fifo_project.err;
    EXPECT_FALSE(fs::exists(Kit()));
}
#endif

TEST_F(QpbcKit, KitNameIsOneFolderName) {
    auto doc = Project();
    Group(*doc, "G")->file_tree.AddFile(File("src/a.txt", "a"));
    const std::string project = Save(*doc, "p");
    for (const char* name : {"..", ".", "a/b", "a\\b", "", "C:x", "CON"}) {
        ProcessResult r = qptest::RunProcess(QPBC_EXE, {"build", project, "--name", name, "--kit-root", Root(), "--runtime", runtime},
                                             dir.Str());
        EXPECT_EQ(2, r.status) << name;
        EXPECT_NE(std::string::npos, r.err.find("kit name")) << name << ": " << r.err;
    }
    EXPECT_FALSE(fs::exists(Root()));
}

TEST_F(QpbcKit, UnreadableProjectsSayWhichFileAndWhy) {
    auto doc = Project();
    Group(*doc, "G")->file_tree.AddFile(File("src/a.txt", "a"));
    const std::string project = Save(*doc, "p");
    std::vector<std::uint8_t> bytes = qptest::ReadBytes(project);
    struct Case {
        const char* name;
        std::vector<std::uint8_t> bytes;
        const char* why;
    };
    std::vector<std::uint8_t> truncated(bytes.begin(), bytes.begin() + static_cast<long>(bytes.size() / 2));
    std::vector<std::uint8_t> newer = bytes;
    newer[36] = 2;
    std::vector<std::uint8_t> bad_count = bytes;
    const std::size_t groups_at = 36 + 4 + 2188 + 3;  // magic, version, settings, three empty paths
    bad_count[groups_at + 3] = 0x80;  // a negative count of groups
    const Case cases[] = {{"truncated", truncated, "truncated"},
                          {"newer", newer, "Version is newer than program"},
                          {"bad count", bad_count, "negative count at offset"}};
    for (const Case& c : cases) {
        const std::string path = dir / (std::string(c.name) + ".qpk");
        qptest::WriteBytes(path, c.bytes);
        ProcessResult r = Build(path);
        EXPECT_EQ(1, r.status) << c.name;
        EXPECT_NE(std::string::npos, r.err.find(path)) << c.name << ": " << r.err;
        EXPECT_NE(std::string::npos, r.err.find(c.why)) << c.name << ": " << r.err;
    }
    // A system error in the system's words: the kit root lies below a file.
    ProcessResult r = qptest::RunProcess(QPBC_EXE, {"build", project, "--name", "K", "--kit-root", dir / "src/a.txt/kits", "--runtime", runtime},
                                         dir.Str());
    EXPECT_EQ(1, r.status);
    EXPECT_NE(std::string::npos, r.err.find("Can't create the kit root")) << r.err;
#ifndef _WIN32
    EXPECT_NE(std::string::npos, r.err.find("Not a directory")) << r.err;
#endif
}

}  // namespace
