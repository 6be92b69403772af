// `kestrun draw --svg`: the sheet holds exactly the edges the hidden-line views of the drawn
// solid have, view by view.
#include <BRep_Builder.hxx>
#include <TopoDS_Compound.hxx>

#include <regex>
#include <string>
#include <vector>

#include "cli_fixture.h"
#include "item_sheets.h"
#include "occt_host/exchange/drawing_export.h"
#include "occt_host/exchange/step_import.h"

namespace kestrun_test {
namespace {

class DrawingSheetTest : public CliTest {};

int countIn(const std::string& group, const char* cls) {
  const std::regex pattern(std::string("<path class=\"") + cls + "\"");
  return static_cast<int>(
      std::distance(std::sregex_iterator(group.begin(), group.end(), pattern), {}));
}

std::string groupOf(const std::string& svg, const std::string& view) {
  const size_t begin = svg.find("<g class=\"view\" id=\"" + view + "\">");
  if (begin == std::string::npos) return "";
  return svg.substr(begin, svg.find("</g>", begin) - begin);
}

TopoDS_Shape solidsOfStep(const std::string& path) {
  occt_host::StepContent content;
  std::string error;
  EXPECT_TRUE(occt_host::readStepFile(path, content, error)) << error;
  TopoDS_Compound all;
  BRep_Builder builder;
  builder.MakeCompound(all);
  for (const auto& root : content.roots)
    for (const auto& solid : root.solids) builder.Add(all, solid.shape);
  return all;
}

TEST_F(DrawingSheetTest, TheBracketSheetHoldsEachViewsVisibleAndHiddenEdges) {
  const auto svgPath = dir / "bracket.svg", stepPath = dir / "bracket.step";
  const std::string out = (dir / "out.json").string();
  ASSERT_EQ(shell(kestrun() + " draw " KESTRUN_EXAMPLES "/flanged_bracket.json --svg " +
                  svgPath.string() + " --step " + stepPath.string() + " > " + out),
            0);
  EXPECT_NE(readText(out).find("\"svgWritten\":true"), std::string::npos) << readText(out);
  const std::string svg = readText(svgPath);
  const auto views = occt_host::projectViews(solidsOfStep(stepPath.string()));
  ASSERT_EQ(views.size(), 4u);
  for (const auto& view : views) {
    int visible = 0, hidden = 0;
    for (const auto& edge : view.edges) (edge.hidden ? hidden : visible)++;
    const std::string group = groupOf(svg, view.name);
    EXPECT_EQ(countIn(group, "visible"), visible) << view.name;
    EXPECT_EQ(countIn(group, "hidden"), hidden) << view.name;
    // The front and the right view see the bracket's two halves; every bore hides somewhere.
    EXPECT_GT(visible, 4) << view.name;
    EXPECT_GT(hidden, 0) << view.name;
  }
}

TEST_F(DrawingSheetTest, ASheetThatCannotBeWrittenIsNamedAndLeavesExitThree) {
  const std::string err = (dir / "err.txt").string();
  EXPECT_EQ(shell(kestrun() + " draw " KESTRUN_EXAMPLES "/flanged_bracket.json --svg " +
                  (dir / "missing/x.svg").string() + " > /dev/null 2> " + err),
            3);
  EXPECT_NE(readText(err).find("cannot write the SVG file"), std::string::npos) << readText(err);
}

TEST_F(DrawingSheetTest, OneSheetPerItemShowsTheBodyAsItStoodRightAfterIt) {
  const auto items = dir / "items", full = dir / "bracket.svg";
  const std::string out = (dir / "out.json").string();
  ASSERT_EQ(shell(kestrun() + " draw " KESTRUN_EXAMPLES "/flanged_bracket.json --svg-items " +
                  items.string() + " --svg " + full.string() + " > " + out + " 2> /dev/null"),
            0);
  EXPECT_NE(readText(out).find("\"svgItemsWritten\":9"), std::string::npos) << readText(out);
  // The nine features, each at its place in the list (its sketch before it); sketches make
  // no sheet of their own.
  const std::vector<std::string> names = {"002_base",   "004_upright", "006_bore0",
                                          "008_bore1",  "010_bore2",   "012_bore3",
                                          "014_ubore0", "016_ubore1",  "018_pocket"};
  std::size_t files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(items))
    files += entry.is_regular_file();
  EXPECT_EQ(files, names.size());
  // Every feature adds edges to the views: a flange, the upright, each bore's rims, the
  // pocket's walls.
  int before = 0;
  for (const std::string& name : names) {
    const std::string sheet = readText(items / (name + ".svg"));
    const int paths = countIn(sheet, "visible") + countIn(sheet, "hidden");
    EXPECT_GT(paths, before) << name;
    before = paths;
  }
  // After the last item the body is the Part's whole solid: the whole sheet.
  EXPECT_EQ(readText(items / "018_pocket.svg"), readText(full));
}

TEST_F(DrawingSheetTest, ItemSheetsNameTheirFilesSafelyAndAFolderThatCannotBeMadeFails) {
  EXPECT_EQ(kestrun_app::itemSheetName(7, "a/b c\\..x"), "007_a_b_c_..x.svg");
  writeText(dir / "file", "");
  const std::string out = (dir / "out.json").string();
  EXPECT_EQ(shell(kestrun() + " draw " KESTRUN_EXAMPLES "/flanged_bracket.json --svg-items " +
                  (dir / "file" / "sub").string() + " > " + out + " 2> /dev/null"),
            3);
  EXPECT_NE(readText(out).find("\"svgItemsError\":\"cannot make the folder"), std::string::npos)
      << readText(out);
}

}  // namespace
}  // namespace kestrun_test
