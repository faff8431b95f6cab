#pragma once
// TSelectionTreeView: the tree of the wizard's component page. Libraries at
// the root, then their groups and components; each node carries a check mark
// as its state image (1 empty, 2 partial, 3 full). A click on the mark fills
// or empties the node with its subtree and brings the ancestors up to date.
// The marks travel as node paths: the texts from the root down, joined by
// "?|?".
#include "cells/class_table.h"
#include "core/control_builders.h"
#include "platform/comctrls.h"
#include "platform/graphics.h"

class TStringList;

// How the wizard fills the tree: libraries, categories and series with
// their check marks, of the entries the palettes offer (OfferedOnPalettes).
constexpr int32_t SelectionTreeFlags = LibTreeLibraries | LibTreeCategories | LibTreeSeries | LibTreeStateImages;

// The marks, as state-image indexes.
enum : int { NodeEmpty = 1, NodePartial = 2, NodeFull = 3 };
// Joins the texts of a node path.
extern const char* const NodePathSeparator;  // "?|?"
// The size of the state pictures.
constexpr int StateImageWidth = 8;
constexpr int StateImageHeight = 12;

class TSelectionTreeView : public TTreeView {
public:
    explicit TSelectionTreeView(TComponent* owner = nullptr);

    // Sets the node and its whole subtree, then brings every ancestor to
    // full, empty or partial as its children stand.
    void SetNodeState(TTreeNode* node, int state);
    // Appends the paths of the highest full nodes, in tree order.
    void GetCheckedPaths(TStringList& list) const;
    // Empties every mark, then fills each node whose path the list holds.
    void CheckPaths(const TStringList& list);
    static AnsiString NodePath(const TTreeNode* node);

    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void Click() override;

    // The four state pictures, 8 x 12 each.
    TImageList* const Marks;

private:
    int mouseX_ = -1, mouseY_ = -1;
};
