#include "autodesign/selection_tree.h"

#include <array>

#include "platform/classes.h"

const char* const NodePathSeparator = "?|?";

namespace {

// The marks are drawn in one 8 x 12 picture, added to the list at each step:
// the red square (images 0 and 1), the blue upper-left triangle (2), the
// whole square blue (3). Pixels below the square keep the new bitmap's white.
void DrawMarks(TImageList& marks) {
    TBitmap picture(StateImageWidth, StateImageHeight);
    TCanvas& c = *picture.Canvas;
    c.Pen->Color = clRed;
    const std::array<TPoint, 5> square = {TPoint(0, 0), TPoint(7, 0), TPoint(7, 7), TPoint(0, 7),
                                          TPoint(0, 0)};
    c.Polyline(square);
    marks.Add(&picture);
    marks.Add(&picture);

    c.Pen->Color = clBlue;
    c.Brush->Color = clBlue;
    const std::array<TPoint, 4> upperLeft = {TPoint(1, 1), TPoint(6, 1), TPoint(1, 6), TPoint(1, 1)};
    c.Polyline(upperLeft);
    c.FloodFill(2, 2, clBlue, fsBorder);
    marks.Add(&picture);

    const std::array<TPoint, 4> lowerRight = {TPoint(6, 1), TPoint(6, 6), TPoint(1, 6), TPoint(6, 1)};
    c.Polyline(lowerRight);
    c.FloodFill(5, 5, clBlue, fsBorder);
    marks.Add(&picture);
}

// Full when every child is full, empty when every child is empty.
int StateOfChildren(const TTreeNode* node) {
    bool allFull = true, allEmpty = true;
    for (TTreeNode* child = node->getFirstChild(); child; child = child->getNextSibling()) {
        if (child->StateIndex != NodeFull) allFull = false;
        if (child->StateIndex != NodeEmpty) allEmpty = false;
    }
    return allFull ? NodeFull : allEmpty ? NodeEmpty : NodePartial;
}

void SetSubtree(TTreeNode* node, int state) {
    node->StateIndex = state;
    for (TTreeNode* child = node->getFirstChild(); child; child = child->getNextSibling())
        SetSubtree(child, state);
}

// The full nodes under a partial node, down to the given depth.
void AddFullPaths(const TTreeNode* partial, int depth, TStringList& list) {
    for (TTreeNode* child = partial->getFirstChild(); child; child = child->getNextSibling()) {
        if (child->StateIndex == NodeFull)
            list.Add(TSelectionTreeView::NodePath(child));
        else if (child->StateIndex == NodePartial && depth > 1)
            AddFullPaths(child, depth - 1, list);
    }
}

}  // namespace

TSelectionTreeView::TSelectionTreeView(TComponent* owner) : TTreeView(owner), Marks(new TImageList(this)) {
    Marks->Width = StateImageWidth;
    Marks->Height = StateImageHeight;
    DrawMarks(*Marks);
    StateImages = Marks;
}

void TSelectionTreeView::SetNodeState(TTreeNode* node, int state) {
    if (!node) return;
    SetSubtree(node, state);
    for (TTreeNode* parent = node->Parent(); parent; parent = parent->Parent()) {
        const int s = StateOfChildren(parent);
        if (parent->StateIndex == s) break;
        parent->StateIndex = s;
    }
}

void TSelectionTreeView::GetCheckedPaths(TStringList& list) const {
    for (int i = 0; i < Items->RootCount(); ++i) {
        const TTreeNode* root = Items->Root(i);
        if (root->Count() == 0) continue;
        if (root->StateIndex == NodeFull)
            list.Add(NodePath(root));
        else if (root->StateIndex == NodePartial)
            // Children, grandchildren and great-grandchildren; nothing deeper.
            AddFullPaths(root, 3, list);
    }
}

void TSelectionTreeView::CheckPaths(const TStringList& list) {
    for (TTreeNode* n = Items->GetFirstNode(); n; n = n->GetNext()) n->StateIndex = NodeEmpty;
    for (TTreeNode* n = Items->GetFirstNode(); n; n = n->GetNext()) {
        const AnsiString path = NodePath(n);
        for (int i = 0; i < list.Count(); ++i)
            if (list[i] == path) {
                SetNodeState(n, NodeFull);
                break;
            }
    }
}

AnsiString TSelectionTreeView::NodePath(const TTreeNode* node) {
    if (!node) return AnsiString();
    if (!node->Parent()) return node->Text;
    return NodePath(node->Parent()) + NodePathSeparator + node->Text.Get();
}

void TSelectionTreeView::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    // A mouse reaches the point of its press by moving there; a press sent
    // without the move (a touch, a test) counts the same.
    mouseX_ = x;
    mouseY_ = y;
    TTreeView::MouseDown(button, shift, x, y);
}

void TSelectionTreeView::MouseMove(TShiftState shift, int x, int y) {
    TTreeView::MouseMove(shift, x, y);
    mouseX_ = x;
    mouseY_ = y;
}

void TSelectionTreeView::Click() {
    TTreeView::Click();
    TTreeNode* node = GetNodeAt(mouseX_, mouseY_);
    if (!node || !GetHitTestInfoAt(mouseX_, mouseY_).Contains(htOnStateIcon)) return;
    SetNodeState(node, node->StateIndex == NodeFull ? NodeEmpty : NodeFull);
}
