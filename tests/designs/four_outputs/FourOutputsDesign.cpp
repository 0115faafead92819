// The first configuration's converter with four outputs on one transformer: four equal
// windings, each with the first output's rectifiers, choke and capacitor, loaded with 5, 10,
// 2.5 and 20 ohm. The feedback still takes output 1 alone; the duty is fixed at 0.25.
// Every secondary is coupled to the primary as output 1 (2 uH with the primary shorted:
// k² = 0.99) and to each other by k² (3.98 uH with the other shorted: k(Sj;Sk) = 0.99), the
// coupling of windings that share only the core: with the primary held, no secondary's
// current moves another's.
#include "circuit/Doc.h"
#include "designs/Designs.h"

void BuildFourOutputs(CPwrQuorraDoc& doc) {
    BuildFirstConfiguration(doc);
    CRequirements& req = *doc.GetRequirements();
    for (int k = 1; k < 4; ++k) {
        req.GetOutput(k)->SetEnabled(TRUE);
        req.GetOutput(k)->SetTargetVoltage(10.7);
    }
    CPrimarySection& pri = *doc.GetPrimarySection();
    pri.SetDefaults();
    CPwrTransformer& x = pri.GetPowerTransformer();
    using X = CPwrTransformer;
    for (double& r : x.m_dAcResistance) r = 1e-6;
    for (int k = 2; k <= 4; ++k) {
        x.m_dTurns[size_t(X::kPrimary + k)] = x.m_dTurns[X::kPrimary + 1];
        x.m_dOpenInductance[size_t(X::kPrimary + k)] = x.m_dOpenInductance[X::kPrimary + 1];
        x.m_dDcResistance[size_t(X::kPrimary + k)] = x.m_dDcResistance[X::kPrimary + 1];
        x.ShortedInductance(X::kPrimary, X::kPrimary + k) = x.ShortedInductance(X::kPrimary, X::kPrimary + 1);
    }
    const double ls = x.m_dOpenInductance[X::kPrimary + 1];
    for (int j = 1; j <= 4; ++j)
        for (int k = j + 1; k <= 4; ++k) x.ShortedInductance(X::kPrimary + j, X::kPrimary + k) = ls * (1.0 - 0.99 * 0.99);
    OutputEnables enables;
    enables.flags = {1, 1, 1, 1};
    x.ComputeCoupling(enables, FALSE);
    CSecondarySection* secondaries[3] = {doc.GetSecondarySection2(), doc.GetSecondarySection3(),
                                         doc.GetSecondarySection4()};
    COutputChoke* chokes[3] = {doc.GetOutputChoke2(), doc.GetOutputChoke3(), doc.GetOutputChoke4()};
    C1StgOutputFilter* filters[3] = {doc.Get1StgOutputFilter2(), doc.Get1StgOutputFilter3(),
                                     doc.Get1StgOutputFilter4()};
    C2StgOutputFilter* second[3] = {doc.Get2StgOutputFilter2(), doc.Get2StgOutputFilter3(),
                                    doc.Get2StgOutputFilter4()};
    CLoadNetwork* loads[3] = {doc.GetLoadNetwork2(), doc.GetLoadNetwork3(), doc.GetLoadNetwork4()};
    const double resistance[3] = {10.0, 2.5, 20.0};
    for (int i = 0; i < 3; ++i) {
        secondaries[i]->SetTopology(0);
        secondaries[i]->SetDefaults();
        chokes[i]->SetTopology(0);
        chokes[i]->SetDefaults();
        filters[i]->SetTopology(0);
        filters[i]->SetDefaults();
        filters[i]->GetCapacitorOut1().m_dCapacitance = 100e-6;
        second[i]->SetTopology(0);
        second[i]->SetDefaults();
        loads[i]->SetTopology(0);
        loads[i]->SetDefaults();
        loads[i]->GetResistorLoad2().m_dResistance = resistance[i];
    }
    doc.CheckAllSections();
}
