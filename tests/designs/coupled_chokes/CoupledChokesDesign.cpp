// The first configuration's converter with a second output built like the first (same
// winding, rectifiers, 100 uH choke, 100 uF, 5 ohm) and the two chokes wound on one core with
// a coupling of 0.5: each choke's inductance with the other shorted is 100 uH·(1 - 0.25).
#include "circuit/Doc.h"
#include "designs/Designs.h"

void BuildCoupledChokes(CPwrQuorraDoc& doc) {
    BuildFirstConfiguration(doc);
    CRequirements& req = *doc.GetRequirements();
    req.GetOutput(1)->SetEnabled(TRUE);
    req.GetOutput(1)->SetTargetVoltage(10.7);
    doc.GetSecondarySection2()->SetTopology(0);
    doc.GetSecondarySection2()->SetDefaults();
    doc.GetOutputChoke2()->SetTopology(0);
    doc.GetOutputChoke2()->SetDefaults();
    doc.Get1StgOutputFilter2()->SetTopology(0);
    doc.Get1StgOutputFilter2()->SetDefaults();
    doc.Get1StgOutputFilter2()->GetCapacitorOut1().m_dCapacitance = 100e-6;
    doc.Get2StgOutputFilter2()->SetTopology(0);
    doc.Get2StgOutputFilter2()->SetDefaults();
    doc.GetLoadNetwork2()->SetTopology(0);
    doc.GetLoadNetwork2()->SetDefaults();
    doc.GetLoadNetwork2()->GetResistorLoad2().m_dResistance = 5.0;
    // Secondary 2 wound like secondary 1: 10 turns, 200 uH, 2 uH with the primary or
    // secondary 1 shorted.
    CPwrTransformer& xfmr = doc.GetPrimarySection()->GetPowerTransformer();
    xfmr.m_dTurns[CPwrTransformer::kSecondary2] = xfmr.m_dTurns[CPwrTransformer::kSecondary1];
    xfmr.m_dOpenInductance[CPwrTransformer::kSecondary2] = xfmr.m_dOpenInductance[CPwrTransformer::kSecondary1];
    xfmr.ShortedInductance(CPwrTransformer::kPrimary, CPwrTransformer::kSecondary2) = 2e-6;
    xfmr.ShortedInductance(CPwrTransformer::kSecondary1, CPwrTransformer::kSecondary2) = 2e-6;
    OutputEnables enables;
    enables.flags = {1, 1, 0, 0};
    xfmr.ComputeCoupling(enables, FALSE);
    COutputChokeMutualInd& mutual = *doc.GetOutputChokeMutualInd();
    mutual.SetCouplingEnabled(TRUE);
    mutual.ShortedInductance(COutputChokeMutualInd::k12) = 75e-6;
    doc.CheckAllSections();
    mutual.CheckMutualInductance(FALSE);
}
