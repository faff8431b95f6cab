#include "document/circuit_errors.h"

namespace {
// Indexed by kind; kind 0 shows nothing.
const char* const Messages[ErroreCircuitoMassimo + 1] = {
    "",
    "Esiste una interruzione nella cella marcata con 'Err'.",
    "Un ingresso del componente marcato con 'Err' non è raggiungibile dal terminale di testa.",
    "Un segnale entra nella cella marcata con 'Err' da un punto che non è un ingresso.",
    ("La linea terminata in 'Err' esce da un divisore o da un demiscelatore, oppure passa "
     "attraverso un derivatore o switch. E' necessario inserire una resistenza di chiusura."),
    "Un ingresso del componente marcato con 'Err' non è raggiungibile dalle antenne.",
    "Esiste un ciclo tra le uscite automiscelanti marcate con 'Err'.",
    "Le uscite automiscelanti vanno chiuse con una resistenza da un lato.",
    "Gli ingressi automiscelanti vanno chiusi con una resistenza da un lato.",
    "Le uscite automiscelanti vanno chiuse con una resistenza da un solo lato.",
    "Non è possibile automiscelare uscite di filtri con uscite di amplificatori.",
};
}  // namespace

AnsiString CircuitErrorMessage(int32_t kind) {
    if (kind < 0 || kind > ErroreCircuitoMassimo) return AnsiString();
    return Messages[kind];
}
