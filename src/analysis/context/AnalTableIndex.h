// Places of the point tables in the parameter block, shared by the document's fill (which
// writes them) and the engine (which reads them).
#pragma once

// Places of the thirty one-word saturation tables: the primary side's two, then seven per
// output (output k from 1 to 4 at kOutputTableBase + 7·(k - 1) + the table's offset).
constexpr int kSenseXfmrTable = 0;
constexpr int kPowerXfmrTable = 1;
constexpr int kOutputTableBase = 2;
constexpr int kTablesPerOutput = 7;
enum OutputTableOffset {
    kSkimTable = 0,
    kChokeTable,
    kSecondStageInductorTable,
    kDampingInductorTable,
    kCapSenseXfmrTable,
    kLoadInductor1Table,
    kLoadInductor2Table,
};
constexpr int OutputTableIndex(int output, int offset) {
    return kOutputTableBase + kTablesPerOutput * (output - 1) + offset;
}
// The three line-filter tables (three cursor words: one per line phase).
constexpr int kLineFirstInductorTable = 0;
constexpr int kLineSecondInductorTable = 1;
constexpr int kLineDampingInductorTable = 2;
// Places of the ten 101-point transient tables in the block (the context reorders them:
// AnalContext.h); the load sources' tables keep their places in both.
constexpr int kOptoReferenceBlockTable = 0;
constexpr int kVeaReferenceBlockTable = 1;
constexpr int kErrorInjectionBlockTable = 2;
constexpr int kCurrentInjectionBlockTable = 3;
constexpr int kLineOffsetBlockTable = 4;
constexpr int kLineMagnitudeBlockTable = 5;
constexpr int kLoadSourceBlockTable = 6;  // output k at 6 + k - 1
