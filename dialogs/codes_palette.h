#pragma once
// TPannelloCodici: the side panel from which the person picks a catalogue
// article for the tool chosen in the component palette: the open libraries,
// the codes of the chosen library that fit the tool exactly (type code and the
// three port counts), and a tree of every library and its articles. Picking an
// article puts its data into the last-used prototype of its kind and tells the
// component palette to give them to the next cells it makes; picking one in
// the tree also chooses the tool and the variants that make cells like it.
#include "core/control_builders.h"
#include "platform/comctrls.h"
#include "platform/extctrls.h"
#include "platform/stdctrls.h"

class TPannelloComponenti;

// The library tree of the codes palette: libraries, categories, series and
// codes, every entry but the price-list items.
constexpr int32_t CodesTreeFlags = LibTreeLibraries | LibTreeCategories | LibTreeSeries | LibTreeNoPriceItems;

class TPannelloCodici : public TPanel {
public:
    explicit TPannelloCodici(TComponent* owner = nullptr);
    ~TPannelloCodici() override;

    // Lists in the code list the codes of the chosen library that fit the
    // palette's current tool.
    void FillCodes();
    // The component palette chose another tool or variant: the article is
    // forgotten and the codes of the new one listed.
    void ToolChanged();
    // The set of registered libraries changed: the tree follows, keeping
    // the nodes of the libraries that stay as they are.
    void LibrariesChanged();

    void LibraryListEnter(TObject* Sender);
    void LibraryListChange(TObject* Sender);
    void CodeListEnter(TObject* Sender);
    void CodeChange(TObject* Sender);
    void TreeChange(TObject* Sender, TTreeNode* Node);
    void TreeEnter(TObject* Sender);

    TPannelloComponenti* Components = nullptr;
    TComboBox* const LibraryList;
    TComboBox* const CodeList;
    TTreeView* const Tree;

protected:
    void Resized() override;
};
