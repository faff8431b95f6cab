#pragma once
// The texts of the two lightning-risk pages: the choices and boxes as the
// pages offer them, the captions of the incoming lines, the number formats
// of the shown figures. The printed lightning report uses the same.
#include <cstdint>
#include <utility>

#include "document/lightning_evaluation.h"

namespace lightning_texts {

inline constexpr const char* NoResult = "---";
inline constexpr const char* InsufficientData = "Dati insufficienti";

inline constexpr const char* FireRisks811[FireRiskChoices] = {"Ridotto", "Ordinario", "Elevato"};
inline constexpr const char* FlashDensities811[FlashDensityChoices] = {
    "1,5 fulmini/anno Kmq", "2,5 fulmini/anno Kmq", "4 fulmini/anno Kmq"};
inline constexpr const char* Environments811[EnvironmentChoices] = {
    "Struttura in area con presenza prevalente di strutture di altezza uguale o maggiore",
    "Struttura in area con presenza prevalente di strutture di altezza inferiore",
    "Struttura isolata: nessun altro oggetto o struttura entro distanza 3H",
    "Struttura isolata sulla cima di una collina o di una montagna",
};

// ---- "Fulmini 81.10-2": the controls of each bit set, in list order, with their bits ----
inline constexpr std::pair<const char*, int> StructureKindBoxes[] = {
    {"Ospedale", 7},    {"Alberghi", 8}, {"Abitazione civile", 9},   {"Industriale", 4},
    {"Commerciale", 5}, {"Scuole", 6},   {"Pubblico spettacolo", 1}, {"Chiese", 2},
    {"Musei", 3},       {"Altri", 0},
};
inline constexpr const char* FloorKindBoxes[] = {"Agricolo", "Cemento", "Marmo",   "Ceramica", "Pietrisco",
                                                 "Moquette", "Tappeto", "Asfalto", "Linoleum", "Legno"};
inline constexpr const char* FireProvisionBoxes[] = {"Estintori",
                                                     "Impianto estinzione fisso manuale",
                                                     "Impianto allarme manuale",
                                                     "Idranti",
                                                     "Compartimentazione antincendio",
                                                     "Vie di fuga protette",
                                                     "Impianto estinzione fisso automatico",
                                                     "Impianto allarme automatico"};
inline constexpr std::pair<const char*, int> LineSoilBoxes[] = {
    {"Agricolo", 0}, {"Cemento", 1}, {"Marmo", 2}, {"Ceramica", 3}, {"Pietrisco", 4}, {"Asfalto", 7}};
// "Pericolo particolare" items, each with the index TFulmini reads.
inline constexpr std::pair<const char*, int32_t> SpecialHazards[] = {
    {"Nessuno", 0},
    {"Ridotto", 1},
    {"Medio", 2},
    {"Elevato", 4},
    {"Difficoltà evacuazione", 3},
    {"Pericolo struttre circostanti, ambiente", 5},
    {"Contaminazione ambiente circostante", 6},
};
inline constexpr const char* FireRisks8110[] = {"Esplosione", "Elevato", "Ordinario", "Ridotto", "Nessuno"};
inline constexpr const char* Surroundings8110[] = {
    "Oggetto circondato da oggetti di altezza più elevata o alberi",
    "Oggetto circondato da oggetti o alberi di altezza uguale o inferiore",
    "Oggetto isolato: nessun altro oggetto nelle vicinanze",
    "Oggetto isolato sulla cima di una collina o di una montagna",
};
inline constexpr const char* LineCaptions[4] = {"Linee dati fuori terra", "Linee dati interrate",
                                                "Linee energia fuori terra", "Linee energia interrate"};

inline constexpr const char* FactorMask = "0.#####";
inline constexpr const char* RiskMask = "0.00E+00";
inline constexpr const char* FrequencyMask = "0.00000";

// Captions of the factors, formulas and outcomes of "Fulmini 81.10-2".
inline constexpr const char* CaptionLt = "Lt (Tab. C.1)";
inline constexpr const char* CaptionLf = "Lf (Tab. C.1)";
inline constexpr const char* CaptionRa = "ra (Tab. C.2)";
inline constexpr const char* CaptionRp = "rp (Tab. C.3)";
inline constexpr const char* CaptionRf = "rf (Tab. C.4)";
inline constexpr const char* CaptionHz = "hz (Tab. C.5)";
inline constexpr const char* CaptionCa = "Ca (Tab. A.2)";
inline constexpr const char* FormulaNd = "Nd = Ng * Aa * Ca * 0,000001";
inline constexpr const char* FormulaRa = "Ra = Nd * ra * Lt";
inline constexpr const char* FormulaRb = "Rb = Nd * rp * hz * rf * Lf";
inline constexpr const char* FormulaR1 = "R1 = Ra + Rb + Ru + Rv";
inline constexpr const char* FormulaNl = "Nl = Ng * Al * Ca * 0,000001";
inline constexpr const char* FormulaRu = "Ru = Nl * ru * Lt";
inline constexpr const char* FormulaRv = "Rv = Nl * rp * hz * rf * Lf";
inline constexpr const char* TolerableRiskCaption = "Rischio tollerabile";
inline constexpr const char* RiskR1Caption = "Rischio R1 = ";
inline constexpr const char* ProtectionNeeded = "Protezione necessaria: R1 supera il rischio tollerabile.";
inline constexpr const char* ProtectionNotNeeded =
    "Protezione non necessaria: R1 non supera il rischio tollerabile.";
// The outcomes of "Fulmini 81.1": [with antennas][self-protected].
inline constexpr const char* SelfProtection811[2][2] = {
    {"La struttura senza antenne non è autoprotetta.", "La struttura senza antenne è autoprotetta."},
    {"La struttura con antenne non è autoprotetta.", "La struttura con antenne è autoprotetta."}};

}  // namespace lightning_texts
