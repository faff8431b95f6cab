#pragma once
// TInfoStampaCalcoli: which calculation tables to print (signal limits at
// the head-end terminal and at the outlets, separations between outlets,
// channels at the terminal and at the outlets) and for which outlets: all,
// or those selected in the list.
#include "platform/forms.h"
#include "platform/stdctrls.h"

class TInfoStampaCalcoli : public TForm {
public:
    explicit TInfoStampaCalcoli(TComponent* owner = nullptr);

    void CTutteClick(TObject* Sender);
    void CAlcuneClick(TObject* Sender);
    void BOkClick(TObject* Sender);
    void BAnnullaClick(TObject* Sender);
    // True when at least one table box is ticked.
    bool AnyTable() const;

    TGroupBox* GRete;
    TCheckBox* CMinMaxTesta;
    TCheckBox* CMinMaxPrese;
    TCheckBox* CSepPrese;
    TGroupBox* GCanali;
    TCheckBox* CCanaliTesta;
    TCheckBox* CCanaliPrese;
    TGroupBox* GSelect;
    TRadioButton* CTutte;
    TRadioButton* CAlcune;
    TListBox* LPrese;
    TButton* BOk;
    TButton* BAnnulla;
};
