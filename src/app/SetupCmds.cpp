#include "app/SetupCmds.h"

#include "app/MainFrm.h"
#include "setup/SetupMgr.h"

namespace {

struct SetupCommand {
    UINT id;
    void (CSetupMgr::*operation)();
};

constexpr SetupCommand kSetupCommands[] = {
    {ID_SETUP_REQUIREMENTS, &CSetupMgr::SetupRequirements},
    {ID_SETUP_LINE_SOURCE, &CSetupMgr::SetupLineSource},
    {ID_SETUP_LINE_FILTER, &CSetupMgr::SetupLineFilter},
    {ID_SETUP_LINE_RECTIFIER, &CSetupMgr::SetupLineRectifier},
    {ID_SETUP_INPUT_CAPACITOR, &CSetupMgr::SetupInputCapacitor},
    {ID_SETUP_PRIMARY_SECTION, &CSetupMgr::SetupPrimarySection},
    {ID_SETUP_SECONDARY_SECTION, &CSetupMgr::SetupSecondarySection},
    {ID_SETUP_OUTPUT_CHOKE, &CSetupMgr::SetupOutputChoke},
    {ID_SETUP_FIRST_STAGE_FILTER, &CSetupMgr::SetupFirstStageOutputFilter},
    {ID_SETUP_SECOND_STAGE_FILTER, &CSetupMgr::SetupSecondStageOutputFilter},
    {ID_SETUP_LOAD_NETWORK, &CSetupMgr::SetupLoadNetwork},
    {ID_SETUP_VOLTAGE_FEEDBACK, &CSetupMgr::SetupVoltageFeedbackNetwork},
    {ID_SETUP_ERROR_AMPLIFIER, &CSetupMgr::SetupVoltageErrorAmplifier},
    {ID_SETUP_OPTO_ISOLATOR, &CSetupMgr::SetupOptoIsolator},
    {ID_SETUP_CONTROL_SECTION, &CSetupMgr::SetupControlSection},
    {ID_SETUP_CURRENT_FEEDBACK, &CSetupMgr::SetupCurrentFeedbackNetwork},
    {ID_SETUP_CURRENT_LIMIT, &CSetupMgr::SetupCurrentLimitNetwork},
};

}  // namespace

void ConnectSetupCommands(CMainFrame& frame) {
    for (const SetupCommand& c : kSetupCommands) {
        auto operation = c.operation;
        // The manager keeps nothing between commands: one per command is
        // the document's own.
        frame.ConnectSetupCommand(c.id, [operation](CPwrQuorraDoc& doc) {
            CSetupMgr manager(&doc);
            (manager.*operation)();
        });
    }
}
