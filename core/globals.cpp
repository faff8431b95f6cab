#include "core/globals.h"

TIni* Ini = nullptr;
TGestoreErrori* GestoreErrori = nullptr;
TCanalizzazioni* Canalizzazioni = nullptr;
TCanalizzazione* CanalizzazioneItalia = nullptr;
TCanalizzazione* CanalizzazioneEuropa = nullptr;
TSistemiBande* SistemiBande = nullptr;
TSistemaBande* SistemaBande2 = nullptr;
TSistemaBande* SistemaBande3 = nullptr;
TSistemaBande* SistemaBandeCorrente = nullptr;
TLibrerie* Librerie = nullptr;
TOpzioni* Opzioni = nullptr;
