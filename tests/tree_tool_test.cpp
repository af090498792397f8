// xmlsweep-tree: the JSON lines of the tree the reader built.
#include <gtest/gtest.h>

#include <string>

#include "test_util.h"

namespace {

using testutil::ByPlatform;
using testutil::ReadFile;
using testutil::RunIn;
using testutil::TempDir;
using testutil::TextLines;
using testutil::WriteFile;

const std::string kTree = testutil::BuiltPath(XMLSWEEP_TREE_EXE);

struct Dump {
  int status;
  std::string out;
  std::string err;
};

Dump RunTree(const TempDir& t, const std::string& args) {
  Dump d;
  d.status = RunIn(t.path(), kTree + " " + args + " > out.json 2> err.txt");
  d.out = ReadFile(t.path() / "out.json");
  d.err = ReadFile(t.path() / "err.txt");
  return d;
}

TEST(TreeTool, PrintsElementsInDocumentOrder) {
  TempDir t;
  WriteFile(t.path() / "a.xml",
            "<r z='1' a=\"q&quot;\\\"><b>x\t&#233;&#55357;</b><c><d/></c><e a='\xC3\xA9'/></r>");
  const Dump d = RunTree(t, "a.xml");
  EXPECT_EQ(d.status, 0);
  EXPECT_EQ(d.err, "");
  EXPECT_EQ(d.out,
            TextLines("{\"depth\":0,\"name\":\"r\",\"attributes\":[[\"a\",\"q&quot;\\\\\"],[\"z\",\"1\"]],\"value\":\"\"}\n"
                      "{\"depth\":1,\"name\":\"b\",\"attributes\":[],\"value\":\"x\\t\\u00e9\\ud83d\"}\n"
                      "{\"depth\":1,\"name\":\"c\",\"attributes\":[],\"value\":\"\"}\n"
                      "{\"depth\":2,\"name\":\"d\",\"attributes\":[],\"value\":\"\"}\n"
                      "{\"depth\":1,\"name\":\"e\",\"attributes\":[[\"a\",\"" +
                      std::string(ByPlatform("\\u00e9", "\\u00c3\\u00a9")) + "\"]],\"value\":\"\"}\n"));
}

TEST(TreeTool, PrintsThePartialTreeAfterAFailure) {
  TempDir t;
  WriteFile(t.path() / "a.xml", "<r><b></r>");
  Dump d = RunTree(t, "a.xml");
  EXPECT_EQ(d.status, 1);
  EXPECT_EQ(d.err, TextLines("a.xml Line:1, Col:7 Error reading end tag\n"));
  EXPECT_EQ(d.out,
            TextLines("{\"depth\":0,\"name\":\"r\",\"attributes\":[],\"value\":\"\"}\n"
                      "{\"depth\":1,\"name\":\"b\",\"attributes\":[],\"value\":\"\"}\n"));

  d = RunTree(t, "missing.xml");
  EXPECT_EQ(d.status, 1);
  EXPECT_EQ(d.err, TextLines("can not open file missing.xml\n"));
  EXPECT_EQ(d.out, TextLines("{\"depth\":0,\"name\":\"\",\"attributes\":[],\"value\":\"\"}\n"));
}

TEST(TreeTool, NeedsExactlyOneArgument) {
  TempDir t;
  EXPECT_EQ(RunTree(t, "").status, 2);
  EXPECT_EQ(RunTree(t, "a b").status, 2);
}

TEST(TreeTool, PrintsAMillionLevels) {
  TempDir t;
  std::string doc;
  for (int i = 0; i < 1'000'000; ++i) doc += "<a>";
  WriteFile(t.path() / "deep.xml", doc);
  const Dump d = RunTree(t, "deep.xml");
  EXPECT_EQ(d.status, 1);
  EXPECT_EQ(d.err, TextLines("deep.xml Line:1, Col:3000001 Error reading element value\n"));
  const std::string last = TextLines("{\"depth\":999999,\"name\":\"a\",\"attributes\":[],\"value\":\"\"}\n");
  ASSERT_GE(d.out.size(), last.size());
  EXPECT_EQ(d.out.substr(d.out.size() - last.size()), last);
}

}  // namespace
