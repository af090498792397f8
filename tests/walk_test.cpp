// The whole program, run for real in temporary trees: the report byte for
// byte and the exit status.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <string>

#include "batch/walk.h"
#include "test_util.h"

namespace {

using testutil::ExitStatusFor;
using testutil::ReadFile;
using testutil::Report;
using testutil::RunIn;
using testutil::TempDir;
using testutil::WriteFile;
namespace fs = std::filesystem;

const std::string kExe = testutil::BuiltPath(XMLSWEEP_EXE);

std::string ReportIn(const fs::path& dir) { return testutil::Comparable(ReadFile(dir / "result.txt")); }

TEST(HasCheckedExtension, IsACaseSensitivePrefixTestOnTheLastDot) {
  for (const char* name : {"a.xml", "a.xmlx", "a.xml~", "a.html", "a.htmlx", ".xml", "b.a.xml", "a.b.xml"}) {
    EXPECT_TRUE(batch::HasCheckedExtension(name)) << name;
  }
  for (const char* name : {"a.XML", "a.Xml", "a.htm", "a.xhtml", "a.xsl", "a.xml.bak", "xml", "a.", "a", "a.txt"}) {
    EXPECT_FALSE(batch::HasCheckedExtension(name)) << name;
  }
}

TEST(Program, ReportsEveryFailingFileInListingOrder) {
  TempDir t;
  const fs::path& root = t.path();
  WriteFile(root / "ok.xml", "<a/>");
  WriteFile(root / "bad.xml", "<a>\n\n</b>");
  WriteFile(root / "B.html", "");
  WriteFile(root / "c.xmlx", "x");
  WriteFile(root / "d.xml~", "<a>");
  WriteFile(root / ".xml", "<a/>x");
  WriteFile(root / "e.XML", "x");
  WriteFile(root / "f.htm", "x");
  WriteFile(root / "g.xsl", "x");
  WriteFile(root / "h.xhtml", "x");
  WriteFile(root / "sub" / "deep" / "n.xml", "<n>");
  WriteFile(root / "sub" / "ok.html", "<p>fine</p>");
  WriteFile(root / "a.b" / "x.xml", "</x>");
  WriteFile(root / ".hidden" / "x.xml", "x");
  WriteFile(root / ".svn" / "x.xml", "x");
  fs::create_directory(root / "dir.xml");  // a directory is never parsed
  WriteFile(root / "dir.xml" / "in.xml", "y");

  EXPECT_EQ(RunIn(root, kExe), 8);
  const std::string r = root.string();
  EXPECT_EQ(ReportIn(root),
            Report("ParseError : .xml Line:1, Col:5 garbage after root element\n"
                   "CheckFile:" + r + "\\.xml Fail~~\n"
                   "ParseError : B.html Line:1, Col:1 Document is empty\n"
                   "CheckFile:" + r + "\\B.html Fail~~\n"
                   "ParseError : x.xml Line:1, Col:2 Error reading element name\n"
                   "CheckFile:" + (root / "a.b").string() + "\\x.xml Fail~~\n"
                   "ParseError : bad.xml Line:3, Col:1 Error reading end tag\n"
                   "CheckFile:" + r + "\\bad.xml Fail~~\n"
                   "ParseError : c.xmlx Line:1, Col:1 '<' expected\n"
                   "CheckFile:" + r + "\\c.xmlx Fail~~\n"
                   "ParseError : d.xml~ Line:1, Col:4 Error reading element value\n"
                   "CheckFile:" + r + "\\d.xml~ Fail~~\n"
                   "ParseError : in.xml Line:1, Col:1 '<' expected\n"
                   "CheckFile:" + (root / "dir.xml").string() + "\\in.xml Fail~~\n"
                   "ParseError : n.xml Line:1, Col:4 Error reading element value\n"
                   "CheckFile:" + (root / "sub" / "deep").string() + "\\n.xml Fail~~\n"
                   "Total 8 Files Verification Failed"));
}

TEST(Program, CleanTreeHasOnlyTheTotal) {
  TempDir t;
  WriteFile(t.path() / "a.xml", "<a/>");
  WriteFile(t.path() / "notes.txt", "x");
  WriteFile(t.path() / "result.txt", "old report, never parsed");
  EXPECT_EQ(RunIn(t.path(), kExe + " ignored arguments"), 0);
  EXPECT_EQ(ReadFile(t.path() / "result.txt"), "Total 0 Files Verification Failed");
}

// Clamped where the status has 8 bits; the report's total is exact everywhere.
TEST(Program, StatusAndTotalOf300Failures) {
  TempDir t;
  for (int i = 0; i < 300; ++i) WriteFile(t.path() / ("f" + std::to_string(i) + ".xml"), "x");
  EXPECT_EQ(RunIn(t.path(), kExe), ExitStatusFor(300));
  const std::string report = ReadFile(t.path() / "result.txt");
  EXPECT_EQ(report.substr(report.rfind('\n') + 1), "Total 300 Files Verification Failed");
}

TEST(Program, ReportThatCannotBeCreated) {
  TempDir t;
  fs::create_directory(t.path() / "result.txt");
  EXPECT_EQ(RunIn(t.path(), kExe + " > out.txt"), ExitStatusFor(-1));
  EXPECT_EQ(ReadFile(t.path() / "out.txt"), "Can't Create Result.TXT");
}

// The Windows build is also checked with links that the host makes, under
// Wine (wine_links_test.sh): its C++ library cannot make them there.
TEST(Program, SymlinkLoopIsWalkedOnce) {
  TempDir t;
  WriteFile(t.path() / "a" / "x.xml", "x");
  std::error_code ec;
  fs::create_directory_symlink("..", t.path() / "a" / "up", ec);
  if (!ec) fs::create_directory_symlink("a", t.path() / "link", ec);
  if (!ec) fs::create_symlink("missing", t.path() / "broken.xml", ec);  // a broken link is a file
  if (ec && testutil::kWindows) GTEST_SKIP() << "cannot make symbolic links here: " << ec.message();
  ASSERT_FALSE(ec) << ec.message();
  EXPECT_EQ(RunIn(t.path(), kExe), 3);
  // The path through the link: the target's on POSIX (getcwd), the link's own on Windows.
  const std::string viaLink = (t.path() / testutil::ByPlatform("a", "link")).string();
  EXPECT_EQ(ReportIn(t.path()),
            Report("ParseError : x.xml Line:1, Col:1 '<' expected\n"
                   "CheckFile:" + (t.path() / "a").string() + "\\x.xml Fail~~\n"
                   "ParseError : can not open file broken.xml\n"
                   "CheckFile:" + t.path().string() + "\\broken.xml Fail~~\n"
                   "ParseError : x.xml Line:1, Col:1 '<' expected\n"
                   "CheckFile:" + viaLink + "\\x.xml Fail~~\n"
                   "Total 3 Files Verification Failed"));
}

// Deeper than the 260 bytes of a Windows path. POSIX walks on. Windows does
// not enter a directory whose path it cannot give back (nor can it enter one
// past its limit), says so in the report and goes on from the right place.
TEST(Program, PathsLongerThan260Bytes) {
  TempDir t;
  const std::string a(150, 'a');
  const std::string b(150, 'b');
  const fs::path deep = t.path() / a / b;
  WriteFile(deep / "y.xml", "x");
  WriteFile(t.path() / a / "x.xml", "x");
  WriteFile(t.path() / "z.xml", "x");
  EXPECT_EQ(RunIn(t.path(), kExe), testutil::ByPlatform(3, 2));
  const std::string deepEntry = testutil::ByPlatform<std::string>(
      "ParseError : y.xml Line:1, Col:1 '<' expected\nCheckFile:" + deep.string() + "\\y.xml Fail~~\n",
      "Can't Change Directory to " + b + "\n");
  EXPECT_EQ(ReportIn(t.path()),
            Report(deepEntry +
                   "ParseError : x.xml Line:1, Col:1 '<' expected\n"
                   "CheckFile:" + (t.path() / a).string() + "\\x.xml Fail~~\n"
                   "ParseError : z.xml Line:1, Col:1 '<' expected\n"
                   "CheckFile:" + t.path().string() + "\\z.xml Fail~~\n"
                   "Total " + testutil::ByPlatform("3", "2") + " Files Verification Failed"));
}

TEST(Program, FifoIsReportedNotWaitedOn) {
#ifdef _WIN32
  GTEST_SKIP() << "Windows has no FIFOs in the file system (devices: Load.RefusesDevices)";
#else
  TempDir t;
  ASSERT_EQ(mkfifo((t.path() / "x.xml").c_str(), 0644), 0);
  EXPECT_EQ(RunIn(t.path(), "timeout 20 " + kExe), 1);
  EXPECT_EQ(ReadFile(t.path() / "result.txt"),
            "ParseError : can not open file x.xml\n"
            "CheckFile:" + t.path().string() + "\\x.xml Fail~~\n"
            "Total 1 Files Verification Failed");
#endif
}

TEST(Walk, RestoresTheCurrentDirectory) {
  TempDir t;
  WriteFile(t.path() / "a" / "b" / "x.xml", "x");
  const fs::path before = fs::current_path();
  std::FILE* out = std::tmpfile();
  ASSERT_NE(out, nullptr);
  EXPECT_EQ(batch::CheckDirectory(out, t.path().string().c_str()), 1);
  EXPECT_EQ(fs::current_path(), before);
  EXPECT_EQ(batch::CheckDirectory(out, (t.path() / "none").string().c_str()), 0);
  EXPECT_EQ(fs::current_path(), before);
  std::fclose(out);
}

#ifndef _WIN32
// Permissions only bind an unprivileged user: as root the program runs as
// "nobody" through setpriv.
std::string Unprivileged(const std::string& command) {
  if (geteuid() != 0) return command;
  if (std::system("setpriv --reuid=65534 --regid=65534 --clear-groups true >/dev/null 2>&1") != 0) return "";
  return "setpriv --reuid=65534 --regid=65534 --clear-groups " + command;
}
#endif

TEST(Program, UnreadableDirectoriesAndFiles) {
#ifdef _WIN32
  GTEST_SKIP() << "POSIX permission bits; Windows access control lists are not set up here";
#else
  const std::string command = Unprivileged(kExe);
  if (command.empty()) GTEST_SKIP() << "cannot run as an unprivileged user here";
  TempDir t;
  const fs::path& root = t.path();
  WriteFile(root / "closed" / "x.xml", "x");  // cannot be entered
  WriteFile(root / "unlisted" / "x.xml", "x");  // can be entered, not listed
  WriteFile(root / "secret.xml", "<a/>");
  WriteFile(root / "z.xml", "x");
  fs::permissions(root, fs::perms::all);
  fs::permissions(root / "closed", fs::perms::none);
  fs::permissions(root / "unlisted", fs::perms::owner_exec | fs::perms::others_exec);
  fs::permissions(root / "secret.xml", fs::perms::none);
  fs::permissions(root / "z.xml", fs::perms::all);
  EXPECT_EQ(RunIn(root, command), 2);
  const std::string r = root.string();
  EXPECT_EQ(ReadFile(root / "result.txt"),
            "Can't Change Directory to closed\n"
            "ParseError : can not open file secret.xml\n"
            "CheckFile:" + r + "\\secret.xml Fail~~\n"
            "ParseError : z.xml Line:1, Col:1 '<' expected\n"
            "CheckFile:" + r + "\\z.xml Fail~~\n"
            "Total 2 Files Verification Failed");
#endif
}

}  // namespace

namespace {

// The sample tree the README runs the tool on.
TEST(Program, SampleTree) {
  TempDir t;
  const fs::path root = t.path() / "examples";
  fs::copy(testutil::BuiltPath(XMLSWEEP_EXAMPLES), root, fs::copy_options::recursive);
  fs::remove(root / "result.txt");
  EXPECT_EQ(RunIn(root, kExe), 4);
  const std::string broken = (root / "broken").string();
  EXPECT_EQ(ReportIn(root),
            Report("ParseError : mismatched.xml Line:3, Col:13 Error reading end tag\n"
                   "CheckFile:" + broken + "\\mismatched.xml Fail~~\n"
                   "ParseError : mixed.xml Line:3, Col:3 Error reading element value, both cdata and child element exist\n"
                   "CheckFile:" + broken + "\\mixed.xml Fail~~\n"
                   "ParseError : unclosed.html Line:4, Col:3 Error reading end tag\n"
                   "CheckFile:" + broken + "\\unclosed.html Fail~~\n"
                   "ParseError : broken-attribute.xml Line:2, Col:16 Error reading attributes value, expecting quotation\n"
                   "CheckFile:" + (root / "config").string() + "\\broken-attribute.xml Fail~~\n"
                   "Total 4 Files Verification Failed"));
}

}  // namespace
