#pragma once
// Switches and multiswitches: several input lines ("montanti": satellite
// polarisations and bands, terrestrial lines) reach a set of user outputs
// ("derivate"), so that every user output can receive any line; each line
// reaches them lowered by its tap loss. A cascadable switch passes every line
// on to a through output ("passante") of the same index, for the next switch
// of the riser. A matrix switch (codes 56 and 57) has one more input per user
// output ("ingresso matrice"), fed from the side, whose signal reaches only
// the user output of its own row.
//
// A switch is a tap whose lines share their user outputs: it keeps the tap's
// port numbering (through outputs first, through output i carries line i,
// then user output k), its Attenuation rows per line with the tap's four
// columns and a fifth for the matrix inputs, its optional amplifier stages
// (LevelTableA at the line's input, LevelTableB on its through output,
// LevelTableC or MatrixTableB on the user outputs) and its passes. Inputs
// from Lines() on are the matrix inputs: input Lines() + k feeds user output k.
//
// TSwitchN never has through outputs; with code 47 and variant 0 it stands
// on one row of squares, the inputs above and the user outputs below.
#include <cstdint>

#include "cells/taps.h"

// Category counter of the short code "S".
constexpr int SwitchCounter = 1;

// The fifth column of a switch's Attenuation: matrix input to the user output
// of its row (row 0 is used).
constexpr int32_t SwitchHorizontalColumn = 4;

// The counts the program keeps last-used prototypes for.
constexpr int32_t SwitchPrototypeInputs = 17;
constexpr int32_t SwitchPrototypeOutputs = 40;

class TSwitch : public TDerivatore {
public:
    // code is the stored type code; inputs lines, one through output each,
    // and tapOutputs user outputs shared by all lines.
    TSwitch(TCellGrid* owner, int32_t orientation, int32_t mirrored, int32_t column, int32_t row,
            int32_t code, int32_t inputs, int32_t tapOutputs);
    ~TSwitch() override;

    void DrawSymbol(TCanvas* canvas, int32_t column, int32_t row, int32_t x, int32_t y,
                    int32_t zoom) override;
    // The symbol, and on the top-left square the short code with a tap loss.
    void Paint(TCanvas* canvas, int32_t column, int32_t row, int32_t x, int32_t y, int32_t zoom) override;
    // "Switch ", "S"; a form page per line with its five losses, the user
    // outputs selectable where they differ.
    TCellDescription Describe() const override;
    // Old flag bytes: 1 external supply, 2 supply on the user outputs, 4 not
    // on a line.
    void ConvertOldFlags(const uint8_t (&flags)[5]) override;
    // Old records: one line and its user-output and line counts after the
    // base record; single-row tables copied to every line; old level rows.
    void Load(TStream& stream, int32_t version) override;
    void LoadLevelTables(TStream& stream, int32_t version) override;
    void SetPortCounts() override;
    TCella* GetPrototype() const override;
    // Every line handles some band, described with every loss the switch
    // needs or with none; matrix inputs need their horizontal loss.
    bool CheckData(const AnsiString& prefix) override;
    // The tap's passes over the shared user outputs, then the matrix inputs.
    void ComputeRequiredLevels(TBandLimits minLevels, TBandLimits maxLevels, uint32_t stamp) override;
    void ComputeSignalLevels(uint32_t stamp) override;
    float MinDownstreamValue(float value, int32_t band, bool apply, TCella* candidates, uint8_t needsBand5,
                             uint8_t needsBand9) override;
    void ComputeChannels(int32_t mode, int32_t port, uint32_t stamp) override;
    // A value arriving back through a user output goes up every line, back
    // down every through output and across to the other user outputs.
    void PushSeparation(int32_t port, int32_t band, float limit) override;
    // Every output's channels under " passaggio n" or " uscita n".
    void GetPortLevelText(TRichEdit* report) override;
    // An odd number of user outputs makes the layout lopsided: mirroring
    // flips it and moves the anchor to the other end.
    bool Mirror() override;
    // The designer's model choice; switches take no other model pass.
    bool FindModelForAttenuation(TCella* candidates, int32_t band, bool needsBand5, bool needsBand9) override;
    bool ChooseModel(TCella* candidates, int32_t mode, uint32_t stamp, TProgressBar* progress, int32_t band,
                     int32_t further) override;
    void EvaluateModel(TCella* candidates, int32_t mode, float level, uint32_t stamp, int32_t band) override;
    bool IsModelUsable(bool needsBand5, bool needsBand9) const override;
    // Positive gain regulations of the row-0 stages become 0.
    void AdjustLossTables() override;

    TCellLayout Layout() const override;
    TTapPortName NamePort(const TCellPort& port) const override;

    // Matrix inputs: one per user output, after the lines.
    bool HasMatrixInputs() const { return TypeCode == CodeSwitchMatrix || TypeCode == CodeSwitchNMatrix; }
    // The one-row layout of TSwitchN.
    bool OnOneRow() const { return TypeCode == CodeSwitchN && Variant == 0; }
    // The user outputs on the left column (side A) and on the right (side B).
    void OutputSides(int32_t& left, int32_t& right) const;

protected:
    // The line and through output the choice reads on this cell and its
    // candidates: preferred when the switch has it, else the last one.
    int32_t ChoiceLine(int32_t preferred) const;
    // The power groups of a switch: power comes in and goes on through the
    // lines only.
    void SetSwitchPowerGroups();
    bool ShowsArrows() const override;
    // The choice of the model whose need is the least (step scoring), and the
    // cascade choice of the riser's switches.
    bool ChooseByScore(TCella* candidates, int32_t mode, TProgressBar* progress, int32_t band, float m,
                       float r);
    bool ChooseCascade(TCella* candidates, int32_t mode, uint32_t stamp, TProgressBar* progress, int32_t band,
                       int32_t further, float m);
    void ReportNoModel();
    // Stamps a choice and sets its mode and band; false when this pass has
    // been here already.
    bool StartChoice(int32_t& mode, int32_t& band, uint32_t stamp);
    // The terminations on the inputs choose, then every user output; m is
    // the highest reach at the user outputs. Gives the last user output's
    // answer, or false at the first failure when stopAtFailure.
    bool UsersChoose(TCella* candidates, int32_t mode, int32_t terminationMode, uint32_t stamp,
                     TProgressBar* progress, int32_t band, int32_t further, bool stopAtFailure, float& m);
};

class TSwitchN : public TSwitch {
public:
    TSwitchN(TCellGrid* owner, int32_t orientation, int32_t mirrored, int32_t column, int32_t row,
             int32_t code, int32_t inputs, int32_t tapOutputs);
    ~TSwitchN() override;
    TCella* GetPrototype() const override;
    bool ChooseModel(TCella* candidates, int32_t mode, uint32_t stamp, TProgressBar* progress, int32_t band,
                     int32_t further) override;
};
