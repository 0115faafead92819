// The closed-loop voltage-mode design with its feedback carried across an opto-isolator,
// "Voltage Drive Transmitter, Inverter Receiver": the error amplifier sinks the LED current
// from a regulated 5 V driver source through 1 kohm (LED 1.1 V, 5 ohm); the photo transistor
// (current transfer ratio 0.5, 20 kHz) pulls its 2.2 kohm load down from a 5 V bias, and that
// collector voltage is the PWM control voltage. The amplifier's output may now reach 5 V.
#include "circuit/Doc.h"
#include "designs/Designs.h"

void BuildOptoLoop(CPwrQuorraDoc& doc) {
    BuildClosedLoopVoltageMode(doc);
    doc.GetVoltageErrorAmp()->GetOperationalAmplifier().m_dMaximumOutput = 5.0;
    COptoIsolator& o = *doc.GetOptoIsolator();
    o.SetTopology(0);
    o.SetDefaults();
    o.GetDriverSource().m_nDriverSource = 0;
    o.GetDriverSource().m_dSourceVoltage = 5.0;
    o.GetDriveResistor().m_dResistance = 1e3;
    o.GetDiodeLED().m_dForwardVoltage = 1.1;
    o.GetDiodeLED().m_dForwardVoltageTempCoef = 0.0;
    o.GetDiodeLED().m_dDynamicResistance = 5.0;
    o.GetBiasVoltage().m_dBiasVoltage = 5.0;
    o.GetPhotoTransistor().m_dCurrentTransferRatio = 0.5;
    o.GetPhotoTransistor().m_dBandwidth = 2e4;
    o.GetLoadResistor().m_dResistance = 2.2e3;
    doc.CheckAllSections();
}
