#pragma once
// TFAnteprima: the print preview. It steps through the documents chosen in
// the print options page by page, asking each document's producer for one
// page at a time, and learns a document's page count while stepping. Modal
// results: 1 print, 6 leave.
#include <cstdint>

#include "platform/extctrls.h"
#include "platform/forms.h"
#include "platform/stdctrls.h"
#include "printing/documents.h"
#include "printing/print_options.h"

// Draws one page of a preview document (page >= 1), or the whole document on
// the printer (page 0), with the choices of the print options; the result as
// its producer gives it (the cover, the declaration and the schemes are one page).
int32_t PrintOptionsDocument(TStampa& stampa, const TDatiStampa& options, int32_t document, int32_t page);
// Whether a document, chosen, draws anything: a scheme whose area holds
// something, a material list whose page exists, a calculation table of a
// project, the mast and lightning reports of a project (a mast report
// without data says so).
bool DocumentDraws(const TStampa& stampa, const TDatiStampa& options, int32_t document);

class TFAnteprima : public TForm {
public:
    explicit TFAnteprima(TComponent* owner = nullptr);

    void StartPreview(TObject* Sender);
    void RenderPage(int32_t direction);
    void PreviousClick(TObject* Sender);
    void NextClick(TObject* Sender);
    void ExitClick(TObject* Sender);
    void PrintClick(TObject* Sender);

    // Set by the driver before showing.
    TStampa* Stampa = nullptr;
    TDatiStampa* Options = nullptr;

    TButton *BIndietro, *BAvanti, *BEsci, *BStampa;
    TImage* Immagine;

    int32_t Counts[PrintDocumentLast + 1] = {};
    int32_t Next[PrintDocumentLast + 1] = {};
    int32_t Prev[PrintDocumentLast + 1] = {};
    int32_t Document = 0;
    int32_t Page = 0;

private:
    TPreviewTarget target_;
};

// The combined print: fills the outlet list of the options' tab "Calcoli",
// shows the options; "Anteprima" shows the preview ("Esci" comes back to the
// options, "Stampa" prints), "Stampa" prints the chosen documents in one job,
// "Annulla" ends. With nothing chosen, or only documents that draw nothing,
// it says so and shows the options again.
void RunCombinedPrint(TStampa& stampa, TDatiStampa& options, TFAnteprima& preview);
// The chosen documents in one job, the cover first, on the chosen printer
// with the chosen copies, leaving out documents that draw nothing; false,
// and no job, when no chosen document draws anything.
bool PrintChosenDocuments(TStampa& stampa, const TDatiStampa& options);
