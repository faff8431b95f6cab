// The three-state selection tree: clicks on the marks, the paths it gives
// and takes, and its 8 x 12 state pictures.
#include "autodesign/selection_tree.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "platform/classes.h"

namespace {

// A library of three groups and seven components, fully expanded.
class SelectionTree : public ::testing::Test {
protected:
    TSelectionTreeView tree;
    std::map<std::string, TTreeNode*> nodes;

    void SetUp() override {
        tree.Width = 257;
        tree.Height = 433;
        TTreeNode* library = Add(nullptr, "Varne");
        const std::vector<std::pair<const char*, std::vector<const char*>>> groups = {
            {"Cavi", {"a", "b", "c"}}, {"Prese", {"d", "e"}}, {"Filtri", {"f", "g"}}};
        for (const auto& [group, components] : groups) {
            TTreeNode* g = Add(library, group);
            for (const char* c : components) Add(g, c);
        }
        tree.FullExpand();
    }
    TTreeNode* Add(TTreeNode* parent, const char* text) {
        TTreeNode* n = tree.Items->AddChild(parent, text);
        n->StateIndex = NodeEmpty;
        nodes[text] = n;
        return n;
    }
    // The marks of every node, depth first: Varne Cavi a b c Prese d e Filtri f g.
    std::string Marks() const {
        std::string s;
        for (TTreeNode* n = tree.Items->GetFirstNode(); n; n = n->GetNext())
            s += std::to_string(n->StateIndex.Get());
        return s;
    }
    void ClickOn(const char* node, bool onIcon) {
        const TTreeView::TRowLayout l = tree.LayoutOf(nodes.at(node));
        const TRect& r = onIcon ? l.StateIcon : l.Label;
        tree.ClickAt((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
    }
    static TStringList List(const std::vector<std::string>& lines) {
        TStringList list;
        for (const std::string& line : lines) list.Add(line);
        return list;
    }
    static std::vector<std::string> Lines(const TStringList& list) {
        std::vector<std::string> lines;
        for (int i = 0; i < list.Count(); ++i) lines.push_back(list[i]);
        return lines;
    }
};

TEST_F(SelectionTree, ClicksOnTheMarks) {
    struct Case {
        const char* what;
        std::vector<std::string> before;                   // ticked paths
        std::vector<std::pair<const char*, bool>> clicks;  // node, on its mark
        const char* marks;                                 // Varne Cavi a b c Prese d e Filtri f g
    };
    const std::vector<Case> cases = {
        {"the library's empty mark fills everything", {}, {{"Varne", true}}, "33333333333"},
        {"one component emptied: group and library partial",
         {"Varne"},
         {{"Varne", true}, {"Varne", true}, {"b", true}},
         "22313333333"},
        {"the last full component of a group, its siblings empty",
         {"Varne?|?Prese?|?d"},
         {{"d", true}},
         "11111111111"},
        {"the last full component of a group, a sibling full",
         {"Varne?|?Prese?|?d", "Varne?|?Cavi"},
         {{"d", true}},
         "23333111111"},
        {"a group filled makes the library partial", {}, {{"Filtri", true}}, "21111111333"},
        {"a full group emptied", {"Varne"}, {{"Cavi", true}}, "21111333333"},
        {"a click on the text", {"Varne?|?Prese?|?d"}, {{"d", false}, {"Varne", false}}, "21111231111"},
    };
    for (const Case& c : cases) {
        tree.CheckPaths(List(c.before));
        for (const auto& [node, onIcon] : c.clicks) ClickOn(node, onIcon);
        EXPECT_EQ(Marks(), c.marks) << c.what;
    }
}

TEST_F(SelectionTree, PathsGivenAndTaken) {
    TStringList paths;
    tree.SetNodeState(nodes["Varne"], NodeFull);
    tree.GetCheckedPaths(paths);
    EXPECT_EQ(Lines(paths), std::vector<std::string>{"Varne"});

    tree.CheckPaths(List({"Varne?|?Cavi", "Varne?|?Filtri?|?g"}));
    const std::string marks = Marks();
    EXPECT_EQ(marks, "23333111213");
    paths.Clear();
    tree.GetCheckedPaths(paths);
    EXPECT_EQ(Lines(paths), (std::vector<std::string>{"Varne?|?Cavi", "Varne?|?Filtri?|?g"}));
    EXPECT_EQ(paths.Text(), "Varne?|?Cavi\r\nVarne?|?Filtri?|?g\r\n");

    // The list read back gives the same marks; unknown paths are ignored.
    tree.CheckPaths(List({"Varne"}));
    TStringList back = List(Lines(paths));
    back.Add("Varne?|?Antenne");
    back.Add("Altra");
    back.Add("varne?|?cavi?|?a");
    tree.CheckPaths(back);
    EXPECT_EQ(Marks(), marks);

    tree.CheckPaths(TStringList());
    EXPECT_EQ(Marks(), "11111111111");
    EXPECT_EQ(TSelectionTreeView::NodePath(nodes["e"]), "Varne?|?Prese?|?e");
}

TEST_F(SelectionTree, LibrariesWithoutChildrenAreNeverListed) {
    TTreeNode* empty = tree.Items->Add(nullptr, "Vuota");
    tree.SetNodeState(empty, NodeFull);
    tree.SetNodeState(nodes["Varne"], NodeFull);
    TStringList paths;
    tree.GetCheckedPaths(paths);
    EXPECT_EQ(Lines(paths), std::vector<std::string>{"Varne"});
}

TEST(SelectionTreeMarks, PicturesOfTheFourStates) {
    TSelectionTreeView tree;
    ASSERT_EQ(tree.StateImages.Get(), tree.Marks);
    ASSERT_EQ(tree.Marks->Count(), 4);
    EXPECT_EQ(tree.Marks->Width, 8);
    EXPECT_EQ(tree.Marks->Height, 12);
    const TColor red = ColorToRGB(clRed), blue = ColorToRGB(clBlue), white = ColorToRGB(clWhite);
    struct Probe {
        int x, y;
        TColor colour[4];
    };
    const std::vector<Probe> probes = {
        {0, 0, {red, red, red, red}},
        {7, 0, {red, red, red, red}},
        {0, 7, {red, red, red, red}},
        {7, 7, {red, red, red, red}},
        {2, 2, {white, white, blue, blue}},   // inside the upper-left triangle
        {1, 5, {white, white, blue, blue}},   // its left edge
        {5, 5, {white, white, white, blue}},  // inside the lower-right one
        {6, 6, {white, white, white, blue}},
        {3, 10, {white, white, white, white}},  // below the square: the background
        {7, 11, {white, white, white, white}},
    };
    for (int i = 0; i < 4; ++i) {
        TBitmap picture;
        tree.Marks->GetBitmap(i, &picture);
        ASSERT_EQ(picture.Width.Get(), 8);
        ASSERT_EQ(picture.Height.Get(), 12);
        for (const Probe& p : probes)
            EXPECT_EQ(picture.Pixel(p.x, p.y), p.colour[i]) << "image " << i << " at " << p.x << "," << p.y;
    }
}

}  // namespace
