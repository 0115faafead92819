// The output choke's pictures: the output inductor with its current sense,
// and the same with a skim inductor.
#include "circuit/OutChk.h"
#include "schematics/SchemParts.h"

using namespace schem;

namespace {

constexpr UINT kModuleOutChkDg = 56058;
using S = COutputChoke;

const PartDef kOut{{"Inductor Out1", &Edit<MEMBER(S, CInductor, GetInductorOut1), CInductorDlg, IDD_INDUCTOR>,
                    Symbol::Inductor},
                   &Henries<MEMBER(S, CInductor, GetInductorOut1)>};
const PartDef kSkim{{"Inductor Skim", &Edit<MEMBER(S, CInductor, GetSkimInductor), CInductorDlg, IDD_INDUCTOR>,
                     Symbol::Inductor},
                    &Henries<MEMBER(S, CInductor, GetSkimInductor)>};
const PartDef kSense{{"Resistor Sense", &Edit<MEMBER(S, CResistor, GetSenseResistor), CResistorDlg, IDD_RESISTOR>,
                      Symbol::Resistor},
                     &Ohms<MEMBER(S, CResistor, GetSenseResistor)>};
const PartDef kAmp{{"Sense Amplifier", &Edit<MEMBER(S, CAmplifier, GetSenseAmplifier), CAmplifierDlg, IDD_AMPLIFIER>,
                    Symbol::Amplifier}};

}  // namespace

const std::vector<SchematicClass>& OutputChokeSchematics() {
    static const std::vector<SchematicClass> classes = {
        MakeClass(SectionKind::OutputChoke, 0, 51650, 2, kModuleOutChkDg, 3301, 860, {kOut, kSense, kAmp}),
        MakeClass(SectionKind::OutputChoke, 1, 51651, 2, kModuleOutChkDg, 3303, 861, {kSkim, kOut, kSense, kAmp}),
    };
    return classes;
}
