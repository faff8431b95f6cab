#pragma once
// Controls that dialogs build at run time, all with the program's fixed look:
// the container is both owner and parent, the font is the small "Arial" of
// height -11, and the At forms also place the
// control. And the library tree: the registered libraries with the
// categories, series and codes of their entries, refreshed in place.
#include <cstdint>

#include "core/libraries.h"
#include "platform/graphics.h"

// The captions of the buttons that step through a form's stages.
constexpr const char* NextCaption = "Avanti >>";
constexpr const char* BackCaption = "<< Indietro";

class TWinControl;
class TEdit;
class TComboBox;
class TButton;
class TGroupBox;
class TTabControl;
class TCheckBox;
class TRadioButton;
class TLabel;
class TTreeView;
class TTreeNode;
class TNestedStringList;
class TStringList;

// ---- Control builders ----

// maxLength 0 is no limit.
TEdit* MakeEdit(TWinControl* container, int width, TColor fontColour, int maxLength);
TEdit* MakeEditNoMax(TWinControl* container, int width, TColor fontColour);
TEdit* MakeEditAtMax(TWinControl* container, int left, int top, int width, TColor fontColour, int maxLength);
TEdit* MakeEditAt(TWinControl* container, int left, int top, int width, TColor fontColour);
// Read-only and out of the tab order.
TEdit* MakeReadOnlyEdit(TWinControl* container, int width, TColor fontColour, const AnsiString& text);
TEdit* MakeReadOnlyEditEmpty(TWinControl* container, int width, TColor fontColour);
TComboBox* MakeComboBox(TWinControl* container, int width, TColor fontColour);
TComboBox* MakeComboBoxAt(TWinControl* container, int left, int top, int width, TColor fontColour);
// 75 x 25 whatever the caption.
TButton* MakeButton(TWinControl* container, const AnsiString& caption);
TButton* MakeButtonAt(TWinControl* container, int left, int top, const AnsiString& caption);
TGroupBox* MakeGroupBox(TWinControl* container, int width, int height, const AnsiString& caption);
TGroupBox* MakeGroupBoxAt(TWinControl* container, int left, int top, int width, int height,
                          const AnsiString& caption);
TCheckBox* MakeCheckBox(TWinControl* container, int width, const AnsiString& caption);
TCheckBox* MakeCheckBoxAt(TWinControl* container, int left, int top, int width, const AnsiString& caption);
TRadioButton* MakeRadioButton(TWinControl* container, int width, const AnsiString& caption);
TRadioButton* MakeRadioButtonAt(TWinControl* container, int left, int top, int width,
                                const AnsiString& caption);
TLabel* MakeLabel(TWinControl* container, int width, const AnsiString& caption);
TLabel* MakeLabelAt(TWinControl* container, int left, int top, int width, const AnsiString& caption);

// ---- Library tree ----

// Flags of the library tree.
enum : int32_t {
    LibTreeSeries = 0x0002,        // keep the series level (else codes stand under their category)
    LibTreeCategories = 0x0004,    // keep the category level (else the series of all categories)
    LibTreeLibraries = 0x0008,     // top-level nodes are the registered libraries; nothing without it
    LibTreeNoPriceItems = 0x0200,  // every entry but the price-list items (a filter given wins)
    LibTreeStateImages = 0x8000,   // new nodes get state image 1, or 3 under a node that has 3
};

// Fills the tree with the registered libraries, or refreshes it: nodes of
// libraries no longer registered go, new libraries are added, and the nodes
// of the libraries that stay are kept as they are (expanded, state images).
// admits: the entries listed, by type code (the palettes' offer is
// OfferedOnPalettes of the class table); none: as the flags say.
void FillLibraryTree(TTreeView* tree, int32_t flags, TEntryKindFilter admits = nullptr);
// Fills the nodes under one library node, only when it has none.
void AddLibraryNode(TTreeNode* libraryNode, int32_t flags, TEntryKindFilter admits = nullptr);
// Brings the children of parent in line with one level of the tree query's
// nested list (1 categories, 2 series, 3 codes): children that are not in the
// list go, entries without a child become new children. The list is changed
// on the way; none is taken as an empty list.
void FillLibraryTreeLevel(TTreeNode* parent, int32_t level, TNestedStringList* list, int32_t flags);
