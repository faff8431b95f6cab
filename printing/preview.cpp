#include "printing/preview.h"

#include "core/globals.h"
#include "core/options.h"
#include "core/reporter.h"
#include "document/estimate_amounts.h"
#include "document/grid.h"
#include "document/project.h"
#include "platform/application.h"
#include "platform/printers.h"

namespace {

float MaxSide() { return Opzioni ? Opzioni->maxCellWidth : 0.0f; }

// The scheme flags a scheme document of the options draws with, -1 for none.
int32_t SchemeFlagsOf(const TDatiStampa& o, int32_t document) {
    const int32_t base = o.SchemeFlags();
    if (document == pdNetworkScheme) {
        if (!o.CSRete->Checked) return -1;
        return base | SchemeNetwork | (o.CSStessoFoglio->Checked && o.CSTesta->Checked ? SchemeHeadEnd : 0);
    }
    if (o.CSStessoFoglio->Checked && o.CSRete->Checked) return -1;
    return o.CSTesta->Checked ? base | SchemeHeadEnd : -1;
}

// The flags of the selected-area scheme that the network scheme document adds, -1 for none.
int32_t AreaFlagsOf(const TStampa& s, const TDatiStampa& o) {
    if (!o.CSArea->Checked) return -1;
    const bool network = s.SelectedPage && s.SelectedPage() == "Rete";
    return o.SchemeFlags() | SchemeSelection | (network ? SchemeNetwork : SchemeHeadEnd);
}

// The list flags a material list document of the options draws with, -1 for none.
int32_t ListFlagsOf(const TDatiStampa& o, int32_t document) {
    const int32_t compressed = o.CCompresso->Checked ? ListCompressed : 0;
    if (document == pdNetworkList) {
        if (!o.CMRete->Checked) return -1;
        return compressed | ListNetwork | (o.CMUnite->Checked && o.CMTesta->Checked ? ListHeadEnd : 0);
    }
    if ((o.CMUnite->Checked && o.CMRete->Checked) || !o.CMTesta->Checked) return -1;
    return compressed | ListHeadEnd;
}

bool SchemeDraws(const TStampa& s, int32_t flags) {
    TSchemeArea area;
    return flags >= 0 && s.SchemeArea(flags, area);
}

}  // namespace

bool DocumentDraws(const TStampa& s, const TDatiStampa& o, int32_t document) {
    const TProgetto* project = s.Project;
    const bool network = project && project->NetworkGrid;
    switch (document) {
    case pdCover: return o.CoverKind() >= 0;
    case pdDeclaration:
    case pdEstimate:
    case pdSpecification: return true;
    case pdNetworkScheme:
        return SchemeDraws(s, SchemeFlagsOf(o, document)) || SchemeDraws(s, AreaFlagsOf(s, o));
    case pdHeadEndScheme: return SchemeDraws(s, SchemeFlagsOf(o, document));
    case pdNetworkList:
    case pdHeadEndList: return ListFlagsOf(o, document) >= 0 && s.ListHasGrid(ListFlagsOf(o, document));
    case pdSignalLimits: return network && (o.CMinMaxTesta->Checked || o.CMinMaxPrese->Checked);
    case pdSeparations: return network && o.CSepPrese->Checked;
    case pdChannels:
        return network && project->HeadEndGrid && (o.CCanaliTesta->Checked || o.CCanaliPrese->Checked);
    case pdMastReport: return project && project->Mast;  // without data it says so
    case pdLightningReport: return project && project->Lightning;
    default: return false;
    }
}

int32_t PrintOptionsDocument(TStampa& s, const TDatiStampa& o, int32_t document, int32_t page) {
    const bool all = o.RTutte->Checked;
    switch (document) {
    case pdCover: return o.CoverKind() >= 0 ? s.PrintCoverPage(o.CoverKind(), page) : -1;
    case pdDeclaration: return s.PrintDeclaration(o.Declaration(), page);
    case pdNetworkScheme: {
        int32_t result = -1;
        const int32_t flags = SchemeFlagsOf(o, document);
        if (flags >= 0) result = s.PrintScheme(flags, MaxSide(), page);
        const int32_t area = AreaFlagsOf(s, o);
        if (area >= 0) {
            const int32_t drawn = s.PrintScheme(area, MaxSide(), page);
            if (result < 0) result = drawn;
        }
        return result < 0 ? -1 : 0;
    }
    case pdHeadEndScheme: {
        const int32_t flags = SchemeFlagsOf(o, document);
        return flags >= 0 ? (s.PrintScheme(flags, MaxSide(), page) < 0 ? -1 : 0) : -1;
    }
    case pdMastReport: return s.PrintMastReport(o.CErrori->Checked, page);
    case pdLightningReport: return s.PrintLightningReport(page);
    case pdNetworkList:
    case pdHeadEndList: {
        const int32_t flags = ListFlagsOf(o, document);
        return flags >= 0 ? s.PrintComponentList(flags, page) : -1;
    }
    case pdEstimate:
    case pdSpecification:
        if (s.EstimatePage) s.EstimatePage->BuildEstimate();
        return s.PrintEstimate(document == pdEstimate, page);
    case pdSignalLimits:
        return s.PrintSignalLimits(o.CMinMaxTesta->Checked, o.CMinMaxPrese->Checked, all, o.LPrese, page);
    case pdSeparations: return s.PrintOutletSeparations(o.CSepPrese->Checked, all, o.LPrese, page);
    case pdChannels:
        return s.PrintChannelTable(o.CCanaliTesta->Checked, o.CCanaliPrese->Checked, all, o.LPrese, page);
    default: return -1;
    }
}

TFAnteprima::TFAnteprima(TComponent* owner) : TForm(owner) {
    Caption = AnsiString(ApplicationTitle) + " - Anteprima";
    WindowState = wsMaximized;
    Width = 800;
    Height = 600;
    OnShow = Handler(this, &TFAnteprima::StartPreview);
    auto button = [this](const char* caption, void (TFAnteprima::*click)(TObject*)) {
        TButton* b = MakeControl<TButton>(this, this, 8, 8, 75, 25);
        b->Caption = caption;
        b->OnClick = Handler(this, click);
        return b;
    };
    BIndietro = button("<< Indietro", &TFAnteprima::PreviousClick);
    BAvanti = button("Avanti >>", &TFAnteprima::NextClick);
    BEsci = button("Esci", &TFAnteprima::ExitClick);
    BStampa = button("Stampa", &TFAnteprima::PrintClick);
    Immagine = MakeControl<TImage>(this, this, 2, 2, 100, 100);
}

void TFAnteprima::StartPreview(TObject*) {
    BIndietro->SetBounds(8, 8, 75, 25);
    BAvanti->SetBounds(BIndietro->Left + 75 + 8, 8, 75, 25);
    BEsci->SetBounds(ClientWidth - 75 - 8, 8, 75, 25);
    BStampa->SetBounds(BEsci->Left - 8 - 75, 8, 75, 25);
    for (int32_t d = 1; d <= PrintDocumentLast; ++d) Counts[d] = Options && Options->Chosen(d) ? 1 : 0;
    int32_t last = 0;
    Next[0] = -1;
    for (int32_t d = 1; d <= PrintDocumentLast; ++d) {
        Next[d] = -1;
        if (!Counts[d]) continue;
        Next[last] = d;
        last = d;
    }
    int32_t before = -1;
    for (int32_t d = 1; d <= PrintDocumentLast; ++d) {
        Prev[d] = before;
        if (Counts[d]) before = d;
    }
    // Prev of an unchosen document is never read; a chosen one's is the
    // nearest chosen document before it.
    Document = 0;
    Page = 0;
    Counts[0] = 0;
    if (Next[0] == -1) {
        ModalResult = mrOk;
        return;
    }
    RenderPage(+1);
}

void TFAnteprima::RenderPage(int32_t direction) {
    TPrinter* printer = Printer();
    printer->Title = PrintJobTitle;
    printer->Orientation = poPortrait;
    if (direction > 0) {
        if (Counts[Document] <= Page) {
            Document = Next[Document];
            Page = 1;
        } else {
            ++Page;
        }
    } else {
        if (Page < 2) {
            Document = Prev[Document];
            Page = Document > 0 ? Counts[Document] : 0;
        } else {
            --Page;
        }
    }
    if (Document > 0 && Stampa && Options) {
        target_.ClientWidth = ClientWidth;
        target_.ClientHeight = ClientHeight;
        target_.Bitmap = Immagine->Picture->Bitmap;
        TPreviewTarget* saved = Stampa->Preview;
        Stampa->Preview = &target_;
        // A page that draws nothing stays white: the layout cleared it.
        Stampa->GetPageLayout(DocCover, Page);
        const int32_t result = PrintOptionsDocument(*Stampa, *Options, Document, Page);
        Stampa->Preview = saved;
        if (Document >= pdMastReport && result > 0 && Counts[Document] == Page) ++Counts[Document];
        Immagine->SetBounds(target_.Image.Left, target_.Image.Top, target_.Image.Width(),
                            target_.Image.Height());
        Immagine->Invalidate();
    }
    BIndietro->Enabled = Page >= 2 || (Document > 0 && Prev[Document] > 0);
    BAvanti->Enabled = (Document > 0 && Counts[Document] > Page) || (Document >= 0 && Next[Document] > 0);
}

void TFAnteprima::PreviousClick(TObject*) { RenderPage(-1); }
void TFAnteprima::NextClick(TObject*) { RenderPage(+1); }
void TFAnteprima::ExitClick(TObject*) { ModalResult = 6; }
void TFAnteprima::PrintClick(TObject*) { ModalResult = mrOk; }

bool PrintChosenDocuments(TStampa& stampa, const TDatiStampa& options) {
    auto printed = [&](int32_t d) { return options.Chosen(d) && DocumentDraws(stampa, options, d); };
    int32_t first = 0;
    for (int32_t d = 1; d <= PrintDocumentLast && !first; ++d)
        if (printed(d)) first = d;
    if (!first) return false;
    TPrinterOrientation orientation = poPortrait;
    if (first == pdNetworkScheme || first == pdHeadEndScheme) {
        int32_t flags = SchemeFlagsOf(options, first);
        if (!SchemeDraws(stampa, flags)) flags = AreaFlagsOf(stampa, options);
        orientation = stampa.SchemeOrientation(flags);
    }
    Printer()->Copies = options.Copies();
    Printer()->FileName = stampa.OutputFileName("");
    stampa.PrintJob(
        [&] {
            for (int32_t d = 1; d <= PrintDocumentLast; ++d)
                if (printed(d)) PrintOptionsDocument(stampa, options, d, 0);
        },
        orientation);
    return true;
}

void RunCombinedPrint(TStampa& stampa, TDatiStampa& options, TFAnteprima& preview) {
    options.LPrese->Items->Clear();
    if (stampa.Project && stampa.Project->NetworkGrid)
        for (TCella* o = stampa.Project->NetworkGrid->FirstOutlet; o; o = o->NextOutlet)
            options.LPrese->Items->Add(o->GetShortCode());
    preview.Stampa = &stampa;
    preview.Options = &options;
    options.SelectedPage = stampa.SelectedPage ? stampa.SelectedPage() : AnsiString();
    options.Selection = stampa.DrawSelection ? stampa.DrawSelection() : TCellRect{};
    auto anything = [&] {
        for (int32_t d = 1; d <= PrintDocumentLast; ++d)
            if (options.Chosen(d) && DocumentDraws(stampa, options, d)) return true;
        Application->MessageBox("Nessun documento selezionato per la stampa.", ApplicationTitle,
                                MB_OK | MB_ICONEXCLAMATION);
        return false;
    };
    options.ShowReportData(stampa.Project);
    for (;;) {
        const int result = options.ShowModal();
        // The reports print the notes and norms as typed; "Annulla" drops them.
        if (result == 6 || result == mrOk) options.StoreReportData(stampa.Project);
        if (result == 6) {
            if (!anything()) continue;
            if (preview.ShowModal() != mrOk) continue;
            PrintChosenDocuments(stampa, options);
            return;
        }
        if (result != mrOk) return;
        if (!anything()) continue;
        PrintChosenDocuments(stampa, options);
        return;
    }
}
