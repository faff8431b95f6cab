#pragma once
// The numbers that name the kinds of component and the bit words they carry,
// in one place: the type codes a cell is stored and looked up by (in projects
// and libraries), the library kind of each class, and the words of the power
// data. Every value here is on file: none may change.
#include <cstdint>

// Type codes. Several codes may build one class, which then stores one of
// them (the class's registration row says which). The palette's tools are
// numbered by the same codes: a tool makes a cell of its code's class, with
// the port counts the code or the palette's lists give.
enum : int32_t {
    CodeNone = -1,  // a cell whose class has not set its code
    CodeFiltroS = 1,
    CodeFiltroP = 2,
    CodeDivisore = 3,            // one line to two outputs; codes 3 to 5 build it
    CodeDivisoreVariabile = 4,   // lines and outputs as the palette's lists say
    CodeDivisore4 = 5,           // one line to four outputs
    CodeDerivatore = 6,          // one line, one tap; codes 6 to 9 build it
    CodeDerivatore2 = 7,         // one line, two taps
    CodeDerivatoreVariabile = 8, // lines and taps as the palette's lists say
    CodeDerivatore4 = 9,         // one line, four taps
    CodeSwitch = 10,             // codes 10 to 13 build it; the tool gives one output
    CodeSwitch2 = 11,            // the tool gives two outputs
    CodeSwitch3 = 12,            // the tool gives three outputs
    CodeSwitchVariabile = 13,    // through lines, outputs and layout as the lists say
    CodeEndOutlet = 14,          // "Presa diretta"
    CodePassThroughOutlet = 15,  // "Presa passante"
    CodeTermination = 16,
    CodeOldCableStraight = 17,  // cables of files before segments
    CodeOldCableBend = 18,
    CodeSeparatoreCC = 19,
    CodeInduttanza = 20,
    CodeAmplificatore = 21,          // gain, noise figure and maximum output only
    CodeAmplificatoreRegolato = 22,  // with tilt and gain regulation
    CodeAmplificatoreA = 23,         // levelling amplifier
    CodeAlimentatore = 24,
    CodeEarth = 25,
    CodeAttenuatore = 26,
    CodeAttenuatoreR = 27,
    CodeEqualizzatore = 28,
    CodeMiscelatore = 29,
    CodeDemiscelatore = 30,
    CodeFiltroPB = 31,
    CodeFiltroPA = 32,
    CodeHeadEnd = 34,  // the head-end terminal, anchor of each project grid
    CodeFiltroAT = 35,
    CodeModulatore = 36,
    CodeConvertitore = 37,
    CodeAntenna = 38,
    CodeSat = 39,
    CodeTerrestre = 40,  // head-end wide-band amplifier / mixer
    CodeEndOutlet3 = 41,  // an end outlet with three taps, stored as CodeEndOutlet
    CodeFiltroCAG = 42,
    CodeAmplificatoreAt = 43,
    CodeAlimentatoreSF = 44,
    CodeParabola = 45,
    CodePassThroughOutlet3 = 46,  // a pass-through outlet with three taps, stored as CodePassThroughOutlet
    CodeSwitchN = 47,
    CodeInseritore = 48,
    CodeDerivatoreN = 49,  // end-of-line tap, no through outputs
    CodeDerivatoreS = 50,  // its user-output lines need a termination as well
    CodeRicevitoreSat = 51,
    CodeEntryAnchor = 52,
    CodeExitAnchor = 53,
    CodeTerminatedOutlet = 54,  // "Presa terminale": an end outlet with built-in termination
    CodeCustom = 55,
    CodeSwitchMatrix = 56,
    CodeSwitchNMatrix = 57,
    CodeCentraleIntegrata = 58,
    CodeBridge = 80,  // a jumper: a cable segment with no length
    CodeCable = 81,
    CodeElementoListino = 150,
};

// Library kinds: the kind a class files its models under, named by the first
// type code of the class. Classes not listed use their own type code.
enum : int32_t {
    KindBandFilter = CodeFiltroS,  // the four passive filters
    KindSplitter = CodeDivisore,
    KindTap = CodeDerivatore,  // taps of every code
    KindSwitch = CodeSwitch,
    KindOutlet = CodeEndOutlet,  // outlets of every code
    KindTermination = CodeTermination,
    KindOldCable = CodeOldCableStraight,
    KindAmplifier = CodeAmplificatore,  // plain and regulated amplifiers
    KindAntenna = CodeAntenna,
    KindSat = CodeSat,
    KindWideBand = CodeTerrestre,
    KindAnchor = CodeEntryAnchor,  // entry and exit anchors
    KindCustom = CodeCustom,
    KindCableSegment = CodeCable,  // cables and bridges
};

// Power data: three groups (what the component receives power from, what it
// feeds, what it refuses power from) of four words each.
enum : int { PowerSupply = 0, PowerFeeds = 1, PowerRefuses = 2 };
// The words of a group: the flag word, then the masks of the inputs, the
// through outputs and the tap outputs the group concerns.
enum : int { PowerFlags = 0, PowerInputMask = 1, PowerThroughMask = 2, PowerTapMask = 3 };
// Bits of a group's flag word: the port groups it concerns, and in the supply
// group the internal ("Alimentatore interno") and external supply.
constexpr uint32_t PowerInputs = 0x1;
constexpr uint32_t PowerThrough = 0x2;
constexpr uint32_t PowerTaps = 0x4;
constexpr uint32_t PowerInternal = 0x8;
constexpr uint32_t PowerExternal = 0x10;
constexpr uint32_t AllBits = 0xFFFFFFFFu;
// A class's power groups as the port groups each concerns (PowerInputs,
// PowerThrough, PowerTaps), every port of a port group at once.
struct TPowerGroups {
    uint32_t Supply = 0;
    uint32_t Feeds = 0;
    uint32_t Refuses = 0;
};

// Bits of the first positions word ("Dati posizioni possibili"): where in a
// system the designer may place the component.
constexpr uint32_t PositionHeadEnd = 0x01;
constexpr uint32_t PositionSubstation = 0x02;
constexpr uint32_t PositionLine = 0x04;
constexpr uint32_t PositionFirstOfLine = 0x08;
constexpr uint32_t PositionLastOfLine = 0x10;
constexpr uint32_t PositionMastFirst = 0x20;
constexpr uint32_t PositionOutlet = 0x40;
constexpr uint32_t PositionMastLast = 0x80;

// Bits of the second positions word: what the designer asks of the model it
// chooses for the cell it placed. An amplifier's word holds the first word's
// bits a model may have (PositionSubstation, PositionLine) and:
constexpr uint32_t SecondPositionEitherAmplifier = 0x40000000;  // plain and regulated of the same ports are one kind
// A switch's word:
constexpr uint32_t SecondPositionRescore = 0x8;  // with no model for its position, score again without it
constexpr uint32_t SecondPositionCascade = 0x1000000;  // chosen as a cascade (an unbalanced top floor)
