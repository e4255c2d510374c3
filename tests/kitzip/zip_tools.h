// Outside zip tools for the interoperability tests: Debian's zip and unzip and Python's
// zipfile, run from the host build. Under Wine these tests skip.
#pragma once
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "support/testutil.h"

namespace ziptools {

inline bool Have(const char* probe) {
#ifdef _WIN32
    (void)probe;
    return false;
#else
    return std::system((std::string(probe) + " >/dev/null 2>&1").c_str()) == 0;
#endif
}

inline std::string Quote(const std::string& s) {
    std::string q = "'";
    for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

// 0 when `unzip -t` finds the archive sound.
inline int UnzipTest(const std::string& archive) {
    return std::system(("unzip -tqq " + Quote(archive) + " >/dev/null 2>&1").c_str());
}

// Python's view of the archive, one line per member: name, size, method, and the content in
// hex for members of up to 64 bytes; "BAD <name>" when zipfile's CRC test fails.
inline std::string PythonListing(const std::string& archive, const std::string& out_file) {
    const char* script =
        "import sys, zipfile\n"
        "z = zipfile.ZipFile(sys.argv[1])\n"
        "bad = z.testzip()\n"
        "out = open(sys.argv[2], 'w')\n"
        "if bad: out.write('BAD %s\\n' % bad)\n"
        "for i in z.infolist():\n"
        "    data = z.read(i) if i.file_size <= 64 else b''\n"
        "    out.write('%s %d %d %s\\n' % (i.filename, i.file_size, i.compress_type, data.hex()))\n";
    std::string cmd = "python3 -c " + Quote(script) + " " + Quote(archive) + " " + Quote(out_file);
    if (std::system(cmd.c_str()) != 0) return "python3 failed";
    return qptest::ReadText(out_file);
}

// For large archives: the member count, then the last member's name and content in hex.
inline std::string PythonSummary(const std::string& archive, const std::string& out_file) {
    const char* script =
        "import sys, zipfile\n"
        "z = zipfile.ZipFile(sys.argv[1])\n"
        "i = z.infolist()\n"
        "open(sys.argv[2], 'w').write('%d %s %s\\n' % (len(i), i[-1].filename, z.read(i[-1]).hex()))\n";
    std::string cmd = "python3 -c " + ziptools::Quote(script) + " " + Quote(archive) + " " + Quote(out_file);
    if (std::system(cmd.c_str()) != 0) return "python3 failed";
    return qptest::ReadText(out_file);
}

inline std::string Hex(const std::string& s) {
    static const char* d = "0123456789abcdef";
    std::string h;
    for (unsigned char c : s) {
        h += d[c >> 4];
        h += d[c & 15];
    }
    return h;
}

}  // namespace ziptools

#define REQUIRE_HOST_ZIP_TOOLS()                                                                  \
    do {                                                                                          \
        if (!ziptools::Have("unzip -v") || !ziptools::Have("python3 -c 1"))                       \
            GTEST_SKIP() << "needs Debian's unzip and python3 on the host";                       \
    } while (0)
