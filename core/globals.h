#pragma once
#include <cstdint>

// The program-wide objects. Program start creates them before any window and
// the main form frees them; tests fill them with a scoped fixture.
class TIni;
class TGestoreErrori;
class TCanalizzazioni;
class TCanalizzazione;
class TSistemiBande;
class TSistemaBande;
class TLibrerie;
class TOpzioni;

extern TIni* Ini;
extern TGestoreErrori* GestoreErrori;
extern TCanalizzazioni* Canalizzazioni;
extern TCanalizzazione* CanalizzazioneItalia;  // plan id '2'
extern TCanalizzazione* CanalizzazioneEuropa;  // plan id '3'
extern TSistemiBande* SistemiBande;
extern TSistemaBande* SistemaBande2;         // "FM-I/V-5", older files only
extern TSistemaBande* SistemaBande3;         // "CR-FM-I/V-5"
extern TSistemaBande* SistemaBandeCorrente;  // the band system of every calculation ('3')
extern TLibrerie* Librerie;
extern TOpzioni* Opzioni;
