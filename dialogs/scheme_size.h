#pragma once
// TDimensioneSchemi: the rows and columns of the network and head-end grids.
// The caller fills the four edits with the present sizes and the minima with
// the least sizes that keep every cell; "Ok" is usable only while every size
// lies between its minimum and the largest grid a project file may hold.
#include <cstdint>

#include "platform/forms.h"
#include "platform/stdctrls.h"

class TDimensioneSchemi : public TForm {
public:
    explicit TDimensioneSchemi(TComponent* owner = nullptr);

    void FormShow(TObject* Sender);
    void ERRigheChange(TObject* Sender);
    void BOkClick(TObject* Sender);
    void BAnnullaClick(TObject* Sender);

    // The number in a size edit: a text that is not a whole number is 0.
    static int32_t SizeOf(const TEdit* edit);

    TButton* BAnnulla;
    TButton* BOk;
    TGroupBox* GRete;
    TGroupBox* GTesta;
    TEdit* ERRighe;
    TEdit* ERColonne;
    TEdit* ETRighe;
    TEdit* ETColonne;
    TLabel* LRRighe;
    TLabel* LRColonne;
    TLabel* LTRighe;
    TLabel* LTColonne;

    int32_t HeadEndMinRows = 0;
    int32_t HeadEndMinColumns = 0;
    int32_t NetworkMinRows = 0;
    int32_t NetworkMinColumns = 0;
};
