#pragma once
// Cables. A cable on a drawing grid is a run of cable segments TNCavo, one per
// square: straight pieces and bends joined square to square. The segment at
// the run's upstream end is its run head: after the grid analysis only the
// head stands in the signal graph, and it carries the data of the whole run
// (loss per 100 m by band in column 0 of row 0 of Attenuation, the run's
// length in metres in column 1, slot 0). A bridge (type code 80) is a
// lossless jumper drawn and walked like a cable.
//
// TCavo is the cable cell of older project files, which could carry two
// cables on one square. It is only read, then converted at once into one or
// two segments; it is never written.
#include <array>
#include <cstdint>
#include <optional>

#include "cells/cell.h"
#include "cells/layout.h"

class TNCavo;

// Category counters of the short codes "C" (cables) and "K" (bridges).
constexpr int CableCounter = 2;
constexpr int BridgeCounter = 24;

// Lengths of a run that are not a number of metres: not given yet, and a
// cable that is not counted (no loss, no number, no length check).
constexpr float CableLengthNone = LevelNone;
constexpr float CableLengthUncounted = LevelBlocked;

// The orientations of a straight piece and of a bend, by the sides of its
// square it joins.
enum : int32_t { StraightVertical = 0, StraightHorizontal = 1 };
enum : int32_t { BendLeftBottom = 0, BendLeftTop = 1, BendRightTop = 2, BendRightBottom = 3 };

// The two sides of its square a bend of an orientation joins (any integer,
// taken modulo 4), in the order a walk along its run starts from them.
std::array<TSide, 2> BendSides(int32_t orientation);

class TNCavo final : public TCella {
public:
    // bend: 0 a straight piece (StraightVertical, StraightHorizontal), 1 a
    // bend (BendLeftBottom, BendLeftTop, BendRightTop, BendRightBottom).
    // colour is the pen colour of the segment.
    TNCavo(TCellGrid* owner, int32_t orientation, int32_t mirrored, int32_t column, int32_t row, uint8_t bend,
           int32_t colour);
    ~TNCavo() override;

    // An overlay (the crossing cable) draws first.
    void DrawSymbol(TCanvas* canvas, int32_t column, int32_t row, int32_t x, int32_t y,
                    int32_t zoom) override;
    void Paint(TCanvas* canvas, int32_t column, int32_t row, int32_t x, int32_t y, int32_t zoom) override;
    // The labels of a run end on printed schemes: length, article code, short code.
    void DrawAttenuationValues(TCanvas* canvas, int32_t column, int32_t row, int32_t x, int32_t y,
                               int32_t zoom, int32_t flags) override;
    // A cable ("Cavo ", "C") or a jumper ("K"), each numbered in its
    // category; a cable whose length does not count shows "*" and takes no
    // number. A cable piece gives way to a new cell; a jumper does not.
    TCellDescription Describe() const override;
    // Hides the length's band cells past the first.
    void FinishDataForm(TDatiComponenti& form) override;
    // Repaints every segment of the run.
    void Invalidate() override;
    void Load(TStream& stream, int32_t version) override;
    void Save(TStream& stream, int32_t version) override;
    // Only the loss per 100 m is a band vector; the length is not converted.
    void SetBandSystem(TSistemaBande* system) override;
    void AllocLinks() override;
    // One square; the line runs either way between its two sides: top and
    // bottom for a straight piece, bottom and left for a bend (shown as
    // entering on the first of them).
    TCellLayout Layout() const override;
    // Takes the line on from the side it arrives on.
    bool PlaceOnGrid(const TNextCell& record, TQNextCell& queue) override;
    TCella* GetPrototype() const override;
    bool CheckData(const AnsiString& prefix) override;
    // The form edits the run head: loss per 100 m and length.
    bool OpenDataDialog() override;
    void GetPortName(TInfoMousePos& position) override;
    void GetPortLevelText(TRichEdit* report) override;
    void WriteAttenuationTable(TRichEdit* report, int32_t input, const AnsiString& title) override;
    // The prototype operations and the copy to cells of the same kind work
    // on the run head; without one they do nothing.
    void TakeLastUsed() override;
    void StoreAsLastUsed() override;
    void CopyDataToSameKind(uint8_t flag) override;
    std::unique_ptr<TCella> Clone() override;
    bool NeedsNoDescription() const override;
    bool AllowsAutoChoice() const override;
    void ComputeRequiredLevels(TBandLimits minLevels, TBandLimits maxLevels, uint32_t stamp) override;
    void ComputeSignalLevels(uint32_t stamp) override;
    void ComputeChannels(int32_t flags, int32_t port, uint32_t stamp) override;
    void PushSeparation(int32_t port, int32_t band, float limit) override;
    void AcceptSeparation(int32_t port, int32_t band, float value, float limit) override;
    bool Mirror() override;
    bool Rotate(int32_t n) override;
    // The designer's passes: a run head hands the target level, less its
    // loss, to what follows the run; the cable itself has no model choice.
    bool ChooseModel(TCella* candidates, int32_t mode, uint32_t stamp, TProgressBar* progress, int32_t band,
                     int32_t further) override;
    void EvaluateModel(TCella* candidates, int32_t mode, float value, uint32_t stamp, int32_t band) override;
    // A bridge's report opens with "Ponte ", a cable's with "Cavo ".
    AnsiString ReportHeading() const override;
    bool CanOverlapCell() const override;

    // The run head is the segment that touches the component upstream.
    bool IsRunHead() const override;
    void SetRunHead(bool head) override;
    bool KeepsOffRunHead() const override;

    bool IsBridge() const { return TypeCode == CodeBridge; }
    // The run's length in metres (column 1, slot 0 of row 0).
    float PassAttenuation() const;
    void SetLength(float metres);
    // Loss per 100 m in a band slot.
    float LossPer100(int32_t band) const;
    // The loss of the run in a band slot for the level passes: LevelBlocked
    // for a band the cable does not pass, 0 for an uncounted cable,
    // LevelNone when loss or length is missing (or the product negative).
    float SegmentLoss(int32_t band) const;
    // The loss the designer's passes use: 0 for an uncounted cable, the
    // product otherwise (LevelNone when a factor is missing).
    float DesignLoss(int32_t band) const;
    // The loss the separation search adds across the cable: the designer's
    // loss, LevelNone for a band without a loss per 100 m.
    float SeparationLoss(int32_t band) const;

    // Sets the colour of every segment of the run and repaints them.
    void MarkCableRun(int32_t colour);
    // Sets the length of every described segment of the run reached from
    // this segment moving in the given direction.
    void Notify(float length, TDirection direction);
    // The segment that stands for the run, or none when the search finds none.
    TNCavo* GetRunHead();

    uint8_t Bend = 0;
    int32_t Colour = 0;
    uint8_t RunEnd = 0;

protected:
    void ReachFromNeighbour();

private:
    enum class TWalkMode { Colour, Length, Repaint };
    void DrawSegment(TCanvas* canvas, int32_t column, int32_t row, int32_t x, int32_t y, int32_t zoom);
    // Both ways from this segment, or only the given one.
    void WalkRun(TWalkMode mode, float length, int32_t colour, std::optional<TDirection> only);
    TNCavo* FindRunEnd();
    // The two directions a walk starts in from this segment.
    std::array<TDirection, 2> StartDirections() const;
};

// The cable cell of older project files; see the top of this file.
class TCavo : public TCella {
public:
    TCavo(TCellGrid* owner, int32_t orientation, int32_t mirrored, int32_t column, int32_t row, uint8_t bend,
          int32_t colour);
    ~TCavo() override;

    void Load(TStream& stream, int32_t version) override;
    // An old cable is never written: both show "Errore registrazione cavo".
    void Save(TStream& stream, int32_t version) override;
    bool RegisterInLibrary(TLibreria* library) override;
    // Converts the two loss vectors (columns 0 and 1); the lengths stay.
    void SetBandSystem(TSistemaBande* system) override;
    void SetPortCounts() override;

    // The segments the cell becomes: the first cable (a bend, or a straight
    // horizontal piece) and the second, vertical one that crosses it. Either
    // may be none.
    struct TSegments {
        std::unique_ptr<TNCavo> First;
        std::unique_ptr<TNCavo> Second;
    };
    TSegments ToNCavo();

    uint8_t Bend = 0;
    uint8_t HasFirst = 0;
    uint8_t HasSecond = 0;
    TSistemaBande* SecondBandSystem = nullptr;
    int32_t FirstColour = 0;
    int32_t SecondColour = 0;
    uint8_t FirstBridge = 0;
    uint8_t SecondBridge = 0;
    uint8_t SecondCurrency = 1;
    AnsiString SecondDescription;
    AnsiString SecondArticle;
    AnsiString SecondNotes;
    AnsiString SecondBrand;
    AnsiString SecondCode;
    AnsiString SecondSeries;
    AnsiString SecondCategory;
    float SecondPrice = 0.0f;
    int32_t SecondInstallMinutes = static_cast<int32_t>(LevelNone);
    AnsiString SecondInternalNotes;
    AnsiString SecondExternalNotes;
    uint8_t SecondChoice1 = 255;
    uint8_t SecondChoice2 = 255;
    uint8_t SecondChoice3 = 255;
    uint8_t SecondDescribed = 0;
    uint8_t FirstRunEnd = 0;
    uint8_t SecondRunEnd = 0;

private:
    void LoadBefore20000(TStream& stream, int32_t version);
    void LoadFrom20000(TStream& stream, int32_t version);
    void ConvertOldSentinels();
};

// The Windows colour value of an old cable's colour index.
int32_t OldCableColour(int32_t index);

// The grid analysis makes the head of a run of cable pieces a jumper (between
// two cells that join by jumpers) or a cable: its type code follows, and a
// category that names the one becomes the other's.
void MakeJumper(TCella& segment, bool jumper);
